// Voxels and histogram from the chosen slices: the index each stored value takes, the
// agreement of that index with the value the lookup table gives it, sub-sampling, and the
// stored bits of the files (overlay bits do not reach the voxels).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numeric>

#include "core/ZR_Result.h"
#include "dicom/ZR_DicomReader.h"
#include "dicom/ZR_VolumeAssembler.h"
#include "presets/ZR_Lut.h"
#include "tests/dicom/ZR_DicomSeries.h"
#include "tests/dicom/ZR_TestStudy.h"

namespace {
using A = ZR_VolumeAssembler;

struct Assembled {
  // Heap blocks of exactly the geometry's size, so that a write past them is caught.
  std::unique_ptr<uint16_t[]> voxels;
  std::unique_ptr<uint32_t[]> histogram;
  ZR_VolumeGeometry geometry;
  uint64_t counted = 0;
  uint16_t At(int32_t x, int32_t y, int32_t z) const {
    return voxels[(uint64_t(z) * geometry.nHeight + uint64_t(y)) * geometry.nWidth + uint64_t(x)];
  }
};

Assembled Assemble(const ZR_DicomVolume& v, int32_t subsample = 1, int32_t threads = 0) {
  Assembled a;
  a.geometry = A::Geometry(v, subsample);
  a.voxels.reset(new uint16_t[a.geometry.Voxels()]);
  a.histogram.reset(new uint32_t[A::kHistogramSize]);
  std::fill_n(a.histogram.get(), A::kHistogramSize, 0xDEADu);  // whatever an earlier load left
  a.counted = A::Fill(v, a.geometry, a.voxels.get(), a.histogram.get(), threads);
  return a;
}

uint64_t Sum(const uint32_t* histogram) { return std::accumulate(histogram, histogram + A::kHistogramSize, uint64_t{0}); }
}  // namespace

TEST(ZR_VolumeAssembler, IndexIsTheStoredValueScaledToTheTable) {
  // A range of 4095 is the identity: the voxels are the stored values x 16, bit for bit.
  for (int32_t v = 0; v <= 4095; ++v) ASSERT_EQ(A::Index(v, 4095), v);
  const struct {
    int32_t v, range, index;
  } cases[] = {
      {5119, 5119, 4095},  // padded CT -2048..3071: the top stays the top (v x 16 would wrap to 1023)
      {0, 5119, 0},
      {2560, 5119, 2048},  // 2047.9 rounds up
      {1000, 1000, 4095},  // MR 0..1000 spreads over the table
      {500, 1000, 2048},   // 2047.5, halves up
      {65535, 65535, 4095},
      {70000, 1000, 4095},  // nothing beyond the table, whatever arrives
      {7, 0, 0},            // an empty range cannot be scaled
  };
  for (const auto& c : cases) EXPECT_EQ(A::Index(c.v, c.range), c.index) << c.v << " of " << c.range;
}

TEST(ZR_VolumeAssembler, ChosenSlicesBecomeVoxelsAndAFreshHistogram) {
  auto v = ZR_TestStudy::Make(8, 8, 20, [](int32_t x, int32_t y, int32_t z) {
    return static_cast<uint16_t>(z == 7 && x == 3 && y == 5 ? 4095 : z * 100 + x);
  });
  v->m_nFirst = 5;
  v->m_nLast = 14;
  const Assembled a = Assemble(*v);
  ASSERT_EQ(a.counted, 8u * 8u * 10u);
  EXPECT_EQ(a.geometry.nDepth, 10);
  EXPECT_EQ(a.At(2, 1, 0), (500 + 2) * 16);   // slice 5 of the study is the first
  EXPECT_EQ(a.At(7, 7, 9), (1400 + 7) * 16);  // slice 14 the last
  EXPECT_EQ(a.At(3, 5, 2), 65520);            // 4095 x 16, the largest voxel value
  // Only the loaded volume is counted: earlier contents are gone.
  EXPECT_EQ(Sum(a.histogram.get()), a.counted);
  EXPECT_EQ(a.histogram[4095], 1u);
  EXPECT_EQ(a.histogram[503], 8u);
  EXPECT_EQ(a.histogram[0], 0u);
}

