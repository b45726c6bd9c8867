#pragma once
// How an image's pixels are laid out, taken from its data set and checked for consistency
// before anything is allocated for them.

#include <cstddef>
#include <cstdint>
#include <string>

class ZR_DcmDataSet;

class ZR_DcmPixelFormat {
 public:
  uint32_t rows = 0, columns = 0, frames = 1;
  uint16_t samples = 1, bitsAllocated = 0, bitsStored = 0, highBit = 0, pixelRepresentation = 0;
  uint16_t planar = 0;
  std::string photometric = "MONOCHROME2";

  // Raises ZR_DcmError naming what is missing or inconsistent.
  static ZR_DcmPixelFormat FromDataSet(const ZR_DcmDataSet& set);

  size_t FrameBytes() const;
  size_t TotalBytes() const { return FrameBytes() * frames; }
};
