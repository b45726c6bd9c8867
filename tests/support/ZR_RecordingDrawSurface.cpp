#include "tests/support/ZR_RecordingDrawSurface.h"

void ZR_RecordingDrawSurface::Record(std::string call) {
  calls.push_back(call);
  if (onCall) onCall(call);
}

bool ZR_RecordingDrawSurface::MakeCurrent() {
  Record("MakeCurrent");
  const bool forwarded = !m_pForward || m_pForward->MakeCurrent();
  return forwarded && makeCurrentResult;
}

bool ZR_RecordingDrawSurface::SwapBuffers() {
  Record("SwapBuffers");
  const bool forwarded = !m_pForward || m_pForward->SwapBuffers();
  return forwarded && swapResult;
}

bool ZR_RecordingDrawSurface::ReadPixels(int32_t x, int32_t y, int32_t width, int32_t height,
                                         uint32_t format, uint32_t type, bool fromBack,
                                         void* pixels) {
  Record("ReadPixels(" + std::to_string(x) + "," + std::to_string(y) + "," +
         std::to_string(width) + "," + std::to_string(height) + "," + std::to_string(format) +
         "," + std::to_string(type) + "," + (fromBack ? "back" : "front") + ")");
  const bool forwarded =
      !m_pForward || m_pForward->ReadPixels(x, y, width, height, format, type, fromBack, pixels);
  return forwarded && readResult;
}
