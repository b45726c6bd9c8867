#pragma once
// The drawing panels of the command-line tool: framebuffer surfaces of the process's headless
// context in a viewport table, with the EGL platform over them. The panels that are read
// (panel 0 unless told otherwise) have the size asked for; the others stay small (they are
// drawn but never read).

#include <cstdint>
#include <memory>
#include <vector>

#include "core/ZR_ViewportTable.h"
#include "render/ZR_EglContext.h"
#include "render/ZR_EglPlatform.h"
#include "render/ZR_FramebufferSurface.h"

class ZR_HeadlessPanels {
 public:
  static constexpr int32_t kSmallPanel = 64;

  // Creates the context when it does not exist yet; Error() says why it could not be.
  explicit ZR_HeadlessPanels(int32_t viewSize, int32_t firstLarge = 0, int32_t lastLarge = 0);
  bool IsReady() const { return m_bReady; }
  const std::string& Error() const { return Context().Error(); }

  ZR_ViewportTable table;
  ZR_EglPlatform platform;

 private:
  // The process's context, made once and never destroyed: terminating the display unloads
  // the driver, and the leak checker at exit could then no longer tell its allocations apart.
  static ZR_EglContext& Context();

  std::vector<std::unique_ptr<ZR_FramebufferSurface>> m_aSurfaces;
  bool m_bReady = false;
};
