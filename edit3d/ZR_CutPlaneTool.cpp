#include "edit3d/ZR_CutPlaneTool.h"

#include <cstdlib>

#include "render/RenderShared.h"
#include "render/ZR_Matrix4.h"

bool ZR_CutPlaneTool::Turn(const ZR_TrackballView& ball, const float rotation[16], double x0, double y0, double x1,
                           double y1, float cut[16]) {
  // The trackball's screen axis is taken into the plane's frame as the view shows it.
  float frame[16];
  (ZR_Matrix4::FromFloats(rotation) * ZR_Matrix4::FromFloats(cut)).ToFloats(frame);
  double axis[3], degrees = 0;
  if (!RenderShared::TrackballRotation(ball, x0, y0, x1, y1, frame, axis, &degrees)) return false;
  (ZR_Matrix4::FromFloats(cut) * ZR_Matrix4::Rotation(degrees, axis[0], axis[1], axis[2])).ToFloats(cut);
  return true;
}

bool ZR_CutPlaneTool::Slide(int32_t dx, int32_t dy, bool slabOption, double* position, float* slabWidth) {
  if (std::abs(dy) >= std::abs(dx)) {
    *position += dy * 0.5;
    return dy != 0;
  }
  if (!slabOption || *slabWidth + static_cast<float>(dx) <= kNarrowestSlab) return false;
  *slabWidth += static_cast<float>(dx);
  return true;
}
