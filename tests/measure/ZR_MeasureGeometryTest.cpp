// Rulers and angles in normalised view coordinates: a normalised unit is the physical length
// of the volume's largest side on both axes; angles come in whole degrees, a straight one
// included.
#include <gtest/gtest.h>

#include <cmath>

#include "measure/ZR_MeasureGeometry.h"

namespace {
TEST(MeasureGeometry, ARulerIsItsNormalisedLengthTimesThePhysicalSide) {
  struct Case {
    double x1, y1, x2, y2, side, mm;
  };
  const Case cases[] = {
      {0.5, 1, 0.5, 0, 400, 400},        // top to bottom of a view of a 400 mm side
      {0, 0.5, 1, 0.5, 400, 400},        // across: the same scale
      {0.1, 0.2, 0.4, 0.6, 100, 50},     // 0.3, 0.4 -> 0.5
      {0.25, 0.25, 0.25, 0.25, 100, 0},
  };
  for (const Case& c : cases)
    EXPECT_NEAR(ZR_MeasureGeometry::RulerLength(c.x1, c.y1, c.x2, c.y2, c.side), c.mm, 1e-9)
        << c.x1 << "," << c.y1 << " - " << c.x2 << "," << c.y2;
}

TEST(MeasureGeometry, AnglesAreWholeDegreesAtTheVertex) {
  struct Case {
    double x1, y1, x2, y2, x3, y3, degrees;
  };
  const Case cases[] = {
      {0.5, 0.9, 0.5, 0.5, 0.9, 0.5, 90},
      {0.9, 0.5, 0.5, 0.5, 0.9, 0.9, 45},
      {0.9, 0.5, 0.5, 0.5, 0.5 + 0.4 * std::cos(0.5), 0.5 + 0.4 * std::sin(0.5), 29},  // 28.65
      {0.9, 0.5, 0.5, 0.5, 0.5 + 0.4 * std::cos(0.51), 0.5 + 0.4 * std::sin(0.51), 29},  // 29.22
      {0.1, 0.5, 0.5, 0.5, 0.9, 0.5, 180},   // straight, the vertex in the middle
      {0.9, 0.5, 0.5, 0.5, 0.7, 0.5, 0},     // folded: both ends on one side
      {0.5, 0.5, 0.5, 0.5, 0.9, 0.5, -1},    // the first leg has no length
      {0.1, 0.5, 0.5, 0.5, 0.5005, 0.5, -1}, // nor the second
  };
  for (const Case& c : cases)
    EXPECT_EQ(ZR_MeasureGeometry::Angle(c.x1, c.y1, c.x2, c.y2, c.x3, c.y3), c.degrees)
        << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2 << " " << c.x3 << "," << c.y3;
}

TEST(MeasureGeometry, StraightAnglesWhoseCosineRoundsBelowMinusOneAre180) {
  // The vertex halfway between the ends: for these the cosine computes as -1.0000000000000002,
  // beyond what acos takes.
  const double ends[][4] = {{0.03, 0.14, 0.46, 0.45}, {0.65, 0.79, 0.56, 0.72}, {0.37, 0.85, 0.67, 0.49}};
  for (const auto& e : ends) {
    const double x3 = 2 * e[2] - e[0], y3 = 2 * e[3] - e[1];
    EXPECT_EQ(ZR_MeasureGeometry::Angle(e[0], e[1], e[2], e[3], x3, y3), 180) << e[0] << "," << e[1];
  }
}

TEST(MeasureGeometry, LabelsSitBesideTheEndTheyName) {
  struct Case {
    double fromX, fromY, toX, toY;
    float dx, dy;
  };
  const Case cases[] = {
      {0.1, 0.1, 0.5, 0.5, 0.05f, 0.05f},
      {0.5, 0.5, 0.1, 0.1, -0.1f, -0.05f},
      {0.1, 0.5, 0.5, 0.5, 0.05f, -0.05f},  // level: below
      {0.5, 0.1, 0.5, 0.5, -0.1f, 0.05f},   // straight up: left
  };
  for (const Case& c : cases) {
    const ZR_MeasureGeometry::Offset d = ZR_MeasureGeometry::LabelOffset(c.fromX, c.fromY, c.toX, c.toY);
    EXPECT_FLOAT_EQ(d.dx, c.dx);
    EXPECT_FLOAT_EQ(d.dy, c.dy);
  }
}
}  // namespace
