// Captures through the manager: a snapshot click into the gallery (what the view shows, with
// its spacing and plane), the gallery's limit, and Ctrl+S writing the active view's values to
// the next free file of the capture folder with the rescale and window in the study's units.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>

#include "core/ZR_Ids.h"
#include "core/ZR_Keys.h"
#include "dicom/ZR_DcmImage.h"
#include "dicom/ZR_DcmImages.h"
#include "dicom/ZR_DicomVolume.h"
#include "output/ZR_ImageGallery.h"
#include "tests/manager/ZR_LoadingFixture.h"
#include "tests/support/ZR_TestData.h"

namespace fs = std::filesystem;

namespace {
class Capture : public ZR_LoadingFixture {
 protected:
  void LoadCube() {
    // Twelve written 32 x 32 files, value 100 + 10 (x + y) + k in file k: the captures copy
    // their patient and study.
    const std::vector<std::string> files = Files("capture", 12, 32);
    int32_t count = static_cast<int32_t>(files.size());
    ASSERT_EQ(manager->LoadStudy(files, count), VR_OK);
    ASSERT_EQ(LoadRange(0, 11), VR_OK);
    manager->SetImageGallery(&gallery);
    ASSERT_TRUE(manager->ShowMprScreen());
    manager->RedrawViews(false);
  }
  ZR_ImageGallery gallery;
};

TEST_F(Capture, ASnapshotClickPutsWhatTheViewShowsIntoTheGallery) {
  LoadCube();
  manager->SetSnapshotMode(true);
  manager->LeftDown(ZR_Panel::Mpr2, 10, 10);
  ASSERT_EQ(gallery.ImageCount(), 1);
  const ZR_Image& image = gallery.ImageAt(0);
  EXPECT_EQ(image.m_nWidth, kPanel);
  EXPECT_EQ(image.m_nHeight, kPanel);
  EXPECT_TRUE(image.m_bMpr);
  EXPECT_FLOAT_EQ(image.m_fPixelSpacing, manager->PhysicalLength() / kPanel);
  EXPECT_TRUE(image.m_bHasPosition && image.m_bHasOrientation);
  int32_t w = 0, h = 0;
  const auto shown = manager->ReadPanel(ZR_Panel::Mpr2, &w, &h, GL_BGR, GL_UNSIGNED_BYTE, 3, 1, false);
  ASSERT_NE(shown, nullptr);
  ASSERT_EQ(image.m_aPixels.size(), static_cast<size_t>(w) * h * 3);
  EXPECT_EQ(std::memcmp(image.m_aPixels.data(), shown.get(), image.m_aPixels.size()), 0);
}

TEST_F(Capture, AFullGalleryRefusesTheNextCaptureAndSaysSo) {
  LoadCube();
  for (int32_t i = 0; i < ZR_ImageGallery::kMostImages; ++i)
    ASSERT_EQ(manager->CaptureView(ZR_Panel::Mpr0, ZR_VisManager::kToSnapshot, 0), VR_OK) << i;
  gui.Clear();
  EXPECT_EQ(manager->CaptureView(ZR_Panel::Mpr0, ZR_VisManager::kToSnapshot, 0), VR_WRITE_FAILED);
  EXPECT_EQ(gallery.ImageCount(), 32);
  EXPECT_EQ(gui.Messages(), std::vector<std::string>{"The gallery holds 32 pictures: save or delete some before capturing more."});
}

TEST_F(Capture, CtrlSWritesTheStudysValuesToTheNextFreeFile) {
  LoadCube();
  const fs::path dir = ZR_TestData::ScratchDir("capture-ctrl-s");
  manager->SetCaptureDir(dir.string());
  ZR_TestData::WriteText(dir / "lmx0.dcm", "the last run's");
  // A window in the study's units (the values run 100..433): the file names the same one,
  // which its rescale applies to.
  shared.GetLut().BuildGreyRamp(150, 260);
  gui.Clear();
  manager->KeyDown(ZR_Key::S, true, false, false);
  manager->KeyDown(ZR_Key::S, true, false, false);
  EXPECT_EQ(ZR_TestData::ReadText(dir / "lmx0.dcm"), "the last run's");
  ASSERT_TRUE(fs::exists(dir / "lmx1.dcm")) << (gui.Messages().empty() ? Log() : gui.Messages()[0]);
  ASSERT_TRUE(fs::exists(dir / "lmx2.dcm"));
  ZR_DcmImages back;
  back.ReadFile((dir / "lmx1.dcm").string());
  ZR_DcmElements a = back.Item(1)->Attributes();
  const ZR_DicomVolume& volume = *manager->GetVolume();
  // Stored 0 is the smallest value: the intercept gives it back in the study's units.
  EXPECT_DOUBLE_EQ(a.Item(0x0028, 0x1052).Value().AsNumber(),
                   volume.m_nRescaleIntercept + static_cast<double>(volume.m_fRescaleSlope) * volume.m_nSmallest);
  EXPECT_EQ(a.Item(0x0028, 0x0002).Value().AsNumber(), 1);
  EXPECT_DOUBLE_EQ(a.Item(0x0028, 0x1050).Value().AsNumber(), 260);
  EXPECT_DOUBLE_EQ(a.Item(0x0028, 0x1051).Value().AsNumber(), 150);
  // The two captures are instances 1 and 2 of one series of the study.
  ZR_DcmImages second;
  second.ReadFile((dir / "lmx2.dcm").string());
  EXPECT_EQ(back.Item(1)->SeriesUID(), second.Item(1)->SeriesUID());
  EXPECT_EQ(second.Item(1)->Attributes().Item(0x0020, 0x0013).Value().AsNumber(), 2);
  EXPECT_TRUE(gui.Messages().empty());
}
}  // namespace

