#include "mpr/ZR_MprTrackball.h"

#include <algorithm>
#include <cmath>

#include "render/RenderShared.h"
#include "render/ZR_Matrix4.h"

namespace {
constexpr float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

bool Apply(float orientation[16], const ZR_Matrix4& product) {
  float result[16];
  product.ToFloats(result);
  if (!ZR_MprTrackball::Orthonormalise(result)) return false;
  std::copy_n(result, 16, orientation);
  return true;
}
}  // namespace

ZR_TrackballView ZR_MprTrackball::PaneBall(int32_t width, int32_t height) {
  return {width, height, 0.75 * std::min(width / 2.0, height / 2.0)};
}

bool ZR_MprTrackball::TurnInPane(float orientation[16], ZR_MprTool tool, const ZR_TrackballView& ball,
                                 double x0, double y0, double x1, double y1) {
  if (tool == ZR_MprTool::RotateHorizontal) {
    y0 = y1 = ball.nHeight / 2.0;
  } else if (tool == ZR_MprTool::RotateVertical) {
    x0 = x1 = ball.nWidth / 2.0;
  } else if (tool != ZR_MprTool::RotateFree) {
    return false;
  }
  double axis[3], degrees = 0;
  if (!RenderShared::TrackballRotation(ball, x0, y0, x1, y1, kIdentity, axis, &degrees)) return false;
  if (degrees == 0) return false;
  // The trackball's frame has y up the screen and z towards the viewer; the pane's up
  // direction runs down the screen and its normal into it.
  const ZR_Matrix4 rotation = ZR_Matrix4::Rotation(degrees, axis[0], -axis[1], -axis[2]);
  return Apply(orientation, ZR_Matrix4::FromFloats(orientation) * rotation);
}

bool ZR_MprTrackball::TurnInView(float orientation[16], const float viewRotation[16], const ZR_TrackballView& ball,
                                 double x0, double y0, double x1, double y1) {
  double axis[3], degrees = 0;
  if (!RenderShared::TrackballRotation(ball, x0, y0, x1, y1, viewRotation, axis, &degrees)) return false;
  if (degrees == 0) return false;
  const ZR_Matrix4 rotation = ZR_Matrix4::Rotation(degrees, axis[0], axis[1], axis[2]);
  return Apply(orientation, rotation * ZR_Matrix4::FromFloats(orientation));
}

bool ZR_MprTrackball::Orthonormalise(float m[16]) {
  double c[3][3];
  for (int k = 0; k < 3; ++k)
    for (int i = 0; i < 3; ++i) c[k][i] = m[4 * k + i];
  auto normalise = [](double v[3]) {
    const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (!std::isfinite(length) || length < 1e-6) return false;
    for (int i = 0; i < 3; ++i) v[i] /= length;
    return true;
  };
  if (!normalise(c[0])) return false;
  const double along = c[1][0] * c[0][0] + c[1][1] * c[0][1] + c[1][2] * c[0][2];
  for (int i = 0; i < 3; ++i) c[1][i] -= along * c[0][i];
  if (!normalise(c[1])) return false;
  c[2][0] = c[0][1] * c[1][2] - c[0][2] * c[1][1];
  c[2][1] = c[0][2] * c[1][0] - c[0][0] * c[1][2];
  c[2][2] = c[0][0] * c[1][1] - c[0][1] * c[1][0];
  for (int k = 0; k < 3; ++k)
    for (int i = 0; i < 3; ++i) m[4 * k + i] = static_cast<float>(c[k][i]);
  m[3] = m[7] = m[11] = 0;
  m[12] = m[13] = m[14] = 0;
  m[15] = 1;
  return true;
}
