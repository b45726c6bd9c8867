#pragma once
// What the window system provides to the rendering start-up: pixel formats for the panels,
// the one shared rendering context, the adapter's identification and offscreen surfaces that
// share the context. The headless layer implements it over EGL; the windowed shell over its
// own toolkit. The order of the operations is fixed.

#include <cstdint>
#include <memory>
#include <string>

#include "render/ZR_DrawSurface.h"

struct ZR_GlFunctions;

class ZR_RenderPlatform {
 public:
  virtual ~ZR_RenderPlatform() = default;
  ZR_RenderPlatform(const ZR_RenderPlatform&) = delete;
  ZR_RenderPlatform& operator=(const ZR_RenderPlatform&) = delete;

  // 1: chooses (and describes) the pixel format for the first panel.
  [[nodiscard]] virtual bool ChoosePixelFormat(ZR_DrawSurface& panel) = 0;
  // 2: gives a panel that pixel format.
  [[nodiscard]] virtual bool SetPixelFormat(ZR_DrawSurface& panel) = 0;
  // 3: creates the shared rendering context on a panel and loads the core entry points.
  [[nodiscard]] virtual bool CreateContext(ZR_DrawSurface& panel) = 0;
  // 4: the context's entry-point table (null before the context exists).
  virtual ZR_GlFunctions* Gl() = 0;
  // 5: PCI\VEN_vvvv&DEV_dddd... of the adapter that renders, "" when it has none (a
  // software rasteriser) or cannot be found.
  virtual std::string AdapterId() = 0;
  // 6: an offscreen surface of the given size sharing the context; null when it cannot be
  // made.
  virtual std::unique_ptr<ZR_DrawSurface> CreateOffscreenSurface(int32_t width, int32_t height) = 0;

 protected:
  ZR_RenderPlatform() = default;
};
