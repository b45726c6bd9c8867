// The same anatomy written as an axial series (square pixels, 2 mm slices) and as a sagittal
// one (rows 2 mm apart, columns 1 mm): both sample the same points of the patient, so every
// MPR view of one must show what the same view of the other shows. A view that dropped the
// row spacing would show the sagittal study half as tall.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/ZR_Ids.h"
#include "tests/dicom/ZR_DicomFixtures.h"
#include "tests/manager/ZR_LoadingFixture.h"
#include "tests/support/ZR_TestData.h"
#include "tests/support/ZR_TestImage.h"

namespace {

// A 64 x 64 x 128 mm block: an ellipsoid, a bar along x and a background rising with z,
// sampled at the centres of 1 x 1 x 2 mm cells (x, y, z).
int32_t Anatomy(double x, double y, double z) {
  const double ex = (x - 20) / 12, ey = (y - 40) / 8, ez = (z - 80) / 30;
  if (ex * ex + ey * ey + ez * ez <= 1) return 3000;
  if (x >= 8 && x < 56 && y >= 10 && y < 16 && z >= 20 && z < 30) return 2000;
  return 200 + static_cast<int32_t>(z) * 4;
}

constexpr int32_t kCells = 64;

std::string Write(const std::filesystem::path& dir, int32_t k, ZR_DicomFixtures::Grey grey,
                  const std::vector<double>& position, const std::vector<double>& orientation,
                  const std::vector<double>& spacing) {
  ZR_DcmImage image = ZR_DicomFixtures::Image(grey);
  ZR_DcmElements a = image.Attributes();
  a.Add(0x0020, 0x0032, position);
  a.Add(0x0020, 0x0037, orientation);
  a.Add(0x0028, 0x0030, spacing);
  char name[32];
  std::snprintf(name, sizeof name, "s%03d.dcm", k);
  const std::string path = (dir / name).string();
  image.WriteFile(path, ZR_DcmImage::Syntax::ExplicitLittle);
  return path;
}

ZR_DicomFixtures::Grey Blank() {
  ZR_DicomFixtures::Grey g;
  g.rows = g.columns = kCells;
  g.bitsStored = 12;
  g.values.assign(kCells * kCells, 0);
  return g;
}

// Slices along z, 2 mm apart; rows along y, columns along x, 1 mm pixels.
std::vector<std::string> Axial() {
  const auto dir = ZR_TestData::ScratchDir("series_axial_anatomy");
  std::vector<std::string> files;
  for (int32_t k = 0; k < kCells; ++k) {
    ZR_DicomFixtures::Grey g = Blank();
    const double z = 1 + 2.0 * k;
    for (int32_t row = 0; row < kCells; ++row)
      for (int32_t column = 0; column < kCells; ++column)
        g.values[row * kCells + column] = Anatomy(column + 0.5, row + 0.5, z);
    files.push_back(Write(dir, k, g, {0.5, 0.5, z}, {1, 0, 0, 0, 1, 0}, {1, 1}));
  }
  return files;
}

// Slices along x, 1 mm apart; columns along y (1 mm), rows downwards in z (2 mm).
std::vector<std::string> Sagittal() {
  const auto dir = ZR_TestData::ScratchDir("series_sagittal_anatomy");
  std::vector<std::string> files;
  for (int32_t k = 0; k < kCells; ++k) {
    ZR_DicomFixtures::Grey g = Blank();
    const double x = 0.5 + k;
    for (int32_t row = 0; row < kCells; ++row)
      for (int32_t column = 0; column < kCells; ++column)
        g.values[row * kCells + column] = Anatomy(x, column + 0.5, 127 - 2.0 * row);
    files.push_back(Write(dir, k, g, {x, 0.5, 127}, {0, 1, 0, 0, 0, -1}, {2, 1}));
  }
  return files;
}

class RowSpacing : public ZR_LoadingFixture {
 protected:
  struct Views {
    ZR_TestImage panes[4];
  };
  Views Show(std::vector<std::string> files) {
    Views views;
    for (int32_t panel = ZR_Panel::Mpr0; panel <= ZR_Panel::Mpr3; ++panel)
      EXPECT_TRUE(panels->Resize(panel, 128, 128));
    int32_t count = static_cast<int32_t>(files.size());
    EXPECT_EQ(manager->LoadStudy(files, count), VR_OK);
    EXPECT_EQ(LoadRange(0, count - 1), VR_OK);
    EXPECT_TRUE(manager->IsVolumeLoaded());
    EXPECT_TRUE(manager->ShowMprScreen());
    for (int32_t k = 0; k < 4; ++k) {
      int32_t w = 0, h = 0;
      auto pixels =
          manager->ReadPanel(ZR_Panel::Mpr0 + k, &w, &h, GL_RGB, GL_UNSIGNED_BYTE, 3, 1, false);
      if (pixels) views.panes[k] = ZR_TestImage::FromBottomUp(w, h, 3, pixels.get());
    }
    return views;
  }
};

TEST_F(RowSpacing, ASagittalSeriesWithRectangularPixelsShowsWhatTheAxialOneShows) {
  settings.Display().showStudyDetails = false;
  const Views axial = Show(Axial());
  const Views sagittal = Show(Sagittal());
  for (int32_t k = 0; k < 4; ++k) {
    const ZR_TestImage& a = axial.panes[k];
    const ZR_TestImage& s = sagittal.panes[k];
    ASSERT_EQ(a.nWidth, 128);
    ASSERT_EQ(s.nWidth, 128);
    int64_t differing = 0, lit = 0;
    double total = 0;
    for (int32_t y = 0; y < a.nHeight; ++y)
      for (int32_t x = 0; x < a.nWidth; ++x) {
        const int d = std::abs(a.At(x, y)[0] - s.At(x, y)[0]);
        total += d;
        differing += d > 24;
        lit += a.At(x, y)[0] > 0;
      }
    // Both sample the same points: the pictures differ only where the linear filter sees
    // a different neighbourhood (the crosshair lines are the same).
    EXPECT_GT(lit, 128 * 128 / 8) << "view " << ZR_Panel::Mpr0 + k;
    EXPECT_LT(differing, 128 * 128 / 50) << "view " << ZR_Panel::Mpr0 + k;
    EXPECT_LT(total / (128 * 128), 3.0) << "view " << ZR_Panel::Mpr0 + k;
  }
  // And both show the anatomy where it is in the patient: the panes span 128 mm at 1 mm a
  // pixel around the block's centre (32, 32, 64). The sagittal view (x = 32, y across, z up)
  // cuts the bar (y 10..16, z 20..30), the axial one (z = 64, x across, y down) the
  // ellipsoid around (20, 40).
  struct Expected {
    int32_t pane;
    int32_t threshold, firstRow;  // the rows below the ellipsoid's, for the bar
    double column, row;
  };
  for (const Expected& e : {Expected{0, 120, 90, 64 + (13 - 32), 64 - (25 - 64)},
                            Expected{2, 200, 0, 64 + (20 - 32), 64 + (40 - 32)}})
    for (const Views* views : {&axial, &sagittal}) {
      const ZR_TestImage& image = views->panes[e.pane];
      double sx = 0, sy = 0, n = 0;
      for (int32_t y = e.firstRow; y < image.nHeight; ++y)
        for (int32_t x = 0; x < image.nWidth; ++x)
          if (image.At(x, y)[0] >= e.threshold && image.At(x, y)[1] >= e.threshold) {  // not the red frame
            sx += x + 0.5;
            sy += y + 0.5;
            n += 1;
          }
      ASSERT_GT(n, 0) << "view " << ZR_Panel::Mpr0 + e.pane;
      EXPECT_NEAR(sx / n, e.column, 1.0) << "view " << ZR_Panel::Mpr0 + e.pane << (views == &axial ? ", axial" : ", sagittal");
      EXPECT_NEAR(sy / n, e.row, 1.0) << "view " << ZR_Panel::Mpr0 + e.pane << (views == &axial ? ", axial" : ", sagittal");
    }
}

}  // namespace
