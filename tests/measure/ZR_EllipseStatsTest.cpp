// The statistics of a ROI: which pixels its ellipse holds (29 of a 7 x 7 box), that nothing
// outside the image is read however far the box reaches past it, and sums that stay exact
// over large uniform regions.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "measure/ZR_EllipseStats.h"

namespace {
using Box = ZR_EllipseStats::Box;

// An image of exactly width x height values (an address sanitizer sees any read past it).
struct Image {
  int32_t width, height;
  std::vector<uint16_t> values;
  Image(int32_t w, int32_t h, uint16_t fill) : width(w), height(h), values(static_cast<size_t>(w) * h, fill) {}
  uint16_t& At(int32_t x, int32_t y) { return values[static_cast<size_t>(y) * width + x]; }
  ZR_EllipseStats::Result Stats(const Box& box) const {
    return ZR_EllipseStats::Compute(values.data(), width, height, box);
  }
};

// The pixels of a 7 x 7 box whose centres lie in the ellipse through the centres of its
// outermost pixels (radius 3 pixels about the middle pixel's centre), worked out by hand.
const char* const kSevenBySeven[7] = {
    "...X...",
    ".XXXXX.",
    ".XXXXX.",
    "XXXXXXX",
    ".XXXXX.",
    ".XXXXX.",
    "...X...",
};

TEST(EllipseStats, ASevenBySevenBoxHolds29PixelsAndNoneOfItsCorners) {
  const Box box{5, 4, 7, 7};
  Image image(16, 16, 1000);
  int32_t marked = 0;
  for (int32_t r = 0; r < 7; ++r)
    for (int32_t c = 0; c < 7; ++c)
      if (kSevenBySeven[r][c] == 'X') {
        image.At(box.left + c, box.top + r) = 0;
        ++marked;
      }
  ASSERT_EQ(marked, 29);
  // Every pixel of the box and of a ring around it, as the pattern says.
  for (int32_t r = -1; r <= 7; ++r)
    for (int32_t c = -1; c <= 7; ++c) {
      const bool expected = r >= 0 && r < 7 && c >= 0 && c < 7 && kSevenBySeven[r][c] == 'X';
      EXPECT_EQ(ZR_EllipseStats::Inside(box, box.left + c, box.top + r), expected) << "row " << r << " column " << c;
    }
  const ZR_EllipseStats::Result stats = image.Stats(box);
  EXPECT_EQ(stats.count, 29);
  EXPECT_EQ(stats.maximum, 0);  // not one of the 1000s around the ellipse
  EXPECT_EQ(stats.minimum, 0);
  EXPECT_EQ(stats.mean, 0);
  EXPECT_EQ(stats.deviation, 0);
}

TEST(EllipseStats, SmallBoxesHoldTheirCentralPixels) {
  struct Case {
    int32_t width, height, count;
  };
  const Case cases[] = {
      {1, 1, 1},
      {1, 5, 5},   // a column: all of it
      {5, 1, 5},
      {3, 3, 5},   // a plus
      {4, 4, 4},   // the middle 2 x 2
      {2, 3, 2},
      {2, 2, 0},   // no pixel centre close enough to both axes
  };
  for (const Case& c : cases) {
    const Image image(16, 16, 1);
    EXPECT_EQ(image.Stats(Box{3, 3, c.width, c.height}).count, c.count) << c.width << " x " << c.height;
  }
}

TEST(EllipseStats, TheStatisticsAreThoseOfTheValuesInside) {
  // A plus of 10, 20, 30, 40, 50 inside a 3 x 3 box whose corners hold 1000.
  Image image(8, 8, 1000);
  image.At(3, 2) = 10;
  image.At(2, 3) = 20;
  image.At(3, 3) = 30;
  image.At(4, 3) = 40;
  image.At(3, 4) = 50;
  const ZR_EllipseStats::Result stats = image.Stats(Box{2, 2, 3, 3});
  EXPECT_EQ(stats.count, 5);
  EXPECT_DOUBLE_EQ(stats.minimum, 10);
  EXPECT_DOUBLE_EQ(stats.maximum, 50);
  EXPECT_DOUBLE_EQ(stats.mean, 30);
  EXPECT_DOUBLE_EQ(stats.deviation, std::sqrt(200.0));  // (400 + 100 + 0 + 100 + 400) / 5
}

TEST(EllipseStats, AUniformRegionHasNoSpreadHoweverLargeOrBright) {
  for (const uint16_t value : {uint16_t{3000}, uint16_t{65535}}) {
    const Image image(512, 512, value);
    const ZR_EllipseStats::Result stats = image.Stats(Box{0, 0, 512, 512});
    EXPECT_GT(stats.count, 200000);
    EXPECT_EQ(stats.minimum, value);
    EXPECT_EQ(stats.maximum, value);
    EXPECT_EQ(stats.mean, value);
    EXPECT_EQ(stats.deviation, 0) << value;
  }
  // Two bright values a step apart: a spread of exactly a half, not lost to the brightness.
  Image image(64, 64, 65535);
  for (int32_t y = 0; y < 64; ++y)
    for (int32_t x = 0; x < 64; x += 2) image.At(x, y) = 65534;
  const ZR_EllipseStats::Result stats = image.Stats(Box{0, 0, 64, 64});
  EXPECT_DOUBLE_EQ(stats.deviation, 0.5);
}

TEST(EllipseStats, ABoxReachingPastTheImageReadsOnlyTheImagesPixelsInside) {
  // An ellipse of radii about 100 and 20 pixels over an image's edges: clipping it to the
  // image must count exactly the pixels it holds in a larger image that the smaller one is a
  // window of (marked 1 there, 0 elsewhere).
  struct Case {
    Box box;
    int32_t windowX, windowY;  // where the small image lies in the large one
  };
  const Case cases[] = {
      {{160, 40, 201, 41}, 100, 30},   // past the right and the bottom edge
      {{100, 30, 201, 41}, 150, 50},   // past the left and the top edge (negative in the window)
      {{0, 0, 400, 200}, 0, 0},        // the whole large image
  };
  constexpr int32_t kSmallW = 128, kSmallH = 40;
  for (const Case& c : cases) {
    Image large(400, 200, 0);
    for (int32_t y = 0; y < kSmallH; ++y)
      for (int32_t x = 0; x < kSmallW; ++x) large.At(c.windowX + x, c.windowY + y) = 1;
    const ZR_EllipseStats::Result all = large.Stats(c.box);
    const double inWindow = all.mean * static_cast<double>(all.count);
    ASSERT_GT(inWindow, 0);

    const Image small(kSmallW, kSmallH, 7);
    const Box shifted{c.box.left - c.windowX, c.box.top - c.windowY, c.box.width, c.box.height};
    const ZR_EllipseStats::Result clipped = small.Stats(shifted);
    EXPECT_EQ(static_cast<double>(clipped.count), std::round(inWindow)) << c.windowX << "," << c.windowY;
    EXPECT_EQ(clipped.minimum, 7);
    EXPECT_EQ(clipped.maximum, 7);
  }
  // Wholly outside: nothing.
  const Image small(kSmallW, kSmallH, 7);
  EXPECT_EQ(small.Stats(Box{kSmallW, 0, 201, 41}).count, 0);
  EXPECT_EQ(small.Stats(Box{-300, -100, 201, 41}).count, 0);
}

TEST(EllipseStats, TheBoxOfARoiFollowsItsDragDirection) {
  struct Case {
    float x, y, width, height;
    Box box;
  };
  // A 64 x 32 picture; y runs up the view and rows down the picture.
  const Case cases[] = {
      {0.25f, 0.75f, 0.5f, -0.25f, {16, 8, 32, 8}},    // dragged right and down
      {0.75f, 0.5f, -0.5f, 0.25f, {16, 8, 32, 8}},     // left and up: the same box
      {0.5f, 0.5f, 0.5f, 0.5f, {32, 0, 32, 16}},
      {0.5f, 0.5f, 0.001f, 0.5f, {32, 0, 1, 16}},      // thinner than a pixel: one
  };
  for (const Case& c : cases) {
    const Box b = ZR_EllipseStats::PixelBox(c.x, c.y, c.width, c.height, 64, 32);
    EXPECT_EQ(b.left, c.box.left) << c.x << "," << c.y;
    EXPECT_EQ(b.top, c.box.top) << c.x << "," << c.y;
    EXPECT_EQ(b.width, c.box.width) << c.x << "," << c.y;
    EXPECT_EQ(b.height, c.box.height) << c.x << "," << c.y;
  }
  // Sizes beyond any picture are held to the largest box.
  const Box huge = ZR_EllipseStats::PixelBox(0, 0, 1e9f, std::nanf(""), 64, 32);
  EXPECT_EQ(huge.width, ZR_EllipseStats::kLargestSide);
  EXPECT_EQ(huge.height, 1);
}
}  // namespace
