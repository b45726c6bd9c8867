#pragma once
// Pictures for people: an image's first frame as a BMP or JPEG file (JPEG through
// libjpeg-turbo). Grey values above 8 bits are reduced to their top 8 significant bits.

#include <cstdint>
#include <string>
#include <vector>

#include "dicom/ZR_DcmPixelFormat.h"

class ZR_DcmPicture {
 public:
  // 8-bit grey (channels 1) or RGB (channels 3), rows top-down.
  struct Raster {
    int32_t width = 0, height = 0, channels = 0;
    std::vector<uint8_t> pixels;
  };

  // Raises ZR_DcmError for layouts a picture cannot show (palette colour, 4 samples, ...).
  static Raster FromPixels(const void* frame, const ZR_DcmPixelFormat& format);
  static std::string EncodeBmp(const Raster& raster);
  static std::string EncodeJpeg(const Raster& raster, int32_t quality);
};
