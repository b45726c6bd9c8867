#include "render/ZR_FramebufferSurface.h"

#include "render/ZR_EglContext.h"

namespace {
constexpr GLenum kBack = GL_COLOR_ATTACHMENT0;
constexpr GLenum kFront = GL_COLOR_ATTACHMENT1;
}  // namespace

ZR_FramebufferSurface::ZR_FramebufferSurface(ZR_EglContext& context, int32_t width, int32_t height)
    : m_oContext(context), m_nWidth(width), m_nHeight(height) {}

ZR_FramebufferSurface::~ZR_FramebufferSurface() {
  if (m_nFramebuffer && m_oContext.MakeCurrent()) DeleteBuffers();
}

void ZR_FramebufferSurface::DeleteBuffers() {
  const ZR_GlFunctions& gl = m_oContext.Gl();
  gl.BindFramebuffer(GL_FRAMEBUFFER, 0);
  gl.DeleteFramebuffers(1, &m_nFramebuffer);
  gl.DeleteRenderbuffers(3, m_aRenderbuffers);
  m_nFramebuffer = 0;
  for (uint32_t& buffer : m_aRenderbuffers) buffer = 0;
}

bool ZR_FramebufferSurface::Create() {
  if (m_nWidth <= 0 || m_nHeight <= 0 || !m_oContext.MakeCurrent()) return false;
  const ZR_GlFunctions& gl = m_oContext.Gl();
  if (m_nFramebuffer) DeleteBuffers();
  gl.GenFramebuffers(1, &m_nFramebuffer);
  gl.GenRenderbuffers(3, m_aRenderbuffers);
  gl.BindFramebuffer(GL_FRAMEBUFFER, m_nFramebuffer);
  // Panels have no alpha channel (24-bit colour, 24-bit depth), like the windows they stand
  // for; blending into an alpha-less target is also about twice as fast on llvmpipe.
  const GLenum formats[3] = {GL_RGB8, GL_RGB8, GL_DEPTH_COMPONENT24};
  const GLenum attachments[3] = {kBack, kFront, GL_DEPTH_ATTACHMENT};
  for (int i = 0; i < 3; ++i) {
    gl.BindRenderbuffer(GL_RENDERBUFFER, m_aRenderbuffers[i]);
    gl.RenderbufferStorage(GL_RENDERBUFFER, formats[i], m_nWidth, m_nHeight);
    gl.FramebufferRenderbuffer(GL_FRAMEBUFFER, attachments[i], GL_RENDERBUFFER, m_aRenderbuffers[i]);
  }
  gl.BindRenderbuffer(GL_RENDERBUFFER, 0);
  gl.DrawBuffer(kBack);
  gl.ReadBuffer(kBack);
  const bool complete = gl.CheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  // A new buffer starts black, as a freshly shown window does.
  if (complete) {
    for (GLenum buffer : {kFront, kBack}) {
      gl.DrawBuffer(buffer);
      gl.ClearColor(0, 0, 0, 0);
      gl.Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
  } else {
    DeleteBuffers();
  }
  while (gl.GetError() != GL_NO_ERROR) {
  }
  return complete;
}

bool ZR_FramebufferSurface::Resize(int32_t width, int32_t height) {
  m_nWidth = width;
  m_nHeight = height;
  return Create();
}

bool ZR_FramebufferSurface::MakeCurrent() {
  if (!m_nFramebuffer || !m_oContext.MakeCurrent()) return false;
  const ZR_GlFunctions& gl = m_oContext.Gl();
  gl.BindFramebuffer(GL_FRAMEBUFFER, m_nFramebuffer);
  gl.DrawBuffer(kBack);
  return true;
}

bool ZR_FramebufferSurface::SwapBuffers() {
  if (!MakeCurrent()) return false;
  const ZR_GlFunctions& gl = m_oContext.Gl();
  // A blit obeys the scissor test; a swap copies the whole buffer.
  const bool scissor = gl.IsEnabled(GL_SCISSOR_TEST);
  if (scissor) gl.Disable(GL_SCISSOR_TEST);
  gl.ReadBuffer(kBack);
  gl.DrawBuffer(kFront);
  gl.BlitFramebuffer(0, 0, m_nWidth, m_nHeight, 0, 0, m_nWidth, m_nHeight, GL_COLOR_BUFFER_BIT,
                     GL_NEAREST);
  gl.DrawBuffer(kBack);
  if (scissor) gl.Enable(GL_SCISSOR_TEST);
  return gl.GetError() == GL_NO_ERROR;
}

bool ZR_FramebufferSurface::ReadPixels(int32_t x, int32_t y, int32_t width, int32_t height,
                                       uint32_t format, uint32_t type, bool fromBack,
                                       void* pixels) {
  if (!pixels || width < 0 || height < 0 || x < 0 || y < 0 || x + width > m_nWidth ||
      y + height > m_nHeight || !MakeCurrent())
    return false;
  const ZR_GlFunctions& gl = m_oContext.Gl();
  while (gl.GetError() != GL_NO_ERROR) {
  }
  GLint alignment = 4;
  gl.GetIntegerv(GL_PACK_ALIGNMENT, &alignment);
  gl.ReadBuffer(fromBack ? kBack : kFront);
  gl.PixelStorei(GL_PACK_ALIGNMENT, 1);
  gl.ReadPixels(x, y, width, height, format, type, pixels);
  gl.PixelStorei(GL_PACK_ALIGNMENT, alignment);
  gl.ReadBuffer(kBack);
  return gl.GetError() == GL_NO_ERROR;
}
