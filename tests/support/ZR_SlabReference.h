#pragma once
// A slab written the plain way: for every pixel and every sub-plane, the point worked out on
// its own, one trilinear sample through a function call, and the samples inside the volume
// combined. The slab tests compare the renderer's kernel with it and the slab benchmark
// measures it beside the kernel.

#include <cstdint>

#include "render/ZR_SliceStack.h"
#include "render/ZR_SoftwareRenderer.h"
#include "tests/support/ZR_ResliceReference.h"

class ZR_SlabReference {
 public:
  // Pixel (i, j) of sub-plane k samples centre.adStart + (j + 1) row steps + i column steps +
  // (k - (n - 1) / 2) * `shift` (voxels from one sub-plane to the next). A sample is inside
  // when 1 <= coordinate < dimension - 1 on every axis; the pixel is the maximum, minimum or
  // mean (rounded half up) of its inside samples, 0 without any. Modes: 0 mean, 1 minimum,
  // 2 maximum. `markAmbiguous` marks pixels with a sample within a rounding error of the
  // inside's faces; false leaves aAmbiguous empty (the loop as the benchmark times it).
  static ZR_ResliceReference::Result Slab(const ZR_SliceStack& stack, const int32_t dims[3],
                                          const ZR_SoftwareRenderer::Plane& centre, const double shift[3],
                                          int32_t planes, int32_t mode, int32_t width, int32_t height,
                                          bool markAmbiguous = true);
};
