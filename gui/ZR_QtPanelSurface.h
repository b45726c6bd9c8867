#pragma once
// A drawing panel as the engine draws into it: the shared context made current on the
// panel's native window, drawing into a framebuffer object of the panel's size with a back
// and a front buffer. Swapping copies back to front and shows the front in the window, so
// both buffers read back what they should whatever the window system keeps of a window's
// buffers (it may drop them when the context moves to another surface).

#include <QPointer>
#include <QWindow>

#include "gui/ZR_QtFramebuffer.h"
#include "render/ZR_DrawSurface.h"

class ZR_QtGlContext;

class ZR_QtPanelSurface : public ZR_DrawSurface {
 public:
  ZR_QtPanelSurface(ZR_QtGlContext& context, QWindow* window);
  ~ZR_QtPanelSurface() override;

  // The picture's size in device pixels (the panel's entry in the viewport table); the
  // buffers follow it the next time the surface is made current.
  void SetSize(int32_t width, int32_t height);

  bool MakeCurrent() override;
  // Shows the picture; a window that is not on screen is not swapped (it is repainted once
  // it is exposed), but the front buffer is updated all the same.
  bool SwapBuffers() override;
  int32_t Width() const override { return m_nWidth; }
  int32_t Height() const override { return m_nHeight; }
  bool ReadPixels(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t format,
                  uint32_t type, bool fromBack, void* pixels) override;

  QWindow* Window() const { return m_pWindow; }

 private:
  static constexpr int32_t kBack = 0;
  static constexpr int32_t kFront = 1;

  ZR_QtGlContext& m_oContext;
  QPointer<QWindow> m_pWindow;
  int32_t m_nWidth = 0;
  int32_t m_nHeight = 0;
  ZR_QtFramebuffer m_oBuffer;
};
