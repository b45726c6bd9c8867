#pragma once
// Bounds on what reading one file may allocate or nest, so that a damaged or hostile file
// cannot exhaust memory or the stack. The defaults are far above any real image; the fuzzing
// target lowers them to keep each run quick.

#include <cstddef>

class ZR_DcmLimits {
 public:
  // Largest decoded pixel buffer (all frames), and largest inflated deflate data set.
  static size_t MaxPixelBytes();
  static size_t MaxInflatedBytes();
  static void SetMaxPixelBytes(size_t bytes);
  static void SetMaxInflatedBytes(size_t bytes);
  // Deepest nesting of sequences.
  static constexpr int kMaxDepth = 32;
};
