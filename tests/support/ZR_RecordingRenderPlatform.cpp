#include "tests/support/ZR_RecordingRenderPlatform.h"

std::string ZR_RecordingRenderPlatform::Name(const ZR_DrawSurface& panel) const {
  for (int32_t i = 0; i < ZR_ViewportTable::kSurfaceCount; ++i)
    if (m_oTable.aSurfaces[i] == &panel) return std::to_string(i);
  return "?";
}

bool ZR_RecordingRenderPlatform::ChoosePixelFormat(ZR_DrawSurface& panel) {
  calls.push_back("ChoosePixelFormat(" + Name(panel) + ")");
  return chooseResult;
}

bool ZR_RecordingRenderPlatform::SetPixelFormat(ZR_DrawSurface& panel) {
  const std::string name = Name(panel);
  calls.push_back("SetPixelFormat(" + name + ")");
  return name != std::to_string(failSetOnPanel);
}

bool ZR_RecordingRenderPlatform::CreateContext(ZR_DrawSurface& panel) {
  calls.push_back("CreateContext(" + Name(panel) + ")");
  return createResult;
}

std::string ZR_RecordingRenderPlatform::AdapterId() {
  calls.emplace_back("AdapterId");
  return adapterId;
}

std::unique_ptr<ZR_DrawSurface> ZR_RecordingRenderPlatform::CreateOffscreenSurface(int32_t width, int32_t height) {
  calls.push_back("CreateOffscreenSurface(" + std::to_string(width) + "," + std::to_string(height) + ")");
  return offscreen ? offscreen(width, height) : nullptr;
}