#include "tests/dicom/ZR_DicomSeries.h"

namespace {
// A sagittal series: file k is the plane x = k mm, its rows run along +y and its columns down
// (-z), 1 mm pixels; the value of pixel (i, j) of file k is 100 + 5 j + 7 i + k, that is
// 100 + x + 5 y - 7 z at the patient point. A capture written with its plane must show, at
// every pixel, the value of the point its position and orientation name.
TEST_F(Capture, AWrittenPlaneShowsTheValuesOfThePatientPointsItNames) {
  constexpr int32_t kSide = 16, kFiles = 16;
  ZR_DicomFixtures::Grey grey;
  grey.rows = grey.columns = kSide;
  grey.bitsStored = 12;
  for (int32_t i = 0; i < kSide; ++i)
    for (int32_t j = 0; j < kSide; ++j) grey.values.push_back(100 + 5 * j + 7 * i);
  const std::vector<std::string> files = ZR_DicomSeries::Write("capture-sagittal", kFiles, grey,
                                                               [](int32_t k, ZR_DcmImage& image) {
                                                                 ZR_DicomSeries::Position(image, k, 0, 0);
                                                                 ZR_DicomSeries::Orientation(image, {0, 1, 0, 0, 0, -1});
                                                               });
  int32_t count = kFiles;
  ASSERT_EQ(manager->LoadStudy(files, count), VR_OK);
  ASSERT_EQ(LoadRange(0, kFiles - 1), VR_OK);
  ASSERT_TRUE(manager->ShowMprScreen());
  const ZR_DicomVolume& volume = *manager->GetVolume();
  const double slope = volume.m_fRescaleSlope, intercept = volume.m_nRescaleIntercept;
  auto value = [&](double x, double y, double z) { return slope * (100 + x + 5 * y - 7 * z) + intercept; };
  const fs::path dir = ZR_TestData::ScratchDir("capture-sagittal-out");
  for (int32_t panel = ZR_Panel::Mpr0; panel <= ZR_Panel::Mpr2; ++panel) {
    const std::string file = (dir / ("v" + std::to_string(panel) + ".dcm")).string();
    ASSERT_EQ(manager->WriteView(panel, 4, file), VR_OK);
    ZR_DcmImages back;
    back.ReadFile(file);
    ZR_DcmImage& d = *back.Item(1);
    ZR_DcmElements a = d.Attributes();
    const std::vector<double> p = a.Item(0x0020, 0x0032).Value().AsNumbers();
    const std::vector<double> o = a.Item(0x0020, 0x0037).Value().AsNumbers();
    const std::vector<double> s = a.Item(0x0028, 0x0030).Value().AsNumbers();
    const double b = a.Item(0x0028, 0x1052).Value().AsNumber(), m = a.Item(0x0028, 0x1053).Value().AsNumber();
    const int32_t rows = static_cast<int32_t>(a.Item(0x0028, 0x0010).Value().AsNumber());
    const int32_t columns = static_cast<int32_t>(a.Item(0x0028, 0x0011).Value().AsNumber());
    ASSERT_EQ(p.size(), 3u);
    ASSERT_EQ(o.size(), 6u);
    ASSERT_EQ(s.size(), 2u);
    const auto* samples = static_cast<const uint16_t*>(d.PixelAddress());
    int32_t inside = 0;
    double worst = 0;
    for (int32_t r = 0; r < rows; ++r)
      for (int32_t c = 0; c < columns; ++c) {
        double x[3];
        for (int32_t k = 0; k < 3; ++k) x[k] = p[k] + c * s[1] * o[k] + r * s[0] * o[3 + k];
        // Away from the volume's faces, where a sample mixes in what lies outside.
        if (x[0] < 1 || x[0] > kFiles - 2 || x[1] < 1 || x[1] > kSide - 2 || x[2] > -1 || x[2] < -(kSide - 2)) continue;
        ++inside;
        const double shown = samples[r * columns + c] * m + b;
        worst = std::max(worst, std::fabs(shown - value(x[0], x[1], x[2])));
      }
    EXPECT_GT(inside, 20) << "view " << panel;
    // Half a voxel off would be 2.5 or more (the values change by 5 and 7 a millimetre).
    EXPECT_LE(worst, 1.0) << "view " << panel;
  }
}
}  // namespace

