// The subset preview: limits from the physical memory, the initial dialog, the range rules of
// Update for typed values, the "Use Max Slices" box and the scroll bar, loading the accepted
// range, and the thumbnails on the dialog's two canvases.
#include <gtest/gtest.h>

#include <memory>

#include "core/ZR_Result.h"
#include "core/ZR_SystemInfo.h"
#include "dicom/ZR_VolumeLoader.h"
#include "dicom/ZR_VolumePreview.h"
#include "tests/dicom/ZR_TestStudy.h"
#include "tests/support/ZR_RecordingVolumePreviewGui.h"

namespace {
constexpr uint64_t kMiB = uint64_t{1} << 20;

struct RecordingLoader : ZR_VolumeLoader {
  std::vector<std::pair<int32_t, int32_t>> loads;  // first, last of each request
  ZR_DicomVolume* volume = nullptr;
  int32_t LoadVolume(ZR_DicomVolume* v) override {
    volume = v;
    loads.emplace_back(v->m_nFirst, v->m_nLast);
    return VR_OK;
  }
};

class ZR_VolumePreviewTest : public ::testing::Test {
 protected:
  void SetUp() override { ZR_SystemInfo::SetPhysicalMemoryForTesting(2048 * kMiB); }
  void TearDown() override { ZR_SystemInfo::SetPhysicalMemoryForTesting(0); }

  // A study of small slices (the 2 GiB limits allow 2048 of them): the range is the study's.
  void Open(int32_t slices, int32_t width = 16) {
    volume = ZR_TestStudy::Make(width, width, slices, [](int32_t, int32_t y, int32_t z) {
      return static_cast<uint16_t>(y == 0 ? 4095 : z * 100);
    });
    ASSERT_EQ(ZR_VolumePreview::Create(&gui, &loader, volume.get(), 2048, 350, preview), VR_OK);
  }
  void ExpectRange(int32_t start, int32_t end) {
    EXPECT_EQ(preview->Start(), start);
    EXPECT_EQ(preview->End(), end);
    EXPECT_EQ(preview->Total(), end - start + 1);
    // What the fields show last is the accepted range.
    const auto values = gui.CallsTo("SetNumberValue");
    ASSERT_GE(values.size(), 3u);
    EXPECT_EQ(values[values.size() - 3], ZR_Call("SetNumberValue", 1, float(start)));
    EXPECT_EQ(values[values.size() - 2], ZR_Call("SetNumberValue", 2, float(end)));
    EXPECT_EQ(values[values.size() - 1], ZR_Call("SetNumberValue", 3, float(end - start + 1)));
  }

  ZR_RecordingVolumePreviewGui gui;
  RecordingLoader loader;
  std::unique_ptr<ZR_DicomVolume> volume;
  std::unique_ptr<ZR_VolumePreview> preview;
};
}  // namespace

TEST_F(ZR_VolumePreviewTest, OpensWithTheWholeSmallStudyAndItsControls) {
  Open(40);
  ExpectRange(0, 39);
  EXPECT_EQ(preview->MaximumSlices(), 40);
  EXPECT_EQ(preview->Limits().nLimit, 1 << 21);  // 2^28 / 256 values x 2048 MiB / 1024
  const std::vector<std::string> expected = {
      "SetScrollPage(10,1)",    "SetScrollPosition(10,0)", "SetScrollMin(10,0)",
      "SetScrollMax(10,39)",    "SetNumberMin(1,0)",       "SetNumberMax(1,30)",
      "SetNumberMin(2,9)",      "SetNumberMax(2,39)",      "SetNumberMin(3,10)",
      "SetNumberMax(3,40)",     "SetChecked(4,false)",     "SetLabelText(7,\"40\")",
      "SetNumberValue(1,0)",    "SetNumberValue(2,39)",    "SetNumberValue(3,40)",
      "SetScrollPage(10,39)",   "SetScrollPosition(10,0)"};
  EXPECT_EQ(gui.calls, expected);  // not shown yet: nothing is drawn
}

// 512 x 512 slices on a machine posing with 40 MiB: L = 1024 x 40 / 1024 = 40, so the first
// proposal is half of it and the longest range L.
TEST_F(ZR_VolumePreviewTest, LargeStudiesOpenWithHalfTheLimit) {
  ZR_SystemInfo::SetPhysicalMemoryForTesting(40 * kMiB);
  volume = ZR_TestStudy::Make(512, 512, 50, [](int32_t, int32_t, int32_t z) { return static_cast<uint16_t>(z); });
  ASSERT_EQ(ZR_VolumePreview::Create(&gui, &loader, volume.get(), 2048, 350, preview), VR_OK);
  EXPECT_EQ(preview->Limits().nLimit, 40);
  ExpectRange(0, 19);
  EXPECT_EQ(preview->MaximumSlices(), 40);
  EXPECT_EQ(preview->SliceCount(), 50);
  preview->Event(ZR_PreviewEvent::Total, 41);  // beyond the limit: refused
  ExpectRange(0, 19);
  preview->Event(ZR_PreviewEvent::Total, 40);
  ExpectRange(0, 39);
}

