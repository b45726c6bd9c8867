#include "gui/ZR_QtPanelSurface.h"

#include "gui/ZR_QtGlContext.h"

ZR_QtPanelSurface::ZR_QtPanelSurface(ZR_QtGlContext& context, QWindow* window)
    : m_oContext(context), m_pWindow(window) {}

ZR_QtPanelSurface::~ZR_QtPanelSurface() {
  if (m_oBuffer.IsCreated() && m_oContext.MakeOffscreenCurrent()) m_oBuffer.Delete(m_oContext.Gl());
}

void ZR_QtPanelSurface::SetSize(int32_t width, int32_t height) {
  m_nWidth = width;
  m_nHeight = height;
}

bool ZR_QtPanelSurface::MakeCurrent() {
  if (!m_pWindow || !m_oContext.MakeCurrent(m_pWindow)) return false;
  const ZR_GlFunctions& gl = m_oContext.Gl();
  // A panel not laid out yet has no picture: the context is current all the same (the
  // rendering start-up asks for that), drawing goes nowhere.
  if (m_nWidth <= 0 || m_nHeight <= 0) {
    m_oBuffer.Delete(gl);
    gl.BindFramebuffer(GL_FRAMEBUFFER, 0);
    return true;
  }
  if ((m_oBuffer.Width() != m_nWidth || m_oBuffer.Height() != m_nHeight) &&
      !m_oBuffer.Create(gl, m_nWidth, m_nHeight, 2))
    return false;
  m_oBuffer.Bind(gl, kBack);
  return true;
}

bool ZR_QtPanelSurface::SwapBuffers() {
  if (!MakeCurrent()) return false;
  if (!m_oBuffer.IsCreated()) return true;
  const ZR_GlFunctions& gl = m_oContext.Gl();
  m_oBuffer.Copy(gl, kBack, kFront);
  if (m_pWindow->isExposed()) {
    m_oBuffer.Present(gl, kFront);
    m_oContext.SwapBuffers(m_pWindow);
  }
  m_oBuffer.Bind(gl, kBack);
  return gl.GetError() == GL_NO_ERROR;
}

bool ZR_QtPanelSurface::ReadPixels(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t format,
                                   uint32_t type, bool fromBack, void* pixels) {
  if (!pixels || width < 0 || height < 0 || x < 0 || y < 0 || x + width > m_nWidth || y + height > m_nHeight ||
      !MakeCurrent())
    return false;
  const GLenum buffer = GL_COLOR_ATTACHMENT0 + (fromBack ? kBack : kFront);
  return m_oContext.ReadCurrent(buffer, GL_COLOR_ATTACHMENT0 + kBack, x, y, width, height, format, type, pixels);
}
