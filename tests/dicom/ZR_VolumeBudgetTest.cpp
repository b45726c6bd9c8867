// The memory and size rules of loading, with the worked numbers of a 2 GiB machine and the
// products that overflow 32 bits.
#include <gtest/gtest.h>

#include <limits>

#include "dicom/ZR_VolumeBudget.h"

namespace {
constexpr uint64_t kGiB = uint64_t{1} << 30;
}

TEST(ZR_VolumeBudget, FilesAreLimitedToHalfThePhysicalMemory) {
  // 512 x 512 x 2 bytes per slice, 1 GiB usable: 2048 slices.
  EXPECT_EQ(ZR_VolumeBudget::FilesThatFit(2 * kGiB, 512, 512, 3000), 2048);
  EXPECT_EQ(ZR_VolumeBudget::FilesThatFit(2 * kGiB, 512, 512, 40), 40);
  EXPECT_EQ(ZR_VolumeBudget::FilesThatFit(1 * kGiB, 1024, 1024, 3000), 256);
  // Far more memory than 2^31 slices' worth stays a valid count.
  EXPECT_EQ(ZR_VolumeBudget::FilesThatFit(uint64_t{1} << 62, 1, 1, 5000), 5000);
  EXPECT_EQ(ZR_VolumeBudget::FilesThatFit(2 * kGiB, 0, 512, 40), 0);
}

TEST(ZR_VolumeBudget, SubsetLimits) {
  const struct {
    const char* what;
    uint64_t memory;
    int32_t size, slices;
    ZR_SubsetLimits expected;  // L, maximum, slice count, total
  } cases[] = {
      // L = 1024 x 2048 / 1024 = 2048.
      {"512^2, 2 GiB, 40 slices", 2 * kGiB, 512, 40, {2048, 40, 40, 40}},
      {"512^2, 2 GiB, 3000 slices: range 0..1023, up to 2048", 2 * kGiB, 512, 3000, {2048, 2048, 3000, 1024}},
      // q x m = 2^16 x 2^15 = 2^31 would wrap in 32 bits.
      {"64^2, 32 GiB", 32 * kGiB, 64, 100, {1 << 21, 100, 100, 100}},
      {"1024^2, 64 GiB, 2048 slices", 64 * kGiB, 1024, 2048, {16384, 2048, 2048, 2048}},
      // Half of L bounds the first proposal even when more would be allowed.
      {"1024^2, 2 GiB, 600 slices", 2 * kGiB, 1024, 600, {512, 512, 600, 256}},
      // So much memory that M / S exceeds 2^31 slices.
      {"1^2, 8 TiB", uint64_t{8} << 40, 1, 50, {std::numeric_limits<int32_t>::max(), 50, 50, 50}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const ZR_SubsetLimits l = ZR_VolumeBudget::SubsetLimits(c.memory, c.size, c.size, c.slices, 2048);
    EXPECT_EQ(l.nLimit, c.expected.nLimit);
    EXPECT_EQ(l.nMaximumSlices, c.expected.nMaximumSlices);
    EXPECT_EQ(l.nSliceCount, c.expected.nSliceCount);
    EXPECT_EQ(l.nTotal, c.expected.nTotal);
  }
}

TEST(ZR_VolumeBudget, ReducedCopyFactorAndSizes) {
  EXPECT_EQ(ZR_VolumeBudget::ReductionFactor(1024), 2);
  EXPECT_EQ(ZR_VolumeBudget::ReductionFactor(1025), 4);
  EXPECT_EQ(ZR_VolumeBudget::ReductionFactor(10), 2);
  const int32_t sizes[][3] = {{100, 2, 50}, {101, 2, 51}, {5, 2, 3}, {1025, 4, 256}, {1026, 4, 257}, {512, 4, 128}};
  for (const auto& s : sizes) EXPECT_EQ(ZR_VolumeBudget::ReducedSize(s[0], s[1]), s[2]) << s[0] << " / " << s[1];
}

TEST(ZR_VolumeBudget, BufferSizesBeyond32Bits) {
  EXPECT_EQ(ZR_VolumeBudget::VoxelBytes(1024, 1024, 2048), uint64_t{1} << 32);
  EXPECT_EQ(ZR_VolumeBudget::MaskBytes(1024, 1024, 2048), uint64_t{1} << 28);
  // A sub-sampled volume of 27 voxels still has a bit for each.
  EXPECT_EQ(ZR_VolumeBudget::MaskBytes(3, 3, 3), 4u);
}
