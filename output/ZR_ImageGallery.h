#pragma once
// The image gallery: the captured pictures in capture order, a cell of a three-column grid
// for each, the selection, and saving a picture as DICOM, JPEG or BMP. The window's gallery
// derives from it and shows the thumbnails; the engine reaches both through the two virtual
// operations. It holds at most kMostImages pictures, as many as it shows.

#include <cstdint>
#include <string>
#include <vector>

#include "output/ZR_Image.h"
#include "output/ZR_Rect.h"

class ZR_ImageGallery {
 public:
  static constexpr int32_t kMostImages = 32;
  static constexpr int32_t kColumns = 3;

  ZR_ImageGallery() = default;
  virtual ~ZR_ImageGallery() = default;
  ZR_ImageGallery(const ZR_ImageGallery&) = delete;
  ZR_ImageGallery& operator=(const ZR_ImageGallery&) = delete;

  // Adds a copy, selected; false (nothing added) when the gallery is full or the picture's
  // sides are not multiples of 4.
  virtual bool AddImage(const ZR_Image& image);  // 0
  // Empties the gallery.
  virtual void Clear();  // 1

  void SetSourceFile(const std::string& path) { m_sSourceFile = path; }
  const std::string& SourceFile() const { return m_sSourceFile; }
  int32_t ImageCount() const { return static_cast<int32_t>(m_aImages.size()); }
  const ZR_Image& ImageAt(int32_t index) const { return m_aImages[static_cast<size_t>(index)]; }
  int32_t SelectedIndex() const { return m_nSelected; }
  const ZR_Image* SelectedImage() const;
  bool IsFull() const { return ImageCount() >= kMostImages; }

  // Cells are width x height pixels; every cell is placed anew.
  void SetCellSize(int32_t width, int32_t height);
  int32_t CellCount() const { return static_cast<int32_t>(m_aCells.size()); }
  const ZR_Rect& CellRect(int32_t index) const { return m_aCells[static_cast<size_t>(index)]; }
  const ZR_Rect& SelectedRect() const { return m_oSelectedRect; }
  // The first cell holding the point becomes the selection (the all-selected mark goes);
  // false when none holds it.
  bool SelectAt(int32_t x, int32_t y);
  void SelectAll() { m_bAllSelected = true; }
  bool IsAllSelected() const { return m_bAllSelected; }
  // With everything selected, empties the gallery; otherwise removes the selected picture and
  // selects the one now at its place (the new last one when it was the last).
  void DeleteSelected();
  void ClearAll();
  // Writes the selected picture as `path` + the extension of the filter (1 DICOM, 2 JPEG,
  // 3 BMP), the extension typed being dropped; a result code, with the name written and the
  // reason of a failure.
  [[nodiscard]] int32_t SaveSelected(const std::string& path, int32_t filter, std::string* written,
                                     std::string* error) const;
  // The name SaveSelected writes for a typed name and a filter ("" for no filter).
  static std::string SaveName(const std::string& path, int32_t filter);

 private:
  ZR_Rect Cell(int32_t index) const;

  std::vector<ZR_Image> m_aImages;
  std::vector<ZR_Rect> m_aCells;
  ZR_Rect m_oSelectedRect;
  std::string m_sSourceFile;
  int32_t m_nSelected = 0;
  int32_t m_nCellWidth = 0;
  int32_t m_nCellHeight = 0;
  bool m_bAllSelected = false;
};
