// The trackball of the MPR panes and of the MPR screen's 3D pane.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "mpr/ZR_MprTrackball.h"
#include "mpr/ZR_StandardOrientations.h"
#include "render/ZR_Matrix4.h"
#include "tests/support/ZR_MprTestMatrices.h"

namespace {
using ZR_MprTestMatrices::IsRotation;

const ZR_TrackballView kBall = ZR_MprTrackball::PaneBall(64, 64);  // radius 24 about (32, 32)

TEST(MprTrackball, OppositeRimPointsInOneEventTurnByHalfATurnAndStayValid) {
  // With the horizontal tool both points lie on the rim's equator, on opposite sides: their
  // cross product vanishes while the angle is 180 degrees.
  float o[16];
  ZR_StandardOrientations::LayoutPlane(6, o);
  ASSERT_TRUE(ZR_MprTrackball::TurnInPane(o, ZR_MprTool::RotateHorizontal, kBall, 0, 10, 64, 50));
  EXPECT_TRUE(IsRotation(o));
  // Half a turn about the pane's vertical axis: right and normal reversed, up kept.
  EXPECT_NEAR(o[0], -1, 1e-5);
  EXPECT_NEAR(o[5], 1, 1e-5);
  EXPECT_NEAR(o[10], -1, 1e-5);
  // The free tool the same way, and again from the other side: never anything but a rotation.
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(ZR_MprTrackball::TurnInPane(o, ZR_MprTool::RotateFree, kBall, 0, 32, 64, 32));
    ASSERT_TRUE(IsRotation(o));
    ASSERT_TRUE(ZR_MprTrackball::TurnInPane(o, ZR_MprTool::RotateVertical, kBall, 32, 0, 32, 64));
    ASSERT_TRUE(IsRotation(o));
  }
}

TEST(MprTrackball, TheHorizontalToolIgnoresVerticalMotionAndTheVerticalToolHorizontal) {
  float a[16], b[16];
  ZR_StandardOrientations::LayoutPlane(5, a);
  std::copy_n(a, 16, b);
  ASSERT_TRUE(ZR_MprTrackball::TurnInPane(a, ZR_MprTool::RotateHorizontal, kBall, 30, 32, 40, 32));
  ASSERT_TRUE(ZR_MprTrackball::TurnInPane(b, ZR_MprTool::RotateHorizontal, kBall, 30, 5, 40, 61));
  for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(a[i], b[i]) << i;
  // Purely vertical motion turns nothing.
  EXPECT_FALSE(ZR_MprTrackball::TurnInPane(a, ZR_MprTool::RotateHorizontal, kBall, 30, 10, 30, 50));
  ZR_StandardOrientations::LayoutPlane(5, a);
  std::copy_n(a, 16, b);
  ASSERT_TRUE(ZR_MprTrackball::TurnInPane(a, ZR_MprTool::RotateVertical, kBall, 32, 30, 32, 40));
  ASSERT_TRUE(ZR_MprTrackball::TurnInPane(b, ZR_MprTool::RotateVertical, kBall, 2, 30, 60, 40));
  for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(a[i], b[i]) << i;
  // The horizontal tool turns the plane about its up direction, which stays.
  ZR_StandardOrientations::LayoutPlane(5, a);
  ASSERT_TRUE(ZR_MprTrackball::TurnInPane(a, ZR_MprTool::RotateHorizontal, kBall, 32, 32, 56, 32));
  EXPECT_NEAR(a[4], 0, 1e-6);
  EXPECT_NEAR(a[5], 0, 1e-6);
  EXPECT_NEAR(a[6], -1, 1e-6);
  EXPECT_NEAR(std::fabs(a[8]), 1, 1e-5);  // 90 degrees: the coronal normal now lies along x
}

TEST(MprTrackball, MotionsThatTurnNothingLeaveThePlaneAlone) {
  float o[16];
  ZR_StandardOrientations::LayoutPlane(4, o);
  float before[16];
  std::copy_n(o, 16, before);
  EXPECT_FALSE(ZR_MprTrackball::TurnInPane(o, ZR_MprTool::RotateFree, kBall, 10, 10, 10, 10));
  // Outwards beyond the ball: both points are the same rim point.
  EXPECT_FALSE(ZR_MprTrackball::TurnInPane(o, ZR_MprTool::RotateFree, kBall, 60, 32, 63, 32));
  EXPECT_FALSE(ZR_MprTrackball::TurnInPane(o, ZR_MprTool::WindowLevel, kBall, 10, 10, 20, 20));  // window/level is no rotation
  for (int i = 0; i < 16; ++i) EXPECT_EQ(o[i], before[i]);
}

TEST(MprTrackball, ALongDragStaysARotation) {
  std::mt19937 random(3);
  std::uniform_real_distribution<double> position(-20, 84);
  float o[16];
  ZR_StandardOrientations::LayoutPlane(4, o);
  double x = 32, y = 32;
  for (int step = 0; step < 20000; ++step) {
    const double nx = position(random), ny = position(random);
    (void)ZR_MprTrackball::TurnInPane(o, static_cast<ZR_MprTool>(ZR_Number(ZR_MprTool::RotateFree) + step % 3), kBall, x, y, nx, ny);
    x = nx;
    y = ny;
  }
  EXPECT_TRUE(IsRotation(o, 1e-6));
}

TEST(MprTrackball, InTheThreeDPaneThePlaneTurnsAboutTheVolumeAxisUnderThePointer) {
  // The 3D view turned 90 degrees about z: a horizontal drag turns about the screen's y,
  // which is the volume's x.
  float view[16];
  ZR_Matrix4::Rotation(90, 0, 0, 1).ToFloats(view);
  float o[16];
  ZR_StandardOrientations::LayoutPlane(6, o);
  ASSERT_TRUE(ZR_MprTrackball::TurnInView(o, view, kBall, 32, 32, 56, 32));
  EXPECT_TRUE(IsRotation(o));
  // Right (x) stays on the axis of turning; the normal (z) turns to +-y by 90 degrees.
  EXPECT_NEAR(o[0], 1, 1e-5);
  EXPECT_NEAR(std::fabs(o[9]), 1, 1e-5);
  float nan[16];
  std::fill_n(nan, 16, std::nanf(""));
  EXPECT_FALSE(ZR_MprTrackball::Orthonormalise(nan));
}

}  // namespace
