// Line and boundary drags, wheel steps and slab extents of the MPR planes.
#include <gtest/gtest.h>

#include "mpr/ZR_MprCrosshair.h"
#include "mpr/ZR_MprDrag.h"
#include "mpr/ZR_StandardOrientations.h"

namespace {

// The layout as entered in a 128-unit box (P = 200 mm), drawn in 64 x 64 panes: one pixel
// is two box units.
class MprDrag : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int32_t panel = 4; panel <= 7; ++panel) {
      views[panel].Reset();
      ZR_StandardOrientations::LayoutPlane(panel, views[panel].Orientation());
    }
  }
  uint32_t Drag(int32_t panel, int32_t code, float dx, float dy) {
    return ZR_MprDrag::DragLine(views, panel, code, dx, dy, pane, kLength);
  }

  static constexpr float kLength = 200;
  MprViewInfo views[12];
  ZR_MprPane pane{128, 64, 64};
};

TEST_F(MprDrag, AGrabbedLineMovesItsPlaneWithThePointer) {
  // The sagittal line in the axial view, 16 pixels to the right and 5 down: plane 4 follows
  // the horizontal motion (32 units along x) and ignores the vertical one.
  EXPECT_EQ(Drag(6, ZR_MprCrosshair::PlaneCode(4), 16, 5), 1u << 4);
  EXPECT_FLOAT_EQ(views[4].Position()[0], 32);
  EXPECT_FLOAT_EQ(views[4].Position()[1], 0);
  EXPECT_FLOAT_EQ(views[4].Position()[2], 0);
  // Drawn again, its line lies 16 pixels right of the centre.
  const auto lines = ZR_MprCrosshair::Lines(views, 6, pane);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0].nPlane, 4);
  EXPECT_EQ(lines[0].aPixels[0], 48);
  // The axial line in the sagittal view: up is -z there, so dragging down 8 pixels moves
  // plane 6 by 16 units towards -z.
  views[6].aMeasurement[0] = 3;
  EXPECT_EQ(Drag(4, ZR_MprCrosshair::PlaneCode(6), 0, 8), 1u << 6);
  EXPECT_FLOAT_EQ(views[6].Position()[2], -16);
  EXPECT_EQ(views[6].aMeasurement[0], 0);  // a moved plane loses its unfinished measurement
  EXPECT_TRUE(views[6].bChanged);
}

TEST_F(MprDrag, TheCrossingMovesBothPlanes) {
  EXPECT_EQ(Drag(6, ZR_MprCrosshair::kCrossing4 + 2, 4, -6), (1u << 4) | (1u << 5));
  EXPECT_FLOAT_EQ(views[4].Position()[0], 8);
  EXPECT_FLOAT_EQ(views[5].Position()[1], -12);
  EXPECT_EQ(Drag(6, ZR_MprCrosshair::kNone, 4, 4), 0u);
}

TEST_F(MprDrag, ABoundaryDragWidensOrNarrowsTheSlabButNeverBelowNothing) {
  MprViewInfo& slab = views[4];
  slab.oView.nLayout = MprViewInfo::kSlab;
  ZR_MprDrag::SetSlabExtent(slab, 100, kLength);
  EXPECT_FLOAT_EQ(slab.fSlabExtent, 0.5f);
  // The - boundary lies at +x (the normal is -x): 8 pixels to the right are 16 units along
  // -n, and the slab grows by twice that in mm: 2 x 16 x 200 / 128 = 50.
  EXPECT_EQ(Drag(6, ZR_MprCrosshair::BoundaryCode(4, -1), 8, 0), 1u << 4);
  EXPECT_FLOAT_EQ(slab.fSlabExtentMm, 150);
  EXPECT_FLOAT_EQ(slab.fSlabExtent, 0.75f);
  EXPECT_FLOAT_EQ(slab.Position()[0], 0);  // the plane itself stays
  // The + boundary dragged the same way narrows it, at most to 0.
  EXPECT_EQ(Drag(6, ZR_MprCrosshair::BoundaryCode(4, 1), 8, 0), 1u << 4);
  EXPECT_FLOAT_EQ(slab.fSlabExtentMm, 100);
  (void)Drag(6, ZR_MprCrosshair::BoundaryCode(4, 1), 40, 0);
  EXPECT_FLOAT_EQ(slab.fSlabExtentMm, 0);
  EXPECT_FLOAT_EQ(slab.fSlabExtent, 0);
}

TEST(MprWheel, StepsWithCtrlShiftAndWithout) {
  struct Case {
    int32_t delta;
    bool ctrl, shift;
    float depth, step;
  };
  const Case cases[] = {
      {120, false, false, 169.3f, 2.0f},     // min(2, 0.025 D)
      {120, false, false, 40.0f, 1.0f},
      {-120, false, false, 40.0f, -1.0f},
      {120, true, false, 169.3f, 8.465f},    // 0.05 D
      {-1, true, true, 169.3f, -8.465f},     // Ctrl wins over Shift
      {120, false, true, 169.3f, 0.1f},
      {0, true, false, 169.3f, 0.0f},
  };
  for (const Case& c : cases)
    EXPECT_FLOAT_EQ(ZR_MprDrag::WheelStep(c.delta, c.ctrl, c.shift, c.depth), c.step) << c.delta << c.ctrl << c.shift;
  MprViewInfo view;
  ZR_StandardOrientations::LayoutPlane(5, view.Orientation());
  ZR_MprDrag::MoveAlongNormal(view, -2.5f);
  EXPECT_FLOAT_EQ(view.Position()[1], -2.5f);
}

TEST(MprSlabExtent, TheMiddleButtonChangesItWithinOneAndAllSliceDistances) {
  MprViewInfo view;
  ZR_MprDrag::SetSlabExtent(view, 10, 300);
  EXPECT_TRUE(ZR_MprDrag::ChangeSlabExtent(view, 2, 1.5f, 256, 300));
  EXPECT_FLOAT_EQ(view.fSlabExtentMm, 13);
  EXPECT_FLOAT_EQ(view.fSlabExtent, 13.0f / 300);
  EXPECT_FALSE(ZR_MprDrag::ChangeSlabExtent(view, -8, 1.5f, 256, 300));  // 1.0: not above one slice
  EXPECT_FALSE(ZR_MprDrag::ChangeSlabExtent(view, 248, 1.5f, 256, 300));  // 385: beyond 256 slice distances
  EXPECT_FLOAT_EQ(view.fSlabExtentMm, 13);
}

}  // namespace
