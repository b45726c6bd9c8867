// Surfaceless EGL: no window system and no pbuffer; the context draws into framebuffer
// objects only.
#include "render/ZR_EglContext.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <string_view>

#include "core/ZR_Log.h"
#include "core/ZR_Result.h"

ZR_EglContext::~ZR_EglContext() { Destroy(); }

ZR_GlLoader ZR_EglContext::Loader() {
  return [](const char* name) { return reinterpret_cast<ZR_GlProc>(eglGetProcAddress(name)); };
}

int32_t ZR_EglContext::Fail(const std::string& why) {
  m_sError = why;
  ZR_Log::Entry("ZR_EglContext::Create(): ", why);
  Destroy();
  return VR_OG_CONTEXT;
}

int32_t ZR_EglContext::Create() {
  if (IsCreated()) return VR_OK;
  m_sError.clear();
  const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
  if (!clientExtensions || std::string_view(clientExtensions).find("EGL_MESA_platform_surfaceless") == std::string_view::npos)
    return Fail("EGL_MESA_platform_surfaceless not available");
  auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
      eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (!getPlatformDisplay) return Fail("eglGetPlatformDisplayEXT not available");
  EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  if (display == EGL_NO_DISPLAY) return Fail("no surfaceless display");
  EGLint major = 0, minor = 0;
  if (!eglInitialize(display, &major, &minor)) return Fail("eglInitialize failed");
  m_pDisplay = display;
  if (!eglBindAPI(EGL_OPENGL_API)) return Fail("eglBindAPI(EGL_OPENGL_API) failed");

  const EGLint attributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                               EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
  EGLContext context = eglCreateContext(display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes);
  if (context == EGL_NO_CONTEXT) return Fail("eglCreateContext failed");
  m_pContext = context;
  if (!MakeCurrent()) return Fail("eglMakeCurrent without a surface failed");

  const char* missing = nullptr;
  if (!m_oGl.LoadCore(Loader(), &missing)) return Fail(std::string("missing entry point ") + missing);
  return VR_OK;
}

void ZR_EglContext::Destroy() {
  if (m_pDisplay) {
    eglMakeCurrent(m_pDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (m_pContext) eglDestroyContext(m_pDisplay, m_pContext);
    eglTerminate(m_pDisplay);
  }
  m_pContext = nullptr;
  m_pDisplay = nullptr;
  m_oGl = ZR_GlFunctions{};
}

std::string ZR_EglContext::DrmDeviceFile() const {
  if (!m_pDisplay) return "";
  const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
  if (!clientExtensions ||
      std::string_view(clientExtensions).find("EGL_EXT_device_query") == std::string_view::npos)
    return "";
  auto queryDisplay = reinterpret_cast<PFNEGLQUERYDISPLAYATTRIBEXTPROC>(
      eglGetProcAddress("eglQueryDisplayAttribEXT"));
  auto queryDevice = reinterpret_cast<PFNEGLQUERYDEVICESTRINGEXTPROC>(
      eglGetProcAddress("eglQueryDeviceStringEXT"));
  if (!queryDisplay || !queryDevice) return "";
  EGLAttrib device = 0;
  if (!queryDisplay(m_pDisplay, EGL_DEVICE_EXT, &device) || !device) return "";
  auto* handle = reinterpret_cast<EGLDeviceEXT>(device);
  const char* extensions = queryDevice(handle, EGL_EXTENSIONS);
  if (!extensions) return "";
  const std::string_view names(extensions);
  // A render node names the same device as its card node.
  if (names.find("EGL_EXT_device_drm_render_node") != std::string_view::npos) {
    if (const char* node = queryDevice(handle, EGL_DRM_RENDER_NODE_FILE_EXT)) return node;
  }
  if (names.find("EGL_EXT_device_drm") != std::string_view::npos) {
    if (const char* file = queryDevice(handle, EGL_DRM_DEVICE_FILE_EXT)) return file;
  }
  return "";
}

bool ZR_EglContext::MakeCurrent() {
  if (!m_pContext) return false;
  if (eglGetCurrentContext() == m_pContext) return true;
  return eglMakeCurrent(m_pDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, m_pContext) == EGL_TRUE;
}

void ZR_EglContext::ReleaseCurrent() {
  if (m_pDisplay) eglMakeCurrent(m_pDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}
