#pragma once
// Compares a rendered picture with a committed reference PNG: a per-channel tolerance plus a
// bound on the number of pixels that may exceed it. On failure the actual picture and a
// difference picture are written beside the test output (their paths are in the message);
// a missing reference is written from the actual picture and the comparison fails, which
// is how references are made.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
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

class ZR_ImageCompare {
 public:
  struct Tolerance {
    int32_t nChannel = 0;       // largest accepted difference of one channel
    int64_t nDiffering = 0;     // pixels allowed beyond it
  };

  // `reference`: the PNG under the source tree; `outputDir`: where failures go.
  static ::testing::AssertionResult Matches(const ZR_TestImage& actual,
                                            const std::filesystem::path& reference,
                                            const std::filesystem::path& outputDir,
                                            Tolerance tolerance);

  // Pixels of two same-sized pictures that differ by more than `channel` in any channel;
  // -1 when the sizes differ.
  static int64_t Differing(const ZR_TestImage& a, const ZR_TestImage& b, int32_t channel);

  static bool WritePng(const std::filesystem::path& path, const ZR_TestImage& image);
  static std::optional<ZR_TestImage> ReadPng(const std::filesystem::path& path);
};
