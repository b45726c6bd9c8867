#include "gui/ZR_QtOffscreenSurface.h"

#include "gui/ZR_QtGlContext.h"

ZR_QtOffscreenSurface::ZR_QtOffscreenSurface(ZR_QtGlContext& context, int32_t width, int32_t height)
    : m_oContext(context), m_nWidth(width), m_nHeight(height) {}

ZR_QtOffscreenSurface::~ZR_QtOffscreenSurface() {
  if (m_oBuffer.IsCreated() && m_oContext.MakeOffscreenCurrent()) m_oBuffer.Delete(m_oContext.Gl());
}

bool ZR_QtOffscreenSurface::Create() {
  if (!m_oContext.MakeOffscreenCurrent()) return false;
  return m_oBuffer.Create(m_oContext.Gl(), m_nWidth, m_nHeight, 1);
}

bool ZR_QtOffscreenSurface::MakeCurrent() {
  if (!m_oBuffer.IsCreated() || !m_oContext.MakeOffscreenCurrent()) return false;
  m_oBuffer.Bind(m_oContext.Gl(), 0);
  return true;
}

bool ZR_QtOffscreenSurface::ReadPixels(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t format,
                                       uint32_t type, bool, void* pixels) {
  if (!pixels || width < 0 || height < 0 || x < 0 || y < 0 || x + width > m_nWidth || y + height > m_nHeight ||
      !MakeCurrent())
    return false;
  return m_oContext.ReadCurrent(GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT0, x, y, width, height, format, type, pixels);
}
