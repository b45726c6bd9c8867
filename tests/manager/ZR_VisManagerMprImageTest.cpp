// Pictures of the four MPR views with their crosshair lines after the axial plane was turned
// obliquely with the free rotation tool, on Mesa llvmpipe: each view against its reference,
// and the tilt of the turned plane's line in the sagittal and coronal views against the line
// in which the planes meet.
//
// References: tests/manager/references/mpr-oblique-*.png, 64 x 64 RGB; the tolerance absorbs
// rounding differences between drivers, the slope checks carry the geometry.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "core/ZR_Ids.h"
#include "mpr/ZR_MprTrackball.h"
#include "tests/manager/ZR_MprTestManager.h"
#include "tests/support/ZR_ImageCompare.h"
#include "tests/support/ZR_MprTestMatrices.h"
#include "tests/support/ZR_TestVolume.h"

namespace {

// The phantom with a bright block off its centre towards +x, +y and +z, so that each view
// shows which way it is turned.
std::vector<uint16_t> MarkedPhantom(const int32_t d[3]) {
  const std::vector<uint16_t> base = ZR_TestVolume::Phantom(d);
  return ZR_TestVolume::Make(d, [&](int32_t x, int32_t y, int32_t z) -> uint16_t {
    if (x >= d[0] / 2 && x < d[0] * 13 / 16 && y >= d[1] / 2 && y < d[1] * 13 / 16 && z >= d[2] / 2 &&
        z < d[2] * 7 / 8)
      return 3500;
    return base[(size_t(z) * d[1] + y) * d[0] + x];
  });
}

class MprImages : public ZR_MprFixture {
 protected:
  void SetUp() override {
    const int32_t dims[3] = {64, 64, 40};
    const float scale[3] = {1, 1, 1.25f};
    Start(dims, scale, MarkedPhantom(dims));
  }
  // The mean row of the crosshair pixels in one column; -1 when there are none.
  static double LineRowAt(const ZR_TestImage& image, int32_t x) {
    double sum = 0;
    int count = 0;
    for (int32_t y = 0; y < image.nHeight; ++y) {
      const uint8_t* p = image.At(x, y);
      if (p[0] < 60 && p[1] > 100 && p[1] < 200 && p[2] > 200) {
        sum += y;
        ++count;
      }
    }
    return count ? sum / count : -1;
  }
  // The slope (pixel rows per column) of the line in which `panel`'s plane meets `other`'s,
  // from the two planes' orientations alone: a view's first axis runs along its columns, its
  // second down its rows (row 0 at the top of the picture).
  double ExpectedSlope(int32_t panel, int32_t other) const {
    const MprViewInfo& a = manager->MprView(panel);
    const MprViewInfo& b = manager->MprView(other);
    const float* n = a.Axis(2);
    const float* m = b.Axis(2);
    const double d[3] = {n[1] * m[2] - n[2] * m[1], n[2] * m[0] - n[0] * m[2], n[0] * m[1] - n[1] * m[0]};
    double right = 0, up = 0;
    for (int i = 0; i < 3; ++i) {
      right += d[i] * a.Axis(0)[i];
      up += d[i] * a.Axis(1)[i];
    }
    return up / right;
  }
};

TEST_F(MprImages, TheFourViewsWithTheirLinesAfterAnObliqueTurnOfTheAxialPlane) {
  manager->SetMprTool(ZR_MprTool::RotateFree);
  manager->PointerMove(6, 20, 18);
  ASSERT_EQ(manager->CrosshairDrag(), 0) << "the turn must not start on a line";
  manager->LeftDown(6, 20, 18);
  for (const auto& [x, y] : {std::pair{26, 22}, {33, 27}, {40, 31}}) manager->PointerMove(6, x, y);
  manager->LeftUp(6);
  ASSERT_TRUE(ZR_MprTestMatrices::IsRotation(manager->MprView(6).Orientation()));
  // Turned about both of its in-plane axes.
  const float* normal = manager->MprView(6).Axis(2);
  ASSERT_GT(std::fabs(normal[0]), 0.1f);
  ASSERT_GT(std::fabs(normal[1]), 0.1f);

  manager->RedrawViews(false);
  const std::filesystem::path references = std::filesystem::path(LMX_SOURCE_DIR) / "tests/manager/references";
  const std::filesystem::path output = std::filesystem::path(LMX_BINARY_DIR) / "test-output/core";
  const ZR_ImageCompare::Tolerance tolerance{8, kPanel * kPanel / 100};
  for (int32_t panel = ZR_Panel::Mpr0; panel <= ZR_Panel::Mpr3; ++panel) {
    const ZR_TestImage image = Read(panel);
    ASSERT_EQ(image.nWidth, kPanel);
    EXPECT_TRUE(ZR_ImageCompare::Matches(image, references / ("mpr-oblique-" + std::to_string(panel) + ".png"),
                                         output, tolerance))
        << "view " << panel;
  }
  // The sagittal and coronal views show the turned plane's line at the tilt where the planes
  // meet, through the centre; their other line stays upright at the centre.
  for (int32_t panel : {ZR_Panel::Mpr0, ZR_Panel::Mpr1}) {
    const ZR_TestImage image = Read(panel);
    const int32_t left = kPanel / 2 - 12, right = kPanel / 2 + 12;
    const double a = LineRowAt(image, left), b = LineRowAt(image, right);
    ASSERT_GE(a, 0) << "view " << panel;
    ASSERT_GE(b, 0) << "view " << panel;
    const double slope = (b - a) / (right - left);
    EXPECT_NEAR(slope, ExpectedSlope(panel, ZR_Panel::Mpr2), 0.05) << "view " << panel;
    EXPECT_GT(std::fabs(slope), 0.1) << "view " << panel;
    EXPECT_NEAR((a + b) / 2, kPanel / 2.0 - 0.5 + slope * ((left + right) / 2.0 - (kPanel / 2.0 - 0.5)), 1.5)
        << "view " << panel;
    EXPECT_NEAR(LineColumn(image), kPanel / 2, 1) << "view " << panel;
  }
}

}  // namespace
