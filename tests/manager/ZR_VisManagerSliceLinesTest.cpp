// The slice lines of the 3D screen's orthogonal views on screen: a volume whose z range is
// three times its width (so the views span the padded z range), each voxel holding its own
// slice number. Dragging a line must keep the slice it marks under it: the line drawn where
// the pointer let go, and the axial view showing the slice the sagittal view has there.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/ZR_Ids.h"
#include "tests/manager/ZR_MprTestManager.h"
#include "tests/support/ZR_TestVolume.h"

namespace {

class SliceLines : public ZR_MprFixture {
 protected:
  void SetUp() override {
    const int32_t dims[3] = {32, 32, 48};
    const float scale[3] = {1, 1, 2};  // extents 32, 32, 96
    Start(dims, scale, ZR_TestVolume::Make(dims, [](int32_t, int32_t, int32_t z) { return uint16_t(300 + 80 * z); }));
    manager->ScreenStateForSetUp().nScreen = ZR_Screen::View3d;
    manager->RedrawViews(true);
  }
  // Rows (columns) of a picture drawn in the orthogonal crosshair's cyan.
  static int32_t CyanRow(const ZR_TestImage& image) {
    for (int32_t y = 0; y < image.nHeight; ++y) {
      int count = 0;
      for (int32_t x = 0; x < image.nWidth; ++x) count += IsCyan(image.At(x, y));
      if (count > image.nWidth / 2) return y;
    }
    return -1;
  }
  static int32_t CyanColumn(const ZR_TestImage& image) {
    for (int32_t x = 0; x < image.nWidth; ++x) {
      int count = 0;
      for (int32_t y = 0; y < image.nHeight; ++y) count += IsCyan(image.At(x, y));
      if (count > image.nHeight / 2) return x;
    }
    return -1;
  }
  static bool IsCyan(const uint8_t* p) { return p[0] < 60 && p[1] > 200 && p[2] > 200; }
};

TEST_F(SliceLines, TheAxialSliceStaysUnderTheLineThatFollowsThePointer) {
  EXPECT_EQ(manager->SliceLines()[1], 32);
  // Panel 1's horizontal line, grabbed and dragged up by a quarter of the view.
  manager->PointerMove(1, 50, 33);
  EXPECT_EQ(gui.cursors[1], ZR_Cursor::HorBar);
  manager->LeftDown(1, 50, 33);
  EXPECT_EQ(manager->LineDrag(), 2);
  manager->PointerMove(1, 50, 25);
  manager->PointerMove(1, 50, 17);
  manager->LeftUp(1);
  EXPECT_EQ(manager->LineDrag(), 0);
  EXPECT_FLOAT_EQ(manager->OrthoViews().afSlice[2], 0.25f);
  // Where the line is now drawn, and where its position is kept, is where the pointer is.
  const ZR_TestImage sagittal = Read(1);
  EXPECT_NEAR(CyanRow(sagittal), 16, 1);
  EXPECT_NEAR(manager->SliceLines()[1], 16, 1);
  EXPECT_NEAR(manager->SliceLines()[3], 16, 1);  // and in the coronal view
  // The axial view shows the slice the sagittal view shows at the line (grey = value / 16,
  // 5 grey levels from one slice to the next, 1.33 pixels a slice). The volume fills the
  // middle third of both views across.
  const ZR_TestImage axial = Read(3);
  const int32_t shown = axial.At(28, 28)[0];
  int32_t low = 255, high = 0;
  for (int32_t y = 14; y <= 18; ++y) {
    low = std::min<int32_t>(low, sagittal.At(28, y)[0]);
    high = std::max<int32_t>(high, sagittal.At(28, y)[0]);
  }
  EXPECT_GE(shown, low - 1);
  EXPECT_LE(shown, high + 1);
  EXPECT_NEAR(shown, (300 + 80 * 35.5) / 16, 4);
}

TEST_F(SliceLines, TheSagittalSliceFollowsTheCoronalViewsVerticalLine) {
  manager->PointerMove(2, 33, 50);
  EXPECT_EQ(gui.cursors[2], ZR_Cursor::VertBar);
  manager->LeftDown(2, 33, 50);
  manager->PointerMove(2, 41, 50);
  manager->LeftUp(2);
  // 8 pixels of 64 across a view of 96 units, of which x fills 32.
  EXPECT_FLOAT_EQ(manager->OrthoViews().afSlice[0], 8.0f / 64 * 96 / 32);
  EXPECT_NEAR(CyanColumn(Read(2)), 40, 1);
  EXPECT_NEAR(manager->SliceLines()[2], 40, 1);
  EXPECT_NEAR(manager->SliceLines()[4], 40, 1);  // the axial view's vertical line
  // Far from any line a drag is a window drag, and releasing does not move a slice.
  manager->LeftDown(2, 5, 5);
  EXPECT_EQ(manager->LineDrag(), 0);
  manager->PointerMove(2, 9, 5);
  manager->LeftUp(2);
  EXPECT_FLOAT_EQ(manager->OrthoViews().afSlice[0], 8.0f / 64 * 96 / 32);
}

}  // namespace
