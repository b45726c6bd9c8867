// Plane set-up and the two reslice kernels.
//
// A row of the picture is a straight line through the volume, so its samples step by one
// constant vector. The kernels walk it in 32.32 fixed point (exact steps, no per-sample
// conversions or calls) and first cut the row to the part whose samples are inside the
// volume, so the inner loops test nothing.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "render/ZR_RowWorkers.h"
#include "render/ZR_SoftwareRenderer.h"

namespace {

constexpr double kOne = 4294967296.0;  // 1.0 in 32.32
constexpr int64_t kOneFixed = int64_t{1} << 32;
// Beyond these a row cannot reach the volume (and its fixed-point values could overflow).
constexpr double kFarAway = 1.0e8;
constexpr double kHugeStep = 1.0e6;

struct Sampler {
  const uint16_t* const* slices;
  int64_t rowStride;
  int64_t columnStride;
  int32_t dims[3];
};

int64_t FloorDiv(int64_t a, int64_t b) {
  int64_t q = a / b;
  if (a % b != 0 && a < 0) --q;
  return q;
}
int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

// Narrows [begin, end) to the j for which low <= a + j d < high.
void Clip(int64_t a, int64_t d, int64_t low, int64_t high, int64_t& begin, int64_t& end) {
  if (d == 0) {
    if (a < low || a >= high) end = begin;
    return;
  }
  int64_t first = 0;
  int64_t stop = 0;
  if (d > 0) {
    first = CeilDiv(low - a, d);
    stop = CeilDiv(high - a, d);
  } else {
    first = FloorDiv(a - high, -d) + 1;
    stop = FloorDiv(a - low, -d) + 1;
  }
  begin = std::max(begin, first);
  end = std::min(end, stop);
}

// The row's start and step in fixed point, and the columns of [jBegin, jEnd) whose samples
// lie in [low, dim - high) on every axis; false when none can.
bool PrepareRow(const Sampler& s, const double start[3], const double step[3], int32_t low,
                int32_t high, int32_t jBegin, int32_t jEnd, int64_t a[3], int64_t d[3],
                int64_t& begin, int64_t& end) {
  begin = jBegin;
  end = jEnd;
  for (int axis = 0; axis < 3; ++axis) {
    if (!(std::fabs(start[axis]) < kFarAway) || !(std::fabs(step[axis]) < kHugeStep)) return false;
    a[axis] = static_cast<int64_t>(std::llround(start[axis] * kOne));
    d[axis] = static_cast<int64_t>(std::llround(step[axis] * kOne));
    Clip(a[axis], d[axis], int64_t{low} * kOneFixed, int64_t{s.dims[axis] - high} * kOneFixed,
         begin, end);
  }
  return begin < end;
}

inline float Fraction(int64_t v) {
  return static_cast<float>(static_cast<uint32_t>(v) >> 8) * (1.0f / 16777216.0f);
}

// Full quality: trilinear; one voxel layer on every side is never sampled (samples with a
// coordinate below 1 or from dimension - 1 up are 0). out[k] is column jBegin + k.
void FullRow(const Sampler& s, const double start[3], const double step[3], int32_t jBegin,
             int32_t jEnd, uint16_t* out) {
  int64_t a[3], d[3], begin = 0, end = 0;
  if (!PrepareRow(s, start, step, 1, 1, jBegin, jEnd, a, d, begin, end)) {
    std::fill(out, out + (jEnd - jBegin), uint16_t{0});
    return;
  }
  std::fill(out, out + (begin - jBegin), uint16_t{0});
  std::fill(out + (end - jBegin), out + (jEnd - jBegin), uint16_t{0});
  int64_t x = a[0] + begin * d[0];
  int64_t y = a[1] + begin * d[1];
  int64_t z = a[2] + begin * d[2];
  const int64_t rs = s.rowStride;
  const int64_t cs = s.columnStride;
  uint16_t* o = out + (begin - jBegin);
  for (int64_t j = begin; j < end; ++j) {
    const int64_t offset = (y >> 32) * rs + (x >> 32) * cs;
    const uint16_t* p0 = s.slices[z >> 32] + offset;
    const uint16_t* p1 = s.slices[(z >> 32) + 1] + offset;
    const float fx = Fraction(x), fy = Fraction(y), fz = Fraction(z);
    const float c00 = p0[0] + (static_cast<float>(p0[cs]) - p0[0]) * fx;
    const float c10 = p0[rs] + (static_cast<float>(p0[rs + cs]) - p0[rs]) * fx;
    const float c01 = p1[0] + (static_cast<float>(p1[cs]) - p1[0]) * fx;
    const float c11 = p1[rs] + (static_cast<float>(p1[rs + cs]) - p1[rs]) * fx;
    const float c0 = c00 + (c10 - c00) * fy;
    const float c1 = c01 + (c11 - c01) * fy;
    *o++ = static_cast<uint16_t>(c0 + (c1 - c0) * fz);
    x += d[0];
    y += d[1];
    z += d[2];
  }
}

// Fast path: nearest voxel (floor), 0 outside the volume; `count` samples.
void NearestRow(const Sampler& s, const double start[3], const double step[3], int32_t count,
                uint16_t* out) {
  int64_t a[3], d[3], begin = 0, end = 0;
  if (!PrepareRow(s, start, step, 0, 0, 0, count, a, d, begin, end)) {
    std::fill(out, out + count, uint16_t{0});
    return;
  }
  std::fill(out, out + begin, uint16_t{0});
  std::fill(out + end, out + count, uint16_t{0});
  int64_t x = a[0] + begin * d[0];
  int64_t y = a[1] + begin * d[1];
  int64_t z = a[2] + begin * d[2];
  for (int64_t j = begin; j < end; ++j) {
    out[j] = s.slices[z >> 32][(y >> 32) * s.rowStride + (x >> 32) * s.columnStride];
    x += d[0];
    y += d[1];
    z += d[2];
  }
}

// Pictures below this many pixels are not worth waking the other threads for.
constexpr int64_t kParallelPixels = 128 * 128;
constexpr int32_t kRowsPerBlock = 8;

}  // namespace

