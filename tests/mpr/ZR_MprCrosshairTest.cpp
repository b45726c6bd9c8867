// Where the other planes cut an MPR view, and which line a pointer grabs there.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "mpr/ZR_MprCrosshair.h"
#include "mpr/ZR_StandardOrientations.h"

namespace {
using Line = ZR_MprCrosshair::Line;

// The layout as entered: sagittal 4, coronal 5, axial 6, oblique 7, all through the centre;
// a 64 x 64 pane of a 64-unit box, so that pixel = box unit + 32.
class Crosshair : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int32_t panel = 4; panel <= 7; ++panel) {
      views[panel].Reset();
      ZR_StandardOrientations::LayoutPlane(panel, views[panel].Orientation());
    }
  }
  const Line* Find(const std::vector<Line>& lines, int32_t plane, int32_t side) {
    auto it = std::find_if(lines.begin(), lines.end(), [&](const Line& l) { return l.nPlane == plane && l.nSide == side; });
    return it == lines.end() ? nullptr : &*it;
  }
  int32_t Draw(int32_t panel) {
    const std::vector<Line> lines = ZR_MprCrosshair::Lines(views, panel, pane);
    ZR_MprCrosshair::StoreRects(views[panel], lines);
    return static_cast<int32_t>(lines.size());
  }
  int32_t Hit(int32_t panel, int32_t x, int32_t y) { return ZR_MprCrosshair::HitTest(views[panel], panel, x, y, 12); }

  MprViewInfo views[12];
  ZR_MprPane pane{64, 64, 64};
};

TEST_F(Crosshair, TheAxialViewShowsTheSagittalAndCoronalPlanesWhereTheyCutIt) {
  views[4].Position()[0] = 8;   // the sagittal plane at x = 8
  views[5].Position()[1] = -4;  // the coronal plane at y = -4
  const std::vector<Line> lines = ZR_MprCrosshair::Lines(views, 6, pane);
  ASSERT_EQ(lines.size(), 2u);
  const Line* sagittal = Find(lines, 4, 0);
  const Line* coronal = Find(lines, 5, 0);
  ASSERT_TRUE(sagittal && coronal);
  // Vertical at pixel 40 from the top to the bottom of the pane; horizontal at row 28 (the
  // up direction runs down the pane).
  EXPECT_EQ(sagittal->nSlot, 2);
  EXPECT_EQ(std::vector<int32_t>(sagittal->aPixels, sagittal->aPixels + 4), (std::vector<int32_t>{40, 0, 40, 64}));
  EXPECT_EQ(coronal->nSlot, 1);
  EXPECT_EQ(std::vector<int32_t>(coronal->aPixels, coronal->aPixels + 4), (std::vector<int32_t>{0, 28, 64, 28}));
  // The sagittal view shows the axial plane (slot 0) and the coronal one; the oblique none.
  views[6].Position()[2] = 10;
  const std::vector<Line> inSagittal = ZR_MprCrosshair::Lines(views, 4, pane);
  ASSERT_EQ(inSagittal.size(), 2u);
  const Line* axial = Find(inSagittal, 6, 0);
  ASSERT_TRUE(axial);
  EXPECT_EQ(axial->nSlot, 0);
  // Up is -z there: z = 10 lies 10 units above the centre.
  EXPECT_EQ(axial->aPixels[1], 22);
  EXPECT_EQ(axial->aPixels[3], 22);
  EXPECT_TRUE(ZR_MprCrosshair::Lines(views, 7, pane).empty());
}

TEST_F(Crosshair, AnObliquePlaneCutsAcrossTheWholeSquare) {
  // The sagittal plane turned by 30 degrees about z: its line in the axial view is steep and
  // runs from the top edge to the bottom edge through x = 0 at the centre.
  const float c = 0.8660254f, s = 0.5f;
  float* o = views[4].Orientation();
  const float normal[3] = {-c, -s, 0};
  std::copy(normal, normal + 3, o + 8);
  const float right[3] = {-s, c, 0};
  std::copy(right, right + 3, o);
  const std::vector<Line> lines = ZR_MprCrosshair::Lines(views, 6, pane);
  const Line* line = Find(lines, 4, 0);
  ASSERT_TRUE(line);
  EXPECT_FLOAT_EQ(line->afFrom[1], -32);
  EXPECT_FLOAT_EQ(line->afTo[1], 32);
  // x = -tan(30) y on the plane.
  EXPECT_NEAR(line->afFrom[0], 32 * s / c, 1e-4);
  EXPECT_NEAR(line->afTo[0], -32 * s / c, 1e-4);
}

