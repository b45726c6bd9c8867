#pragma once
// Pictures written as PNG files, replacing a previous file only once the new one is complete.

#include <cstdint>
#include <string>

class ZR_PngFile {
 public:
  // `rgb`: width x height pixels of 3 bytes, rows bottom first (as read back from a panel).
  [[nodiscard]] static bool WriteRgb(const std::string& path, const uint8_t* rgb, int32_t width, int32_t height);
};
