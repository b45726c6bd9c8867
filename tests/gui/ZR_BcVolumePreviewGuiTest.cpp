// The subset preview dialog and its contract, driven with the real preview engine on a small
// study: what the dialog shows, typed ranges, "Load Volume" and "Cancel", the scroll bar, the
// pictures, and the guard while a load runs inside the dialog.
#include "gui/ZR_BcVolumePreviewGui.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <functional>
#include <memory>

#include "core/ZR_Result.h"
#include "core/ZR_SystemInfo.h"
#include "dicom/ZR_DicomVolume.h"
#include "dicom/ZR_VolumeLoader.h"
#include "dicom/ZR_VolumePreview.h"
#include "gui/TVolumePreview.h"
#include "gui/TZR_NumberEdit.h"
#include "gui/TZR_PictureBox.h"
#include "tests/gui/ZR_GuiTestHelpers.h"

namespace {
constexpr int32_t kSlices = 20;
constexpr int32_t kSide = 16;

struct Loader : ZR_VolumeLoader {
  std::vector<std::pair<int32_t, int32_t>> loads;
  std::function<void()> during;  // runs inside the load, as events processed by a progress window
  int32_t LoadVolume(ZR_DicomVolume* v) override {
    loads.emplace_back(v->m_nFirst, v->m_nLast);
    if (during) during();
    return VR_OK;
  }
};

class PreviewDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    ZR_SystemInfo::SetPhysicalMemoryForTesting(uint64_t{2048} << 20);
    volume.m_nWidth = volume.m_nHeight = kSide;
    volume.m_nSliceCount = kSlices;
    volume.m_nSmallest = 0;
    volume.m_nLargest = 255;
    for (int32_t z = 0; z < kSlices; ++z) {
      volume.m_apSlices.emplace_back(new uint16_t[kSide * kSide]);
      // Each slice one grey level, so a picture tells which slice it shows.
      for (int32_t i = 0; i < kSide * kSide; ++i) volume.m_apSlices.back()[i] = static_cast<uint16_t>(z * 10);
    }
    ASSERT_EQ(ZR_VolumePreview::Create(&gui, &loader, &volume, 2048, ZR_VolumePreview::kThumbnailSize, preview), VR_OK);
    gui.SetEngine(preview.get());
  }
  void TearDown() override { ZR_SystemInfo::SetPhysicalMemoryForTesting(0); }

  static void Type(TZR_NumberEdit* field, const QString& text) {
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
  }
  static int Grey(const TZR_PictureBox* picture) { return qGray(picture->Picture().pixel(175, 175)); }

  QWidget main;
  ZR_BcVolumePreviewGui gui{&main};
  ZR_DicomVolume volume;
  Loader loader;
  std::unique_ptr<ZR_VolumePreview> preview;
};
}  // namespace

TEST_F(PreviewDialog, ShowsTheRangeAndLoadsWhatTheUserTyped) {
  TVolumePreview* dialog = gui.Dialog();
  struct Seen {
    QString total, start, end, subset;
    int first = -1, last = -1;
  } opened, typed;
  WhenModalAppears([&](QWidget* modal) {
    ASSERT_EQ(modal, dialog);
    auto look = [&](Seen& s) {
      s = {dialog->TotalLabel()->text(), dialog->StartField()->text(), dialog->EndField()->text(),
           dialog->TotalField()->text(), Grey(dialog->FirstImage()), Grey(dialog->LastImage())};
    };
    look(opened);
    Type(dialog->StartField(), "5");
    look(typed);
    dialog->LoadButton()->click();
  });
  preview->Show(true);
  EXPECT_EQ(opened.total, "20");
  EXPECT_EQ(opened.start, "0");
  EXPECT_EQ(opened.end, "19");
  EXPECT_EQ(opened.subset, "20");
  // Slice k is grey k x 10 of 255, stretched to 350 x 350.
  EXPECT_EQ(dialog->FirstImage()->Picture().size(), QSize(350, 350));
  EXPECT_EQ(opened.first, 0);
  EXPECT_EQ(opened.last, 190);
  EXPECT_EQ(typed.start, "5");
  EXPECT_EQ(typed.subset, "15");
  EXPECT_EQ(typed.first, 50);
  ASSERT_EQ(loader.loads.size(), 1u);
  EXPECT_EQ(loader.loads[0], std::make_pair(5, 19));
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
}

TEST_F(PreviewDialog, CancelLoadsNothingAndTheScrollBarMovesTheRange) {
  TVolumePreview* dialog = gui.Dialog();
  Type(dialog->TotalField(), "10");  // 0..9, so the range can move
  WhenModalAppears([&](QWidget*) {
    dialog->ScrollBar()->setValue(4);  // as a drag of the bar does
    dialog->CancelButton()->click();
  });
  preview->Show(true);
  EXPECT_TRUE(loader.loads.empty());
  EXPECT_FALSE(preview->IsShown());
  EXPECT_EQ(preview->Start(), 4);
  EXPECT_EQ(preview->End(), 13);
  EXPECT_EQ(dialog->StartField()->text(), "4");
}

TEST_F(PreviewDialog, PicturesAndHooksByImageId) {
  EXPECT_EQ(gui.GetImageDC(ZR_PreviewCtl::Img_First), gui.Dialog()->FirstImage());
  EXPECT_EQ(gui.GetImageDC(ZR_PreviewCtl::Img_Last), gui.Dialog()->LastImage());
  EXPECT_EQ(gui.GetImageDC(9), gui.Dialog()->LastImage());
  gui.RefreshImage(7);  // no such image: nothing happens
  // Detached, the dialog's events reach no engine.
  gui.SetEngine(nullptr);
  gui.Dialog()->LoadButton()->click();
  EXPECT_TRUE(loader.loads.empty());
}

TEST_F(PreviewDialog, WhileALoadRunsTheDialogTakesNoSecondLoadAndDoesNotClose) {
  TVolumePreview* dialog = gui.Dialog();
  bool visibleDuring = false;
  loader.during = [&] {
    dialog->LoadButton()->click();
    dialog->CancelButton()->click();
    dialog->close();
    Type(dialog->StartField(), "3");
    visibleDuring = dialog->isVisible();
  };
  WhenModalAppears([&](QWidget*) { dialog->LoadButton()->click(); });
  preview->Show(true);
  ASSERT_EQ(loader.loads.size(), 1u);
  EXPECT_EQ(loader.loads[0], std::make_pair(0, 19));
  EXPECT_TRUE(visibleDuring);
  EXPECT_EQ(preview->Start(), 0);
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
}
