// The gallery model: cells of the three-column grid, selection, deletion, the limit of 32
// pictures, and the names a save takes.
#include <gtest/gtest.h>

#include <vector>

#include "output/ZR_ImageGallery.h"

namespace {
ZR_Image Picture(int32_t width = 8, int32_t height = 8) {
  return ZR_Image(true, width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 3, 7),
                  ZR_Image::kRgb24, 8);
}

TEST(ImageGallery, PicturesFillTheGridAndTheNewOneIsSelected) {
  ZR_ImageGallery g;
  g.SetCellSize(100, 100);
  for (int32_t i = 0; i < 4; ++i) ASSERT_TRUE(g.AddImage(Picture()));
  EXPECT_EQ(g.CellRect(2), ZR_Rect(203, 3, 297, 97));
  EXPECT_EQ(g.CellRect(3), ZR_Rect(3, 103, 97, 197));
  EXPECT_EQ(g.SelectedIndex(), 3);
  EXPECT_EQ(g.SelectedRect(), g.CellRect(3));
  // Sides that are not multiples of 4 are not taken.
  EXPECT_FALSE(g.AddImage(Picture(6, 8)));
  EXPECT_EQ(g.ImageCount(), 4);
  // A click outside every cell keeps the selection; one inside takes it (edges inclusive).
  EXPECT_FALSE(g.SelectAt(100, 50));
  EXPECT_EQ(g.SelectedIndex(), 3);
  EXPECT_TRUE(g.SelectAt(97, 97));
  EXPECT_EQ(g.SelectedIndex(), 0);
}

TEST(ImageGallery, DeletingKeepsTheIndexOrTakesTheNewLast) {
  ZR_ImageGallery g;
  g.SetCellSize(60, 60);
  for (int32_t i = 0; i < 3; ++i) {
    ZR_Image p = Picture();
    p.m_dWindowWidth = i;  // to tell them apart
    ASSERT_TRUE(g.AddImage(p));
  }
  ASSERT_TRUE(g.SelectAt(70, 10));  // the second
  g.DeleteSelected();
  EXPECT_EQ(g.SelectedIndex(), 1);
  EXPECT_EQ(g.SelectedImage()->m_dWindowWidth, 2);  // the next one took its place
  g.DeleteSelected();                               // the last: the new last is selected
  EXPECT_EQ(g.SelectedIndex(), 0);
  g.DeleteSelected();
  EXPECT_EQ(g.ImageCount(), 0);
  EXPECT_TRUE(g.SelectedRect().IsEmpty());
  EXPECT_EQ(g.SelectedImage(), nullptr);
  // After Select All, Delete empties the gallery and Save saves nothing.
  for (int32_t i = 0; i < 5; ++i) ASSERT_TRUE(g.AddImage(Picture()));
  g.SelectAll();
  std::string error;
  EXPECT_NE(g.SaveSelected("/tmp/x", 1, nullptr, &error), 0);
  g.DeleteSelected();
  EXPECT_EQ(g.ImageCount(), 0);
  EXPECT_FALSE(g.IsAllSelected());
}

TEST(ImageGallery, TheThirtyThirdPictureIsRefused) {
  ZR_ImageGallery g;
  for (int32_t i = 0; i < ZR_ImageGallery::kMostImages; ++i) ASSERT_TRUE(g.AddImage(Picture()));
  EXPECT_TRUE(g.IsFull());
  EXPECT_FALSE(g.AddImage(Picture()));
  EXPECT_EQ(g.ImageCount(), 32);
  EXPECT_EQ(g.CellCount(), 32);
}

TEST(ImageGallery, ASaveTakesTheExtensionOfTheChosenFilter) {
  EXPECT_EQ(ZR_ImageGallery::SaveName("/out/head.png", 2), "/out/head.jpg");
  EXPECT_EQ(ZR_ImageGallery::SaveName("/out/head", 1), "/out/head.dcm");
  EXPECT_EQ(ZR_ImageGallery::SaveName("/out/head.dcm", 3), "/out/head.bmp");
  EXPECT_EQ(ZR_ImageGallery::SaveName("/out/head", 4), "");
  EXPECT_EQ(ZR_ImageGallery::SaveName("", 1), "");
}
}  // namespace
