#include "render/ZR_EglPlatform.h"

#include "core/ZR_Result.h"
#include "render/ZR_DisplayAdapter.h"
#include "render/ZR_EglContext.h"
#include "render/ZR_FramebufferSurface.h"

ZR_EglPlatform::ZR_EglPlatform(ZR_EglContext& context, std::string sysRoot)
    : m_oContext(context), m_sSysRoot(std::move(sysRoot)) {}

bool ZR_EglPlatform::ChoosePixelFormat(ZR_DrawSurface& panel) {
  return panel.Width() > 0 && panel.Height() > 0;
}

bool ZR_EglPlatform::SetPixelFormat(ZR_DrawSurface& panel) {
  return panel.Width() > 0 && panel.Height() > 0;
}

bool ZR_EglPlatform::CreateContext(ZR_DrawSurface&) { return m_oContext.Create() == VR_OK; }

ZR_GlFunctions* ZR_EglPlatform::Gl() { return m_oContext.IsCreated() ? &m_oContext.Gl() : nullptr; }

std::string ZR_EglPlatform::AdapterId() {
  const std::string device = m_oContext.DrmDeviceFile();
  if (device.empty()) return "";
  return ZR_DisplayAdapter::IdFromDrmDevice(device, m_sSysRoot);
}

std::unique_ptr<ZR_DrawSurface> ZR_EglPlatform::CreateOffscreenSurface(int32_t width, int32_t height) {
  auto surface = std::make_unique<ZR_FramebufferSurface>(m_oContext, width, height);
  if (!surface->Create()) return nullptr;
  return surface;
}
