// The VOI box in the orthogonal panes: where its edges are drawn and picked, and what a drag
// of a face or with a VOI tool does to it, in the plain orientation (worked through by hand)
// and with mirrored axes (the grabbed face must stay under the pointer).
#include <gtest/gtest.h>

#include <cmath>

#include "edit3d/ZR_VoiOutline.h"

namespace {
using V = ZR_Box::Vector;

// 200 x 100 x 50 voxels, y spacing 0.5 of x and z spacing 2: extents 200, 50, 100; the panes
// span 200 units on 400 x 200 pixels (2 pixels a unit across, 1 pixel a unit down).
ZR_VoiOutline::Pane TestPane(int32_t sx = 1, int32_t sy = 1, int32_t sz = 1) {
  ZR_VoiOutline::Pane p;
  p.aDims[0] = 200;
  p.aDims[1] = 100;
  p.aDims[2] = 50;
  p.aScale[0] = 1;
  p.aScale[1] = 0.5f;
  p.aScale[2] = 2;
  p.aSigns[0] = sx;
  p.aSigns[1] = sy;
  p.aSigns[2] = sz;
  p.fSpan = 200;
  p.nWidth = 400;
  p.nHeight = 200;
  return p;
}

ZR_Box TestBox() { return ZR_Box(V{40, 20, 10}, V{100, 50, 25}); }

TEST(VoiOutline, EdgesSitWhereThePaneDrawsTheFaces) {
  const ZR_VoiOutline::Pane pane = TestPane();
  ZR_VoiOutline::Edges e;
  // Axial: x 80..120 -> units -20..20 -> pixels 160..240; y 40..60 voxels -> units -5..5
  // (y grows downwards) -> rows 95..105.
  ASSERT_TRUE(ZR_VoiOutline::Compute(3, TestBox(), pane, &e));
  EXPECT_EQ(e.nLeft, 160);
  EXPECT_EQ(e.nRight, 240);
  EXPECT_EQ(e.nTop, 95);
  EXPECT_EQ(e.nBottom, 105);
  EXPECT_EQ(e.nLeftFace, ZR_VoiOutline::kLowerX);
  EXPECT_EQ(e.nTopFace, ZR_VoiOutline::kLowerY);
  // Sagittal: y across (-5..5 units -> 190..210), z upwards: 20..30 voxels -> -10..10 units,
  // the upper face at the top (row 90).
  ASSERT_TRUE(ZR_VoiOutline::Compute(1, TestBox(), pane, &e));
  EXPECT_EQ(e.nLeft, 190);
  EXPECT_EQ(e.nRight, 210);
  EXPECT_EQ(e.nTop, 90);
  EXPECT_EQ(e.nBottom, 110);
  EXPECT_EQ(e.nTopFace, ZR_VoiOutline::kUpperZ);
  EXPECT_EQ(e.nBottomFace, ZR_VoiOutline::kLowerZ);
  // Mirrored x: the upper x face is drawn on the left.
  ASSERT_TRUE(ZR_VoiOutline::Compute(2, TestBox(), TestPane(-1), &e));
  EXPECT_EQ(e.nLeftFace, ZR_VoiOutline::kUpperX);
  EXPECT_EQ(e.nRightFace, ZR_VoiOutline::kLowerX);
  EXPECT_FALSE(ZR_VoiOutline::Compute(0, TestBox(), pane, &e));
  EXPECT_FALSE(ZR_VoiOutline::Compute(4, TestBox(), pane, &e));
}

TEST(VoiOutline, PickingTakesTheFirstSideWithinTheTolerance) {
  ZR_VoiOutline::Edges e;
  // z 5..45 voxels: -40..40 units, rows 60..140; x 160..240 as in the axial pane.
  ASSERT_TRUE(ZR_VoiOutline::Compute(2, ZR_Box(V{40, 20, 40}, V{100, 50, 25}), TestPane(), &e));
  ASSERT_EQ(e.nTop, 60);
  ASSERT_EQ(e.nBottom, 140);
  struct Case {
    int32_t x, y, face;
  };
  const Case cases[] = {
      {165, 100, ZR_VoiOutline::kLowerX},  // near the left side
      {236, 100, ZR_VoiOutline::kUpperX},
      {200, 62, ZR_VoiOutline::kUpperZ},   // the top side is the upper z face
      {200, 138, ZR_VoiOutline::kLowerZ},
      {160, 60, ZR_VoiOutline::kLowerX},   // a corner: the left side is tested first
      {172, 100, 0},                       // 12 pixels away: outside the tolerance
      {150, 50, 0},                        // beyond both sides' extents
      {200, 100, 0},                       // inside, away from every side
  };
  for (const Case& c : cases) EXPECT_EQ(ZR_VoiOutline::Pick(e, c.x, c.y, 12), c.face) << c.x << "," << c.y;
}

// The table as it is worked through by hand for the plain orientation: H and V are the
// pointer's rightward and upward motion in voxels of the pane's horizontal and vertical axis.
TEST(VoiOutline, AFaceDragMovesThatFaceAndKeepsTheOppositeOne) {
  const ZR_VoiOutline::Pane pane = TestPane();
  // 8 pixels right and 6 up: H = 8 / 2 pixels a unit / scale; V = 6 / 1 pixel a unit / scale.
  const int32_t mx = 8, my = 6;
  struct Case {
    int32_t panel, face;
    int32_t axis;
    double sizeChange, positionChange;
  };
  const double hx = 4.0 / 1, hy = 4.0 / 0.5, vz = 6.0 / 2, vy = 6.0 / 0.5;
  const Case cases[] = {
      {1, ZR_VoiOutline::kUpperZ, 2, vz, vz / 2},    {2, ZR_VoiOutline::kLowerZ, 2, -vz, vz / 2},
      {2, ZR_VoiOutline::kLowerX, 0, -hx, hx / 2},   {3, ZR_VoiOutline::kUpperX, 0, hx, hx / 2},
      {1, ZR_VoiOutline::kLowerY, 1, -hy, hy / 2},   {1, ZR_VoiOutline::kUpperY, 1, hy, hy / 2},
      {3, ZR_VoiOutline::kLowerY, 1, vy, -vy / 2},   {3, ZR_VoiOutline::kUpperY, 1, -vy, -vy / 2},
  };
  for (const Case& c : cases) {
    ZR_Box box(V{40, 60, 30}, V{100, 50, 25});
    ASSERT_TRUE(ZR_VoiOutline::DragFace(c.panel, c.face, mx, my, pane, box)) << c.panel << " " << c.face;
    const ZR_Box before(V{40, 60, 30}, V{100, 50, 25});
    for (int32_t k = 0; k < 3; ++k) {
      const double ds = k == c.axis ? c.sizeChange : 0, dp = k == c.axis ? c.positionChange : 0;
      EXPECT_NEAR(box.GetSize()[k], before.GetSize()[k] + ds, 1e-4) << c.panel << " " << c.face << " axis " << k;
      EXPECT_NEAR(box.GetPosition()[k], before.GetPosition()[k] + dp, 1e-4) << c.panel << " " << c.face;
    }
    // The face that was not grabbed is where it was.
    const bool upper = ZR_VoiOutline::IsUpperFace(c.face);
    const auto end = [&](const ZR_Box& b) {
      return b.GetPosition()[c.axis] + (upper ? -1 : 1) * b.GetSize()[c.axis] / 2;
    };
    EXPECT_NEAR(end(box), end(before), 1e-4) << c.panel << " " << c.face;
  }
  // A face the pane does not show is not moved.
  ZR_Box box = TestBox();
  EXPECT_FALSE(ZR_VoiOutline::DragFace(3, ZR_VoiOutline::kUpperZ, mx, my, pane, box));
}

TEST(VoiOutline, ARefusedSizeLeavesThePositionWhereItWas) {
  // Size z 2, the upper face dragged 3 voxels down: the size would be -1; neither it nor the
  // position (which alone would move the lower face) changes.
  ZR_VoiOutline::Pane pane = TestPane();
  ZR_Box box(V{40, 20, 2}, V{100, 50, 25});
  EXPECT_FALSE(ZR_VoiOutline::DragFace(1, ZR_VoiOutline::kUpperZ, 0, -6, pane, box));
  EXPECT_EQ(box.GetSize(), (V{40, 20, 2}));
  EXPECT_EQ(box.GetPosition(), (V{100, 50, 25}));
  // The size tool is refused as a whole too, and the 3D view's size drag.
  EXPECT_FALSE(ZR_VoiOutline::DragTool(2, ZR_Tool3d::VoiSize, 0, 6, pane, box));
  EXPECT_FALSE(ZR_VoiOutline::DragIn3dView(ZR_Tool3d::VoiSize, -2, false, false, true, box));
  EXPECT_EQ(box.GetSize(), (V{40, 20, 2}));
}

TEST(VoiOutline, WithMirroredAxesTheGrabbedFaceStaysUnderThePointer) {
  for (const int32_t sign : {1, -1}) {
    const ZR_VoiOutline::Pane pane = TestPane(sign, sign, sign);
    for (int32_t panel = 1; panel <= 3; ++panel) {
      ZR_Box box = TestBox();
      ZR_VoiOutline::Edges before, after;
      ASSERT_TRUE(ZR_VoiOutline::Compute(panel, box, pane, &before));
      // The right side dragged 20 pixels right, the top side 10 pixels up (a pixel either way
      // is the truncation of the edges to pixels).
      ASSERT_TRUE(ZR_VoiOutline::DragFace(panel, before.nRightFace, 20, 0, pane, box));
      ASSERT_TRUE(ZR_VoiOutline::DragFace(panel, before.nTopFace, 0, 10, pane, box));
      ASSERT_TRUE(ZR_VoiOutline::Compute(panel, box, pane, &after));
      EXPECT_NEAR(after.nRight, before.nRight + 20, 1) << "panel " << panel << " sign " << sign;
      EXPECT_NEAR(after.nLeft, before.nLeft, 1) << "panel " << panel << " sign " << sign;
      EXPECT_NEAR(after.nTop, before.nTop - 10, 1) << "panel " << panel << " sign " << sign;
      EXPECT_NEAR(after.nBottom, before.nBottom, 1) << "panel " << panel << " sign " << sign;
      // The position tool carries the whole rectangle with the pointer.
      ZR_VoiOutline::Edges moved;
      ASSERT_TRUE(ZR_VoiOutline::DragTool(panel, ZR_Tool3d::VoiPosition, -20, 10, pane, box));
      ASSERT_TRUE(ZR_VoiOutline::Compute(panel, box, pane, &moved));
      EXPECT_NEAR(moved.nLeft, after.nLeft - 20, 1) << "panel " << panel << " sign " << sign;
      EXPECT_NEAR(moved.nTop, after.nTop - 10, 1) << "panel " << panel << " sign " << sign;
    }
  }
}

TEST(VoiOutline, TheToolsOfThe3dViewPickTheAxisByTheButton) {
  ZR_Box box = TestBox();
  ASSERT_TRUE(ZR_VoiOutline::DragIn3dView(ZR_Tool3d::VoiPosition, 5, true, false, false, box));
  ASSERT_TRUE(ZR_VoiOutline::DragIn3dView(ZR_Tool3d::VoiPosition, 3, false, true, false, box));
  ASSERT_TRUE(ZR_VoiOutline::DragIn3dView(ZR_Tool3d::VoiPosition, 2, false, false, true, box));
  EXPECT_EQ(box.GetPosition(), (V{95, 47, 23}));
  ASSERT_TRUE(ZR_VoiOutline::DragIn3dView(ZR_Tool3d::VoiSize, 4, false, false, true, box));
  EXPECT_EQ(box.GetSize(), (V{40, 20, 14}));
  EXPECT_FALSE(ZR_VoiOutline::DragIn3dView(ZR_Tool3d::Rotate, 4, true, false, false, box));
}
}  // namespace
