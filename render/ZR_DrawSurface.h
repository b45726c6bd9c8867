#pragma once
// Something the shared rendering context can draw into: a panel's window, a headless
// framebuffer, the offscreen capture buffer. The engine draws through this interface only,
// so windows and headless buffers are interchangeable.

#include <cstdint>

class ZR_DrawSurface {
 public:
  virtual ~ZR_DrawSurface() = default;
  ZR_DrawSurface(const ZR_DrawSurface&) = delete;
  ZR_DrawSurface& operator=(const ZR_DrawSurface&) = delete;

  // Makes the shared context current on this surface with its back buffer as the target.
  [[nodiscard]] virtual bool MakeCurrent() = 0;
  // Shows what was drawn: the back buffer becomes the front buffer.
  virtual bool SwapBuffers() = 0;
  virtual int32_t Width() const = 0;
  virtual int32_t Height() const = 0;
  // Reads a rectangle of the back or the front buffer into `pixels`: rows bottom first,
  // packed without padding, in the given OpenGL format and type. Makes the surface current.
  [[nodiscard]] virtual bool ReadPixels(int32_t x, int32_t y, int32_t width, int32_t height,
                                        uint32_t format, uint32_t type, bool fromBack,
                                        void* pixels) = 0;

 protected:
  ZR_DrawSurface() = default;
};
