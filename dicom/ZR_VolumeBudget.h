#pragma once
// How much of a study fits: the number of files read for the physical memory, the slice
// ranges the subset preview offers, and the size rules of the voxel buffers. Every product is
// formed in 64 bits and clamped before it is narrowed (64 x 64 slices on a 32 GiB machine
// already reach 2^31 in the range limit; 1024 x 1024 x 2048 voxels reach 2^32 bytes).

#include <cstdint>

struct ZR_SubsetLimits {
  int32_t nLimit = 0;          // slices of this size that fit in 256 MiB per GiB of memory
  int32_t nMaximumSlices = 0;  // the longest range that may be chosen
  int32_t nSliceCount = 0;     // slices the range may be chosen from
  int32_t nTotal = 0;          // length of the range first proposed
};

class ZR_VolumeBudget {
 public:
  static constexpr int32_t kReductionLimit = 1024;  // slices up to which the reduced copy halves

  // Files of rows x columns 16-bit values that fit in half of `memory` bytes, at most `files`.
  static int32_t FilesThatFit(uint64_t memory, int32_t rows, int32_t columns, int32_t files);

  // The subset preview's limits for slices of width x height values, a study of `slices`
  // slices and the renderer's slice limit `maxSlices`.
  static ZR_SubsetLimits SubsetLimits(uint64_t memory, int32_t width, int32_t height, int32_t slices,
                                      int32_t maxSlices);

  // Factor of the reduced copy of a volume of `slices` slices: 2, or 4 above 1024 slices.
  static int32_t ReductionFactor(int32_t slices);
  // size / factor rounded to the nearest integer, halves up.
  static int32_t ReducedSize(int32_t size, int32_t factor);

  // Bytes of a 16-bit voxel buffer and of a one-bit-per-voxel mask (whole bytes).
  static uint64_t VoxelBytes(int32_t width, int32_t height, int32_t depth);
  static uint64_t MaskBytes(int32_t width, int32_t height, int32_t depth);
};
