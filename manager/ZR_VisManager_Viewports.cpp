// The rendering context and the panels: start-up of the rendering back end, the adapter
// check, the font, the offscreen buffer and reading a panel's pixels.
#include <algorithm>

#include "core/ZR_Log.h"
#include "manager/ZR_VisManager.h"
#include "render/ZR_DisplayAdapter.h"
#include "render/ZR_RenderPlatform.h"

namespace {
// Bytes of one pixel read in `format` and `type`; 0 for a pair this reader does not know.
int32_t PixelBytes(uint32_t format, uint32_t type) {
  int32_t components = 0;
  switch (format) {
    case GL_RGBA: case GL_BGRA: components = 4; break;
    case GL_RGB: case GL_BGR: components = 3; break;
    case GL_LUMINANCE_ALPHA: components = 2; break;
    case GL_LUMINANCE: case GL_RED: case GL_GREEN: case GL_BLUE: case GL_ALPHA:
    case GL_DEPTH_COMPONENT: components = 1; break;
    default: return 0;
  }
  switch (type) {
    case GL_UNSIGNED_BYTE: case GL_BYTE: return components;
    case GL_UNSIGNED_SHORT: case GL_SHORT: return components * 2;
    case GL_UNSIGNED_INT: case GL_INT: case GL_FLOAT: return components * 4;
    default: return 0;
  }
}

std::string GlString(const ZR_GlFunctions& gl, GLenum name) {
  const GLubyte* text = gl.GetString(name);
  return text ? reinterpret_cast<const char*>(text) : "";
}
}  // namespace

int32_t ZR_VisManager::CreateOpenGlViewports() {
  if (!m_pPlatform || !m_pViewports) {
    ZR_Log::Entry("CreateOpenGlViewports(): no rendering platform");
    return VR_OG_CONTEXT;
  }
  ZR_DrawSurface* panel0 = m_pViewports->aSurfaces[ZR_Panel::View3D];
  if (!panel0 || !m_pPlatform->ChoosePixelFormat(*panel0)) return VR_OG_PIXEL_FORMAT;
  // Panels 0..8; the curved-MPR and radial windows get theirs when they are handed over.
  for (int32_t panel = ZR_Panel::View3D; panel <= ZR_Panel::MprView3D; ++panel) {
    ZR_DrawSurface* surface = m_pViewports->aSurfaces[panel];
    if (!surface || !m_pPlatform->SetPixelFormat(*surface)) return VR_OG_PIXEL_FORMAT;
  }
  if (!m_pPlatform->CreateContext(*panel0)) return VR_OG_CONTEXT;
  ZR_GlFunctions* gl = m_pPlatform->Gl();
  if (!gl) return VR_OG_CONTEXT;
  m_bContextCreated = true;
  if (!panel0->MakeCurrent()) return VR_OG_CONTEXT;

  m_oAdapter.sGlRenderer = GlString(*gl, GL_RENDERER);
  ZR_Log::Entry("CreateOpenGlViewports(): Pixel Format OK");
  ZR_Log::Entry("CreateOpenGlViewports(): Renderer = ", m_oAdapter.sGlRenderer);
  ZR_Log::Entry("CreateOpenGlViewports(): GL_VERSION = ", GlString(*gl, GL_VERSION));
  ZR_Log::Entry("CreateOpenGlViewports(): GL_EXTENSIONS = ", GlString(*gl, GL_EXTENSIONS));

  IdentifyAdapter();

  m_oShared.AttachGl(gl, &m_oPrograms);
  m_oText.AttachGl(gl);
  const int32_t detected = m_oPrograms.DetectCapabilities(*gl);
  m_oAdapter.bCanShade = m_oPrograms.CanShade();
  if (detected == VR_OG_NOT_SUPPORTED) {
    ZR_Log::Entry("CreateOpenGlViewports(): VR_OG_NOT_SUPPORTED");
    return VR_OG_NOT_SUPPORTED;
  }
  if (detected != VR_OK) {
    ZR_Log::Entry("CreateOpenGlViewports(): VR_OG_SW_RENDER");
    m_oAdapter.bSoftwareRendering = true;
    m_pRenderer = &m_oSoftwareRenderer;
    m_oSoftwareRenderer.Init();
    // The software MPR views carry their labels and study details too.
    if (panel0->MakeCurrent()) CreateFont(*panel0);
    return VR_OG_SW_RENDER;
  }

  m_oTexture3dRenderer.Init();
  ZR_Log::Entry("CreateOpenGlViewports(): nMaxSlices = ", kMaxSlices);
  ZR_Log::Entry("CreateOpenGlViewports(): m_oTexture3dRenderer.Init() OK");
  if (!panel0->MakeCurrent()) return VR_OG_CONTEXT;
  CreateFont(*panel0);
  return VR_OK;
}

