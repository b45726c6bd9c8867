#pragma once
// A picture read back from a panel, for the image tests and the benchmarks.

#include <cstddef>
#include <cstdint>
#include <vector>

// 8-bit pixels, rows top first (as in a PNG), `channels` 1..4 per pixel.
struct ZR_TestImage {
  int32_t nWidth = 0;
  int32_t nHeight = 0;
  int32_t nChannels = 4;
  std::vector<uint8_t> aPixels;

  const uint8_t* At(int32_t x, int32_t y) const {
    return &aPixels[(static_cast<size_t>(y) * nWidth + x) * nChannels];
  }
  // The colour channels only (a panel's alpha is not what the user sees).
  ZR_TestImage Rgb() const;
  // From rows bottom first (as OpenGL reads them back).
  static ZR_TestImage FromBottomUp(int32_t width, int32_t height, int32_t channels,
                                   const uint8_t* pixels);
};