TEST(ZR_VolumeAssembler, WideRangesStayInsideTheTable) {
  // Padded CT: file values -2048..3071, stored 0..5119.
  auto v = ZR_TestStudy::Make(16, 16, 10, [](int32_t x, int32_t y, int32_t) {
    return static_cast<uint16_t>((y * 16 + x) * 20 + (x == 15 && y == 15 ? 19 : 0));
  }, -2048, 3071);
  const Assembled a = Assemble(*v);
  ASSERT_EQ(a.counted, 2560u);
  EXPECT_EQ(a.At(15, 15, 0), 65520);  // stored 5119
  EXPECT_EQ(*std::max_element(a.voxels.get(), a.voxels.get() + a.counted), 65520);
  EXPECT_EQ(Sum(a.histogram.get()), a.counted);
  EXPECT_EQ(a.histogram[4095], 10u);
}

// The colour a voxel gets is the table entry of its index; the value the table says that entry
// has must be the voxel's own value (within half an index step).
TEST(ZR_VolumeAssembler, TheTableGivesEachVoxelItsOwnValue) {
  const struct {
    const char* what;
    int32_t smallest, largest, intercept;
    float slope;
  } cases[] = {
      {"12-bit CT", 0, 4095, -1024, 1.0f},
      {"MR 0..1000", 0, 1000, 0, 1.0f},
      {"padded CT", -2048, 3071, 0, 1.0f},
      {"16-bit unsigned", 0, 65535, 0, 1.0f},
      {"signed with slope", -1200, 2800, 10, 0.5f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const int32_t range = c.largest - c.smallest;
    const int32_t step = std::max(1, range / 997);
    auto v = ZR_TestStudy::Make(32, 32, 10, [&](int32_t x, int32_t y, int32_t z) {
      return static_cast<uint16_t>(std::min<int64_t>(int64_t{z * 1024 + y * 32 + x} * step, range));
    }, c.smallest, c.largest);
    const Assembled a = Assemble(*v);
    ZR_Lut lut;
    lut.SetValueMapping(c.slope, c.intercept);
    lut.SetRawRange(c.smallest, c.largest);
    lut.SetIndexScale(ZR_Lut::kIndexScale);
    const double halfStep = 0.5 * range / 4095.0 * c.slope + 1e-3 * std::abs(c.largest * c.slope);
    for (int32_t z = 0; z < 10; z += 3)
      for (int32_t y = 0; y < 32; y += 5)
        for (int32_t x = 0; x < 32; x += 7) {
          const int32_t stored = v->Slice(z)[y * 32 + x];
          const double value = (stored + c.smallest) * double(c.slope) + c.intercept;
          const int32_t index = a.At(x, y, z) >> 4;
          ASSERT_NEAR(lut.IndexToValue(static_cast<float>(index)), value, halfStep) << "stored " << stored;
          ASSERT_GT(a.histogram[index], 0u);
        }
  }
}

TEST(ZR_VolumeAssembler, SubSamplingTakesExactlyDepthOverFactorSlices) {
  // 201 slices, factor 2: the buffer holds 100 slices (0, 2, .., 198), not 101.
  auto v = ZR_TestStudy::Make(16, 16, 201, [](int32_t x, int32_t y, int32_t z) {
    return static_cast<uint16_t>(z + 1000 * (x % 2) + 2000 * (y % 2));
  });
  const Assembled a = Assemble(*v, 2);
  EXPECT_EQ(a.geometry.nWidth, 8);
  EXPECT_EQ(a.geometry.nHeight, 8);
  ASSERT_EQ(a.geometry.nDepth, 100);
  ASSERT_EQ(a.counted, 6400u);
  for (int32_t z = 0; z < 100; ++z) ASSERT_EQ(a.At(5, 3, z), 2 * z * 16) << z;  // even rows and columns only
  EXPECT_EQ(a.histogram[198], 64u);
  EXPECT_EQ(a.histogram[199], 0u);
  EXPECT_EQ(Sum(a.histogram.get()), a.counted);

  // From a first slice on, every second one: 10..29 gives 10, 12, .., 28.
  v->m_nFirst = 10;
  v->m_nLast = 29;
  const Assembled b = Assemble(*v, 2);
  ASSERT_EQ(b.geometry.nDepth, 10);
  EXPECT_EQ(b.At(0, 0, 0), 10 * 16);
  EXPECT_EQ(b.At(0, 0, 9), 28 * 16);
}

TEST(ZR_VolumeAssembler, ThreadsDoNotChangeTheResult) {
  auto v = ZR_TestStudy::Make(64, 64, 37, [](int32_t x, int32_t y, int32_t z) {
    return static_cast<uint16_t>((x * 7 + y * 13 + z * 101) % 4096);
  });
  const Assembled one = Assemble(*v, 1, 1), three = Assemble(*v, 1, 3);
  EXPECT_TRUE(std::equal(one.voxels.get(), one.voxels.get() + one.counted, three.voxels.get()));
  EXPECT_TRUE(std::equal(one.histogram.get(), one.histogram.get() + A::kHistogramSize, three.histogram.get()));
}

TEST(ZR_VolumeAssembler, AGeometryOutsideTheSlicesWritesNothing) {
  auto v = ZR_TestStudy::Numbered(8, 12);
  uint16_t voxels[8 * 8 * 13] = {};
  uint32_t histogram[A::kHistogramSize] = {};
  ZR_VolumeGeometry g = A::Geometry(*v, 1);
  g.nDepth = 13;
  EXPECT_EQ(A::Fill(*v, g, voxels, histogram), 0u);
  v->m_apSlices[3].reset();  // a volume with a missing slice
  EXPECT_EQ(A::Fill(*v, A::Geometry(*v, 1), voxels, histogram), 0u);
  EXPECT_EQ(std::count(voxels, voxels + 8 * 8 * 13, 0), 8 * 8 * 13);
}

// Overlay bits above the 12 stored bits never reach the volume: they would fake a 16-bit range
// and squeeze every real value into a sixteenth of the table.
TEST(ZR_VolumeAssembler, OverlayBitsInTwelveBitFilesDoNotWidenTheRange) {
  ZR_DicomFixtures::Grey grey = ZR_DicomSeries::Flat(0);
  grey.values = {0, 4095, 0xF0FF, 0x8000, 100, 200, 300, 400, 500, 600, 700, 800, 900, 1000, 1100, 1200};
  const std::vector<std::string> files = ZR_DicomSeries::Write("overlay", 10, grey, [&](int32_t, ZR_DcmImage& image) {
    ZR_DicomFixtures::Grey same = grey;  // the same values in every file
    const std::vector<uint8_t> bytes = ZR_DicomFixtures::Bytes(same);
    image.CopyPixelBuffer(bytes.data(), 1, 2, 8);
  });
  ZR_DicomReader reader;
  ZR_DicomVolume v;
  ASSERT_EQ(reader.ReadSeries(files, v), VR_OK) << reader.LastError();
  EXPECT_EQ(v.m_nSmallest, 0);
  EXPECT_EQ(v.m_nLargest, 4095);
  const Assembled a = Assemble(v);
  const int32_t x0 = (v.m_nWidth - 4) / 2, y0 = (v.m_nHeight - 4) / 2;
  EXPECT_EQ(a.At(x0 + 1, y0, 0), 4095 * 16);
  EXPECT_EQ(a.At(x0 + 2, y0, 0), 0xFF * 16);  // 0xF0FF: the stored bits are 0x0FF
  EXPECT_EQ(a.At(x0 + 3, y0, 0), 0);          // 0x8000: an overlay bit alone
}
