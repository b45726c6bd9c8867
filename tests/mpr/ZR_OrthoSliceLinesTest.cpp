// The slice lines of the 3D screen's orthogonal panes: grabbing them and what a drag does to
// the slices, for volumes whose z range is the largest side and for flipped axes.
#include <gtest/gtest.h>

#include "mpr/ZR_OrthoSliceLines.h"

namespace {

TEST(OrthoSliceLines, APressNearALineGrabsItVerticalLinesFirst) {
  // Panel 1's lines at x 40 and y 20, panel 2's at 10 and 50, panel 3's at 30 and 30.
  const int32_t lines[6] = {40, 20, 10, 50, 30, 30};
  struct Case {
    int32_t panel, x, y, code;
  };
  const Case cases[] = {{1, 52, 20, 1},  {1, 53, 21, 2},  {1, 53, 33, 0}, {2, 12, 50, 3},
                        {2, 30, 45, 4},  {3, 30, 30, 5},  {3, 50, 41, 6}, {3, 50, 43, 0},
                        {0, 40, 20, 0},  {4, 40, 20, 0}};
  for (const Case& c : cases)
    EXPECT_EQ(ZR_OrthoSliceLines::Test(c.panel, c.x, c.y, lines, 12), c.code) << c.panel << " " << c.x << "," << c.y;
}

TEST(OrthoSliceLines, TheAxialSliceFollowsALineAcrossTheWholePaddedRange) {
  // 512 x 512 x 400 slices of 0.7 x 0.7 x 1.25 mm: z spans 714 box units, x and y 512. The
  // panes span the padded z range (714): a line dragged over a quarter of a pane moves the
  // axial slice by a quarter of that range, not by 714 / 512 times as much.
  const float extents[3] = {512, 512, 714.2857f};
  const float largest = 714;
  const int32_t signs[3] = {1, 1, 1};
  for (int32_t code : {2, 4}) {
    ZR_OrthoViews views;
    ASSERT_TRUE(ZR_OrthoSliceLines::Drag(views, code, 0, -50, 200, 200, extents, largest, signs));
    EXPECT_FLOAT_EQ(views.afSlice[2], 0.25f) << code;  // upwards: towards +z
  }
  // The x and y slices: the pane shows x (or y) across 512 of its 714 units.
  ZR_OrthoViews views;
  ASSERT_TRUE(ZR_OrthoSliceLines::Drag(views, 3, 20, 0, 200, 200, extents, largest, signs));
  EXPECT_NEAR(views.afSlice[0], 20.0f / 200 * 714 / 512, 1e-6);
  ASSERT_TRUE(ZR_OrthoSliceLines::Drag(views, 1, -20, 0, 200, 200, extents, largest, signs));
  EXPECT_NEAR(views.afSlice[1], -20.0f / 200 * 714 / 512, 1e-6);
  ASSERT_TRUE(ZR_OrthoSliceLines::Drag(views, 6, 0, 20, 200, 200, extents, largest, signs));
  EXPECT_NEAR(views.afSlice[1], 0, 1e-6);  // downwards in the axial pane: towards +y
}

TEST(OrthoSliceLines, FlippedAxesAndTheVolumesEdges) {
  const float extents[3] = {64, 64, 48};
  const int32_t flipped[3] = {-1, 1, -1};
  ZR_OrthoViews views;
  // A flipped axis draws its line mirrored: the slice moves the other way to stay under it.
  ASSERT_TRUE(ZR_OrthoSliceLines::Drag(views, 5, 16, 0, 64, 64, extents, 64, flipped));
  EXPECT_FLOAT_EQ(views.afSlice[0], -0.25f);
  ASSERT_TRUE(ZR_OrthoSliceLines::Drag(views, 2, 0, -16, 64, 64, extents, 64, flipped));
  EXPECT_FLOAT_EQ(views.afSlice[2], -0.25f);
  // The slices stay within the volume.
  ASSERT_TRUE(ZR_OrthoSliceLines::Drag(views, 5, 500, 0, 64, 64, extents, 64, flipped));
  EXPECT_FLOAT_EQ(views.afSlice[0], -0.5f);
  EXPECT_FALSE(ZR_OrthoSliceLines::Drag(views, 0, 5, 5, 64, 64, extents, 64, flipped));
  EXPECT_FALSE(ZR_OrthoSliceLines::Drag(views, 1, 5, 5, 0, 64, extents, 64, flipped));
}

TEST(OrthoSliceLines, LinePositionsComeFromWhereThePaneDrewItsCrosshair) {
  int32_t lines[6] = {};
  const float crosshair[2] = {16, -8};  // drawing units of a 64-unit square
  ZR_OrthoSliceLines::FromCrosshair(2, crosshair, 64, 128, 64, lines);
  EXPECT_EQ(lines[2], 96);
  EXPECT_EQ(lines[3], 24);
  EXPECT_EQ(lines[0], 0);
}

}  // namespace