void ZR_VisManager::IdentifyAdapter() {
  const std::string id = m_pPlatform->AdapterId();
  bool listed = false;
  if (id.empty()) {
    ZR_Log::Entry("Unable to locate device information");
  } else {
    const ZR_DisplayAdapter::Numbers numbers = ZR_DisplayAdapter::Parse(id);
    ZR_Log::Entry("Vendor ID: ", numbers.sVendor);
    ZR_Log::Entry("Device ID: ", numbers.sDevice);
    listed = numbers.bValid && ZR_DisplayAdapter::IsListed(numbers.nVendor, numbers.nDevice);
    if (!listed) ZR_Log::Entry("Graphics card not supported");
  }
  // The list names adapters of its time only; what this one can do is detected next.
  if (!listed) ZR_Log::Entry("CreateOpenGlViewports(): adapter not on the qualified list; capability detection decides");
}

void ZR_VisManager::CreateFont(ZR_DrawSurface& panel) {
  (void)m_oText.MakeFont(kFontHeight);  // without a font both SetDC calls fail below
  bool made = m_oText.SetDC(&panel);
  if (!made) made = m_oText.SetDC(&panel);
  m_oText.SetEnabled(made);
  ZR_Log::Entry(made ? "CreateOpenGlViewports(): OpenGlText::SetDC() OK"
                     : "CreateOpenGlViewports(): OpenGlText::SetDC() returned false");
}

void ZR_VisManager::SetOffscreenSize(int32_t width, int32_t height) {
  // A buffer that could not be made before (no context yet) is tried again.
  if (width > m_nOffscreenWidth || height > m_nOffscreenHeight || !m_bOffscreenReady) {
    // The buffer only grows: an area that was captured once stays capturable.
    m_nOffscreenWidth = std::max(m_nOffscreenWidth, width);
    m_nOffscreenHeight = std::max(m_nOffscreenHeight, height);
    m_pPBuffer.reset();
    m_bOffscreenReady = false;
    if (m_pPlatform && m_bContextCreated) {
      // A square that holds the whole area, whichever side is longer.
      const int32_t side = std::max(m_nOffscreenWidth, m_nOffscreenHeight);
      m_pPBuffer = std::make_unique<PBuffer>(side, side);
      m_bOffscreenReady = m_pPBuffer->Create(*m_pPlatform);
      if (!m_bOffscreenReady) m_pPBuffer.reset();
    }
  }
  m_oAdapter.bLargeViewport = std::min(width, height) > 600;
}

std::unique_ptr<uint8_t[]> ZR_VisManager::ReadPanel(int32_t index, int32_t* width, int32_t* height,
                                                    uint32_t format, uint32_t type, int32_t components,
                                                    int32_t componentBytes, bool fromBack) {
  if (width) *width = 0;
  if (height) *height = 0;
  if (!m_pViewports || !Gl() || index < 0 || index >= ZR_ViewportTable::kSurfaceCount) return nullptr;
  int32_t w = m_pViewports->Width(index);
  int32_t h = m_pViewports->Height(index);
  // During a capture the picture is in the offscreen buffer, which has one buffer.
  ZR_DrawSurface* surface = MakeCaptureTargetCurrent();
  const bool offscreen = surface != nullptr;
  if (!surface) surface = MakePanelCurrent(index);
  // The buffer is sized from the caller's components; OpenGL writes what format and type
  // say, so the two must agree.
  if (!surface || components <= 0 || componentBytes <= 0 ||
      PixelBytes(format, type) != components * componentBytes)
    return nullptr;
  Gl()->Viewport(0, 0, w, h);
  w -= w % 4;
  h -= h % 4;
  if (w <= 0 || h <= 0) return nullptr;
  const size_t bytes = static_cast<size_t>(w) * static_cast<size_t>(h) *
                       static_cast<size_t>(components) * static_cast<size_t>(componentBytes);
  std::unique_ptr<uint8_t[]> pixels(new (std::nothrow) uint8_t[bytes]);
  if (!pixels) return nullptr;
  const bool back = offscreen || (fromBack && !m_bOffscreenReady);
  if (!surface->ReadPixels(0, 0, w, h, format, type, back, pixels.get())) return nullptr;
  if (width) *width = w;
  if (height) *height = h;
  return pixels;
}
