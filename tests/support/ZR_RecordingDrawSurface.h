#pragma once
// Test double of a drawing surface: logs "MakeCurrent", "SwapBuffers" and
// "ReadPixels(x,y,w,h,format,type,back|front)". Alone it answers from a script and leaves the
// pixels untouched; given a real surface to forward to, it passes every call on (answering
// false where either says false) and takes that surface's size.

#include <functional>
#include <string>
#include <vector>

#include "render/ZR_DrawSurface.h"

class ZR_RecordingDrawSurface : public ZR_DrawSurface {
 public:
  ZR_RecordingDrawSurface(int32_t width, int32_t height) : m_nWidth(width), m_nHeight(height) {}
  explicit ZR_RecordingDrawSurface(ZR_DrawSurface& forward)
      : m_pForward(&forward), m_nWidth(forward.Width()), m_nHeight(forward.Height()) {}

  std::vector<std::string> calls;
  bool makeCurrentResult = true;
  bool swapResult = true;
  bool readResult = true;
  // Called after each recorded call (for re-entrancy tests).
  std::function<void(const std::string&)> onCall;

  bool MakeCurrent() override;
  bool SwapBuffers() override;
  int32_t Width() const override { return m_pForward ? m_pForward->Width() : m_nWidth; }
  int32_t Height() const override { return m_pForward ? m_pForward->Height() : m_nHeight; }
  bool ReadPixels(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t format,
                  uint32_t type, bool fromBack, void* pixels) override;
  void SetSize(int32_t width, int32_t height) {
    m_nWidth = width;
    m_nHeight = height;
  }

 private:
  void Record(std::string call);
  ZR_DrawSurface* m_pForward = nullptr;
  int32_t m_nWidth;
  int32_t m_nHeight;
};
