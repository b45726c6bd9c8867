#pragma once
// The headless rendering context: one OpenGL compatibility-profile context on Mesa's
// surfaceless EGL platform, made current without a surface (panels are framebuffer objects,
// see ZR_FramebufferSurface). Used by the tests, the benchmarks and the command-line tool.

#include <cstdint>
#include <string>

#include "render/ZR_GlFunctions.h"

class ZR_EglContext {
 public:
  ZR_EglContext() = default;
  ~ZR_EglContext();
  ZR_EglContext(const ZR_EglContext&) = delete;
  ZR_EglContext& operator=(const ZR_EglContext&) = delete;

  // Opens the display, creates the context, makes it current and loads the core entry
  // points. VR_OK, or VR_OG_CONTEXT with the reason in the log and in Error().
  [[nodiscard]] int32_t Create();
  void Destroy();
  bool IsCreated() const { return m_pContext != nullptr; }

  [[nodiscard]] bool MakeCurrent();
  void ReleaseCurrent();

  // The entry-point table of this context (core loaded; extensions after detection).
  ZR_GlFunctions& Gl() { return m_oGl; }
  const ZR_GlFunctions& Gl() const { return m_oGl; }
  // eglGetProcAddress as a loader.
  static ZR_GlLoader Loader();
  // The DRM device file (/dev/dri/...) of the device behind the display, "" for a software
  // rasteriser or when the driver does not say.
  std::string DrmDeviceFile() const;

  const std::string& Error() const { return m_sError; }

 private:
  [[nodiscard]] int32_t Fail(const std::string& why);

  void* m_pDisplay = nullptr;  // EGLDisplay
  void* m_pContext = nullptr;  // EGLContext
  ZR_GlFunctions m_oGl;
  std::string m_sError;
};
