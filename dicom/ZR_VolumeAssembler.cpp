#include "dicom/ZR_VolumeAssembler.h"

#include "core/ZR_TableIndex.h"

#include <algorithm>
#include <array>
#include <limits>
#include <memory>
#include <vector>

#include "dicom/ZR_DicomVolume.h"
#include "dicom/ZR_ParallelSlices.h"

namespace {
using Counts = std::array<uint64_t, ZR_VolumeAssembler::kHistogramSize>;

// Four interleaved sub-histograms per row, so that runs of one value (air, padding) do not
// wait on the same counter; folded into 64-bit totals after every slice.
struct SliceCounter {
  std::array<std::array<uint32_t, ZR_VolumeAssembler::kHistogramSize>, 4> sub{};
  void Fold(Counts& total) {
    for (auto& s : sub) {
      for (size_t i = 0; i < s.size(); ++i) total[i] += s[i];
      s.fill(0);
    }
  }
};

// `table` has top + 1 entries: every stored value beyond `top` takes the last one (the
// reader never produces them, but the buffer must hold nothing else).
void FillSlice(const uint16_t* raw, int32_t rawWidth, const ZR_VolumeGeometry& g, const uint16_t* table,
               uint16_t top, uint16_t* out, SliceCounter& counter) {
  const int64_t f = g.nFactor;
  auto index = [&](uint16_t v) { return table[std::min(v, top)]; };
  for (int32_t y = 0; y < g.nHeight; ++y) {
    const uint16_t* row = raw + f * y * rawWidth;
    uint16_t* dst = out + int64_t{y} * g.nWidth;
    int32_t x = 0;
    if (f == 1) {
      for (; x + 4 <= g.nWidth; x += 4) {
        const uint16_t i0 = index(row[x]), i1 = index(row[x + 1]), i2 = index(row[x + 2]), i3 = index(row[x + 3]);
        dst[x] = static_cast<uint16_t>(i0 << 4);
        dst[x + 1] = static_cast<uint16_t>(i1 << 4);
        dst[x + 2] = static_cast<uint16_t>(i2 << 4);
        dst[x + 3] = static_cast<uint16_t>(i3 << 4);
        ++counter.sub[0][i0];
        ++counter.sub[1][i1];
        ++counter.sub[2][i2];
        ++counter.sub[3][i3];
      }
    }
    for (; x < g.nWidth; ++x) {
      const uint16_t i = index(row[f * x]);
      dst[x] = static_cast<uint16_t>(i << 4);
      ++counter.sub[0][i];
    }
  }
}
}  // namespace

ZR_VolumeGeometry ZR_VolumeAssembler::Geometry(const ZR_DicomVolume& volume, int32_t subsample) {
  ZR_VolumeGeometry g;
  g.nFactor = std::max(subsample, 1);
  g.nFirst = volume.m_nFirst;
  g.nWidth = volume.m_nWidth / g.nFactor;
  g.nHeight = volume.m_nHeight / g.nFactor;
  g.nDepth = std::max(volume.m_nLast - volume.m_nFirst + 1, 0) / g.nFactor;
  return g;
}

uint16_t ZR_VolumeAssembler::Index(int32_t v, int32_t range) { return ZR_TableIndex::OfStoredValue(v, range); }

uint64_t ZR_VolumeAssembler::Fill(const ZR_DicomVolume& volume, const ZR_VolumeGeometry& g, uint16_t* voxels,
                                  uint32_t* histogram, int32_t threads) {
  const int64_t f = g.nFactor;
  const bool inside = voxels && histogram && f >= 1 && g.nWidth > 0 && g.nHeight > 0 && g.nDepth > 0 &&
                      g.nFirst >= 0 && f * g.nWidth <= volume.m_nWidth && f * g.nHeight <= volume.m_nHeight &&
                      g.nFirst + f * (g.nDepth - 1) < volume.m_nSliceCount && volume.HasAllSlices();
  if (!inside) return 0;

  // A table over the values that occur (0..range): small ranges stay in the first-level cache.
  const int32_t range = volume.m_nLargest - volume.m_nSmallest;
  const uint16_t top = static_cast<uint16_t>(std::clamp(range, 0, 65535));
  std::vector<uint16_t> table(size_t(top) + 1);
  for (int32_t v = 0; v <= top; ++v) table[static_cast<size_t>(v)] = Index(v, range);

  if (threads <= 0) threads = ZR_ParallelSlices::DefaultThreads();
  threads = std::min(threads, g.nDepth);
  const uint64_t sliceValues = uint64_t(g.nWidth) * uint64_t(g.nHeight);
  // Everything the threads use is allocated here, so that running out of memory reaches the
  // caller as std::bad_alloc and never ends a worker thread.
  std::vector<Counts> totals(static_cast<size_t>(threads), Counts{});
  std::vector<std::unique_ptr<SliceCounter>> counters;
  for (int32_t t = 0; t < threads; ++t) counters.push_back(std::make_unique<SliceCounter>());
  ZR_ParallelSlices::ForEach(static_cast<size_t>(g.nDepth), threads, [&](size_t z, size_t worker) {
    const uint16_t* raw = volume.Slice(static_cast<int32_t>(g.nFirst + f * int64_t(z)));
    FillSlice(raw, volume.m_nWidth, g, table.data(), top, voxels + sliceValues * z, *counters[worker]);
    counters[worker]->Fold(totals[worker]);
  });

  for (int32_t i = 0; i < kHistogramSize; ++i) {
    uint64_t sum = 0;
    for (const Counts& c : totals) sum += c[static_cast<size_t>(i)];
    histogram[i] = static_cast<uint32_t>(std::min<uint64_t>(sum, std::numeric_limits<uint32_t>::max()));
  }
  return g.Voxels();
}
