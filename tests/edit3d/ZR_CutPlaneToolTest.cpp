// The cut-plane tool: the right-button rule between moving the plane and widening the slab,
// and the left-button turn of the plane's frame.
#include <gtest/gtest.h>

#include <cmath>

#include "edit3d/ZR_CutPlaneTool.h"
#include "render/RenderShared.h"
#include "render/ZR_Matrix4.h"

namespace {
TEST(CutPlaneTool, MostlyVerticalMotionMovesThePlaneAndMostlyHorizontalWidensTheSlab) {
  struct Case {
    int32_t dx, dy;
    bool slab;
    float width;
    double position, newWidth;
    bool changed;
  };
  const Case cases[] = {
      {3, 10, true, 6, 5, 6, true},     // half the vertical motion
      {-4, -4, true, 6, -2, 6, true},   // a tie moves the plane
      {10, 3, true, 6, 0, 16, true},    // the slab widens
      {10, 3, false, 6, 0, 6, false},   // not without the slab option
      {-1, 0, true, 6, 0, 6, false},    // it would end at 5: ignored
      {-2, 1, true, 8, 0, 6, true},
  };
  for (const Case& c : cases) {
    double position = 0;
    float width = c.width;
    EXPECT_EQ(ZR_CutPlaneTool::Slide(c.dx, c.dy, c.slab, &position, &width), c.changed) << c.dx << "," << c.dy;
    EXPECT_DOUBLE_EQ(position, c.position) << c.dx << "," << c.dy;
    EXPECT_FLOAT_EQ(width, static_cast<float>(c.newWidth)) << c.dx << "," << c.dy;
  }
}

TEST(CutPlaneTool, ALeftDragTurnsThePlaneAsTheTrackballTurnsTheView) {
  // A plane frame with an offset, seen through a turned view: the tool turns it about its own
  // origin by the same screen rotation the trackball gives the view.
  const ZR_TrackballView ball{200, 200, 75};
  float view[16], cut[16];
  ZR_Matrix4::Rotation(30, 0, 1, 0).ToFloats(view);
  (ZR_Matrix4::Translation(5, -7, 3) * ZR_Matrix4::Rotation(20, 1, 0, 0)).ToFloats(cut);
  float before[16];
  std::copy(cut, cut + 16, before);
  ASSERT_TRUE(ZR_CutPlaneTool::Turn(ball, view, 100, 100, 130, 90, cut));
  // What the plane looks like on screen after the turn: the screen rotation applied to what
  // it looked like before.
  RenderShared shared;
  float seen[16];
  (ZR_Matrix4::FromFloats(view) * ZR_Matrix4::FromFloats(before)).ToFloats(seen);
  shared.SetRotation(seen);
  shared.Rotate(ball, 100, 100, 130, 90);
  float expected[16];
  std::copy(shared.Rotation(), shared.Rotation() + 16, expected);
  float got[16];
  (ZR_Matrix4::FromFloats(view) * ZR_Matrix4::FromFloats(cut)).ToFloats(got);
  for (int32_t c = 0; c < 3; ++c)
    for (int32_t r = 0; r < 3; ++r) EXPECT_NEAR(got[4 * c + r], expected[4 * c + r], 1e-5) << c << "," << r;
  // The origin stays.
  for (int32_t r = 12; r < 15; ++r) EXPECT_FLOAT_EQ(cut[r], before[r]);
  EXPECT_FALSE(ZR_CutPlaneTool::Turn(ball, view, 100, 100, 100, 100, cut));
}
}  // namespace
