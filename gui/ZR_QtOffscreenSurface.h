#pragma once
// An offscreen buffer of the windowed program: a framebuffer object drawn by the shared
// context while it is current on its own offscreen surface. It has one colour buffer, which
// draws and reads, so swapping shows nothing.

#include <cstdint>

#include "gui/ZR_QtFramebuffer.h"
#include "render/ZR_DrawSurface.h"

class ZR_QtGlContext;

class ZR_QtOffscreenSurface : public ZR_DrawSurface {
 public:
  ZR_QtOffscreenSurface(ZR_QtGlContext& context, int32_t width, int32_t height);
  ~ZR_QtOffscreenSurface() override;

  // False when the size is not positive or the framebuffer is not complete.
  [[nodiscard]] bool Create();

  bool MakeCurrent() override;
  bool SwapBuffers() override { return true; }
  int32_t Width() const override { return m_nWidth; }
  int32_t Height() const override { return m_nHeight; }
  bool ReadPixels(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t format,
                  uint32_t type, bool fromBack, void* pixels) override;

 private:
  ZR_QtGlContext& m_oContext;
  int32_t m_nWidth;
  int32_t m_nHeight;
  ZR_QtFramebuffer m_oBuffer;
};
