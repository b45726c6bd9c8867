// A real head CT from its files to a rendered 3D frame, through the same calls the window
// makes: LoadStudy, the subset preview (its thumbnails on the dialog's canvases, "Load
// Volume"), the 3D screen and a full-quality render of panel 0, read back with ReadPanel.
//
// References: tests/manager/references/ct-head-*.png (128 x 128 RGB, Mesa llvmpipe) for the
// colour, grey, MIP, shaded and interactive (reduced copy) pictures. The tolerance absorbs
// rounding differences between drivers; the numeric checks carry the exact expectations.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "tests/manager/ZR_LoadingFixture.h"
#include "tests/support/ZR_ImageCompare.h"
#include "tests/support/ZR_RayProjection.h"
#include "tests/support/ZR_TestData.h"

namespace {
constexpr int32_t kView = 128;

std::vector<std::string> SeriesFiles(const std::filesystem::path& dir) {
  std::vector<std::string> files;
  for (const auto& e : std::filesystem::directory_iterator(dir))
    if (e.is_regular_file()) files.push_back(e.path().string());
  std::sort(files.begin(), files.end());
  return files;
}

class EndToEnd : public ZR_LoadingFixture {
 protected:
  bool MatchesReference(const ZR_TestImage& frame, const char* name) {
    return ZR_ImageCompare::Matches(
        frame, std::filesystem::path(LMX_SOURCE_DIR) / "tests/manager/references" / name,
        std::filesystem::path(LMX_BINARY_DIR) / "test-output/core", {8, kView * kView / 100});
  }
  // Pixels lit where no ray meets the volume's box: nothing may be drawn beside the volume.
  int64_t LitOutsideTheVolume(const ZR_TestImage& image) {
    const auto rays = ZR_RayProjection::Project(shared, image.nWidth, image.nHeight,
                                                {ZR_RayProjection::VolumeBox(shared)});
    int64_t lit = 0;
    for (int32_t y = 0; y < image.nHeight; ++y)
      for (int32_t x = 0; x < image.nWidth; ++x) {
        const uint8_t* p = image.At(x, y);
        if (rays[static_cast<size_t>(y) * image.nWidth + x] == ZR_RayProjection::kMiss && p[0] + p[1] + p[2] > 0)
          ++lit;
      }
    return lit;
  }
  ZR_TestImage ReadView() {
    int32_t w = 0, h = 0;
    auto pixels = manager->ReadPanel(ZR_Panel::View3D, &w, &h, GL_RGB, GL_UNSIGNED_BYTE, 3, 1, false);
    if (!pixels) return {};
    return ZR_TestImage::FromBottomUp(w, h, 3, pixels.get());
  }
};
}  // namespace

