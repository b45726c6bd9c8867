// The gallery window over its model: thumbnails as pictures arrive, a click selecting a cell,
// Save writing the selected picture under the chosen filter's extension, Select All and
// Delete, and the buttons following what can be done.
#include "gui/ZR_BcImageGallery.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "tests/dicom/ZR_DicomSeries.h"
#include "tests/support/ZR_TestData.h"

namespace {
ZR_Image Picture(uint8_t red) {
  std::vector<uint8_t> bgr(16 * 16 * 3, 0);
  for (size_t k = 0; k < bgr.size(); k += 3) bgr[k + 2] = red;
  return ZR_Image(true, 16, 16, std::move(bgr), ZR_Image::kRgb24, 8);
}

TEST(GalleryWindow, PicturesShowSelectSaveAndGo) {
  ZR_BcImageGallery gallery(nullptr);
  TImageGallery& frame = *gallery.Frame();
  EXPECT_FALSE(frame.DeleteButton()->isEnabled());
  EXPECT_FALSE(frame.StoreButton()->isEnabled());
  gallery.SetSourceFile(ZR_DicomSeries::Write("gallery-window", 1, ZR_DicomSeries::Flat(500))[0]);
  for (uint8_t red : {10, 20, 30, 40}) ASSERT_TRUE(gallery.AddImage(Picture(red)));
  EXPECT_TRUE(frame.isVisible());
  EXPECT_EQ(frame.ThumbnailCount(), 4);
  EXPECT_TRUE(frame.DeleteButton()->isEnabled());
  EXPECT_TRUE(frame.SaveButton()->isEnabled());
  EXPECT_EQ(gallery.SelectedIndex(), 3);

  // A click in the first cell selects its picture.
  const ZR_Rect first = gallery.CellRect(0);
  QTest::mouseClick(frame.Picture(), Qt::LeftButton, Qt::NoModifier,
                    QPoint((first.left + first.right) / 2, (first.top + first.bottom) / 2));
  EXPECT_EQ(gallery.SelectedIndex(), 0);

  // Save as JPEG: the typed extension gives way to the filter's.
  const std::filesystem::path dir = ZR_TestData::ScratchDir("gallery-window-save");
  frame.askSaveName = [&](QString* name, int32_t* filter) {
    *name = QString::fromStdString((dir / "first.png").string());
    *filter = 2;
    return true;
  };
  frame.SaveButton()->click();
  EXPECT_TRUE(std::filesystem::exists(dir / "first.jpg"));
  EXPECT_FALSE(std::filesystem::exists(dir / "first.png"));

  // Delete takes the selected one; Select All then Delete empties the gallery.
  frame.DeleteButton()->click();
  EXPECT_EQ(gallery.ImageCount(), 3);
  EXPECT_EQ(frame.ThumbnailCount(), 3);
  EXPECT_EQ(gallery.SelectedImage()->m_aPixels[2], 20);
  frame.SelectAllButton()->click();
  EXPECT_FALSE(frame.SaveButton()->isEnabled());
  frame.DeleteButton()->click();
  EXPECT_EQ(gallery.ImageCount(), 0);
  EXPECT_EQ(frame.ThumbnailCount(), 0);
  EXPECT_FALSE(frame.DeleteButton()->isEnabled());
  EXPECT_FALSE(frame.SelectAllButton()->isEnabled());
}
}  // namespace
