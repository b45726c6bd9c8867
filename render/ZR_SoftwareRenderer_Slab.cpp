// Slabs: several parallel sub-planes of a view, combined per pixel into one raw image.
//
// The picture is worked on in tiles, each tile sub-plane after sub-plane, so that what one
// sub-plane reads under the tile is still in the cache for the next (they lie about a voxel
// apart). Each sub-plane's row is cut to its samples inside the volume exactly as the plane
// reslice cuts it, so only those are taken and counted: that is the inside-only rule of a
// slab leaving the volume, and the reason a slab leaving it costs less. Before the rows, each
// tile works out from its corners which sub-planes can reach the volume at all.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "render/ZR_RowWorkers.h"
#include "render/ZR_SoftwareRenderer.h"
#include "render/ZR_SoftwareRenderer_Rows.h"

namespace {

using namespace ZR_SoftwareRows;

// Tiles: rows along x are read as whole runs, so their tiles span whole rows (a few of them,
// so that what one sub-plane reads under the tile stays close for the next); other rows read
// voxel by voxel, from a compact tile.
constexpr int32_t kTilePixels = 4096;
constexpr int32_t kRunTileWidth = 512;
constexpr int32_t kTileWidth = 64;
constexpr int32_t kTileHeight = 16;
static_assert(kRunTileWidth <= kSlabStackWidth && kTileWidth * kTileHeight <= kTilePixels);
// Slabs below this many samples are not worth waking the other threads for.
constexpr int64_t kParallelSamples = 128 * 128;
// Room for the rounding of the sub-planes' corners when a tile picks its sub-planes; the rows
// themselves are then cut exactly.
constexpr double kCornerMargin = 0.5;

struct Slab {
  Sampler sampler;
  SlabVolume volume;
  bool vectors;
  bool runs;     // rows along x, for the run kernel
  bool stacked;  // and sub-planes that differ in z alone
  int32_t tileWidth;
  int32_t tileHeight;
  int32_t mode;
  int32_t planes;
  int32_t width;
  int32_t height;
  ZR_SoftwareRenderer::Plane centre;
  double shift[3];     // voxels from one sub-plane to the next
  double half;         // (planes - 1) / 2
  int64_t d[3];        // the row step in fixed point
  SlabLanes lanes;
};

// The start of sub-plane k's row i as the plane reslice computes a plane's row: pixel j's
// point is then start + j row steps.
void RowStart(const Slab& slab, int32_t k, int32_t i, double start[3]) {
  const ZR_SoftwareRenderer::Plane& c = slab.centre;
  const double along = slab.planes > 1 ? (k - slab.half) : 0.0;
  for (int a = 0; a < 3; ++a) {
    const double subStart = slab.planes > 1 ? c.adStart[a] + slab.shift[a] * along : c.adStart[a];
    start[a] = subStart + c.adRowStep[a] + c.adColumnStep[a] * i;
  }
}

// The sub-planes [first, end) whose part under the tile may reach the inside of the volume.
void SubPlanes(const Slab& slab, int32_t i0, int32_t i1, int32_t j0, int32_t j1, int32_t& first, int32_t& end) {
  first = 0;
  end = slab.planes;
  const ZR_SoftwareRenderer::Plane& c = slab.centre;
  double lowest = -std::numeric_limits<double>::infinity(), highest = std::numeric_limits<double>::infinity();
  for (int a = 0; a < 3; ++a) {
    // The tile's points on the centre plane, along this axis.
    double low = std::numeric_limits<double>::infinity(), high = -low;
    for (const int32_t i : {i0, i1 - 1})
      for (const int32_t j : {j0, j1 - 1}) {
        const double v = c.adStart[a] + c.adRowStep[a] * (j + 1) + c.adColumnStep[a] * i;
        low = std::min(low, v);
        high = std::max(high, v);
      }
    if (!std::isfinite(low) || !std::isfinite(high) || !std::isfinite(slab.shift[a])) return;
    // Sub-plane k's points lie from low + g u to high + g u, u = k - half.
    const double inFrom = 1 - kCornerMargin, inTo = slab.sampler.dims[a] - 1 + kCornerMargin;
    const double g = slab.planes > 1 ? slab.shift[a] : 0;
    if (std::fabs(g) < 1e-12) {
      if (high < inFrom || low > inTo) {
        first = end = 0;
        return;
      }
      continue;
    }
    double u0 = (inFrom - high) / g, u1 = (inTo - low) / g;
    if (g < 0) std::swap(u0, u1);
    lowest = std::max(lowest, u0);
    highest = std::min(highest, u1);
  }
  if (!(lowest <= highest)) {
    first = end = 0;
    return;
  }
  const double from = std::clamp(std::floor(slab.half + lowest) - 1, 0.0, double(slab.planes));
  const double to = std::clamp(std::ceil(slab.half + highest) + 2, 0.0, double(slab.planes));
  first = static_cast<int32_t>(from);
  end = static_cast<int32_t>(to);
}

// The columns [begin, end) of [j0, j1) whose samples on the row from a lie inside the volume,
// as PrepareRow finds them; the ends are tried first, since most rows lie wholly inside.
bool InsideColumns(const Slab& slab, const int64_t a[3], int32_t j0, int32_t j1, int64_t& begin, int64_t& end) {
  begin = j0;
  end = j1;
  bool whole = true;
  for (int axis = 0; axis < 3 && whole; ++axis) {
    const int64_t low = kOneFixed, high = int64_t{slab.sampler.dims[axis] - 1} * kOneFixed;
    const int64_t first = a[axis] + j0 * slab.d[axis], last = a[axis] + (j1 - 1) * slab.d[axis];
    whole = first >= low && first < high && last >= low && last < high;
  }
  if (whole) return true;
  for (int axis = 0; axis < 3; ++axis)
    Clip(a[axis], slab.d[axis], kOneFixed, int64_t{slab.sampler.dims[axis] - 1} * kOneFixed, begin, end);
  return begin < end;
}

// A row's fixed-point start, or false when it lies beyond any reach of the volume.
bool FixedStart(const Slab& slab, int32_t k, int32_t i, int64_t a[3]) {
  double start[3];
  RowStart(slab, k, i, start);
  for (int axis = 0; axis < 3; ++axis) {
    if (!(std::fabs(start[axis]) < kFarAway)) return false;
    a[axis] = static_cast<int64_t>(std::llround(start[axis] * kOne));
  }
  return true;
}

// Sub-planes stacked along z over rows along x: per row, the sub-planes inside the volume
// (the same columns for all of them: they differ in z alone) go to the kernel together.
void StackedRows(const Slab& slab, int32_t i0, int32_t i1, int32_t j0, int32_t j1, int32_t first, int32_t end,
                 uint32_t* acc, uint32_t* counts) {
  std::vector<int64_t> zs;
  zs.reserve(static_cast<size_t>(end - first));
  for (int32_t i = i0; i < i1; ++i) {
    zs.clear();
    int64_t begin = 0, stop = 0, at[3] = {0, 0, 0};
    for (int32_t k = first; k < end; ++k) {
      int64_t a[3], b = 0, e = 0;
      if (!FixedStart(slab, k, i, a) || !InsideColumns(slab, a, j0, j1, b, e)) continue;
      if (zs.empty()) {
        begin = b;
        stop = e;
        for (int axis = 0; axis < 3; ++axis) at[axis] = a[axis] + b * slab.d[axis];
      }
      zs.push_back(a[2]);
    }
    if (zs.empty()) continue;
    if (zs.front() > zs.back()) std::reverse(zs.begin(), zs.end());
    const size_t pixel = static_cast<size_t>(i - i0) * slab.tileWidth + static_cast<size_t>(begin - j0);
    CombineStackVector(slab.mode, slab.volume, slab.lanes, at, slab.d[0], stop - begin, zs.data(),
                       static_cast<int32_t>(zs.size()), acc + pixel, counts + pixel);
  }
}

void SlabTile(const Slab& slab, int32_t i0, int32_t i1, int32_t j0, int32_t j1, uint16_t* raw) {
  const int32_t across = j1 - j0;
  const int32_t stride = slab.tileWidth;
  uint32_t acc[kTilePixels];
  uint32_t counts[kTilePixels];
  uint16_t samples[kRunTileWidth];
  std::fill_n(acc, kTilePixels, slab.mode == kSlabMinimum ? kNoMinimum : 0u);
  std::fill_n(counts, kTilePixels, 0u);

  int32_t first = 0, end = 0;
  SubPlanes(slab, i0, i1, j0, j1, first, end);
  if (slab.stacked) {
    StackedRows(slab, i0, i1, j0, j1, first, end, acc, counts);
    end = first;
  }
  for (int32_t k = first; k < end; ++k) {
    for (int32_t i = i0; i < i1; ++i) {
      int64_t a[3], begin = 0, stop = 0;
      if (!FixedStart(slab, k, i, a) || !InsideColumns(slab, a, j0, j1, begin, stop)) continue;
      int64_t at[3];
      for (int axis = 0; axis < 3; ++axis) at[axis] = a[axis] + begin * slab.d[axis];
      const size_t pixel = static_cast<size_t>(i - i0) * stride + static_cast<size_t>(begin - j0);
      if (slab.runs) {
        CombineAlongXVector(slab.mode, slab.volume, slab.lanes, at, slab.d[0], stop - begin, acc + pixel,
                            counts + pixel);
      } else if (slab.vectors) {
        CombineRowVector(slab.mode, slab.volume, slab.lanes, at, slab.d, stop - begin, acc + pixel, counts + pixel);
      } else {
        BlendRow(slab.sampler, at[0], at[1], at[2], slab.d, stop - begin, samples);
        CombineSamples(slab.mode, samples, stop - begin, acc + pixel, counts + pixel);
      }
    }
  }

  for (int32_t i = i0; i < i1; ++i) {
    const uint32_t* a = acc + static_cast<size_t>(i - i0) * stride;
    const uint32_t* n = counts + static_cast<size_t>(i - i0) * stride;
    uint16_t* out = raw + static_cast<size_t>(i) * slab.width + j0;
    if (slab.mode == kSlabMean) {
      // Rounded to nearest; the quotient in double is exact enough that floor never errs.
      for (int32_t j = 0; j < across; ++j)
        out[j] = n[j] ? static_cast<uint16_t>(std::floor((a[j] + 0.5 * n[j]) / n[j])) : 0;
    } else if (slab.mode == kSlabMinimum) {
      for (int32_t j = 0; j < across; ++j) out[j] = a[j] == kNoMinimum ? 0 : static_cast<uint16_t>(a[j]);
    } else {
      for (int32_t j = 0; j < across; ++j) out[j] = static_cast<uint16_t>(a[j]);
    }
  }
}

}  // namespace