ZR_SoftwareRenderer::Plane ZR_SoftwareRenderer::SetUpPlane(const ZR_ObliqueView& view) const {
  Plane plane;
  const float* position = view.oPlane.afPosition;
  const float* rotation = view.oPlane.afRotation;
  double p[3] = {position[0], position[1], position[2]};
  const bool sheared = m_oShared.Sheared();
  const bool reoriented = m_oShared.Reoriented();
  const int32_t* signs = m_oShared.AxisSigns();
  const double* t = m_oShared.TextureOrientation();  // column-major
  if (sheared) {
    for (int i = 0; i < 3; ++i) p[i] *= signs[i];
  } else if (reoriented) {
    double q[3];
    for (int r = 0; r < 3; ++r) q[r] = t[r] * p[0] + t[4 + r] * p[1] + t[8 + r] * p[2];
    std::copy_n(q, 3, p);
  }
  for (int i = 0; i < 3; ++i) p[i] = m_aExtents[i] > 0 ? p[i] / m_aExtents[i] + 0.5 : 0.5;

  // R's columns: right, up and normal in the volume's axes.
  double r[3][3];
  for (int c = 0; c < 3; ++c)
    for (int i = 0; i < 3; ++i) r[c][i] = rotation[4 * c + i];
  if (sheared || reoriented) {
    double turned[3][3];
    for (int c = 0; c < 3; ++c)
      for (int i = 0; i < 3; ++i)
        turned[c][i] = t[i] * signs[0] * r[c][0] + t[4 + i] * signs[1] * r[c][1] +
                       t[8 + i] * signs[2] * r[c][2];
    std::memcpy(r, turned, sizeof r);
  }
  const double largest = m_fLargest;
  if (view.nLayout != 0 && view.bOffset)
    for (int i = 0; i < 3; ++i)
      if (m_aExtents[i] > 0) p[i] += r[2][i] * largest / m_aExtents[i] * view.fOffset;
  for (int i = 0; i < 3; ++i) {
    plane.afRight[i] = static_cast<float>(r[0][i]);
    plane.afUp[i] = static_cast<float>(r[1][i]);
  }

  const double ex = m_aExtents[0] > 0 ? m_aExtents[0] : 1;
  const double ey = m_aExtents[1] > 0 ? m_aExtents[1] : 1;
  const double zScale = m_aScale[2] > 0 ? m_aScale[0] / m_aScale[2] : 1;
  const double* u = r[0];
  const double* v = r[1];
  plane.adRowStep[0] = largest / ex * u[0];
  plane.adRowStep[1] = largest / ey * u[1];
  plane.adRowStep[2] = largest / ex * zScale * u[2];
  plane.adColumnStep[0] = largest / ex * v[0];
  plane.adColumnStep[1] = largest / ey * v[1];
  plane.adColumnStep[2] = largest / ex * zScale * v[2];
  const double halfW = m_nWidth / 2;
  const double halfH = m_nHeight / 2;
  for (int i = 0; i < 3; ++i)
    plane.adStart[i] = m_aDims[i] * p[i] - plane.adRowStep[i] * halfW - plane.adColumnStep[i] * halfH;
  return plane;
}

void ZR_SoftwareRenderer::Reslice(const ZR_ObliqueView& view, int32_t step, float* position,
                                  float* orientation) {
  if (!m_bLoaded || !m_pRaw) return;
  const Plane plane = SetUpPlane(view);
  if (step < 2)
    ResliceFull(plane);
  else
    ResliceFast(plane, step);
  ReportGeometry(plane, step, position, orientation);
  m_pFreshView = &view;
  m_nFreshStep = step;
}

