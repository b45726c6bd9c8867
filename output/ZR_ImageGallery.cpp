#include "output/ZR_ImageGallery.h"

#include <filesystem>

#include "core/ZR_Result.h"
#include "output/ZR_ImageWriter.h"

namespace {
// The save dialog's filters 1..3: DICOM, JPEG, BMP.
constexpr int32_t kFilterModes[] = {ZR_ImageWriter::kDicomRgb, ZR_ImageWriter::kJpeg, ZR_ImageWriter::kBmp};
}  // namespace

ZR_Rect ZR_ImageGallery::Cell(int32_t index) const {
  const int32_t column = index % kColumns, row = index / kColumns;
  return {column * m_nCellWidth + 3, row * m_nCellHeight + 3, (column + 1) * m_nCellWidth - 3,
          (row + 1) * m_nCellHeight - 3};
}

bool ZR_ImageGallery::AddImage(const ZR_Image& image) {
  if (IsFull() || image.m_nWidth <= 0 || image.m_nHeight <= 0 || image.m_nWidth % 4 != 0 ||
      image.m_nHeight % 4 != 0)
    return false;
  m_aCells.push_back(Cell(ImageCount()));
  m_aImages.push_back(image);
  m_nSelected = ImageCount() - 1;
  m_oSelectedRect = m_aCells.back();
  m_bAllSelected = false;
  return true;
}

void ZR_ImageGallery::Clear() { ClearAll(); }

const ZR_Image* ZR_ImageGallery::SelectedImage() const {
  return m_nSelected >= 0 && m_nSelected < ImageCount() ? &m_aImages[static_cast<size_t>(m_nSelected)] : nullptr;
}

void ZR_ImageGallery::SetCellSize(int32_t width, int32_t height) {
  m_nCellWidth = width;
  m_nCellHeight = height;
  for (int32_t i = 0; i < CellCount(); ++i) m_aCells[static_cast<size_t>(i)] = Cell(i);
  m_oSelectedRect = SelectedImage() ? m_aCells[static_cast<size_t>(m_nSelected)] : ZR_Rect();
}

bool ZR_ImageGallery::SelectAt(int32_t x, int32_t y) {
  for (int32_t i = 0; i < CellCount(); ++i)
    if (m_aCells[static_cast<size_t>(i)].Contains(x, y)) {
      m_nSelected = i;
      m_oSelectedRect = m_aCells[static_cast<size_t>(i)];
      m_bAllSelected = false;
      return true;
    }
  return false;
}

void ZR_ImageGallery::DeleteSelected() {
  if (m_bAllSelected) {
    ClearAll();
    return;
  }
  if (!SelectedImage()) return;
  m_aImages.erase(m_aImages.begin() + m_nSelected);
  m_aCells.pop_back();
  if (m_nSelected >= ImageCount()) --m_nSelected;
  if (m_nSelected < 0) {
    m_nSelected = 0;
    m_oSelectedRect = ZR_Rect();
  } else {
    m_oSelectedRect = m_aCells[static_cast<size_t>(m_nSelected)];
  }
}

void ZR_ImageGallery::ClearAll() {
  m_aImages.clear();
  m_aCells.clear();
  m_nSelected = 0;
  m_oSelectedRect = ZR_Rect();
  m_bAllSelected = false;
}

std::string ZR_ImageGallery::SaveName(const std::string& path, int32_t filter) {
  if (filter < 1 || filter > 3 || path.empty()) return "";
  std::filesystem::path name(path);
  name.replace_extension();
  if (name.filename().empty()) return "";
  return name.string() + ZR_ImageWriter::Extension(kFilterModes[filter - 1]);
}

int32_t ZR_ImageGallery::SaveSelected(const std::string& path, int32_t filter, std::string* written,
                                      std::string* error) const {
  const ZR_Image* image = SelectedImage();
  const std::string name = SaveName(path, filter);
  if (m_bAllSelected || !image || name.empty()) {
    if (error) *error = name.empty() ? "no file name" : "no single picture selected";
    return VR_WRITE_FAILED;
  }
  if (written) *written = name;
  return ZR_ImageWriter::WriteDicomImage(m_sSourceFile, name, *image, kFilterModes[filter - 1], {}, error);
}