void ZR_SoftwareRenderer::BuildSliceOffsets() {
  m_aSliceOffsets.clear();
  if (m_apSlices.empty() || !m_apSlices[0]) return;
  const auto base = reinterpret_cast<intptr_t>(m_apSlices[0]);
  // The last value a sample's pair may touch, from the start of a slice.
  const int64_t reach = int64_t{m_aDims[1]} * m_nRowStride;
  std::vector<int32_t> offsets(m_apSlices.size());
  for (size_t z = 0; z < m_apSlices.size(); ++z) {
    const int64_t bytes = reinterpret_cast<intptr_t>(m_apSlices[z]) - base;
    if (!m_apSlices[z] || bytes % 2 != 0) return;
    const int64_t offset = bytes / 2;
    if (offset < std::numeric_limits<int32_t>::min() || offset + reach > std::numeric_limits<int32_t>::max())
      return;
    offsets[z] = static_cast<int32_t>(offset);
  }
  // The kernel reads windows of 32 entries from any slice on.
  offsets.resize(offsets.size() + 32, offsets.back());
  m_aSliceOffsets = std::move(offsets);
}

void ZR_SoftwareRenderer::ResliceSlab(const ZR_ObliqueView& view, const ZR_SlabSpec& spec, float* position,
                                      float* orientation) {
  // The plane at the slab's centre, as the plane reslice would set up a view offset that far.
  ZR_ObliqueView centreView = view;
  centreView.nLayout = 2;
  centreView.bOffset = true;
  centreView.fOffset = spec.fCentre;
  Slab slab{};
  slab.centre = SetUpPlane(centreView);
  slab.sampler = Sampler{m_apSlices.data(), m_nRowStride, m_nColumnStride, {m_aDims[0], m_aDims[1], m_aDims[2]}};
  slab.planes = std::clamp(spec.nPlanes, 1, kMaxSlabPlanes);
  slab.mode = spec.nMode == kSlabMean || spec.nMode == kSlabMinimum ? spec.nMode : int32_t{kSlabMaximum};
  slab.width = m_nWidth;
  slab.height = m_nHeight;
  slab.half = (slab.planes - 1) / 2.0;
  for (int a = 0; a < 3; ++a) slab.shift[a] = slab.centre.adNormalStep[a] * static_cast<double>(spec.fStep);
  slab.vectors = m_nColumnStride == 1 && !m_aSliceOffsets.empty() && SlabVectorsAvailable();
  if (slab.vectors)
    slab.volume = SlabVolume{m_apSlices[0], m_aSliceOffsets.data(), static_cast<int32_t>(m_nRowStride)};

  uint16_t* raw = m_pRaw.get();
  bool reachable = true;
  for (int a = 0; a < 3; ++a) {
    reachable = reachable && std::fabs(slab.centre.adRowStep[a]) < kHugeStep;
    slab.d[a] = reachable ? static_cast<int64_t>(std::llround(slab.centre.adRowStep[a] * kOne)) : 0;
  }
  slab.runs = slab.vectors && SlabRunsAvailable() && slab.d[1] == 0 && slab.d[2] == 0 && slab.d[0] != 0 &&
              std::llabs(slab.d[0]) < 2 * kOneFixed;
  slab.stacked = slab.runs && slab.planes > 1 && slab.shift[0] == 0 && slab.shift[1] == 0;
  if (!reachable) {
    std::fill_n(raw, static_cast<size_t>(m_nWidth) * static_cast<size_t>(m_nHeight), uint16_t{0});
  } else {
    slab.lanes = MakeSlabLanes(slab.d);
    slab.tileWidth = slab.runs ? std::min(m_nWidth, kRunTileWidth) : kTileWidth;
    slab.tileHeight = slab.runs ? kTilePixels / slab.tileWidth : kTileHeight;
    const int32_t tileWidth = slab.tileWidth, tileHeight = slab.tileHeight;
    const int32_t tilesAcross = (m_nWidth + tileWidth - 1) / tileWidth;
    const int32_t tilesDown = (m_nHeight + tileHeight - 1) / tileHeight;
    auto tiles = [&](int32_t firstTile, int32_t endTile) {
      for (int32_t t = firstTile; t < endTile; ++t) {
        const int32_t j0 = (t % tilesAcross) * tileWidth;
        const int32_t i0 = (t / tilesAcross) * tileHeight;
        SlabTile(slab, i0, std::min(m_nHeight, i0 + tileHeight), j0, std::min(m_nWidth, j0 + tileWidth), raw);
      }
    };
    const int32_t count = tilesAcross * tilesDown;
    if (int64_t{m_nWidth} * m_nHeight * slab.planes >= kParallelSamples)
      Workers().Run(count, 1, tiles);
    else
      tiles(0, count);
  }
  ReportGeometry(slab.centre, 1, position, orientation);
  m_pFreshView = &view;
  m_nFreshStep = 1;
  m_bFreshSlab = true;
}

const uint16_t* ZR_SoftwareRenderer::GetRawSlab(const ZR_ObliqueView& view, const ZR_SlabSpec& slab,
                                                float* position, float* orientation) {
  if (!m_bLoaded || !m_pRaw) return m_pRaw.get();
  ResliceSlab(view, slab, position, orientation);
  return m_pRaw.get();
}

int32_t ZR_SoftwareRenderer::RenderSlab(ZR_ObliqueView& view, const ZR_SlabSpec& slab, bool highlight) {
  if (m_bLoaded && m_pRaw) ResliceSlab(view, slab, nullptr, nullptr);
  return DrawPicture(view, highlight, false);
}