TEST_F(EndToEnd, RealHeadCtFromItsFilesToARenderedFrame) {
  LMX_REQUIRE_DATA(dir, "series/ct-head-108");
  ASSERT_TRUE(panels->Resize(ZR_Panel::View3D, kView, kView));
  settings.Display().showStudyDetails = false;  // text would make the picture depend on the font
  const std::vector<std::string> files = SeriesFiles(dir);
  int32_t count = static_cast<int32_t>(files.size());
  ASSERT_EQ(manager->LoadStudy(files, count), VR_OK);
  ASSERT_EQ(count, 108);

  // The preview opens on the whole study; its pictures show the first and the last slice.
  ZR_VolumePreview* preview = manager->VolumePreview();
  ASSERT_NE(preview, nullptr);
  EXPECT_EQ(preview->Start(), 0);
  EXPECT_EQ(preview->End(), 107);
  preview->Event(ZR_PreviewEvent::Paint);
  ASSERT_EQ(previewGui.first.width, 350);
  // Each canvas's centre is its thumbnail's centre (128 x 128, stored bottom row first).
  const uint8_t* first = preview->Thumbnail(0);
  const uint8_t* last = preview->Thumbnail(107);
  ASSERT_TRUE(first && last);
  EXPECT_EQ(previewGui.first.At(175, 175), first[(127 - 64) * 128 + 64]);
  EXPECT_EQ(previewGui.last.At(175, 175), last[(127 - 64) * 128 + 64]);
  // The lowest slice cuts through the head (soft tissue is grey 65 of 255); the highest lies
  // above it.
  const auto tissue = std::count_if(previewGui.first.pixels.begin(), previewGui.first.pixels.end(),
                                    [](uint8_t v) { return v > 60; });
  EXPECT_GT(tissue, 350 * 350 / 10);
  EXPECT_LT(*std::max_element(previewGui.last.pixels.begin(), previewGui.last.pixels.end()), 60);

  preview->Event(ZR_PreviewEvent::Load);
  ASSERT_TRUE(manager->IsVolumeLoaded());
  EXPECT_TRUE(gui.Messages().empty()) << gui.Messages().front();
  EXPECT_EQ(manager->HistogramVoxels(), 256u * 256u * 108u);
  EXPECT_EQ(manager->Reduction(), 2);
  EXPECT_FALSE(progress.visible);

  ASSERT_TRUE(manager->Show3DScreen());
  EXPECT_EQ(manager->Screen(), ZR_Screen::View3d);
  // A load switches shading on where the adapter can shade; the picture compared is the
  // plain one, which depends least on the driver's arithmetic.
  EXPECT_EQ(manager->IsShading(), manager->CanShade());
  manager->SetShading(false, false);
  manager->RenderFullQuality();
  const ZR_TestImage frame = ReadView();
  ASSERT_EQ(frame.nWidth, kView);
  ASSERT_EQ(frame.nHeight, kView);
  // Lit where the head is, black in the corners.
  EXPECT_EQ(frame.At(2, 2)[0] + frame.At(2, 2)[1] + frame.At(2, 2)[2], 0);
  int lit = 0;
  for (int32_t y = 32; y < 96; ++y)
    for (int32_t x = 32; x < 96; ++x) lit += frame.At(x, y)[0] + frame.At(x, y)[1] + frame.At(x, y)[2] > 60 ? 1 : 0;
  EXPECT_GT(lit, 64 * 64 / 2);
  EXPECT_EQ(LitOutsideTheVolume(frame), 0);
  EXPECT_TRUE(MatchesReference(frame, "ct-head-colour.png"));

  // Interactive quality draws the reduced copy: the same head, coarser.
  manager->SelectQuality(3, true);
  manager->RedrawPanel(ZR_Panel::View3D);
  const ZR_TestImage interactive = ReadView();
  ASSERT_EQ(interactive.nWidth, kView);
  double difference = 0;
  for (int32_t y = 0; y < kView; ++y)
    for (int32_t x = 0; x < kView; ++x)
      for (int c = 0; c < 3; ++c) difference += std::abs(interactive.At(x, y)[c] - frame.At(x, y)[c]);
  // Half the resolution and fewer slices move edges by a voxel or two (about 16 grey levels
  // on average here); a wrong copy or an empty frame differs by far more.
  EXPECT_GT(difference, 0.0);
  EXPECT_LT(difference / (kView * kView * 3), 25.0);
  EXPECT_TRUE(MatchesReference(interactive, "ct-head-interactive.png"));

  // Shading changes the picture of the same head where the adapter can shade.
  if (manager->CanShade()) {
    manager->SetShading(true, false);
    manager->RenderFullQuality();
    const ZR_TestImage shaded = ReadView();
    int changed = 0;
    for (int32_t y = 32; y < 96; ++y)
      for (int32_t x = 32; x < 96; ++x) changed += shaded.At(x, y)[0] != frame.At(x, y)[0] ? 1 : 0;
    EXPECT_GT(changed, 64 * 64 / 4);
    EXPECT_EQ(shaded.At(2, 2)[0] + shaded.At(2, 2)[1] + shaded.At(2, 2)[2], 0);
    EXPECT_TRUE(MatchesReference(shaded, "ct-head-shaded.png"));
    manager->SetShading(false, false);
  }

  // Grey and MIP pictures are grey (red = green = blue); MIP shows the skull brighter than
  // any grey compositing of the same window can.
  auto isGrey = [](const ZR_TestImage& image) {
    for (int32_t y = 0; y < image.nHeight; ++y)
      for (int32_t x = 0; x < image.nWidth; ++x)
        if (image.At(x, y)[0] != image.At(x, y)[1] || image.At(x, y)[1] != image.At(x, y)[2]) return false;
    return true;
  };
  auto brightest = [](const ZR_TestImage& image) {
    int top = 0;
    for (int32_t y = 0; y < image.nHeight; ++y)
      for (int32_t x = 0; x < image.nWidth; ++x) top = std::max<int>(top, image.At(x, y)[0]);
    return top;
  };
  manager->SetRenderMode(ZR_RenderMode::Grayscale, false);
  manager->RenderFullQuality();
  const ZR_TestImage grey = ReadView();
  EXPECT_TRUE(isGrey(grey));
  EXPECT_EQ(grey.At(2, 2)[0], 0);
  EXPECT_EQ(LitOutsideTheVolume(grey), 0);
  EXPECT_TRUE(MatchesReference(grey, "ct-head-grey.png"));

  manager->SetRenderMode(ZR_RenderMode::Mip, false);
  manager->RenderFullQuality();
  const ZR_TestImage mip = ReadView();
  EXPECT_TRUE(isGrey(mip));
  EXPECT_EQ(mip.At(2, 2)[0], 0);
  EXPECT_GT(brightest(mip), 200);
  EXPECT_EQ(LitOutsideTheVolume(mip), 0);
  EXPECT_TRUE(MatchesReference(mip, "ct-head-mip.png"));
}
