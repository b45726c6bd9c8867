// The lookup table: value mapping, the band build, the ramps and the grey-table backup.

#include "presets/ZR_Lut.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <vector>

namespace {
constexpr int kEntries = ZR_Lut::kDefaultEntryCount;

struct Mapping {
  int32_t minimum, maximum;
  float slope;
  int32_t intercept;
};

void Apply(ZR_Lut& lut, const Mapping& m) {
  lut.SetValueMapping(m.slope, m.intercept);
  lut.SetRawRange(m.minimum, m.maximum);
  lut.SetIndexScale(4095);
}

const float* Entry(const float* table, int index) { return table + index * 4; }

// A CT volume of -1024..3071 HU: raw 0..4095 with intercept -1024.
const Mapping kCt{0, 4095, 1.0f, -1024};
}  // namespace

TEST(Lut, StartsWithZeroColourTableAndIdentityGreyRamp) {
  ZR_Lut lut;
  ASSERT_EQ(lut.EntryCount(), kEntries);
  for (int i = 0; i < kEntries; ++i) {
    for (int c = 0; c < 4; ++c) {
      ASSERT_EQ(Entry(lut.ColourTable(), i)[c], 0.0f) << i;
      ASSERT_FLOAT_EQ(Entry(lut.GreyTable(), i)[c], static_cast<float>(i) / 4095.0f) << i;
    }
  }
  EXPECT_EQ(Entry(lut.GreyTable(), 4095)[3], 1.0f);
  EXPECT_TRUE(lut.GuardsIntact());

  lut.SetEntryCount(256);
  EXPECT_EQ(lut.EntryCount(), 256);
  EXPECT_EQ(Entry(lut.GreyTable(), 255)[0], 1.0f);
  EXPECT_TRUE(lut.GuardsIntact());
}

TEST(Lut, ValueMappingFollowsSlopeInterceptAndRange) {
  const struct {
    Mapping m;
    float index, value;
  } cases[] = {
      {kCt, 0, -1024},          {kCt, 4095, 3071},        {kCt, 2048, 1024},
      {{100, 1100, 2.0f, 0}, 0, 200}, {{100, 1100, 2.0f, 0}, 4095, 2200},
      {{0, 1000, 1.0f, 0}, 4095, 1000}, {{-2000, 2000, 0.5f, 10}, 2047.5f, 10},
  };
  for (const auto& c : cases) {
    ZR_Lut lut;
    Apply(lut, c.m);
    EXPECT_NEAR(lut.IndexToValue(c.index), c.value, 1e-3) << c.m.minimum << ".." << c.m.maximum;
    EXPECT_NEAR(lut.ValueToIndex(c.value), c.index, 1e-2) << c.m.minimum << ".." << c.m.maximum;
  }
}

TEST(Lut, EmptyRangeAndBadSlopeMapWithoutDividingByZero) {
  ZR_Lut lut;
  Apply(lut, {500, 500, 0.0f, 0});  // slope 0 is taken as 1
  EXPECT_EQ(lut.Slope(), 1.0f);
  EXPECT_EQ(lut.ValueToIndex(123.0f), 0.0f);
  EXPECT_EQ(lut.IndexToValue(4095), 500.0f);
  lut.BuildGreyRamp(100, 500);
  EXPECT_TRUE(lut.GuardsIntact());
}

// The volume loader turns a stored value v (0..max - min) into the table index
// round(v * 4095 / (max - min)); the table's own formulas must then give back the voxel's
// data value to within half an index, for any range.
TEST(Lut, TableIndexOfTheLoaderAgreesWithTheValueMapping) {
  const Mapping ranges[] = {kCt, {-1024, 2500, 1.0f, 0}, {0, 1000, 1.0f, 0},
                            {100, 1100, 2.0f, -1024}, {0, 37, 1.0f, 0}};
  for (const Mapping& m : ranges) {
    ZR_Lut lut;
    Apply(lut, m);
    const int32_t range = m.maximum - m.minimum;
    const double halfIndex = 0.5 * range / 4095.0 * m.slope;
    for (int32_t v = 0; v <= range; v += std::max(1, range / 97)) {
      const int index = static_cast<int>(std::lround(v * 4095.0 / range));
      const double value = (m.minimum + v) * static_cast<double>(m.slope) + m.intercept;
      ASSERT_NEAR(lut.IndexToValue(static_cast<float>(index)), value, halfIndex + 1e-2)
          << m.minimum << ".." << m.maximum << " v=" << v;
      ASSERT_NEAR(lut.ValueToIndex(static_cast<float>(value)), v * 4095.0 / range, 1e-2)
          << m.minimum << ".." << m.maximum << " v=" << v;
    }
  }
}

