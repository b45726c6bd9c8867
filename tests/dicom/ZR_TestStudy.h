#pragma once
// Volumes made in memory, as the series reader would leave them (stored values from 0,
// slices padded), for the tests of assembly, limits and the preview.

#include <cstdint>
#include <functional>
#include <memory>

#include "dicom/ZR_DicomVolume.h"

class ZR_TestStudy {
 public:
  using Value = std::function<uint16_t(int32_t x, int32_t y, int32_t z)>;
  // width x height x slices, stored value value(x, y, z), file values smallest..largest.
  static std::unique_ptr<ZR_DicomVolume> Make(int32_t width, int32_t height, int32_t slices, const Value& value,
                                              int32_t smallest = 0, int32_t largest = 4095);
  // Every value of slice z is z (a study whose slices are told apart by their value).
  static std::unique_ptr<ZR_DicomVolume> Numbered(int32_t width, int32_t slices, int32_t largest = 4095);
};