namespace {
// A sagittal series as above with two bright bands: the file at x = 4 mm and the image row at
// z = -11 mm, away from the views' central planes. A screen capture of a view that crosses a
// band shows it, whatever the window, as a run of pixels symmetric about the band: the
// patient points its written plane names for that run must centre on the band.
TEST_F(Capture, AScreenCaptureNamesThePlaneItsPixelsShow) {
  constexpr int32_t kSide = 16, kFiles = 16, kBandX = 4, kBandRow = 11, kDark = 100, kBright = 2000;
  ZR_DicomFixtures::Grey grey;
  grey.rows = grey.columns = kSide;
  grey.bitsStored = 12;
  for (int32_t i = 0; i < kSide; ++i)
    for (int32_t j = 0; j < kSide; ++j) grey.values.push_back(i == kBandRow ? kBright : kDark);
  const std::vector<std::string> files =
      ZR_DicomSeries::Write("capture-bands", kFiles, grey, [&](int32_t k, ZR_DcmImage& image) {
        ZR_DicomSeries::Position(image, k, 0, 0);
        ZR_DicomSeries::Orientation(image, {0, 1, 0, 0, 0, -1});
        // Undo the series' per-file step; the band file is bright all over.
        std::vector<uint16_t> values(static_cast<size_t>(kSide) * kSide);
        for (size_t n = 0; n < values.size(); ++n)
          values[n] = static_cast<uint16_t>(k == kBandX || n / kSide == kBandRow ? kBright : kDark);
        image.CopyPixelBuffer(values.data(), 1, 2, kSide * 2);
      });
  settings.Display().showStudyDetails = false;  // no text over the bands
  int32_t count = kFiles;
  ASSERT_EQ(manager->LoadStudy(files, count), VR_OK);
  ASSERT_EQ(LoadRange(0, kFiles - 1), VR_OK);
  manager->SetImageGallery(&gallery);
  ASSERT_TRUE(manager->ShowMprScreen());
  manager->KeyDown(ZR_Key::X, true, false, false);  // no crosshair lines over the bands
  manager->RedrawViews(false);

  // Which coordinate a band fixes, where it lies, and which of the other two may vary along
  // the scanned line.
  struct Band {
    int32_t axis;
    double at;
  };
  const Band bands[] = {{0, kBandX}, {2, -kBandRow}};
  int32_t found = 0;
  for (int32_t panel = ZR_Panel::Mpr0; panel <= ZR_Panel::Mpr2; ++panel) {
    ASSERT_EQ(manager->CaptureView(panel, ZR_VisManager::kToSnapshot, 0), VR_OK);
    const ZR_Image& image = gallery.ImageAt(gallery.ImageCount() - 1);
    ASSERT_TRUE(image.m_bHasPosition && image.m_bHasOrientation) << "view " << panel;
    const int32_t w = image.m_nWidth, h = image.m_nHeight;
    const double s = image.m_fPixelSpacing;
    auto point = [&](int32_t c, int32_t r, int32_t k) {
      return image.m_afPosition[k] + c * s * image.m_afOrientation[k] + r * s * image.m_afOrientation[3 + k];
    };
    // The stored picture is bottom row first.
    auto shown = [&](int32_t c, int32_t r) { return image.m_aPixels[(static_cast<size_t>(h - 1 - r) * w + c) * 3 + 1]; };
    for (const Band& band : bands) {
      const int32_t other = band.axis == 0 ? 2 : 0;
      for (int32_t direction = 0; direction < 2; ++direction) {
        // A line of the picture along rows (direction 0) or down columns, chosen where the
        // other band is far and inside the volume's inner voxels.
        for (int32_t line = 0; line < (direction == 0 ? h : w); ++line) {
          const int32_t c0 = direction == 0 ? 0 : line, r0 = direction == 0 ? line : 0;
          const int32_t dc = direction == 0 ? 1 : 0, dr = 1 - dc;
          const int32_t n = direction == 0 ? w : h;
          // The band must cross the line.
          const double first = point(c0, r0, band.axis), last = point(c0 + dc * (n - 1), r0 + dr * (n - 1), band.axis);
          if (std::fabs(last - first) < kSide / 2.0) continue;
          double low = 1e9, high = -1e9;
          int32_t darkest = 255, brightest = 0;
          bool usable = true;
          std::vector<std::pair<double, int32_t>> samples;
          for (int32_t m = 0; m < n && usable; ++m) {
            const int32_t c = c0 + dc * m, r = r0 + dr * m;
            double x[3] = {point(c, r, 0), point(c, r, 1), point(c, r, 2)};
            const bool inner = x[0] > 1.5 && x[0] < kFiles - 2.5 && x[1] > 1.5 && x[1] < kSide - 2.5 &&
                               x[2] < -1.5 && x[2] > -(kSide - 2.5);
            if (!inner) continue;
            if (std::fabs(x[other] - bands[band.axis == 0 ? 1 : 0].at) < 3) usable = false;
            samples.push_back({x[band.axis], shown(c, r)});
            darkest = std::min<int32_t>(darkest, shown(c, r));
            brightest = std::max<int32_t>(brightest, shown(c, r));
          }
          if (!usable || brightest - darkest < 64) continue;
          for (const auto& [at, g] : samples)
            if (2 * g > darkest + brightest) {
              low = std::min(low, at);
              high = std::max(high, at);
            }
          ++found;
          // A quarter-millimetre pixel: the run's ends sit within one pixel of their places.
          EXPECT_NEAR((low + high) / 2, band.at, s) << "view " << panel << " line " << line << " dir " << direction;
          EXPECT_LT(high - low, 2.0) << "view " << panel << " line " << line;
          break;
        }
      }
    }
  }
  // The x band crosses the axial and coronal views, the z band the coronal and sagittal.
  EXPECT_GE(found, 4);
}
}  // namespace
