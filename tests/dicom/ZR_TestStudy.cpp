#include "tests/dicom/ZR_TestStudy.h"

std::unique_ptr<ZR_DicomVolume> ZR_TestStudy::Make(int32_t width, int32_t height, int32_t slices,
                                                    const Value& value, int32_t smallest, int32_t largest) {
  auto v = std::make_unique<ZR_DicomVolume>();
  v->m_nWidth = width;
  v->m_nHeight = height;
  v->m_nSliceCount = slices;
  v->m_nFirst = 0;
  v->m_nLast = slices - 1;
  v->m_nSmallest = smallest;
  v->m_nLargest = largest;
  v->m_nBitsUsed = 12;
  v->m_fPixelSpacingX = v->m_fPixelSpacingY = 1.0f;
  v->m_fSliceDistance = 1.0f;
  v->m_afRowDirection = {1, 0, 0};
  v->m_afColumnDirection = {0, 1, 0};
  v->m_afSliceDirection = {0, 0, 1};
  v->m_sFileName = "memory/slice0.dcm";
  for (int32_t z = 0; z < slices; ++z) {
    auto slice = std::make_unique<uint16_t[]>(static_cast<size_t>(width) * height);
    for (int32_t y = 0; y < height; ++y)
      for (int32_t x = 0; x < width; ++x) slice[static_cast<size_t>(y) * width + x] = value(x, y, z);
    v->m_apSlices.push_back(std::move(slice));
  }
  return v;
}

std::unique_ptr<ZR_DicomVolume> ZR_TestStudy::Numbered(int32_t width, int32_t slices, int32_t largest) {
  return Make(width, width, slices, [](int32_t, int32_t, int32_t z) { return static_cast<uint16_t>(z); }, 0, largest);
}
