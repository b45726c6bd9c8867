#pragma once
// Turning an MPR plane with the pointer: the trackball of an MPR pane (the three rotation
// tools) and that of the MPR screen's 3D pane. Both go through the guarded trackball of the
// 3D view, so opposite rim points, a vanishing axis or a pane of no size never make the
// orientation invalid; the result is made orthonormal again, so rounding cannot build up over
// a long drag.

#include <cstdint>

#include "core/ZR_Vocabulary.h"
#include "render/ZR_ViewRecords.h"

class ZR_MprTrackball {
 public:
  // The trackball of a pane: its size, radius 0.75 x the smaller half-size.
  static ZR_TrackballView PaneBall(int32_t width, int32_t height);

  // Turns `orientation` (columns right, up, normal) by the pointer motion from (x0, y0) to
  // (x1, y1) in a pane of `ball`: orientation x rotation, the rotation taken in the pane's own
  // frame. RotateHorizontal uses only the horizontal motion, RotateVertical only the vertical. False, and the
  // orientation unchanged, when the motion turns nothing or the tool is no rotation tool.
  static bool TurnInPane(float orientation[16], ZR_MprTool tool, const ZR_TrackballView& ball, double x0,
                         double y0, double x1, double y1);
  // The same trackball in the 3D pane, whose view is turned by `viewRotation`: the plane turns
  // about the volume axis under the pointer's rotation, as the volume would.
  static bool TurnInView(float orientation[16], const float viewRotation[16], const ZR_TrackballView& ball,
                         double x0, double y0, double x1, double y1);

  // Orthonormal columns again (right, then up, normal = right x up); false, leaving `m`
  // unchanged, when it is degenerate or not finite.
  static bool Orthonormalise(float m[16]);
};
