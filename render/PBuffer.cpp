#include "render/PBuffer.h"

#include "core/ZR_Log.h"
#include "render/ZR_RenderPlatform.h"

bool PBuffer::Create(ZR_RenderPlatform& platform) {
  m_pSurface.reset();
  if (m_nWidth <= 0 || m_nHeight <= 0) {
    ZR_Log::Entry("PBuffer::Create(): no size");
    return false;
  }
  m_pSurface = platform.CreateOffscreenSurface(m_nWidth, m_nHeight);
  if (!m_pSurface) {
    ZR_Log::Entry("PBuffer::Create(): the offscreen surface could not be made");
    return false;
  }
  m_nWidth = m_pSurface->Width();
  m_nHeight = m_pSurface->Height();
  return true;
}

bool PBuffer::MakeCurrent() { return m_pSurface && m_pSurface->MakeCurrent(); }
