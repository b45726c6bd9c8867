#include "headless/ZR_HeadlessPanels.h"

#include "core/ZR_Result.h"

ZR_EglContext& ZR_HeadlessPanels::Context() {
  static ZR_EglContext* context = new ZR_EglContext;
  return *context;
}

ZR_HeadlessPanels::ZR_HeadlessPanels(int32_t viewSize, int32_t firstLarge, int32_t lastLarge) : platform(Context()) {
  ZR_EglContext& context = Context();
  m_bReady = context.IsCreated() || context.Create() == VR_OK;
  for (int32_t panel = 0; panel < ZR_ViewportTable::kSurfaceCount; ++panel) {
    const int32_t size = panel >= firstLarge && panel <= lastLarge ? viewSize : kSmallPanel;
    m_aSurfaces.push_back(std::make_unique<ZR_FramebufferSurface>(context, size, size));
    if (m_bReady) m_bReady = m_aSurfaces.back()->Create();
    table.aSurfaces[panel] = m_aSurfaces.back().get();
    table.SetSize(panel, size, size);
  }
}
