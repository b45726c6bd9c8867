#pragma once
// Test double of a drawing surface: logs "MakeCurrent", "SwapBuffers" and
// "ReadPixels(x,y,w,h,format,type,back|front)"; answers from a script and
// leaves the pixels untouched.

#include <string>
#include <vector>

#include "render/ZR_DrawSurface.h"

class ZR_RecordingDrawSurface : public ZR_DrawSurface {
 public:
  ZR_RecordingDrawSurface(int32_t width, int32_t height) : m_nWidth(width), m_nHeight(height) {}

  std::vector<std::string> calls;
  bool makeCurrentResult = true;
  bool swapResult = true;
  bool readResult = true;

  bool MakeCurrent() override;
  bool SwapBuffers() override;
  int32_t Width() const override { return m_nWidth; }
  int32_t Height() const override { return m_nHeight; }
  bool ReadPixels(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t format,
                  uint32_t type, bool fromBack, void* pixels) override;
  void SetSize(int32_t width, int32_t height) {
    m_nWidth = width;
    m_nHeight = height;
  }

 private:
  int32_t m_nWidth;
  int32_t m_nHeight;
};
