#pragma once
// A small scene for the renderer tests and benchmarks: its own shared render state, a
// texture renderer and a headless panel on the test context, and a volume loaded the way
// the manager loads one (upload buffers, reduced copy, textures).

#include <cstdint>
#include <string>
#include <vector>

#include "render/RenderShared.h"
#include "render/ZR_FramebufferSurface.h"
#include "render/ZR_Texture3dRenderer.h"
#include "tests/support/ZR_TestImage.h"

class ZR_GlTestContext;

class ZR_RenderScene {
 public:
  ZR_RenderScene(ZR_GlTestContext& gl, int32_t width, int32_t height);
  ~ZR_RenderScene();

  // Stored values (0..4095, x fastest) become voxels x 16; the reduced copy uses `reduction`.
  // Returns the first failure as text, empty on success.
  std::string Load(const int32_t dims[3], const float scale[3],
                   const std::vector<uint16_t>& stored, int32_t reduction = 2);
  // Full (false) or reduced (true) copy, as quality levels 0 and 3 select them.
  void SelectCopy(bool reduced);
  // Makes the panel current with its viewport, as every panel's drawing starts.
  bool MakeCurrent();
  // Render once (invalidating first) into the panel's back buffer.
  void Render();
  ZR_TestImage Read(bool fromBack = true);

  // How long the full copy's first upload (LoadVolume, allocating the texture) took.
  double fullUploadSeconds = 0;

  RenderShared shared;
  ZR_Texture3dRenderer renderer{shared};
  ZR_FramebufferSurface surface;

 private:
  ZR_GlTestContext& m_oGl;
  int32_t m_nReduction = 2;
};
