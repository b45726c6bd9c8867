#include "output/ZR_Image.h"

#include <cstddef>
#include <utility>

ZR_Image::ZR_Image(bool isMpr, int32_t width, int32_t height, std::vector<uint8_t> pixels, PixelFormat format,
                   int32_t bitsStored)
    : m_aPixels(std::move(pixels)),
      m_nWidth(width),
      m_nHeight(height),
      m_eFormat(format),
      m_bMpr(isMpr),
      m_nBitsPerPixel(BitsPerPixelOf(format)),
      m_nBitsStored(bitsStored) {}

int32_t ZR_Image::BitsPerPixelOf(PixelFormat format) {
  switch (format) {
    case kRgb24: return 24;
    case kGrey8: return 8;
    case kGrey12: return 12;
    case kGrey16: return 16;
  }
  return 24;
}

bool ZR_Image::IsComplete() const {
  return m_nWidth > 0 && m_nHeight > 0 &&
         m_aPixels.size() == static_cast<size_t>(BytesPerPixel()) * static_cast<size_t>(m_nWidth) *
                                 static_cast<size_t>(m_nHeight);
}
