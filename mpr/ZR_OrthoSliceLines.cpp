#include "mpr/ZR_OrthoSliceLines.h"

#include <algorithm>
#include <cstdlib>

int32_t ZR_OrthoSliceLines::Test(int32_t panel, int32_t x, int32_t y, const int32_t lines[kCount],
                                 int32_t tolerance) {
  if (panel < 1 || panel > 3) return 0;
  const int32_t vertical = 2 * panel - 1;
  if (std::abs(x - lines[vertical - 1]) <= tolerance) return vertical;
  if (std::abs(y - lines[vertical]) <= tolerance) return vertical + 1;
  return 0;
}

bool ZR_OrthoSliceLines::Drag(ZR_OrthoViews& views, int32_t code, float dx, float dy, int32_t width,
                              int32_t height, const float extents[3], float largest, const int32_t signs[3]) {
  if (PanelOfCode(code) < 0 || width <= 0 || height <= 0 || largest <= 0) return false;
  // Which slice the line marks, and the pointer motion across it. The panes draw the x and y
  // slices at offset x extent (times the axis sign) and the z slice at -offset x largest:
  // the padded z range spans the whole pane.
  int32_t axis = 0;
  float motion = 0;
  switch (code) {
    case 1:  // sagittal, vertical: the coronal slice
      axis = 1;
      motion = dx / static_cast<float>(width);
      break;
    case 3:  // coronal, vertical, and axial, vertical: the sagittal slice
    case 5:
      axis = 0;
      motion = dx / static_cast<float>(width);
      break;
    case 6:  // axial, horizontal: the coronal slice
      axis = 1;
      motion = dy / static_cast<float>(height);
      break;
    default:  // sagittal and coronal, horizontal: the axial slice
      axis = 2;
      motion = -dy / static_cast<float>(height);
      break;
  }
  const float span = axis == 2 ? largest : extents[axis];
  if (span <= 0) return false;
  float& slice = views.afSlice[axis];
  slice = std::clamp(slice + motion * largest / span * static_cast<float>(signs[axis] < 0 ? -1 : 1), -0.5f, 0.5f);
  return true;
}

void ZR_OrthoSliceLines::FromCrosshair(int32_t panel, const float crosshair[2], float largest, int32_t width,
                                       int32_t height, int32_t lines[kCount]) {
  if (panel < 1 || panel > 3 || largest <= 0) return;
  lines[2 * panel - 2] = static_cast<int32_t>((crosshair[0] + largest / 2) / largest * static_cast<float>(width));
  lines[2 * panel - 1] = static_cast<int32_t>((crosshair[1] + largest / 2) / largest * static_cast<float>(height));
}
