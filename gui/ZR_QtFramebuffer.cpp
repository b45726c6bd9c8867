#include "gui/ZR_QtFramebuffer.h"

#include <algorithm>

namespace {
GLenum Attachment(int32_t buffer) { return static_cast<GLenum>(GL_COLOR_ATTACHMENT0 + buffer); }
}  // namespace

bool ZR_QtFramebuffer::Create(const ZR_GlFunctions& gl, int32_t width, int32_t height, int32_t colourBuffers) {
  Delete(gl);
  if (width <= 0 || height <= 0) return false;
  m_nWidth = width;
  m_nHeight = height;
  m_nColourBuffers = std::clamp(colourBuffers, 1, 2);
  const int32_t count = m_nColourBuffers + 1;
  gl.GenFramebuffers(1, &m_nFramebuffer);
  gl.GenRenderbuffers(count, m_aRenderbuffers);
  gl.BindFramebuffer(GL_FRAMEBUFFER, m_nFramebuffer);
  for (int32_t i = 0; i < count; ++i) {
    const bool depth = i == m_nColourBuffers;
    gl.BindRenderbuffer(GL_RENDERBUFFER, m_aRenderbuffers[i]);
    gl.RenderbufferStorage(GL_RENDERBUFFER, depth ? GL_DEPTH_COMPONENT24 : GL_RGB8, width, height);
    gl.FramebufferRenderbuffer(GL_FRAMEBUFFER, depth ? GL_DEPTH_ATTACHMENT : Attachment(i), GL_RENDERBUFFER,
                               m_aRenderbuffers[i]);
  }
  gl.BindRenderbuffer(GL_RENDERBUFFER, 0);
  const bool complete = gl.CheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  if (complete) {
    // New buffers start black, as a freshly shown window does.
    for (int32_t i = m_nColourBuffers - 1; i >= 0; --i) {
      gl.DrawBuffer(Attachment(i));
      gl.ClearColor(0, 0, 0, 0);
      gl.Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    gl.ReadBuffer(Attachment(0));
  } else {
    Delete(gl);
  }
  while (gl.GetError() != GL_NO_ERROR) {
  }
  return complete;
}

void ZR_QtFramebuffer::Delete(const ZR_GlFunctions& gl) {
  if (!m_nFramebuffer) return;
  gl.BindFramebuffer(GL_FRAMEBUFFER, 0);
  gl.DeleteFramebuffers(1, &m_nFramebuffer);
  gl.DeleteRenderbuffers(m_nColourBuffers + 1, m_aRenderbuffers);
  m_nFramebuffer = 0;
  std::fill(std::begin(m_aRenderbuffers), std::end(m_aRenderbuffers), 0u);
  m_nWidth = m_nHeight = m_nColourBuffers = 0;
}

void ZR_QtFramebuffer::Bind(const ZR_GlFunctions& gl, int32_t buffer) const {
  gl.BindFramebuffer(GL_FRAMEBUFFER, m_nFramebuffer);
  gl.DrawBuffer(Attachment(buffer));
  gl.ReadBuffer(Attachment(buffer));
}

void ZR_QtFramebuffer::Blit(const ZR_GlFunctions& gl) const {
  // A blit obeys the scissor test; showing a picture copies all of it.
  const bool scissor = gl.IsEnabled(GL_SCISSOR_TEST);
  if (scissor) gl.Disable(GL_SCISSOR_TEST);
  gl.BlitFramebuffer(0, 0, m_nWidth, m_nHeight, 0, 0, m_nWidth, m_nHeight, GL_COLOR_BUFFER_BIT, GL_NEAREST);
  if (scissor) gl.Enable(GL_SCISSOR_TEST);
}

void ZR_QtFramebuffer::Copy(const ZR_GlFunctions& gl, int32_t from, int32_t to) const {
  gl.BindFramebuffer(GL_FRAMEBUFFER, m_nFramebuffer);
  gl.ReadBuffer(Attachment(from));
  gl.DrawBuffer(Attachment(to));
  Blit(gl);
}

void ZR_QtFramebuffer::Present(const ZR_GlFunctions& gl, int32_t from) const {
  gl.BindFramebuffer(GL_READ_FRAMEBUFFER, m_nFramebuffer);
  gl.ReadBuffer(Attachment(from));
  gl.BindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  gl.DrawBuffer(GL_BACK);
  Blit(gl);
  gl.BindFramebuffer(GL_FRAMEBUFFER, m_nFramebuffer);
}
