// The texture renderer's CPU parts (slice count, reduced copy, upload buffers in main
// memory) and its OpenGL behaviour that is not a picture (table restore, redraw once,
// uploads, failures).
#include "render/ZR_Texture3dRenderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "core/ZR_Result.h"
#include "tests/support/ZR_GlTestContext.h"
#include "tests/support/ZR_RecordingGl.h"
#include "tests/support/ZR_RenderScene.h"

namespace {

TEST(SliceCount, FollowsTheSamplingRateTheReductionAndTheZoom) {
  struct Case {
    const char* label;
    float rate;
    int32_t reduction;
    float x, windowWidth, largest;
    int32_t base, count;
  };
  const Case cases[] = {
      // 512 x 512 x 200 at rate 2 in the reset window (2 x 443): B = 1773, N = 1024.
      {"reset window", 2, 1, 512, 886, 512, 1773, 1024},
      {"zoomed in to the ratio floor", 2, 1, 512, 256, 512, 1773, 3546},
      {"zoomed in further adds nothing", 2, 1, 512, 10, 512, 1773, 3546},
      {"zoomed out", 2, 1, 512, 1772, 512, 1773, 512},
      // The reduced 256 copy with the window divided by the factor: a quarter of the slices.
      {"reduced copy", 2, 2, 256, 443, 256, 443, 256},
      {"final quality 2 (rate 3)", 3, 1, 512, 886, 512, 2660, 1537},
      {"no volume", 2, 1, 0, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    int32_t base = -1;
    EXPECT_EQ(ZR_Texture3dRenderer::SliceCount(c.rate, c.reduction, c.x, c.windowWidth, c.largest, &base),
              c.count)
        << c.label;
    EXPECT_EQ(base, c.base) << c.label;
  }
}

// A volume whose every voxel says where it is.
uint16_t Code(int64_t x, int64_t y, int64_t z) {
  return static_cast<uint16_t>((x * 7 + y * 131 + z * 1031) & 0xFFFF);
}

TEST(BuildReducedCopy, TakesEveryFactorthVoxel) {
  RenderShared shared;
  ZR_Texture3dRenderer renderer(shared);
  renderer.SetReducedResolution(true, 2);
  const int32_t full[3] = {511, 511, 301};
  const int32_t reduced[3] = {256, 256, 151};  // each rounded half up
  std::vector<uint16_t> source(size_t(full[0]) * full[1] * full[2]);
  for (int32_t z = 0; z < full[2]; ++z)
    for (int32_t y = 0; y < full[1]; ++y)
      for (int32_t x = 0; x < full[0]; ++x)
        source[(size_t(z) * full[1] + y) * full[0] + x] = Code(x, y, z);
  std::vector<uint16_t> target(size_t(reduced[0]) * reduced[1] * reduced[2], 0xDEAD);
  ASSERT_TRUE(renderer.BuildReducedCopy(source.data(), full, target.data(), reduced));
  EXPECT_EQ(target.back(), Code(510, 510, 300));  // voxel (255, 255, 150)
  size_t mismatches = 0;
  for (int32_t z = 0; z < reduced[2]; ++z)
    for (int32_t y = 0; y < reduced[1]; ++y)
      for (int32_t x = 0; x < reduced[0]; ++x)
        mismatches += target[(size_t(z) * reduced[1] + y) * reduced[0] + x] != Code(2 * x, 2 * y, 2 * z);
  EXPECT_EQ(mismatches, 0u);
}

TEST(BuildReducedCopy, RefusesDimensionsThatWouldReadOutsideTheVolume) {
  RenderShared shared;
  ZR_Texture3dRenderer renderer(shared);
  renderer.SetReducedResolution(true, 4);
  const int32_t full[3] = {8, 8, 8};
  std::vector<uint16_t> source(512, 1);
  std::vector<uint16_t> target(64, 0);
  const int32_t fits[3] = {2, 2, 2};
  const int32_t tooMany[3] = {2, 2, 3};  // voxel z = 2 would read full z = 8
  const int32_t none[3] = {2, 0, 2};
  EXPECT_TRUE(renderer.BuildReducedCopy(source.data(), full, target.data(), fits));
  target.assign(64, 0);
  EXPECT_FALSE(renderer.BuildReducedCopy(source.data(), full, target.data(), tooMany));
  EXPECT_FALSE(renderer.BuildReducedCopy(source.data(), full, target.data(), none));
  EXPECT_FALSE(renderer.BuildReducedCopy(nullptr, full, target.data(), fits));
  EXPECT_EQ(target[0], 0);  // nothing written
}

TEST(UploadBuffers, LiveInMainMemoryWithoutOpenGl) {
  RenderShared shared;
  ZR_Texture3dRenderer renderer(shared);
  shared.SetFullDimensions(4, 4, 3);
  shared.SetReducedDimensions(2, 2, 2);
  shared.SelectCopy(false);
  EXPECT_EQ(renderer.MapUploadBuffer(GL_READ_WRITE), nullptr);  // not allocated yet
  ASSERT_TRUE(renderer.AllocateUploadBuffer());
  uint16_t* full = renderer.MapUploadBuffer(GL_READ_WRITE);
  ASSERT_NE(full, nullptr);
  full[47] = 123;
  renderer.SetReducedResolution(true, 2);
  shared.SelectCopy(true);
  ASSERT_TRUE(renderer.AllocateUploadBuffer());
  uint16_t* reduced = renderer.MapUploadBuffer(GL_WRITE_ONLY);
  ASSERT_NE(reduced, nullptr);
  EXPECT_NE(reduced, full);
  EXPECT_EQ(renderer.UnmapUploadBuffer(), static_cast<GLenum>(GL_NO_ERROR));
  EXPECT_FALSE(renderer.Load3dTexture());  // no OpenGL: nothing to upload to
  EXPECT_EQ(renderer.Render(0, 0, 0, 0, 0), 0);
}

// --- With OpenGL ----------------------------------------------------------------------------

std::vector<uint16_t> Uniform(const int32_t dims[3], uint16_t value) {
  return std::vector<uint16_t>(size_t(dims[0]) * dims[1] * dims[2], value);
}

// A small uniform volume on a panel; Record() passes the calls through a recorder.
class SmallScene : public ::testing::Test {
 protected:
  void SetUp() override {
    gl = ZR_GlTestContext::Get();
    if (!gl) GTEST_FAIL() << "no OpenGL context: " << ZR_GlTestContext::Error();
    scene = std::make_unique<ZR_RenderScene>(*gl, 16, 16);
    const int32_t dims[3] = {8, 8, 4};
    const float scale[3] = {1, 1, 1};
    ASSERT_EQ(scene->Load(dims, scale, Uniform(dims, 100)), "");
  }
  void TearDown() override {
    if (scene) scene->shared.AttachGl(&gl->Gl(), &gl->Programs());
  }
  ZR_RecordingGl& Record() {
    recorder = std::make_unique<ZR_RecordingGl>(&gl->Gl());
    scene->shared.AttachGl(&recorder->Table(), &gl->Programs());
    return *recorder;
  }
  ZR_GlTestContext* gl = nullptr;
  std::unique_ptr<ZR_RenderScene> scene;
  std::unique_ptr<ZR_RecordingGl> recorder;
};

TEST_F(SmallScene, RenderGivesColourTableEntryZeroBackAsItWas) {
  for (const int32_t mode : {0, 2}) {
    float* table = scene->shared.CurrentTable();
    const float entry0[4] = {0.1f, 0.2f, 0.3f, 0.4f};
    std::copy_n(entry0, 4, table);
    scene->renderer.SetBlendMode(mode);
    scene->Render();
    table = scene->shared.CurrentTable();
    for (int i = 0; i < 4; ++i) EXPECT_EQ(table[i], entry0[i]) << "mode " << mode << " component " << i;
    // The texture holds the restored entry too.
    std::vector<float> uploaded(4096 * 4);
    gl->Gl().BindTexture(GL_TEXTURE_2D, scene->renderer.LutTexture());
    gl->Gl().GetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, uploaded.data());
    for (int i = 0; i < 4; ++i)
      EXPECT_NEAR(uploaded[i], entry0[i], 1.0 / 255) << "mode " << mode << " component " << i;
  }
}

TEST_F(SmallScene, RenderTouchesTheTableOnlyWhenCompositing) {
  ZR_RecordingGl& calls = Record();
  for (const int32_t mode : {0, 1, 2}) {
    calls.Clear();
    scene->renderer.SetBlendMode(mode);
    scene->Render();
    EXPECT_EQ(calls.CallsTo("glTexImage2D").size(), mode == 0 ? 2u : 0u) << "mode " << mode;
  }
}

TEST_F(SmallScene, RenderDrawsOncePerInvalidate) {
  ZR_RecordingGl& calls = Record();
  scene->renderer.Invalidate();
  EXPECT_EQ(scene->renderer.Render(0, 0, 0, 0, 0), 0);
  const size_t first = calls.CallsTo("glBegin").size();
  EXPECT_GT(first, 0u);
  EXPECT_FALSE(scene->renderer.NeedsRender());
  EXPECT_EQ(scene->renderer.Render(0, 0, 0, 0, 0), 0);
  EXPECT_EQ(calls.CallsTo("glBegin").size(), first);
}

TEST_F(SmallScene, Load3dTextureAllocatesOnceAndReplacesInPlaceForTheSameSize) {
  ZR_RecordingGl& calls = Record();
  EXPECT_TRUE(scene->renderer.Load3dTexture());  // the full copy, same size again
  EXPECT_EQ(calls.CallsTo("glTexSubImage3DEXT").size(), 1u);
  EXPECT_EQ(calls.CallsTo("glTexImage3DEXT").size(), 0u);
  scene->SelectCopy(true);
  EXPECT_TRUE(scene->renderer.Load3dTexture());  // the reduced copy always allocates
  EXPECT_EQ(calls.CallsTo("glTexImage3DEXT").size(), 1u);
}

TEST(LoadVolume, ReportsAFailedUploadAsError11) {
  LMX_REQUIRE_GL(gl);
  ZR_RenderScene scene(*gl, 16, 16);
  // Dimensions given, but no buffer holds the voxels: the upload must not read beyond it.
  scene.shared.SetFullDimensions(8, 8, 8);
  scene.shared.SelectCopy(false);
  EXPECT_EQ(scene.renderer.LoadVolume(), VR_OG_3D_TEXTURE);
  EXPECT_FALSE(scene.renderer.IsLoaded());
  // A buffer for fewer voxels than the texture is refused the same way.
  scene.shared.SetFullDimensions(8, 8, 4);
  scene.shared.SelectCopy(false);
  ASSERT_TRUE(scene.renderer.AllocateUploadBuffer());
  scene.shared.SetFullDimensions(8, 8, 8);
  scene.shared.SelectCopy(false);
  EXPECT_EQ(scene.renderer.LoadVolume(), VR_OG_3D_TEXTURE);
  // A still mapped buffer cannot be uploaded either.
  ASSERT_TRUE(scene.renderer.AllocateUploadBuffer());
  ASSERT_NE(scene.renderer.MapUploadBuffer(GL_READ_WRITE), nullptr);
  EXPECT_EQ(scene.renderer.LoadVolume(), VR_OG_3D_TEXTURE);
  EXPECT_EQ(scene.renderer.UnmapUploadBuffer(), static_cast<GLenum>(GL_NO_ERROR));
  EXPECT_EQ(scene.renderer.LoadVolume(), VR_OK);
  EXPECT_TRUE(scene.renderer.IsLoaded());
}

TEST(LoadVolume, SetsTheZAspectAndThePaddedRange) {
  LMX_REQUIRE_GL(gl);
  ZR_RenderScene scene(*gl, 16, 16);
  const int32_t dims[3] = {64, 64, 20};
  const float scale[3] = {1, 1, 1.6f};
  ASSERT_EQ(scene.Load(dims, scale, Uniform(dims, 10)), "");
  EXPECT_FLOAT_EQ(scene.shared.ZAspect(), 0.5f);  // 20 x 1.6 / 64
  EXPECT_FLOAT_EQ(scene.renderer.ZPadded(), 2.0f);  // tz x M / Z = 64 / 32
  EXPECT_EQ(scene.shared.Window()[1], 55);         // floor(64 x sqrt(3) / 2)
}

}  // namespace
