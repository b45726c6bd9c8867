#pragma once
// RLE Lossless decoding, our own: GDCM's RLE codec trusts the segment offsets of a fragment and
// reads past its end on damaged files. Every offset and run is checked here.

#include <cstdint>
#include <span>
#include <vector>

#include "dicom/ZR_DcmPixelFormat.h"

class ZR_DcmRle {
 public:
  static constexpr const char* kSyntax = "1.2.840.10008.1.2.5";

  // `fragments`: the encapsulated items after the offset table, one per frame. Returns host-
  // order pixels of all frames, samples interleaved (`format.planar` becomes 0). Raises
  // ZR_DcmError.
  static std::vector<uint8_t> Decode(std::span<const std::span<const uint8_t>> fragments, ZR_DcmPixelFormat& format);
};
