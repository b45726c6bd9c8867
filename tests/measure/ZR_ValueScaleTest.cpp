// From the renderers' samples (the file value less the study's smallest) to the study's
// units, with the rescale slope and intercept.
#include <gtest/gtest.h>

#include "measure/ZR_ValueScale.h"

namespace {
TEST(ValueScale, ValuesTakeTheSmallestBackThenTheSlopeAndTheIntercept) {
  struct Case {
    int32_t smallest;
    float slope;
    int32_t intercept;
    double sample, value;
  };
  const Case cases[] = {
      {0, 2.5f, 0, 400, 1000},         // not the sample itself
      {100, 2.5f, -1024, 400, 226},    // (400 + 100) x 2.5 - 1024
      {0, 1, -1024, 0, -1024},
      {-2000, 1, 0, 1500, -500},       // signed files
      {10, 0.5f, 3, 1.5, 8.75},        // a mean between samples
  };
  for (const Case& c : cases) {
    const ZR_ValueScale scale(c.smallest, c.slope, c.intercept);
    EXPECT_DOUBLE_EQ(scale.Value(c.sample), c.value) << c.smallest << " " << c.slope << " " << c.intercept;
  }
}

TEST(ValueScale, ASpreadScalesByTheSizeOfTheSlopeAndANegativeSlopeTurnsTheRangeRound) {
  const ZR_ValueScale falling(0, -2, 100);
  EXPECT_DOUBLE_EQ(falling.Spread(4), 8);
  EXPECT_DOUBLE_EQ(falling.Lowest(10, 30), 40);   // from the largest sample
  EXPECT_DOUBLE_EQ(falling.Highest(10, 30), 80);
  const ZR_ValueScale rising(5, 2.5f, -10);
  EXPECT_DOUBLE_EQ(rising.Spread(4), 10);
  EXPECT_DOUBLE_EQ(rising.Lowest(10, 30), 27.5);
  EXPECT_DOUBLE_EQ(rising.Highest(10, 30), 77.5);
}
}  // namespace
