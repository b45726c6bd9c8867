#include "tests/support/ZR_RecordingMovie.h"

bool ZR_RecordingMovie::Open(const std::string& fileName, int32_t w, int32_t h, int32_t bitsPerPixel) {
  calls.push_back("Open " + fileName + " " + std::to_string(w) + "x" + std::to_string(h) + " " +
                  std::to_string(bitsPerPixel));
  width = w;
  height = h;
  return true;
}

bool ZR_RecordingMovie::AddFrame(const uint8_t* pixels, int32_t frame) {
  calls.push_back("AddFrame " + std::to_string(frame));
  if (frame == failAt) return false;
  if (frame == 0 && pixels) firstFrame.assign(pixels, pixels + static_cast<size_t>(width) * height * 3);
  ++frames;
  if (onFrame) onFrame(frame);
  return true;
}

void ZR_RecordingMovie::Close() { calls.emplace_back("Close"); }

void ZR_RecordingMovie::Abandon() { calls.emplace_back("Abandon"); }

void ZR_RecordingMovie::SetOptions(uint32_t c, int32_t q, int32_t rate) {
  calls.push_back("SetOptions " + std::to_string(c) + " " + std::to_string(q) + " " + std::to_string(rate));
  compressor = c;
  quality = q;
  frameRate = rate;
}
