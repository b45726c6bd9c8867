#include "gui/ZR_QtRenderPlatform.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <vector>

#include "gui/ZR_QtGlContext.h"
#include "gui/ZR_QtOffscreenSurface.h"
#include "gui/ZR_QtPanelSurface.h"
#include "render/ZR_DisplayAdapter.h"

namespace {
// A panel of this platform whose native window exists with the shared format.
QWindow* PanelWindow(ZR_DrawSurface& panel) {
  auto* surface = dynamic_cast<ZR_QtPanelSurface*>(&panel);
  QWindow* window = surface ? surface->Window() : nullptr;
  if (!window || window->surfaceType() != QSurface::OpenGLSurface) return nullptr;
  if (!window->handle()) window->create();
  return window->handle() ? window : nullptr;
}

bool IsCardName(const std::string& name) {
  return name.size() > 4 && name.compare(0, 4, "card") == 0 &&
         std::all_of(name.begin() + 4, name.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}
}  // namespace

ZR_QtRenderPlatform::ZR_QtRenderPlatform(ZR_QtGlContext& context, std::string sysRoot)
    : m_oContext(context), m_sSysRoot(std::move(sysRoot)) {}

bool ZR_QtRenderPlatform::ChoosePixelFormat(ZR_DrawSurface& panel) {
  QWindow* window = PanelWindow(panel);
  if (!window) return false;
  // The format was asked for when the window was made; what matters is that it has depth
  // and two buffers, as the renderer needs.
  const QSurfaceFormat format = window->format();
  return format.depthBufferSize() != 0 && format.swapBehavior() != QSurfaceFormat::SingleBuffer;
}

bool ZR_QtRenderPlatform::SetPixelFormat(ZR_DrawSurface& panel) { return PanelWindow(panel) != nullptr; }

bool ZR_QtRenderPlatform::CreateContext(ZR_DrawSurface& panel) {
  return m_oContext.Create() && panel.MakeCurrent();
}

ZR_GlFunctions* ZR_QtRenderPlatform::Gl() { return m_oContext.IsCreated() ? &m_oContext.Gl() : nullptr; }

bool ZR_QtRenderPlatform::IsSoftwareRenderer(const std::string& renderer) {
  for (const char* name : {"llvmpipe", "softpipe", "swrast", "Software Rasterizer"})
    if (renderer.find(name) != std::string::npos) return true;
  return false;
}

std::string ZR_QtRenderPlatform::AdapterId() {
  if (ZR_GlFunctions* gl = Gl(); gl && gl->GetString) {
    const GLubyte* text = gl->GetString(GL_RENDERER);
    if (text && IsSoftwareRenderer(reinterpret_cast<const char*>(text))) return "";
  }
  return BootVgaAdapterId(m_sSysRoot);
}

std::string ZR_QtRenderPlatform::BootVgaAdapterId(const std::string& sysRoot) {
  const std::filesystem::path drm = std::filesystem::path(sysRoot) / "class/drm";
  std::error_code error;
  std::vector<std::string> cards;
  for (const auto& entry : std::filesystem::directory_iterator(drm, error)) {
    const std::string name = entry.path().filename().string();
    if (IsCardName(name)) cards.push_back(name);
  }
  std::sort(cards.begin(), cards.end());
  for (const std::string& card : cards) {
    std::ifstream in(drm / card / "device/boot_vga");
    std::string flag;
    if (in >> flag && flag == "1") return ZR_DisplayAdapter::IdFromDrmDevice("/dev/dri/" + card, sysRoot);
  }
  return "";
}

std::unique_ptr<ZR_DrawSurface> ZR_QtRenderPlatform::CreateOffscreenSurface(int32_t width, int32_t height) {
  auto surface = std::make_unique<ZR_QtOffscreenSurface>(m_oContext, width, height);
  if (!surface->Create()) return nullptr;
  return surface;
}
