// Captures through the manager: a snapshot click into the gallery (what the view shows, with
// its spacing), the gallery's limit, and Ctrl+S writing the active view's values to the next
// free file of the capture folder with the rescale that gives back the study's values.
#include <gtest/gtest.h>

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
  EXPECT_TRUE(image.m_bHasPosition);
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
  // The two captures are instances 1 and 2 of one series of the study.
  ZR_DcmImages second;
  second.ReadFile((dir / "lmx2.dcm").string());
  EXPECT_EQ(back.Item(1)->SeriesUID(), second.Item(1)->SeriesUID());
  EXPECT_EQ(second.Item(1)->Attributes().Item(0x0020, 0x0013).Value().AsNumber(), 2);
  EXPECT_TRUE(gui.Messages().empty());
}
}  // namespace
