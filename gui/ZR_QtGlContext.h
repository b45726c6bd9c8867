#pragma once
// The one OpenGL context of the windowed program (compatibility profile), made current on
// whichever panel window is drawn, and an offscreen surface of its own for the moments when
// no panel may be used: offscreen buffers and the release of textures at shut-down. The
// engine's entry-point table is loaded through this context, so that every call the engine
// makes goes to the context the panels show.

// The engine's table first: it asks the OpenGL headers for their prototypes, which Qt's
// own OpenGL header would otherwise have included without.
#include "render/ZR_GlFunctions.h"

#include <QSurfaceFormat>
#include <memory>
#include <string>

class QOffscreenSurface;
class QOpenGLContext;
class QWindow;

class ZR_QtGlContext {
 public:
  ZR_QtGlContext();
  ~ZR_QtGlContext();
  ZR_QtGlContext(const ZR_QtGlContext&) = delete;
  ZR_QtGlContext& operator=(const ZR_QtGlContext&) = delete;

  // The format every panel window and the context share: double-buffered RGB without alpha,
  // a 24-bit depth buffer, the compatibility profile (the engine draws fixed-function).
  static QSurfaceFormat PanelFormat();

  // Creates the context and the offscreen surface and loads the core entry points; false
  // with Error() saying why. Creating it again does nothing.
  [[nodiscard]] bool Create();
  bool IsCreated() const { return m_pContext != nullptr; }

  // Makes the context current on a panel window (which must have its native window).
  [[nodiscard]] bool MakeCurrent(QWindow* window);
  // Makes the context current on its own offscreen surface: for offscreen buffers and for
  // releasing graphics objects when no panel is left.
  [[nodiscard]] bool MakeOffscreenCurrent();
  void DoneCurrent();
  void SwapBuffers(QWindow* window);
  // Reads a rectangle of `buffer` of the current target, rows bottom first and packed; the
  // read buffer goes back to `restore`. False on any OpenGL error.
  [[nodiscard]] bool ReadCurrent(GLenum buffer, GLenum restore, int32_t x, int32_t y, int32_t width,
                                 int32_t height, uint32_t format, uint32_t type, void* pixels);

  ZR_GlFunctions& Gl() { return m_oGl; }
  QOpenGLContext* Context() const { return m_pContext.get(); }
  const std::string& Error() const { return m_sError; }

 private:
  bool Fail(const std::string& why);

  std::unique_ptr<QOpenGLContext> m_pContext;
  std::unique_ptr<QOffscreenSurface> m_pOffscreen;
  ZR_GlFunctions m_oGl;
  std::string m_sError;
};