// MR 0..1000 with W 200 L 500: the ramp spans indices 1638..2457, which is where the loader
// puts the voxels of 400..600.
TEST(Lut, TypedWindowOnShortRangeRampsOverTheVoxelsItNames) {
  ZR_Lut lut;
  Apply(lut, {0, 1000, 1.0f, 0});
  lut.BuildGreyRamp(200, 500);
  auto greyOf = [&](int stored) {
    return Entry(lut.GreyTable(), static_cast<int>(std::lround(stored * 4095.0 / 1000)))[0];
  };
  EXPECT_EQ(greyOf(300), 0.0f);
  EXPECT_NEAR(greyOf(400), 0.0f, 0.01f);
  EXPECT_NEAR(greyOf(500), 0.5f, 0.01f);
  EXPECT_NEAR(greyOf(599), 1.0f, 0.02f);
  EXPECT_EQ(greyOf(700), 1.0f);
}

TEST(Lut, GreyRampSteps) {
  ZR_Lut lut;
  Apply(lut, kCt);

  lut.BuildGreyRamp(0, 0);  // hard step at 0 HU = index 1024
  EXPECT_EQ(Entry(lut.GreyTable(), 1023)[0], 0.0f);
  EXPECT_EQ(Entry(lut.GreyTable(), 1024)[0], 1.0f);
  EXPECT_EQ(lut.GreyWindow(), (ZR_Window{0, 0}));

  lut.BuildGreyRamp(400, 40);  // -160..240 HU = indices 864..1264
  EXPECT_EQ(Entry(lut.GreyTable(), 863)[1], 0.0f);
  EXPECT_EQ(Entry(lut.GreyTable(), 864)[1], 0.0f);
  EXPECT_FLOAT_EQ(Entry(lut.GreyTable(), 1064)[2], 0.5f);
  EXPECT_EQ(Entry(lut.GreyTable(), 1264)[0], 1.0f);

  lut.BuildGreyRamp(2000, -1500);  // -2500..-500 HU: the ramp starts at index 0
  EXPECT_EQ(Entry(lut.GreyTable(), 0)[0], 0.0f);
  EXPECT_NEAR(Entry(lut.GreyTable(), 1)[0], 1.0f / 524, 1e-6);
  EXPECT_EQ(Entry(lut.GreyTable(), 524)[0], 1.0f);

  lut.BuildGreyRamp(2000, 3000);  // above the data: the ramp ends at 4095
  EXPECT_LT(Entry(lut.GreyTable(), 4094)[0], 1.0f);
  EXPECT_EQ(Entry(lut.GreyTable(), 4095)[0], 1.0f);
}

TEST(Lut, GreyAndOpacityRampsWriteOnlyTheirComponents) {
  ZR_Lut lut;
  Apply(lut, kCt);
  lut.BuildGreyRamp(0, 0);
  lut.BuildOpacityRamp(0, 2000);
  EXPECT_EQ(lut.OpacityWindow(), (ZR_Window{0, 2000}));
  const float* atBone = Entry(lut.GreyTable(), 2500);
  EXPECT_EQ(atBone[0], 1.0f);
  EXPECT_EQ(atBone[3], 0.0f);
  const float* atDense = Entry(lut.GreyTable(), 3500);
  EXPECT_EQ(atDense[1], 1.0f);
  EXPECT_EQ(atDense[3], 1.0f);
}

// Windows far outside the data once indexed before or after the table (W 200 L -2500 on
// -1024..3071 gave high = -1376). Every entry must stay in [0, 1] and the guard entries
// around the tables untouched.
TEST(Lut, ExtremeWindowsStayInsideTheTable) {
  const struct {
    int32_t width, level;
    float first, last;  // expected grey at entries 0 and 4095
  } cases[] = {
      {200, -2500, 1, 1},           {200, 9000, 0, 1},
      {0, -100000, 1, 1},           {0, 100000, 0, 1},
      {65535, 0, 0, 1},          {INT32_MAX, INT32_MIN, 1, 1},
      {INT32_MAX, INT32_MAX, 0, 1}, {-400, 40, 0, 1},
      {1, -1024, 1, 1},
  };
  for (const auto& c : cases) {
    ZR_Lut lut;
    Apply(lut, kCt);
    lut.BuildGreyRamp(c.width, c.level);
    lut.BuildOpacityRamp(c.width, c.level);
    ASSERT_TRUE(lut.GuardsIntact()) << c.width << " " << c.level;
    float previous = 0.0f;
    for (int i = 0; i < kEntries; ++i) {
      const float* e = Entry(lut.GreyTable(), i);
      ASSERT_GE(e[0], previous) << i;
      ASSERT_LE(e[0], 1.0f) << i;
      ASSERT_EQ(e[0], e[3]) << i;
      previous = e[0];
    }
    EXPECT_NEAR(Entry(lut.GreyTable(), 0)[0], c.first, 0.01f) << c.width << " " << c.level;
    EXPECT_EQ(Entry(lut.GreyTable(), 4095)[0], c.last) << c.width << " " << c.level;
  }
}

