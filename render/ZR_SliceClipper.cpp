#include "render/ZR_SliceClipper.h"

#include <algorithm>

namespace {
struct Point {
  ZR_ClipVertex vertex;
  std::array<double, 3> inTexture;
};

Point Between(const Point& a, const Point& b, double t) {
  Point p;
  for (int k = 0; k < 3; ++k) {
    p.vertex.afPosition[k] = a.vertex.afPosition[k] + t * (b.vertex.afPosition[k] - a.vertex.afPosition[k]);
    p.vertex.afTexture[k] = a.vertex.afTexture[k] + t * (b.vertex.afTexture[k] - a.vertex.afTexture[k]);
    p.inTexture[k] = a.inTexture[k] + t * (b.inTexture[k] - a.inTexture[k]);
  }
  return p;
}
}  // namespace

std::array<double, 3> ZR_SliceClipper::InTexture(const std::array<double, 3>& texture) const {
  return m_oMatrix.TransformPoint(texture[0], texture[1], texture[2]);
}

int32_t ZR_SliceClipper::Clip(const ZR_ClipVertex* in, int32_t count, ZR_ClipVertex* out) const {
  if (count < 3 || count > kMaxInput) return 0;
  Point buffers[2][kMaxVertices];
  int32_t n = count;
  for (int32_t i = 0; i < count; ++i) buffers[0][i] = {in[i], InTexture(in[i].afTexture)};
  int current = 0;
  // One face at a time (Sutherland-Hodgman): keep what lies on the inner side, and the
  // crossings of the edges that pass through the face.
  for (int face = 0; face < 6 && n >= 3; ++face) {
    const int axis = face / 2;
    const bool upper = face % 2 != 0;
    auto inside = [&](const Point& p) {
      return upper ? 1 - p.inTexture[axis] : p.inTexture[axis];
    };
    const Point* src = buffers[current];
    Point* dst = buffers[1 - current];
    int32_t m = 0;
    for (int32_t i = 0; i < n; ++i) {
      const Point& a = src[i];
      const Point& b = src[(i + 1) % n];
      const double da = inside(a), db = inside(b);
      if (da >= 0) dst[m++] = a;
      if ((da >= 0) != (db >= 0)) dst[m++] = Between(a, b, da / (da - db));
    }
    n = m;
    current = 1 - current;
  }
  if (n < 3) return 0;
  for (int32_t i = 0; i < n; ++i) out[i] = buffers[current][i].vertex;
  return n;
}
