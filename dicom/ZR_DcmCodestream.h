#pragma once
// Checks the header of a compressed frame (JPEG, JPEG-LS, JPEG 2000) against the image it
// belongs to before GDCM sees it. Debian's GDCM is built with its assertions on, and its
// codecs assert (ending the program) on headers they do not expect: a libjpeg warning while the
// header is read, a component count that differs from the image, a JPEG 2000 stream without its
// end marker. What passes here is what those codecs take without asserting.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "dicom/ZR_DcmPixelFormat.h"

class ZR_DcmCodestream {
 public:
  // `fragments` after the offset table. Raises ZR_DcmError naming what does not fit.
  static void Check(const std::string& syntax, std::span<const std::span<const uint8_t>> fragments,
                    const ZR_DcmPixelFormat& format);
};
