#include "tests/support/ZR_RayProjection.h"

#include <algorithm>
#include <cmath>

#include "render/RenderShared.h"
#include "render/ZR_Matrix4.h"

namespace {
bool Meets(const ZR_Matrix4& toVolume, double ex, double ey, const ZR_RayProjection::Box& b, double grow) {
  double t0 = -1e30, t1 = 1e30;
  for (int axis = 0; axis < 3; ++axis) {
    const double origin = toVolume.At(axis, 0) * ex + toVolume.At(axis, 1) * ey;
    const double dir = toVolume.At(axis, 2);
    const double lo = b.afLow[axis] - grow, hi = b.afHigh[axis] + grow;
    if (std::fabs(dir) < 1e-12) {
      if (origin < lo || origin > hi) return false;
      continue;
    }
    double a = (lo - origin) / dir, c = (hi - origin) / dir;
    if (a > c) std::swap(a, c);
    t0 = std::max(t0, a);
    t1 = std::min(t1, c);
    if (t0 > t1) return false;
  }
  return true;
}
}  // namespace

std::vector<uint8_t> ZR_RayProjection::Project(const RenderShared& shared, int32_t width, int32_t height,
                                               const std::vector<Box>& boxes, double margin) {
  const float* w = shared.Window();
  const ZR_Matrix4 toVolume = ZR_Matrix4::FromFloats(shared.Rotation()).UpperLeft3x3().Transposed();
  const double pixelX = (w[1] - w[0]) / width, pixelY = (w[3] - w[2]) / height;
  const double grow = margin * std::max(std::fabs(pixelX), std::fabs(pixelY));
  std::vector<uint8_t> out(static_cast<size_t>(width) * height, kMiss);
  for (int32_t j = 0; j < height; ++j)
    for (int32_t i = 0; i < width; ++i) {
      const double ex = w[0] + (i + 0.5) * pixelX;
      const double ey = w[3] - (j + 0.5) * pixelY;  // row 0 at the top
      bool inner = false, outer = false;
      for (const Box& b : boxes) {
        inner = inner || Meets(toVolume, ex, ey, b, -grow);
        outer = outer || Meets(toVolume, ex, ey, b, grow);
      }
      out[static_cast<size_t>(j) * width + i] = inner ? kHit : (outer ? kEdge : kMiss);
    }
  return out;
}

ZR_RayProjection::Box ZR_RayProjection::VolumeBox(const RenderShared& shared) {
  const float* e = shared.Extents();
  return Box{{-e[0] / 2.0, -e[1] / 2.0, -e[2] / 2.0}, {e[0] / 2.0, e[1] / 2.0, e[2] / 2.0}};
}
