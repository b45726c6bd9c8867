#pragma once
// Test double of the rendering platform: logs "ChoosePixelFormat(panel)",
// "SetPixelFormat(panel)", "CreateContext(panel)", "AdapterId" and
// "CreateOffscreenSurface(w,h)", naming a surface by its index in the viewport table it is
// given ("?" for any other). Its answers are scripted; by default everything succeeds, the
// entry-point table is the one given and the adapter has no identifier.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/ZR_ViewportTable.h"
#include "render/ZR_RenderPlatform.h"

class ZR_RecordingRenderPlatform : public ZR_RenderPlatform {
 public:
  ZR_RecordingRenderPlatform(const ZR_ViewportTable& table, ZR_GlFunctions* gl)
      : m_oTable(table), m_pGl(gl) {}

  std::vector<std::string> calls;
  bool chooseResult = true;
  int32_t failSetOnPanel = -1;  // SetPixelFormat fails for this panel
  bool createResult = true;
  bool glAfterCreate = true;    // Gl() answers null when false
  std::string adapterId;
  // Makes the offscreen surfaces; none without it.
  std::function<std::unique_ptr<ZR_DrawSurface>(int32_t, int32_t)> offscreen;

  bool ChoosePixelFormat(ZR_DrawSurface& panel) override;
  bool SetPixelFormat(ZR_DrawSurface& panel) override;
  bool CreateContext(ZR_DrawSurface& panel) override;
  ZR_GlFunctions* Gl() override { return glAfterCreate ? m_pGl : nullptr; }
  std::string AdapterId() override;
  std::unique_ptr<ZR_DrawSurface> CreateOffscreenSurface(int32_t width, int32_t height) override;

 private:
  std::string Name(const ZR_DrawSurface& panel) const;
  const ZR_ViewportTable& m_oTable;
  ZR_GlFunctions* m_pGl;
};
