#pragma once
// The offscreen buffer for captures larger than a panel: a surface of its own that shares the
// one rendering context, so the volume textures and the font serve it as they serve the
// panels. Made by the platform; it has a single buffer, which draws and reads.

#include <cstdint>
#include <memory>

#include "render/ZR_DrawSurface.h"

class ZR_RenderPlatform;

class PBuffer {
 public:
  PBuffer(int32_t width, int32_t height) : m_nWidth(width), m_nHeight(height) {}

  // Makes the surface at the stored size; the size becomes the one actually made. False
  // (and a line in the log) when the platform cannot make it.
  [[nodiscard]] bool Create(ZR_RenderPlatform& platform);
  [[nodiscard]] bool MakeCurrent();
  bool IsCreated() const { return m_pSurface != nullptr; }
  ZR_DrawSurface* Surface() const { return m_pSurface.get(); }
  int32_t Width() const { return m_nWidth; }
  int32_t Height() const { return m_nHeight; }

 private:
  std::unique_ptr<ZR_DrawSurface> m_pSurface;
  int32_t m_nWidth;
  int32_t m_nHeight;
};
