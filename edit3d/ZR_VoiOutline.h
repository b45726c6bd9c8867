#pragma once
// The VOI box as the 3D screen's orthogonal panes show it (panel 1 sagittal: y across, z up;
// panel 2 coronal: x across, z up; panel 3 axial: x across, y down), and what pointer motion
// in a pane does to it. The outline is placed with the same mapping the panes draw their
// slice with (the square of the largest extent over the whole pane, each axis turned by its
// patient-orientation sign), so the drawn rectangle, the picked edges and the voxels agree.

#include <cstdint>

#include "core/ZR_Vocabulary.h"
#include "render/ZR_Box.h"

class ZR_VoiOutline {
 public:
  // Face ids: the faces of the box by axis and end.
  static constexpr int32_t kNone = 0;
  static constexpr int32_t kUpperZ = 24;
  static constexpr int32_t kLowerZ = 25;
  static constexpr int32_t kLowerX = 26;
  static constexpr int32_t kUpperX = 27;
  static constexpr int32_t kLowerY = 28;
  static constexpr int32_t kUpperY = 29;

  // The volume and the pane: full dimensions, voxel scale (model units per voxel), axis
  // signs, the extent the pane spans (the floored largest extent) and the pane's pixels.
  struct Pane {
    int32_t aDims[3] = {0, 0, 0};
    float aScale[3] = {1, 1, 1};
    int32_t aSigns[3] = {1, 1, 1};
    float fSpan = 0;
    int32_t nWidth = 0;
    int32_t nHeight = 0;
  };

  // The rectangle in pane pixels (left < right, top < bottom as y grows downwards) and the
  // face drawn at each side.
  struct Edges {
    int32_t nLeft = 0, nRight = 0, nTop = 0, nBottom = 0;
    int32_t nLeftFace = kNone, nRightFace = kNone, nTopFace = kNone, nBottomFace = kNone;
  };

  // The pane's horizontal and vertical volume axis; false for a panel other than 1..3.
  static bool Axes(int32_t panel, int32_t* horizontal, int32_t* vertical);
  static int32_t AxisOfFace(int32_t face);
  static bool IsUpperFace(int32_t face) { return face == kUpperZ || face == kUpperX || face == kUpperY; }

  // False for a panel other than 1..3 or an empty pane.
  static bool Compute(int32_t panel, const ZR_Box& box, const Pane& pane, Edges* edges);
  // The first side within `tolerance` pixels, tested left, right, top, bottom, each only
  // along the rectangle's extent; its face id, or kNone.
  static int32_t Pick(const Edges& edges, int32_t x, int32_t y, int32_t tolerance);

  // Voxels along `axis` that pointer motion (mx rightwards, my upwards, pixels) carries a
  // point of the pane: what moves under the pointer moves by this.
  static double Follow(int32_t panel, int32_t axis, int32_t mx, int32_t my, const Pane& pane);

  // The grabbed face follows the pointer and the opposite face stays; refused (false, the
  // box unchanged) when the size would not stay positive or the face is not seen in the
  // pane.
  static bool DragFace(int32_t panel, int32_t face, int32_t mx, int32_t my, const Pane& pane, ZR_Box& box);
  // VOI position: the box follows the pointer. VOI size: each of the pane's two sizes
  // shrinks by the motion along it (rightwards, upwards), refused as a whole when a size
  // would not stay positive. False when nothing changed.
  static bool DragTool(int32_t panel, ZR_Tool3d tool, int32_t mx, int32_t my, const Pane& pane, ZR_Box& box);
  // In the 3D view the buttons pick the axis (left x, middle y, right z): VOI position moves
  // the box against the motion, VOI size grows it with the motion (refused as a whole).
  static bool DragIn3dView(ZR_Tool3d tool, int32_t dx, bool left, bool middle, bool right, ZR_Box& box);
};
