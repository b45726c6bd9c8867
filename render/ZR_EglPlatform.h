#pragma once
// The headless platform: the EGL context of the process, framebuffer panels (whose format is
// fixed when they are made, so choosing and setting one only checks the panel) and the
// adapter behind the EGL display, found through its DRM device.

#include <string>

#include "render/ZR_RenderPlatform.h"

class ZR_EglContext;

class ZR_EglPlatform : public ZR_RenderPlatform {
 public:
  // The context is the process's and outlives this object; it is created on demand and
  // never destroyed here (terminating the display unloads the driver).
  explicit ZR_EglPlatform(ZR_EglContext& context, std::string sysRoot = "/sys");

  bool ChoosePixelFormat(ZR_DrawSurface& panel) override;
  bool SetPixelFormat(ZR_DrawSurface& panel) override;
  bool CreateContext(ZR_DrawSurface& panel) override;
  ZR_GlFunctions* Gl() override;
  std::string AdapterId() override;
  std::unique_ptr<ZR_DrawSurface> CreateOffscreenSurface(int32_t width, int32_t height) override;

 private:
  ZR_EglContext& m_oContext;
  std::string m_sSysRoot;
};
