#pragma once
// The rendering platform of the windowed program: the panels are native OpenGL windows
// created with the shared format, the context is the one ZR_QtGlContext, offscreen buffers
// are framebuffer objects of that context, and the adapter is the display's PCI device.

#include <string>

#include "render/ZR_RenderPlatform.h"

class ZR_QtGlContext;

class ZR_QtRenderPlatform : public ZR_RenderPlatform {
 public:
  explicit ZR_QtRenderPlatform(ZR_QtGlContext& context, std::string sysRoot = "/sys");

  bool ChoosePixelFormat(ZR_DrawSurface& panel) override;
  bool SetPixelFormat(ZR_DrawSurface& panel) override;
  bool CreateContext(ZR_DrawSurface& panel) override;
  ZR_GlFunctions* Gl() override;
  // The card the display hangs off (its boot_vga is 1); "" while a software rasteriser
  // renders, since then no adapter does.
  std::string AdapterId() override;
  std::unique_ptr<ZR_DrawSurface> CreateOffscreenSurface(int32_t width, int32_t height) override;

  // PCI\VEN_vvvv&DEV_dddd of the DRM card under `sysRoot` whose device has boot_vga 1; ""
  // when there is none.
  static std::string BootVgaAdapterId(const std::string& sysRoot);
  // Whether an OpenGL renderer string names one of Mesa's software rasterisers.
  static bool IsSoftwareRenderer(const std::string& renderer);

 private:
  ZR_QtGlContext& m_oContext;
  std::string m_sSysRoot;
};
