#pragma once
// A framebuffer object of the shared context with one or two colour buffers (24-bit, no
// alpha) and a 24-bit depth buffer. The panels draw into one (a back and a front buffer, so
// that what was last shown can be read back whatever the window system keeps) and offscreen
// buffers are one (a single buffer). Every call needs the context current.

#include <cstdint>

#include "render/ZR_GlFunctions.h"

class ZR_QtFramebuffer {
 public:
  // New buffers of the size, cleared to black; false (and nothing made) when the framebuffer
  // is not complete or the size is not positive.
  [[nodiscard]] bool Create(const ZR_GlFunctions& gl, int32_t width, int32_t height, int32_t colourBuffers);
  void Delete(const ZR_GlFunctions& gl);
  bool IsCreated() const { return m_nFramebuffer != 0; }
  int32_t Width() const { return m_nWidth; }
  int32_t Height() const { return m_nHeight; }

  // Binds the framebuffer with colour buffer `buffer` as the target of drawing and reading.
  void Bind(const ZR_GlFunctions& gl, int32_t buffer) const;
  // Copies colour buffer `from` into colour buffer `to`.
  void Copy(const ZR_GlFunctions& gl, int32_t from, int32_t to) const;
  // Copies colour buffer `from` into the back buffer of the surface the context is current
  // on (its default framebuffer); the framebuffer is bound again afterwards.
  void Present(const ZR_GlFunctions& gl, int32_t from) const;

 private:
  void Blit(const ZR_GlFunctions& gl) const;

  int32_t m_nWidth = 0;
  int32_t m_nHeight = 0;
  int32_t m_nColourBuffers = 0;
  uint32_t m_nFramebuffer = 0;
  uint32_t m_aRenderbuffers[3] = {0, 0, 0};  // colour buffers, then depth
};
