#include "tests/support/ZR_RenderScene.h"

#include "tests/support/ZR_GlTestContext.h"
#include "tests/support/ZR_TestVolume.h"

ZR_RenderScene::ZR_RenderScene(ZR_GlTestContext& gl, int32_t width, int32_t height)
    : surface(gl.Context(), width, height), m_oGl(gl) {
  shared.AttachGl(&gl.Gl(), &gl.Programs());
  (void)surface.Create();
  (void)surface.MakeCurrent();
  shared.SetViewport(width, height);
  renderer.Init();
}

ZR_RenderScene::~ZR_RenderScene() {
  (void)m_oGl.Context().MakeCurrent();
  renderer.DeleteGlObjects();
}

void ZR_RenderScene::SelectCopy(bool reduced) {
  renderer.SetReducedResolution(reduced, reduced ? m_nReduction : 1);
  shared.SelectCopy(reduced);
}

std::string ZR_RenderScene::Load(const int32_t dims[3], const float scale[3],
                                 const std::vector<uint16_t>& stored, int32_t reduction) {
  if (!surface.MakeCurrent()) return "surface not current";
  m_nReduction = reduction;
  return ZR_TestVolume::Upload(shared, renderer, dims, scale, stored, reduction, &fullUploadSeconds);
}

bool ZR_RenderScene::MakeCurrent() {
  if (!surface.MakeCurrent()) return false;
  m_oGl.Gl().Viewport(0, 0, surface.Width(), surface.Height());
  shared.SetViewport(surface.Width(), surface.Height());
  return true;
}

void ZR_RenderScene::Render() {
  (void)MakeCurrent();
  renderer.Invalidate();
  // The tests judge the picture read back afterwards, which a failed draw leaves wrong.
  (void)renderer.Render(0, 0, 0, 0, 0);
}

ZR_TestImage ZR_RenderScene::Read(bool fromBack) {
  std::vector<uint8_t> pixels(size_t(surface.Width()) * surface.Height() * 4);
  if (!surface.ReadPixels(0, 0, surface.Width(), surface.Height(), GL_RGBA, GL_UNSIGNED_BYTE,
                          fromBack, pixels.data()))
    return {};
  return ZR_TestImage::FromBottomUp(surface.Width(), surface.Height(), 4, pixels.data());
}