TEST_F(Crosshair, APlaneParallelToTheViewHasNoLineThereAndCannotBeGrabbed) {
  views[5].Position()[1] = 2;
  ASSERT_EQ(Draw(4), 2);
  EXPECT_EQ(Hit(4, 34, 10), ZR_MprCrosshair::PlaneCode(5));
  // The coronal plane turned parallel to the sagittal one.
  ZR_StandardOrientations::LayoutPlane(4, views[5].Orientation());
  EXPECT_EQ(Draw(4), 1);
  for (int32_t v : views[4].aLineRects[ZR_MprCrosshair::PlaneSlot(5)]) EXPECT_EQ(v, 0);
  EXPECT_EQ(Hit(4, 34, 10), ZR_MprCrosshair::kNone);
  float point[3], direction[3];
  const float n[3] = {1, 0, 0}, almost[3] = {0.9999995f, 0.0009f, 0};
  EXPECT_FALSE(ZR_MprCrosshair::Intersect(n, 0, almost, 1, point, direction));
}

TEST_F(Crosshair, HoverFindsPlaneLinesFirstTheirCrossingThenSlabBoundaries) {
  views[4].Position()[0] = 8;
  views[5].Position()[1] = -4;
  // View 4 is a slab of E / 2: its boundaries lie 16 units either side of x = 8, the + one
  // along its normal (-x).
  views[4].oView.nLayout = MprViewInfo::kSlab;
  views[4].fSlabExtent = 0.5f;
  ASSERT_EQ(Draw(6), 4);
  struct Case {
    int32_t x, y, code;
  };
  const Case cases[] = {
      {40, 5, 12},   // on the sagittal line
      {5, 28, 13},   // on the coronal line
      {5, 39, 13},   // 11 pixels from it
      {5, 40, 0},    // 12 pixels: not below the tolerance
      {41, 30, 17},  // both: the crossing, in view 6
      {24, 50, 18},  // the + boundary of view 4
      {56, 50, 19},  // the - boundary
  };
  for (const Case& c : cases) EXPECT_EQ(Hit(6, c.x, c.y), c.code) << c.x << "," << c.y;
}

TEST_F(Crosshair, ALineOfTwelveSquarePixelsOrLessCannotBeGrabbed) {
  MprViewInfo& view = views[6];
  struct Case {
    int32_t rect[4];
    bool grabbable;
  };
  const Case cases[] = {{{10, 10, 12, 12}, false},  // length squared 8
                        {{10, 10, 10, 10}, false},  // a point (a cleared slot)
                        {{10, 10, 13, 12}, true},   // 13
                        {{10, 10, 10, 60}, true}};
  for (const Case& c : cases) {
    view.ClearLineRects();
    std::copy(c.rect, c.rect + 4, view.aLineRects[ZR_MprCrosshair::PlaneSlot(4)]);
    EXPECT_EQ(Hit(6, 11, 11) == ZR_MprCrosshair::PlaneCode(4), c.grabbable) << c.rect[2] << "," << c.rect[3];
  }
}

TEST(CrosshairCodes, EachCodeNamesTheViewsItMovesAndTheTarget) {
  struct Case {
    int32_t code;
    int32_t planes[2];
    int32_t side;
    int32_t targetIn6;
  };
  const Case cases[] = {{0, {-1, -1}, 0, 6},   {12, {4, -1}, 0, 4}, {13, {5, -1}, 0, 5}, {14, {6, -1}, 0, 6},
                        {15, {6, 5}, 0, 6},    {17, {4, 5}, 0, 6},  {18, {4, -1}, 1, 4}, {19, {4, -1}, -1, 4},
                        {21, {5, -1}, -1, 5},  {22, {6, -1}, 1, 6}, {23, {6, -1}, -1, 6}};
  for (const Case& c : cases) {
    int32_t planes[2], side = 0;
    ZR_MprCrosshair::Grabbed(c.code, planes, &side);
    EXPECT_EQ(planes[0], c.planes[0]) << c.code;
    EXPECT_EQ(planes[1], c.planes[1]) << c.code;
    EXPECT_EQ(side, c.side) << c.code;
    EXPECT_EQ(ZR_MprCrosshair::TargetOfCode(c.code, 6), c.targetIn6) << c.code;
  }
  // The slots and codes agree with each other.
  for (int32_t plane = 4; plane <= 6; ++plane)
    for (int32_t side : {1, -1}) {
      int32_t planes[2], s = 0;
      ZR_MprCrosshair::Grabbed(ZR_MprCrosshair::BoundaryCode(plane, side), planes, &s);
      EXPECT_EQ(planes[0], plane);
      EXPECT_EQ(s, side);
    }
  EXPECT_EQ(ZR_MprCrosshair::BoundarySlot(6, 1), 3);
  EXPECT_EQ(ZR_MprCrosshair::BoundarySlot(5, -1), 6);
  EXPECT_EQ(ZR_MprCrosshair::BoundarySlot(4, -1), 8);
}

}  // namespace
