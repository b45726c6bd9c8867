#pragma once
// Pixel decoding through GDCM's codecs (JPEG baseline, extended, lossless; JPEG-LS; JPEG 2000;
// RLE; and the packed native layouts of 1 and 12 bits). GDCM gets a clean image description and
// the fragments only, never the file: its own parser is not safe on damaged input.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "dicom/ZR_DcmPixelFormat.h"

class ZR_DcmDecoder {
 public:
  // `fragments`: the encapsulated items (offset table first), or one span of native little-
  // endian data. Returns host-order pixels of all frames; `format` becomes what the codec
  // delivered (a colour JPEG comes out as RGB, for example). Raises ZR_DcmError.
  static std::vector<uint8_t> Decode(const std::string& syntax, bool encapsulated,
                                     const std::vector<std::span<const uint8_t>>& fragments,
                                     ZR_DcmPixelFormat& format);
  // Whether GDCM can decode the transfer syntax.
  static bool Supports(const std::string& syntax);
  // The transfer syntax's name ("JPEG-LS Lossless Image Compression"), or the UID itself.
  static std::string SyntaxName(const std::string& syntax);
};
