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
#include "render/ZR_SoftwareRenderer_Rows.h"

namespace ZR_SoftwareRows {

namespace {
int64_t FloorDiv(int64_t a, int64_t b) {
  int64_t q = a / b;
  if (a % b != 0 && a < 0) --q;
  return q;
}
int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }
}  // namespace

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

bool PrepareRow(const Sampler& s, const double start[3], const double step[3], int32_t low, int32_t high,
                int32_t jBegin, int32_t jEnd, int64_t a[3], int64_t d[3], int64_t& begin, int64_t& end) {
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

namespace {

// The blend of `count` samples from (x, y, z) on, stepping by d, all inside the volume. In
// batches: first the eight voxels and the fractions of each sample are gathered, then the
// blends of the whole batch run as one loop the compiler can vectorise (the conversions to
// float were the larger part of a sample's cost). With `ahead`, the voxels of the same
// columns a few rows further down are asked for early: a slanted plane reaches a new slice
// every few samples, and waiting for each is what costs.
template <bool kUnitColumns>
inline __attribute__((always_inline)) void BlendRowBody(const Sampler& s, int64_t x, int64_t y, int64_t z,
                                                        const int64_t d[3], int64_t count, uint16_t* out,
                                                        bool prefetch, int64_t px, int64_t py, int64_t pz) {
  constexpr int kBatch = 32;
  const int64_t rs = s.rowStride;
  const int64_t cs = kUnitColumns ? 1 : s.columnStride;
  const int64_t maxX = s.dims[0] - 2, maxY = s.dims[1] - 2, maxZ = s.dims[2] - 2;
  // Each pair of neighbours along x in one 32-bit word (low half the first), and the
  // fractions as their top 32 bits of the fixed-point coordinates.
  uint32_t pairs[4][kBatch];
  uint32_t fx[kBatch], fy[kBatch], fz[kBatch];
  auto pair = [&](const uint16_t* p) -> uint32_t {
    if constexpr (kUnitColumns) {
      uint32_t both;
      std::memcpy(&both, p, sizeof both);  // two adjacent values in one load
      return both;
    } else {
      return uint32_t{p[0]} | uint32_t{p[cs]} << 16;
    }
  };
  for (int64_t done = 0; done < count; done += kBatch) {
    const int n = static_cast<int>(std::min<int64_t>(kBatch, count - done));
    for (int k = 0; k < n; ++k) {
      if (prefetch && (k & 1) == 0) {
        const int64_t ax = std::clamp<int64_t>(px >> 32, 0, maxX);
        const int64_t ay = std::clamp<int64_t>(py >> 32, 0, maxY);
        const int64_t az = std::clamp<int64_t>(pz >> 32, 0, maxZ);
        const int64_t at = ay * rs + ax * cs;
        __builtin_prefetch(s.slices[az] + at);
        __builtin_prefetch(s.slices[az] + at + rs);
        __builtin_prefetch(s.slices[az + 1] + at);
        __builtin_prefetch(s.slices[az + 1] + at + rs);
        px += 2 * d[0];
        py += 2 * d[1];
        pz += 2 * d[2];
      }
      const int64_t offset = (y >> 32) * rs + (x >> 32) * cs;
      const uint16_t* p0 = s.slices[z >> 32] + offset;
      const uint16_t* p1 = s.slices[(z >> 32) + 1] + offset;
      pairs[0][k] = pair(p0);
      pairs[1][k] = pair(p0 + rs);
      pairs[2][k] = pair(p1);
      pairs[3][k] = pair(p1 + rs);
      fx[k] = static_cast<uint32_t>(x);
      fy[k] = static_cast<uint32_t>(y);
      fz[k] = static_cast<uint32_t>(z);
      x += d[0];
      y += d[1];
      z += d[2];
    }
    uint16_t* o = out + done;
    constexpr float kScale = 1.0f / 16777216.0f;
    for (int k = 0; k < n; ++k) {
      const float wx = static_cast<float>(static_cast<int32_t>(fx[k] >> 8)) * kScale;
      const float wy = static_cast<float>(static_cast<int32_t>(fy[k] >> 8)) * kScale;
      const float wz = static_cast<float>(static_cast<int32_t>(fz[k] >> 8)) * kScale;
      float c[4];
      for (int r = 0; r < 4; ++r) {
        const float low = static_cast<float>(static_cast<int32_t>(pairs[r][k] & 0xFFFFu));
        const float high = static_cast<float>(static_cast<int32_t>(pairs[r][k] >> 16));
        c[r] = low + (high - low) * wx;
      }
      const float c0 = c[0] + (c[1] - c[0]) * wy;
      const float c1 = c[2] + (c[3] - c[2]) * wy;
      o[k] = static_cast<uint16_t>(static_cast<int32_t>(c0 + (c1 - c0) * wz));
    }
  }
}

// Where the processor has them, the blends run on 8-wide vectors (the same operations in the
// same order, so the samples do not change).
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define ZR_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define ZR_VECTOR_CLONES
#endif

ZR_VECTOR_CLONES void BlendRowUnit(const Sampler& s, int64_t x, int64_t y, int64_t z, const int64_t d[3],
                                   int64_t count, uint16_t* out, bool prefetch, int64_t px, int64_t py,
                                   int64_t pz) {
  BlendRowBody<true>(s, x, y, z, d, count, out, prefetch, px, py, pz);
}

ZR_VECTOR_CLONES void BlendRowStrided(const Sampler& s, int64_t x, int64_t y, int64_t z, const int64_t d[3],
                                      int64_t count, uint16_t* out, bool prefetch, int64_t px, int64_t py,
                                      int64_t pz) {
  BlendRowBody<false>(s, x, y, z, d, count, out, prefetch, px, py, pz);
}

}  // namespace

void BlendRow(const Sampler& s, int64_t x, int64_t y, int64_t z, const int64_t d[3], int64_t count,
              uint16_t* out, bool prefetch, int64_t px, int64_t py, int64_t pz) {
  if (s.columnStride == 1)
    BlendRowUnit(s, x, y, z, d, count, out, prefetch, px, py, pz);
  else
    BlendRowStrided(s, x, y, z, d, count, out, prefetch, px, py, pz);
}

}  // namespace ZR_SoftwareRows

