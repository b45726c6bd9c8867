#pragma once
// Test double of the movie writer: logs every call and keeps the options last given.

#include <cstdint>
#include <functional>
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
  int32_t width = 0, height = 0;
  std::vector<uint8_t> firstFrame;  // the bytes of frame 0 as given (bottom-up B, G, R)
  int32_t failAt = -1;              // AddFrame of this frame fails
  std::function<void(int32_t frame)> onFrame;  // called for every frame taken

  bool Open(const std::string& fileName, int32_t width, int32_t height, int32_t bitsPerPixel) override;
  bool AddFrame(const uint8_t* pixels, int32_t frame) override;
  void Close() override;
  void Abandon() override;
  void SetOptions(uint32_t compressor, int32_t quality, int32_t frameRate) override;
};
