#include "dicom/ZR_VolumeBudget.h"

#include <algorithm>
#include <limits>

namespace {
int32_t Narrow(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, 0, std::numeric_limits<int32_t>::max()));
}
}  // namespace

int32_t ZR_VolumeBudget::FilesThatFit(uint64_t memory, int32_t rows, int32_t columns, int32_t files) {
  const uint64_t slice = uint64_t(std::max(rows, 0)) * uint64_t(std::max(columns, 0)) * 2;
  if (slice == 0) return 0;
  return std::min(files, Narrow(static_cast<int64_t>(std::min<uint64_t>(memory / 2 / slice, INT64_MAX))));
}

ZR_SubsetLimits ZR_VolumeBudget::SubsetLimits(uint64_t memory, int32_t width, int32_t height, int32_t slices,
                                              int32_t maxSlices) {
  ZR_SubsetLimits limits;
  const int64_t values = int64_t{std::max(width, 0)} * std::max(height, 0);
  if (values == 0) return limits;
  const int64_t q = (int64_t{1} << 28) / values;
  const int64_t m = static_cast<int64_t>(memory >> 20);
  limits.nLimit = Narrow(q * m / 1024);
  limits.nMaximumSlices = std::min(maxSlices, limits.nLimit);
  limits.nSliceCount = std::min(slices, Narrow(static_cast<int64_t>(memory / static_cast<uint64_t>(values))));
  limits.nTotal = std::min(limits.nSliceCount, std::min(limits.nLimit / 2, limits.nMaximumSlices));
  limits.nMaximumSlices = std::min(limits.nMaximumSlices, limits.nSliceCount);
  return limits;
}

int32_t ZR_VolumeBudget::ReductionFactor(int32_t slices) { return slices <= kReductionLimit ? 2 : 4; }

int32_t ZR_VolumeBudget::ReducedSize(int32_t size, int32_t factor) {
  if (factor <= 1) return size;
  return static_cast<int32_t>((int64_t{size} + factor / 2) / factor);
}

uint64_t ZR_VolumeBudget::VoxelBytes(int32_t width, int32_t height, int32_t depth) {
  return uint64_t(std::max(width, 0)) * uint64_t(std::max(height, 0)) * uint64_t(std::max(depth, 0)) * 2;
}

uint64_t ZR_VolumeBudget::MaskBytes(int32_t width, int32_t height, int32_t depth) {
  // Rounded up: a sub-sampled volume need not hold a multiple of 8 voxels, and its last bits
  // must still have a byte.
  return (uint64_t(std::max(width, 0)) * uint64_t(std::max(height, 0)) * uint64_t(std::max(depth, 0)) + 7) / 8;
}
