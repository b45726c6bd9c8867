#include "gui/ZR_QtGlContext.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QWindow>

#include <dlfcn.h>
#include <link.h>

#include <cstring>
#include <vector>

#include "core/ZR_Log.h"

namespace {
// Keeps the OpenGL driver the context loaded (Mesa's "..._dri.so") until the process ends.
// Closing the display at exit would unload it, and the leak checker could then no longer
// name (and so no longer recognise) the allocations the driver keeps for good.
void PinDriver() {
  std::vector<std::string> drivers;
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void* out) {
        const char* name = info->dlpi_name;
        if (name && std::strstr(name, "_dri.so")) static_cast<std::vector<std::string>*>(out)->push_back(name);
        return 0;
      },
      &drivers);
  for (const std::string& driver : drivers) (void)dlopen(driver.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}
}  // namespace

ZR_QtGlContext::ZR_QtGlContext() = default;

ZR_QtGlContext::~ZR_QtGlContext() {
  if (m_pContext) m_pContext->doneCurrent();
}

QSurfaceFormat ZR_QtGlContext::PanelFormat() {
  QSurfaceFormat format;
  format.setRenderableType(QSurfaceFormat::OpenGL);
  format.setProfile(QSurfaceFormat::CompatibilityProfile);
  format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
  format.setRedBufferSize(8);
  format.setGreenBufferSize(8);
  format.setBlueBufferSize(8);
  format.setAlphaBufferSize(0);
  format.setDepthBufferSize(24);
  format.setStencilBufferSize(0);
  // Swaps must not wait for the display: a drag redraws several panels per event.
  format.setSwapInterval(0);
  return format;
}

bool ZR_QtGlContext::Fail(const std::string& why) {
  m_sError = why;
  ZR_Log::Entry("ZR_QtGlContext::Create(): ", why);
  m_pContext.reset();
  m_pOffscreen.reset();
  return false;
}

bool ZR_QtGlContext::Create() {
  if (m_pContext) return true;
  auto context = std::make_unique<QOpenGLContext>();
  context->setFormat(PanelFormat());
  if (!context->create()) return Fail("the OpenGL context could not be created");
  m_pContext = std::move(context);
  m_pOffscreen = std::make_unique<QOffscreenSurface>();
  m_pOffscreen->setFormat(m_pContext->format());
  m_pOffscreen->create();
  if (!m_pOffscreen->isValid()) return Fail("no offscreen surface for the context");
  if (!MakeOffscreenCurrent()) return Fail("the context cannot be made current");
  QOpenGLContext* raw = m_pContext.get();
  const ZR_GlLoader loader = [raw](const char* name) {
    return reinterpret_cast<ZR_GlProc>(raw->getProcAddress(name));
  };
  const char* missing = nullptr;
  if (!m_oGl.LoadCore(loader, &missing)) return Fail(std::string("missing entry point ") + (missing ? missing : "?"));
  PinDriver();
  return true;
}

bool ZR_QtGlContext::MakeCurrent(QWindow* window) {
  if (!m_pContext || !window || !window->handle()) return false;
  return m_pContext->makeCurrent(window);
}

bool ZR_QtGlContext::MakeOffscreenCurrent() {
  return m_pContext && m_pOffscreen && m_pContext->makeCurrent(m_pOffscreen.get());
}

void ZR_QtGlContext::DoneCurrent() {
  if (m_pContext) m_pContext->doneCurrent();
}

void ZR_QtGlContext::SwapBuffers(QWindow* window) {
  if (m_pContext && window) m_pContext->swapBuffers(window);
}

bool ZR_QtGlContext::ReadCurrent(GLenum buffer, GLenum restore, int32_t x, int32_t y, int32_t width,
                                 int32_t height, uint32_t format, uint32_t type, void* pixels) {
  const ZR_GlFunctions& gl = m_oGl;
  while (gl.GetError() != GL_NO_ERROR) {
  }
  GLint alignment = 4;
  gl.GetIntegerv(GL_PACK_ALIGNMENT, &alignment);
  gl.ReadBuffer(buffer);
  gl.PixelStorei(GL_PACK_ALIGNMENT, 1);
  gl.ReadPixels(x, y, width, height, format, type, pixels);
  gl.PixelStorei(GL_PACK_ALIGNMENT, alignment);
  gl.ReadBuffer(restore);
  return gl.GetError() == GL_NO_ERROR;
}