TEST_F(ZR_VolumePreviewTest, TypedValuesAreAcceptedOnlyAsAValidRange) {
  Open(40);
  // A start of 35 leaves fewer than 10 slices: refused, the range stays.
  preview->Event(ZR_PreviewEvent::Start, 35);
  ExpectRange(0, 39);
  EXPECT_TRUE(gui.Has("SetChecked(4,false)"));
  preview->Event(ZR_PreviewEvent::Start, 5);
  ExpectRange(5, 39);
  // An end of 5 is brought to 9, but the length asked for (1 slice) is too short: refused.
  preview->Event(ZR_PreviewEvent::End, 5);
  EXPECT_EQ(preview->EditedEnd(), 9);
  ExpectRange(5, 39);
  preview->Event(ZR_PreviewEvent::End, 30);
  ExpectRange(5, 30);
  // An end beyond the study is brought to its last slice when the length asked for is allowed.
  preview->Event(ZR_PreviewEvent::End, 44);
  ExpectRange(5, 39);
  preview->Event(ZR_PreviewEvent::End, 100);  // 96 slices asked for: refused
  ExpectRange(5, 39);
  // A total selects slices 0..total-1 whatever the start was.
  preview->Event(ZR_PreviewEvent::Total, 20);
  ExpectRange(0, 19);
  // The same value again is no change.
  gui.Clear();
  preview->Event(ZR_PreviewEvent::Total, 20);
  EXPECT_TRUE(gui.calls.empty());
  preview->Event(ZR_PreviewEvent::Total, 9);
  ExpectRange(0, 19);
}

TEST_F(ZR_VolumePreviewTest, ScrollingMovesTheRangeAndUseMaxTakesAll) {
  Open(40);
  preview->Event(ZR_PreviewEvent::Total, 20);
  preview->Event(ZR_PreviewEvent::Scroll, 7);
  ExpectRange(7, 26);
  EXPECT_EQ(gui.CallsTo("SetScrollPosition").back(), "SetScrollPosition(10,7)");
  EXPECT_EQ(gui.CallsTo("SetScrollPage").back(), "SetScrollPage(10,20)");
  preview->Event(ZR_PreviewEvent::Scroll, 20);
  ExpectRange(20, 39);
  preview->Event(ZR_PreviewEvent::Scroll, 21);  // would end beyond the study
  ExpectRange(20, 39);
  preview->Event(ZR_PreviewEvent::Max, 1);
  ExpectRange(0, 39);
  preview->Event(ZR_PreviewEvent::Max, 0);  // unchecking changes nothing
  ExpectRange(0, 39);
}

TEST_F(ZR_VolumePreviewTest, LoadHandsTheAcceptedRangeToTheLoader) {
  Open(40);
  preview->Show(true);
  EXPECT_TRUE(gui.Has("ShowDialog(true)"));
  preview->Event(ZR_PreviewEvent::Start, 12);
  preview->Event(ZR_PreviewEvent::End, 31);
  preview->Event(ZR_PreviewEvent::Load);
  ASSERT_EQ(loader.loads.size(), 1u);
  EXPECT_EQ(loader.loads[0], (std::pair<int32_t, int32_t>{12, 31}));
  EXPECT_EQ(loader.volume, volume.get());
  EXPECT_FALSE(preview->IsShown());
  preview->Show(true);
  preview->Event(ZR_PreviewEvent::Cancel);
  EXPECT_FALSE(preview->IsShown());
  EXPECT_EQ(loader.loads.size(), 1u);
}

TEST_F(ZR_VolumePreviewTest, ThumbnailsShowTheFirstAndLastSliceOfTheRange) {
  Open(40);
  EXPECT_EQ(preview->ThumbnailColumns(), 8);
  EXPECT_EQ(preview->ThumbnailRows(), 8);
  // Stored as a bottom-up picture: slice row 0 (the top of the image) is the last row.
  const uint8_t* t = preview->Thumbnail(30);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t[7 * 8], 255);
  EXPECT_EQ(t[0], 3000 * 255 / 4095);

  preview->Event(ZR_PreviewEvent::Paint);
  EXPECT_EQ(gui.first.draws, 0);  // not shown: nothing drawn
  preview->Show(true);
  gui.Clear();
  preview->Event(ZR_PreviewEvent::Start, 10);
  preview->Event(ZR_PreviewEvent::End, 30);
  ASSERT_EQ(gui.first.width, 350);
  ASSERT_EQ(gui.first.height, 350);
  EXPECT_EQ(gui.first.At(100, 0), 255);                   // the top row of the slice
  EXPECT_EQ(gui.first.At(100, 349), 1000 * 255 / 4095);  // slice 10
  EXPECT_EQ(gui.last.At(200, 200), 3000 * 255 / 4095);   // slice 30
  EXPECT_TRUE(gui.Has("RefreshImage(5)"));
  EXPECT_TRUE(gui.Has("RefreshImage(6)"));
  EXPECT_LT(gui.IndexOf("GetImageDC(5)"), gui.IndexOf("GetImageDC(6)"));

  const int32_t draws = gui.first.draws;
  preview->Release();
  EXPECT_TRUE(preview->IsReleased());
  preview->Event(ZR_PreviewEvent::Paint);
  EXPECT_EQ(gui.first.draws, draws);
}

TEST_F(ZR_VolumePreviewTest, AVolumeWithoutPixelsIsRefused) {
  auto v = std::make_unique<ZR_DicomVolume>();
  v->m_nWidth = v->m_nHeight = 256;
  v->m_nSliceCount = 40;  // as a handed-over record describes it
  EXPECT_EQ(ZR_VolumePreview::Create(&gui, &loader, v.get(), 2048, 350, preview), VR_LD_INVALID_VOLUME);
  EXPECT_EQ(preview, nullptr);
  EXPECT_TRUE(gui.calls.empty());
}
