#pragma once
// Test double of the movie writer: logs every call and keeps the options last given.

#include <cstdint>
#include <string>
#include <vector>

#include "core/ZR_Movie.h"

class ZR_RecordingMovie : public ZR_Movie {
 public:
  std::vector<std::string> calls;
  uint32_t compressor = 0;
  int32_t quality = 0;
  int32_t frameRate = 0;
  int32_t frames = 0;

  bool Open(const std::string& fileName, int32_t width, int32_t height, int32_t bitsPerPixel) override;
  bool AddFrame(const uint8_t* pixels, int32_t frame) override;
  void Close() override;
  void SetOptions(uint32_t compressor, int32_t quality, int32_t frameRate) override;
};
