#include "tests/support/ZR_RenderScene.h"

#include <chrono>
#include <cmath>

#include "tests/support/ZR_GlTestContext.h"

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
  const size_t count = size_t(dims[0]) * dims[1] * dims[2];
  m_nReduction = reduction;
  if (stored.size() != count) return "wrong voxel count";
  shared.SetVoxelScale(scale[0], scale[1], scale[2]);
  shared.SetFullDimensions(dims[0], dims[1], dims[2]);
  int32_t small[3];
  for (int i = 0; i < 3; ++i)
    small[i] = static_cast<int32_t>(std::floor(double(dims[i]) / reduction + 0.5));
  shared.SetReducedDimensions(small[0], small[1], small[2]);

  renderer.SetReducedResolution(false, 1);
  shared.SelectCopy(false);
  if (!renderer.AllocateUploadBuffer()) return "full buffer not allocated";
  uint16_t* full = renderer.MapUploadBuffer(GL_READ_WRITE);
  if (!full) return "full buffer not mapped";
  for (size_t i = 0; i < count; ++i) full[i] = static_cast<uint16_t>(stored[i] * 16);

  renderer.SetReducedResolution(true, reduction);
  shared.SelectCopy(true);
  if (!renderer.AllocateUploadBuffer()) return "reduced buffer not allocated";
  uint16_t* reduced = renderer.MapUploadBuffer(GL_WRITE_ONLY);
  if (!reduced) return "reduced buffer not mapped";
  shared.SetVoxelBuffers(full, reduced);
  if (!renderer.BuildReducedCopy(full, dims, reduced, small)) return "reduced copy refused";
  if (renderer.UnmapUploadBuffer() != GL_NO_ERROR) return "reduced buffer not unmapped";
  renderer.SetReducedResolution(false, 1);
  shared.SelectCopy(false);
  if (renderer.UnmapUploadBuffer() != GL_NO_ERROR) return "full buffer not unmapped";
  shared.SetVoxelBuffers(nullptr, nullptr);

  m_oGl.Gl().Finish();
  const auto start = std::chrono::steady_clock::now();
  if (renderer.LoadVolume() != 0) return "LoadVolume failed";
  m_oGl.Gl().Finish();
  fullUploadSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  renderer.SetReducedResolution(true, reduction);
  shared.SelectCopy(true);
  if (!renderer.Load3dTexture()) return "reduced texture not uploaded";
  renderer.SetReducedResolution(false, 1);
  shared.SelectCopy(false);
  renderer.UploadLut();
  return "";
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
  renderer.Render(0, 0, 0, 0, 0);
}

ZR_TestImage ZR_RenderScene::Read(bool fromBack) {
  std::vector<uint8_t> pixels(size_t(surface.Width()) * surface.Height() * 4);
  if (!surface.ReadPixels(0, 0, surface.Width(), surface.Height(), GL_RGBA, GL_UNSIGNED_BYTE,
                          fromBack, pixels.data()))
    return {};
  return ZR_TestImage::FromBottomUp(surface.Width(), surface.Height(), 4, pixels.data());
}
