// The labels: whole numbers rounded to the nearest (halves up), negatives included.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "measure/ZR_MeasureText.h"

namespace {
TEST(MeasureText, NumbersShowAsTheNearestWholeNumber) {
  struct Case {
    double value;
    int64_t whole;
  };
  const Case cases[] = {
      {-0.67, -1}, {-0.5, 0}, {-1.5, -1}, {-2.4, -2}, {-2.6, -3}, {0.49, 0},
      {2.5, 3},    {399.9999, 400}, {-1000.6, -1001}, {0, 0},
      {std::numeric_limits<double>::quiet_NaN(), 0}, {std::numeric_limits<double>::infinity(), 0},
  };
  for (const Case& c : cases) EXPECT_EQ(ZR_MeasureText::Whole(c.value), c.whole) << c.value;
}

TEST(MeasureText, EachAnnotationHasItsLabel) {
  EXPECT_EQ(ZR_MeasureText::PixelValue(-1000.6), "-1001");
  EXPECT_EQ(ZR_MeasureText::Length(399.9999), "400 mm");
  EXPECT_EQ(ZR_MeasureText::Angle(180), "180deg");
  EXPECT_EQ(ZR_MeasureText::Range(-0.67, 2.5), "[-1, 3]");
  EXPECT_EQ(ZR_MeasureText::MeanAndDeviation(-0.67, 0.4), "avg -1 std 0");
}
}  // namespace
