#pragma once
// The 4096-entry tables index a stored value v (file value minus the study's smallest) by
// round(v x 4095 / R), R the study's value range, so that the table's own mapping
// (smallest + R x index / 4095) names the value a voxel really has. Volume assembly (the GPU
// path) and the CPU reslicer's window table must use this one rule to agree.

#include <cstdint>

class ZR_TableIndex {
 public:
  static constexpr int32_t kScale = 4095;

  // Values beyond the range take the last index; an empty range gives 0.
  static constexpr uint16_t OfStoredValue(int32_t v, int32_t range) {
    if (range < 1 || v <= 0) return 0;
    if (v >= range) return kScale;
    // Halves round up, in integers.
    return static_cast<uint16_t>((int64_t{v} * 2 * kScale + range) / (int64_t{2} * range));
  }
};