namespace {
using namespace ZR_SoftwareRows;

// Full quality: trilinear; one voxel layer on every side is never sampled (samples with a
// coordinate below 1 or from dimension - 1 up are 0). out[k] is column jBegin + k; `ahead`
// is the start of the row the prefetch runs along.
void FullRow(const Sampler& s, const double start[3], const double step[3], int32_t jBegin,
             int32_t jEnd, uint16_t* out, const double* ahead = nullptr) {
  int64_t a[3], d[3], begin = 0, end = 0;
  if (!PrepareRow(s, start, step, 1, 1, jBegin, jEnd, a, d, begin, end)) {
    std::fill(out, out + (jEnd - jBegin), uint16_t{0});
    return;
  }
  std::fill(out, out + (begin - jBegin), uint16_t{0});
  std::fill(out + (end - jBegin), out + (jEnd - jBegin), uint16_t{0});
  int64_t p[3] = {0, 0, 0};
  const bool prefetch = ahead && std::fabs(ahead[0]) < kFarAway && std::fabs(ahead[1]) < kFarAway &&
                        std::fabs(ahead[2]) < kFarAway;
  if (prefetch)
    for (int k = 0; k < 3; ++k) p[k] = static_cast<int64_t>(std::llround(ahead[k] * kOne)) + begin * d[k];
  const int64_t x = a[0] + begin * d[0], y = a[1] + begin * d[1], z = a[2] + begin * d[2];
  BlendRow(s, x, y, z, d, end - begin, out + (begin - jBegin), prefetch, p[0], p[1], p[2]);
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
constexpr int32_t kTileWidth = 64;
constexpr int32_t kTileHeight = 32;
constexpr int32_t kPrefetchRows = 2;

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
    plane.adNormalStep[i] = m_aExtents[i] > 0 ? m_aDims[i] * r[2][i] * largest / m_aExtents[i] : 0;
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
  m_bFreshSlab = false;
}

void ZR_SoftwareRenderer::ResliceFull(const Plane& plane) {
  const Sampler s{m_apSlices.data(), m_nRowStride, m_nColumnStride, {m_aDims[0], m_aDims[1], m_aDims[2]}};
  const int32_t width = m_nWidth;
  const int32_t height = m_nHeight;
  uint16_t* raw = m_pRaw.get();
  // Tiles rather than whole rows: the voxels under a tile stay in the cache from one of its
  // rows to the next, whatever the plane's slant.
  const int32_t tilesAcross = (width + kTileWidth - 1) / kTileWidth;
  const int32_t tilesDown = (height + kTileHeight - 1) / kTileHeight;
  auto tiles = [&](int32_t first, int32_t end) {
    for (int32_t t = first; t < end; ++t) {
      const int32_t j0 = (t % tilesAcross) * kTileWidth;
      const int32_t j1 = std::min(width, j0 + kTileWidth);
      const int32_t i0 = (t / tilesAcross) * kTileHeight;
      const int32_t i1 = std::min(height, i0 + kTileHeight);
      for (int32_t i = i0; i < i1; ++i) {
        double start[3], ahead[3];
        for (int k = 0; k < 3; ++k) {
          start[k] = plane.adStart[k] + plane.adRowStep[k] + plane.adColumnStep[k] * i;
          ahead[k] = start[k] + plane.adColumnStep[k] * kPrefetchRows;
        }
        FullRow(s, start, plane.adRowStep, j0, j1, raw + static_cast<size_t>(i) * width + j0, ahead);
      }
    }
  };
  const int32_t count = tilesAcross * tilesDown;
  if (int64_t{width} * height >= kParallelPixels)
    Workers().Run(count, 1, tiles);
  else
    tiles(0, count);
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

namespace {
// Unit patient directions of a row step and a column step given in voxels; their lengths
// (mm) go to `lengths` when asked for.
void PatientDirections(const ZR_SliceStack& stack, const double* rowStep, const double* columnStep,
                       float* orientation, std::array<double, 2>* lengths) {
  const std::array<double, 3> along = stack.PatientStep(rowStep);
  const std::array<double, 3> down = stack.PatientStep(columnStep);
  const double alongLength = std::sqrt(along[0] * along[0] + along[1] * along[1] + along[2] * along[2]);
  const double downLength = std::sqrt(down[0] * down[0] + down[1] * down[1] + down[2] * down[2]);
  if (lengths) *lengths = {alongLength, downLength};
  if (!orientation) return;
  for (int k = 0; k < 3; ++k) {
    orientation[k] = alongLength > 0 ? static_cast<float>(along[k] / alongLength) : 0.0f;
    orientation[3 + k] = downLength > 0 ? static_cast<float>(down[k] / downLength) : 0.0f;
  }
}
}  // namespace

void ZR_SoftwareRenderer::ReportGeometry(const Plane& plane, int32_t step, float* position,
                                         float* orientation) {
  // Pixel (0, 0) is sampled one row step past the start at full quality.
  double first[3];
  for (int k = 0; k < 3; ++k) first[k] = plane.adStart[k] + (step < 2 ? plane.adRowStep[k] : 0);
  PatientDirections(m_oStack, plane.adRowStep, plane.adColumnStep, orientation, &m_aPixelSpacing);
  if (position) {
    const std::array<double, 3> patient = m_oStack.PatientPosition(first);
    for (int k = 0; k < 3; ++k) position[k] = static_cast<float>(patient[k]);
  }
}

bool ZR_SoftwareRenderer::ScreenPlane(const ZR_ObliqueView& view, int32_t width, int32_t height,
                                      float* position, float* orientation) const {
  if (!m_bLoaded || width <= 0 || height <= 0 || m_nWidth <= 0 || m_nHeight <= 0) return false;
  const Plane plane = SetUpPlane(view);
  // The square's centre in this renderer's voxels, as SetUpPlane placed its start.
  const double halfW = m_nWidth / 2;
  const double halfH = m_nHeight / 2;
  // Steps of one screen pixel: the square is m_nWidth (m_nHeight) of this renderer's steps.
  const double across = static_cast<double>(m_nWidth) / width, down = static_cast<double>(m_nHeight) / height;
  double rowStep[3], columnStep[3], first[3];
  for (int k = 0; k < 3; ++k) {
    rowStep[k] = plane.adRowStep[k] * across;
    columnStep[k] = plane.adColumnStep[k] * down;
    const double centre = plane.adStart[k] + plane.adRowStep[k] * halfW + plane.adColumnStep[k] * halfH;
    // This renderer's voxel v is the texture's voxel centre v - 0.5.
    first[k] = centre + rowStep[k] * (0.5 - width / 2.0) + columnStep[k] * (0.5 - height / 2.0) - 0.5;
  }
  PatientDirections(m_oStack, rowStep, columnStep, orientation, nullptr);
  if (position) {
    const std::array<double, 3> patient = m_oStack.PatientPosition(first);
    for (int k = 0; k < 3; ++k) position[k] = static_cast<float>(patient[k]);
  }
  return true;
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
