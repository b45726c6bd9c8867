#pragma once
// The software reslice written the plain way: every pixel's point computed from the plane on
// its own and sampled by a function call, straight from the definition of the two paths. The
// tests compare the renderer's kernels with it and the benchmark measures it beside them.

#include <cstdint>
#include <vector>

#include "render/ZR_SliceStack.h"
#include "render/ZR_SoftwareRenderer.h"

class ZR_ResliceReference {
 public:
  struct Result {
    int32_t nWidth = 0;
    int32_t nHeight = 0;
    std::vector<uint16_t> aValues;
    // Samples whose point lies within a rounding error of a voxel boundary that decides the
    // value (the volume's edge, or a cell edge for the nearest voxel): there two correct
    // computations may pick different voxels.
    std::vector<uint8_t> aAmbiguous;
  };

  // Step 1: trilinear, column j sampled j + 1 row steps from the start; step 2 or more:
  // nearest voxel at j row steps, step x step blocks.
  // `markAmbiguous` false leaves aAmbiguous empty (the loop as the benchmark times it).
  static Result Reslice(const ZR_SliceStack& stack, const int32_t dims[3],
                        const ZR_SoftwareRenderer::Plane& plane, int32_t width, int32_t height,
                        int32_t step, bool markAmbiguous = true);
  // One trilinear sample at a point in voxels: 0 unless 1 <= x < X - 1 on every axis.
  static float Trilinear(const ZR_SliceStack& stack, const int32_t dims[3], double x, double y, double z);
  static uint16_t Nearest(const ZR_SliceStack& stack, const int32_t dims[3], double x, double y, double z);

  // Pixels of `actual` further than `tolerance` from the reference (ambiguous ones aside);
  // `largest` receives the largest such difference.
  static int64_t Mismatches(const Result& reference, const uint16_t* actual, int32_t tolerance,
                            int32_t* largest = nullptr);
};
