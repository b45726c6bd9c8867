#pragma once
// The slice lines of the 3D screen's orthogonal panes (panel 1 sagittal, 2 coronal, 3 axial):
// each pane marks the other two slices with a vertical and a horizontal line. Codes 1..6 are
// panel 1's vertical and horizontal line, then panel 2's, then panel 3's; their positions are
// kept in panel pixels (x for vertical lines, y for horizontal ones), index code - 1.

#include <cstdint>

#include "render/ZR_ViewRecords.h"

class ZR_OrthoSliceLines {
 public:
  static constexpr int32_t kCount = 6;

  static int32_t PanelOfCode(int32_t code) { return code >= 1 && code <= kCount ? 1 + (code - 1) / 2 : -1; }
  static bool IsVertical(int32_t code) { return code % 2 == 1; }

  // The first line of `panel` (vertical first) within `tolerance` pixels of the pointer; 0
  // for none.
  static int32_t Test(int32_t panel, int32_t x, int32_t y, const int32_t lines[kCount], int32_t tolerance);

  // Moves the slice that the grabbed line marks by the pointer motion (dx right, dy down, in
  // pixels of the grabbing panel of width x height) so that the slice stays under the line
  // the pane draws for it. `extents` are the box extents, `largest` the extent the panes
  // span, `signs` the volume's axis signs. Slices stay within the volume (-0.5..0.5). False
  // for no code or an empty panel.
  static bool Drag(ZR_OrthoViews& views, int32_t code, float dx, float dy, int32_t width, int32_t height,
                   const float extents[3], float largest, const int32_t signs[3]);

  // The line positions of one panel (1..3) from where the pane drew its crosshair (drawing
  // coordinates, x across and y down the square of side `largest`).
  static void FromCrosshair(int32_t panel, const float crosshair[2], float largest, int32_t width, int32_t height,
                            int32_t lines[kCount]);
};
