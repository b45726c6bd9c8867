#pragma once
// One captured picture: its pixels and the few DICOM facts an exported file needs (image
// type, bits stored, pixel spacing, grey window, plane position and orientation). A value:
// copies are deep.

#include <array>
#include <cstdint>
#include <vector>

class ZR_Image {
 public:
  // Pixel formats: RGB (stored B, G, R per pixel, bottom row first, as read back from
  // OpenGL), grey 8-bit, 12-bit, grey 16-bit.
  enum PixelFormat : int32_t { kRgb24 = 0, kGrey8 = 1, kGrey12 = 2, kGrey16 = 3 };

  ZR_Image() = default;
  // Takes the pixels; spacing, window, position and orientation start cleared.
  ZR_Image(bool isMpr, int32_t width, int32_t height, std::vector<uint8_t> pixels, PixelFormat format,
           int32_t bitsStored);

  static int32_t BitsPerPixelOf(PixelFormat format);
  int32_t BytesPerPixel() const { return (m_nBitsPerPixel + 7) / 8; }
  // The buffer holds every pixel of the declared size.
  bool IsComplete() const;

  std::vector<uint8_t> m_aPixels;
  int32_t m_nWidth = 0;
  int32_t m_nHeight = 0;
  PixelFormat m_eFormat = kRgb24;
  bool m_bMpr = false;
  int32_t m_nBitsPerPixel = 24;
  int32_t m_nBitsStored = 8;
  float m_fPixelSpacing = 0;  // mm per pixel; 0 when the view has none
  bool m_bHasPosition = false;
  bool m_bHasOrientation = false;
  std::array<float, 3> m_afPosition{};
  std::array<float, 6> m_afOrientation{};
  // The grey window of a grey capture in its values' units after the rescale (what a viewer
  // applies to them); width 0: none.
  double m_dWindowWidth = 0;
  double m_dWindowCentre = 0;
  // What stored value 0 of a grey capture means in the source's units (intercept + slope x
  // the smallest stored value), and the slope; only grey captures carry them.
  bool m_bHasRescale = false;
  double m_dRescaleIntercept = 0;
  double m_dRescaleSlope = 1;
};
