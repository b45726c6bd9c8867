#pragma once
// Headless panels 0..11 on the test context, in a viewport table, with the EGL platform.
// Small by default: the scenes run under the sanitizers.

#include <memory>
#include <vector>

#include "core/ZR_ViewportTable.h"
#include "render/ZR_EglPlatform.h"
#include "render/ZR_FramebufferSurface.h"

class ZR_GlTestContext;

class ZR_TestPanels {
 public:
  explicit ZR_TestPanels(ZR_GlTestContext& gl, int32_t size = 64);
  // A new size for one panel (surface and table).
  bool Resize(int32_t panel, int32_t width, int32_t height);
  ZR_FramebufferSurface& Surface(int32_t panel) { return *m_aSurfaces[static_cast<size_t>(panel)]; }

  ZR_ViewportTable table;
  ZR_EglPlatform platform;

 private:
  std::vector<std::unique_ptr<ZR_FramebufferSurface>> m_aSurfaces;
};
