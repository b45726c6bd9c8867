#pragma once
// The cut-plane tool of the 3D view: a left drag turns the cut plane with the trackball, a
// right or middle drag moves it along its normal (mostly vertical motion) or widens the slab
// it keeps (mostly horizontal motion, with the slab option on).

#include <cstdint>

#include "render/ZR_ViewRecords.h"

class ZR_CutPlaneTool {
 public:
  // The slab never narrows to this width or below (model units).
  static constexpr float kNarrowestSlab = 5;

  // Turns the plane's frame `cut` (16 floats) by the trackball motion from (x0, y0) to
  // (x1, y1), about the plane's own origin, as the view's `rotation` shows it. False when the
  // points are the same.
  static bool Turn(const ZR_TrackballView& ball, const float rotation[16], double x0, double y0, double x1, double y1,
                   float cut[16]);

  // A right or middle drag step: the position moves by half the vertical motion when that is
  // at least the horizontal one; otherwise the slab width grows by the horizontal motion when
  // the slab option is on and it stays wider than kNarrowestSlab. True when either changed.
  static bool Slide(int32_t dx, int32_t dy, bool slabOption, double* position, float* slabWidth);
};
