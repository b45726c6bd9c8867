#pragma once
// Compares a rendered picture with a committed reference PNG: a per-channel tolerance plus a
// bound on the number of pixels that may exceed it. On failure the actual picture and a
// difference picture are written beside the test output (their paths are in the message);
// a missing reference is written from the actual picture and the comparison fails, which
// is how references are made.

#include <gtest/gtest.h>

#include "tests/support/ZR_TestImage.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

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
