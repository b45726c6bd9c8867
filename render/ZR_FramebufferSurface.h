#pragma once
// A headless panel: a framebuffer object with a back and a front colour buffer and a depth
// buffer, drawn by the shared EGL context. SwapBuffers copies back to front, so both can be
// read back as from a double-buffered window.

#include <cstdint>

#include "render/ZR_DrawSurface.h"

class ZR_EglContext;

class ZR_FramebufferSurface : public ZR_DrawSurface {
 public:
  ZR_FramebufferSurface(ZR_EglContext& context, int32_t width, int32_t height);
  ~ZR_FramebufferSurface() override;

  // Creates the buffers (makes the context current); false when the framebuffer is not
  // complete or the size is not positive.
  [[nodiscard]] bool Create();
  // New size; the contents are lost.
  [[nodiscard]] bool Resize(int32_t width, int32_t height);

  bool MakeCurrent() override;
  bool SwapBuffers() override;
  int32_t Width() const override { return m_nWidth; }
  int32_t Height() const override { return m_nHeight; }
  bool ReadPixels(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t format,
                  uint32_t type, bool fromBack, void* pixels) override;

 private:
  void DeleteBuffers();

  ZR_EglContext& m_oContext;
  int32_t m_nWidth;
  int32_t m_nHeight;
  uint32_t m_nFramebuffer = 0;
  uint32_t m_aRenderbuffers[3] = {0, 0, 0};  // back colour, front colour, depth
};
