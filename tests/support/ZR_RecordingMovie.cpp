#include "tests/support/ZR_RecordingMovie.h"

bool ZR_RecordingMovie::Open(const std::string& fileName, int32_t width, int32_t height, int32_t bitsPerPixel) {
  calls.push_back("Open " + fileName + " " + std::to_string(width) + "x" + std::to_string(height) + " " +
                  std::to_string(bitsPerPixel));
  return true;
}

bool ZR_RecordingMovie::AddFrame(const uint8_t*, int32_t frame) {
  calls.push_back("AddFrame " + std::to_string(frame));
  ++frames;
  return true;
}

void ZR_RecordingMovie::Close() { calls.emplace_back("Close"); }

void ZR_RecordingMovie::SetOptions(uint32_t c, int32_t q, int32_t rate) {
  calls.push_back("SetOptions " + std::to_string(c) + " " + std::to_string(q) + " " + std::to_string(rate));
  compressor = c;
  quality = q;
  frameRate = rate;
}