void ZR_SoftwareRenderer::ResliceFull(const Plane& plane) {
  const Sampler s{m_apSlices.data(), m_nRowStride, m_nColumnStride, {m_aDims[0], m_aDims[1], m_aDims[2]}};
  const int32_t width = m_nWidth;
  uint16_t* raw = m_pRaw.get();
  auto rows = [&](int32_t first, int32_t end) {
    for (int32_t i = first; i < end; ++i) {
      double start[3];
      for (int k = 0; k < 3; ++k)
        start[k] = plane.adStart[k] + plane.adRowStep[k] + plane.adColumnStep[k] * i;
      FullRow(s, start, plane.adRowStep, 0, width, raw + static_cast<size_t>(i) * width);
    }
  };
  if (int64_t{width} * m_nHeight >= kParallelPixels)
    Workers().Run(m_nHeight, kRowsPerBlock, rows);
  else
    rows(0, m_nHeight);
}

void ZR_SoftwareRenderer::ResliceFast(const Plane& plane, int32_t step) {
  const Sampler s{m_apSlices.data(), m_nRowStride, m_nColumnStride, {m_aDims[0], m_aDims[1], m_aDims[2]}};
  const int32_t width = m_nWidth;
  const int32_t height = m_nHeight;
  const int32_t samples = (width + step - 1) / step;
  const int32_t sampledRows = (height + step - 1) / step;
  uint16_t* raw = m_pRaw.get();
  double stride[3];
  for (int k = 0; k < 3; ++k) stride[k] = plane.adRowStep[k] * step;
  auto rows = [&](int32_t first, int32_t end) {
    std::vector<uint16_t> values(static_cast<size_t>(samples));
    for (int32_t m = first; m < end; ++m) {
      const int32_t i = m * step;
      double start[3];
      for (int k = 0; k < 3; ++k) start[k] = plane.adStart[k] + plane.adColumnStep[k] * i;
      NearestRow(s, start, stride, samples, values.data());
      uint16_t* row = raw + static_cast<size_t>(i) * width;
      for (int32_t n = 0; n < samples; ++n) {
        const int32_t j = n * step;
        std::fill(row + j, row + std::min(width, j + step), values[static_cast<size_t>(n)]);
      }
      const int32_t blockEnd = std::min(height, i + step);
      for (int32_t below = i + 1; below < blockEnd; ++below)
        std::memcpy(raw + static_cast<size_t>(below) * width, row, sizeof(uint16_t) * width);
    }
  };
  if (int64_t{width} * height >= kParallelPixels)
    Workers().Run(sampledRows, kRowsPerBlock, rows);
  else
    rows(0, sampledRows);
}

void ZR_SoftwareRenderer::ReportGeometry(const Plane& plane, int32_t step, float* position,
                                         float* orientation) {
  // Pixel (0, 0) is sampled one row step past the start at full quality.
  double first[3];
  for (int k = 0; k < 3; ++k) first[k] = plane.adStart[k] + (step < 2 ? plane.adRowStep[k] : 0);
  const std::array<double, 3> along = m_oStack.PatientStep(plane.adRowStep);
  const std::array<double, 3> down = m_oStack.PatientStep(plane.adColumnStep);
  const double alongLength = std::sqrt(along[0] * along[0] + along[1] * along[1] + along[2] * along[2]);
  const double downLength = std::sqrt(down[0] * down[0] + down[1] * down[1] + down[2] * down[2]);
  m_aPixelSpacing = {alongLength, downLength};
  if (position) {
    const std::array<double, 3> patient = m_oStack.PatientPosition(first);
    for (int k = 0; k < 3; ++k) position[k] = static_cast<float>(patient[k]);
  }
  if (orientation) {
    for (int k = 0; k < 3; ++k) {
      orientation[k] = alongLength > 0 ? static_cast<float>(along[k] / alongLength) : 0.0f;
      orientation[3 + k] = downLength > 0 ? static_cast<float>(down[k] / downLength) : 0.0f;
    }
  }
}

uint16_t ZR_SoftwareRenderer::SampleAt(const ZR_ObliqueView& view, float fx, float fy) {
  if (!m_bLoaded || !(fx >= 0) || !(fy >= 0)) return 0;
  const auto j = static_cast<int64_t>(m_nWidth * fx);
  const auto i = static_cast<int64_t>(m_nHeight * fy);
  if (j >= m_nWidth || i >= m_nHeight) return 0;
  // The one pixel of the full-quality picture, computed alone.
  const Plane plane = SetUpPlane(view);
  const Sampler s{m_apSlices.data(), m_nRowStride, m_nColumnStride, {m_aDims[0], m_aDims[1], m_aDims[2]}};
  double start[3];
  for (int k = 0; k < 3; ++k)
    start[k] = plane.adStart[k] + plane.adRowStep[k] + plane.adColumnStep[k] * static_cast<double>(i);
  uint16_t value = 0;
  FullRow(s, start, plane.adRowStep, static_cast<int32_t>(j), static_cast<int32_t>(j) + 1, &value);
  return value;
}