TEST(Lut, ColourBandsInterpolateBetweenBandCentres) {
  ZR_Lut lut;
  const uint16_t edges[4] = {1000, 2000, 3000, 3500};
  const float colours[5][4] = {{0, 0, 0, 0}, {1, 0, 0, 0.2f}, {0, 1, 0, 0.4f}, {0, 0, 1, 0.6f},
                               {1, 1, 1, 1}};
  lut.BuildColourTable(edges, colours, 4000);
  // Node positions 0, 500, 1500, 2500, 3250, 3750 and the end.
  const struct {
    int index;
    float rgba[4];
  } cases[] = {
      {0, {0, 0, 0, 0}},           {500, {0, 0, 0, 0}},           {1000, {0.5f, 0, 0, 0.1f}},
      {1500, {1, 0, 0, 0.2f}},     {2000, {0.5f, 0.5f, 0, 0.3f}}, {2500, {0, 1, 0, 0.4f}},
      {3250, {0, 0, 1, 0.6f}},     {3750, {1, 1, 1, 1}},          {4095, {1, 1, 1, 1}},
  };
  for (const auto& c : cases)
    for (int k = 0; k < 4; ++k)
      EXPECT_NEAR(Entry(lut.ColourTable(), c.index)[k], c.rgba[k], 1e-6) << c.index << "/" << k;
  EXPECT_EQ(lut.EdgeCount(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(lut.BandEdges()[i], edges[i]);
  for (int b = 0; b < 5; ++b)
    for (int k = 0; k < 4; ++k) EXPECT_EQ(lut.BandColours()[b * 4 + k], colours[b][k]);
}

// Equal colours give a constant table, also for edges out of order or beyond the table:
// then every entry must still be written exactly once, and nothing outside.
TEST(Lut, ColourTableIsCompleteForAnyEdges) {
  const struct {
    uint16_t edges[4];
    uint16_t extent;
  } cases[] = {{{800, 1600, 2400, 3200}, 4095}, {{4000, 10, 65535, 0}, 65535},
               {{0, 0, 0, 0}, 0},               {{4095, 4095, 4095, 4095}, 100},
               {{65535, 65535, 65535, 65535}, 65535}};
  float colours[5][4];
  for (auto& colour : colours)
    for (float& component : colour) component = 0.25f;
  for (const auto& c : cases) {
    ZR_Lut lut;
    lut.BuildColourTable(c.edges, colours, c.extent);
    ASSERT_TRUE(lut.GuardsIntact());
    for (int i = 0; i < kEntries * 4; ++i) ASSERT_EQ(lut.ColourTable()[i], 0.25f) << i;
  }
}

TEST(Lut, FillGreyRangeIsClampedAndTheBackupRestoresTheTable) {
  ZR_Lut lut;
  const std::vector<float> identity(lut.GreyTable(), lut.GreyTable() + kEntries * 4);

  lut.FillGreyRange(300, 255, 0, 0);  // first above last: nothing
  EXPECT_EQ(std::vector<float>(lut.GreyTable(), lut.GreyTable() + kEntries * 4), identity);

  lut.SaveGreyTable();
  lut.FillGreyRange(4000, 100000, 0.0f, 0.0f);
  lut.FillGreyRange(-50, 2, 0.5f, 0.25f);
  EXPECT_TRUE(lut.GuardsIntact());
  EXPECT_EQ(Entry(lut.GreyTable(), 3999)[3], identity[3999 * 4 + 3]);
  EXPECT_EQ(Entry(lut.GreyTable(), 4000)[3], 0.0f);
  EXPECT_EQ(Entry(lut.GreyTable(), 4095)[0], 0.0f);
  EXPECT_EQ(Entry(lut.GreyTable(), 2)[0], 0.5f);
  EXPECT_EQ(Entry(lut.GreyTable(), 0)[3], 0.25f);
  EXPECT_EQ(Entry(lut.GreyTable(), 3)[0], identity[3 * 4]);

  lut.RestoreGreyTable();
  EXPECT_EQ(std::vector<float>(lut.GreyTable(), lut.GreyTable() + kEntries * 4), identity);
}
