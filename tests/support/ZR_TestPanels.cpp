#include "tests/support/ZR_TestPanels.h"

#include "tests/support/ZR_GlTestContext.h"

ZR_TestPanels::ZR_TestPanels(ZR_GlTestContext& gl, int32_t size) : platform(gl.Context()) {
  for (int32_t panel = 0; panel < ZR_ViewportTable::kSurfaceCount; ++panel) {
    m_aSurfaces.push_back(std::make_unique<ZR_FramebufferSurface>(gl.Context(), size, size));
    (void)m_aSurfaces.back()->Create();
    table.aSurfaces[panel] = m_aSurfaces.back().get();
    table.SetSize(panel, size, size);
  }
}

bool ZR_TestPanels::Resize(int32_t panel, int32_t width, int32_t height) {
  table.SetSize(panel, width, height);
  return m_aSurfaces[static_cast<size_t>(panel)]->Resize(width, height);
}
