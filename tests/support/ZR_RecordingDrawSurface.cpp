#include "tests/support/ZR_RecordingDrawSurface.h"


bool ZR_RecordingDrawSurface::MakeCurrent() {
  calls.emplace_back("MakeCurrent");
  return makeCurrentResult;
}

bool ZR_RecordingDrawSurface::SwapBuffers() {
  calls.emplace_back("SwapBuffers");
  return swapResult;
}

bool ZR_RecordingDrawSurface::ReadPixels(int32_t x, int32_t y, int32_t width, int32_t height,
                                         uint32_t format, uint32_t type, bool fromBack,
                                         void* pixels) {
  calls.push_back("ReadPixels(" + std::to_string(x) + "," + std::to_string(y) + "," +
                  std::to_string(width) + "," + std::to_string(height) + "," +
                  std::to_string(format) + "," + std::to_string(type) + "," +
                  (fromBack ? "back" : "front") + ")");
  (void)pixels;  // left as the caller gave it
  return readResult;
}
