// Pictures drawn on the driver: small synthetic scenes at a fixed size, compared with
// committed references and checked numerically where the result can be predicted.
//
// References: tests/render/references/*.png, 128 x 128 RGB, made on Mesa llvmpipe. The
// tolerance (8 per channel, at most 0.5 % of the pixels beyond it) absorbs rounding
// differences between drivers; the numeric checks carry the exact expectations.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <vector>

#include "render/ZR_GpuPrograms.h"
#include "render/ZR_Matrix4.h"
#include "render/ZR_Texture3dRenderer.h"
#include "tests/support/ZR_GlTestContext.h"
#include "tests/support/ZR_ImageCompare.h"
#include "tests/support/ZR_RecordingGl.h"
#include "tests/support/ZR_RenderScene.h"
#include "tests/support/ZR_TestVolume.h"

namespace {

constexpr int32_t kSize = 128;
const ZR_ImageCompare::Tolerance kReferenceTolerance{8, kSize * kSize / 200};

std::filesystem::path Reference(const std::string& name) {
  return std::filesystem::path(LMX_SOURCE_DIR) / "tests/render/references" / (name + ".png");
}

std::filesystem::path OutputDir() {
  return std::filesystem::path(LMX_BINARY_DIR) / "test-output/render";
}

::testing::AssertionResult MatchesReference(const ZR_TestImage& image, const std::string& name) {
  return ZR_ImageCompare::Matches(image.Rgb(), Reference(name), OutputDir(), kReferenceTolerance);
}

using VoxelFunction = ZR_TestVolume::VoxelFunction;

std::vector<uint16_t> MakeVolume(const int32_t dims[3], const VoxelFunction& value) {
  return ZR_TestVolume::Make(dims, value);
}

bool Inside(int32_t v, int32_t low, int32_t high) { return v >= low && v < high; }

void SetEntry(float* table, int32_t index, float r, float g, float b, float a) {
  table[4 * index] = r;
  table[4 * index + 1] = g;
  table[4 * index + 2] = b;
  table[4 * index + 3] = a;
}

// What the colour-table texture (8 bits per component) gives back for one entry.
uint8_t Quantized(float value) { return static_cast<uint8_t>(std::lround(value * 255.0f)); }

const float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// --- 3D view ----------------------------------------------------------------------------------

// A 4-voxel bright cube in an empty 64^3 volume, seen straight along z.
class BrightCube : public ::testing::Test {
 protected:
  static constexpr int32_t kLow[3] = {40, 16, 30};
  void Load(ZR_RenderScene& scene) {
    const int32_t dims[3] = {64, 64, 64};
    const float scale[3] = {1, 1, 1};
    ASSERT_EQ(scene.Load(dims, scale, MakeVolume(dims, [](int32_t x, int32_t y, int32_t z) {
                return Inside(x, kLow[0], kLow[0] + 4) && Inside(y, kLow[1], kLow[1] + 4) &&
                               Inside(z, kLow[2], kLow[2] + 4)
                           ? 4000
                           : 0;
              })),
              "");
    scene.renderer.SelectLutTable(false);
    float* grey = scene.shared.CurrentTable();
    for (int32_t k = 0; k < 4096; ++k) {
      const float g = static_cast<float>(k) / 4095.0f;
      SetEntry(grey, k, g, g, g, k > 0 ? 1.0f : 0.0f);
    }
    scene.renderer.UploadLut();
    scene.shared.SetRotation(kIdentity);
    scene.renderer.SetBlendMode(2);
  }
  // Where the cube's centre shows: x right, y up in the window, converted to image
  // coordinates from the top-left corner.
  static void PredictedPixel(const ZR_RenderScene& scene, double* px, double* py) {
    const float* window = scene.shared.Window();
    const double cx = kLow[0] + 2 - 32.0, cy = kLow[1] + 2 - 32.0;
    *px = (cx - window[0]) / (window[1] - window[0]) * kSize;
    *py = kSize - (cy - window[2]) / (window[3] - window[2]) * kSize;
  }
  // Centroid of the pixels at the brightest value, and that value.
  static uint8_t BrightestCentroid(const ZR_TestImage& image, double* x, double* y) {
    uint8_t top = 0;
    for (size_t i = 0; i < image.aPixels.size(); i += 4) top = std::max(top, image.aPixels[i]);
    double sx = 0, sy = 0, n = 0;
    for (int32_t j = 0; j < image.nHeight; ++j)
      for (int32_t i = 0; i < image.nWidth; ++i)
        if (image.At(i, j)[0] == top) {
          sx += i + 0.5;
          sy += j + 0.5;
          n += 1;
        }
    *x = sx / n;
    *y = sy / n;
    return top;
  }
};

TEST_F(BrightCube, MaximumIntensityShowsTheCubeAtItsPredictedPixel) {
  LMX_REQUIRE_GL(gl);
  ZR_RenderScene scene(*gl, kSize, kSize);
  Load(scene);
  scene.Render();
  const ZR_TestImage image = scene.Read();
  double x, y, px, py;
  const uint8_t top = BrightestCentroid(image, &x, &y);
  PredictedPixel(scene, &px, &py);
  EXPECT_EQ(top, Quantized(4000.0f / 4095.0f));
  EXPECT_NEAR(x, px, 0.75);
  EXPECT_NEAR(y, py, 0.75);
  EXPECT_EQ(image.At(2, 2)[0], 0);  // entry 0 is transparent: the background stays black
  EXPECT_TRUE(MatchesReference(image, "mip-bright-cube"));
}

TEST_F(BrightCube, ATurnedViewShowsTheCubeWhereTheRotationTakesIt) {
  LMX_REQUIRE_GL(gl);
  ZR_RenderScene scene(*gl, kSize, kSize);
  Load(scene);
  scene.shared.ResetRotation(scene.renderer, true);
  scene.Render();
  const ZR_TestImage image = scene.Read();
  double x, y;
  BrightestCentroid(image, &x, &y);
  const ZR_Matrix4 rotation = ZR_Matrix4::FromFloats(scene.shared.Rotation());
  const auto eye = rotation.TransformPoint(kLow[0] + 2 - 32.0, kLow[1] + 2 - 32.0, kLow[2] + 2 - 32.0);
  const float* window = scene.shared.Window();
  EXPECT_NEAR(x, (eye[0] - window[0]) / (window[1] - window[0]) * kSize, 1.0);
  EXPECT_NEAR(y, kSize - (eye[1] - window[2]) / (window[3] - window[2]) * kSize, 1.0);
}

TEST_F(BrightCube, TheReducedCopyDrawsTheSameCubeWithAQuarterOfTheSlices) {
  LMX_REQUIRE_GL(gl);
  ZR_RenderScene scene(*gl, kSize, kSize);
  Load(scene);
  scene.SelectCopy(true);
  scene.Render();
  const ZR_TestImage image = scene.Read();
  // The window is that of the full copy again after the frame.
  EXPECT_EQ(scene.shared.Window()[1], 55);
  EXPECT_EQ(scene.renderer.LastSliceCount(),
            ZR_Texture3dRenderer::SliceCount(2, 2, 32, 55, 32));
  EXPECT_EQ(scene.renderer.LastSliceCount(), 32);  // 128 at full resolution
  double x, y, px, py;
  const uint8_t top = BrightestCentroid(image, &x, &y);
  PredictedPixel(scene, &px, &py);
  EXPECT_EQ(top, Quantized(4000.0f / 4095.0f));
  EXPECT_NEAR(x, px, 1.5);
  EXPECT_NEAR(y, py, 1.5);
  EXPECT_TRUE(MatchesReference(image, "mip-reduced-copy"));
}

// A slab z in [24, 40) across the whole 64^3 volume, seen straight along z: the centre ray
// crosses it in a known number of slices.
class Slab : public ::testing::Test {
 protected:
  void Load(ZR_RenderScene& scene, uint16_t value) {
    const int32_t dims[3] = {64, 64, 64};
    const float scale[3] = {1, 1, 1};
    ASSERT_EQ(scene.Load(dims, scale, MakeVolume(dims, [value](int32_t, int32_t, int32_t z) {
                return Inside(z, 24, 40) ? value : 0;
              })),
              "");
    scene.shared.SetRotation(kIdentity);
  }
  // Slices whose texture depth on the centre ray lies inside the slab, edges excluded;
  // fails the test when a slice comes too close to an edge to say.
  static int32_t SlicesInside(const ZR_RenderScene& scene) {
    const int32_t n = scene.renderer.LastSliceCount();
    const double d = std::sqrt(3.0);
    int32_t inside = 0;
    for (int32_t i = 0; i < n; ++i) {
      const double z = (static_cast<double>(i) / n * d + (1 - d) / 2) * 64;
      EXPECT_GT(std::min(std::fabs(z - 24), std::fabs(z - 40)), 0.05) << "slice " << i;
      inside += z > 24 && z < 40;
    }
    return inside;
  }
};

TEST_F(Slab, ColourCompositingAccumulatesTheTablesOpacityOncePerSlice) {
  LMX_REQUIRE_GL(gl);
  ZR_RenderScene scene(*gl, kSize, kSize);
  Load(scene, 2000);
  scene.renderer.SelectLutTable(true);
  float* colour = scene.shared.CurrentTable();
  for (int32_t k = 0; k < 4096; ++k)
    SetEntry(colour, k, 1.0f, 0.5f, 0.25f, k >= 1000 ? 0.1f : 0.0f);
  scene.renderer.UploadLut();
  scene.renderer.SetBlendMode(0);
  scene.Render();
  const ZR_TestImage image = scene.Read();
  const int32_t k = SlicesInside(scene);
  EXPECT_EQ(k, 19);
  // Back to front over black, 8 bits per step; drivers round the two products of a blend
  // together (exact) or apart (llvmpipe), so the pixel lies between the two.
  const int32_t alpha = Quantized(0.1f);
  const int32_t source[3] = {255, Quantized(0.5f), Quantized(0.25f)};
  for (int32_t c = 0; c < 3; ++c) {
    int32_t together = 0, apart = 0;
    for (int32_t i = 0; i < k; ++i) {
      together = static_cast<int32_t>(std::lround((source[c] * alpha + together * (255 - alpha)) / 255.0));
      apart = static_cast<int32_t>(std::lround(source[c] * alpha / 255.0) +
                                   std::lround(apart * (255 - alpha) / 255.0));
    }
    EXPECT_GE(image.At(64, 64)[c], std::min(together, apart) - 1) << "channel " << c;
    EXPECT_LE(image.At(64, 64)[c], std::max(together, apart) + 1) << "channel " << c;
  }
  EXPECT_TRUE(MatchesReference(image, "colour-slab"));
}

TEST_F(Slab, GreyRenderingShowsTheGreyOfTheFrontmostOpaqueSlice) {
  LMX_REQUIRE_GL(gl);
  ZR_RenderScene scene(*gl, kSize, kSize);
  Load(scene, 1500);
  ZR_Lut& lut = scene.shared.GetLut();
  lut.SetRawRange(0, 4095);
  lut.BuildGreyRamp(2000, 1000);    // index k: grey k / 2000
  lut.BuildOpacityRamp(0, 1400);    // opaque from index 1400
  scene.renderer.SelectLutTable(false);
  scene.renderer.UploadLut();
  scene.renderer.SetBlendMode(0);
  scene.Render();
  const ZR_TestImage image = scene.Read();
  const uint8_t expected = Quantized(lut.GreyTable()[4 * 1500]);
  EXPECT_EQ(expected, 191);
  for (int32_t c = 0; c < 3; ++c) EXPECT_NEAR(image.At(64, 64)[c], expected, 1) << "channel " << c;
  EXPECT_TRUE(MatchesReference(image, "grey-slab"));
}

// A sphere of radius 24 with a smooth rim (so that the gradient is defined around its
// surface) in a 64^3 volume, through a colour table of one colour, opaque from index 1500.
std::string LoadSphere(ZR_RenderScene& scene, float r, float g, float b, float alpha) {
  const int32_t dims[3] = {64, 64, 64};
  const float scale[3] = {1, 1, 1};
  const std::string error = scene.Load(dims, scale, MakeVolume(dims, [](int32_t x, int32_t y, int32_t z) {
    const double d = std::sqrt((x - 31.5) * (x - 31.5) + (y - 31.5) * (y - 31.5) + (z - 31.5) * (z - 31.5));
    return static_cast<uint16_t>(std::clamp((24.0 - d) / 4.0, 0.0, 1.0) * 3000);
  }));
  scene.renderer.SelectLutTable(true);
  float* colour = scene.shared.CurrentTable();
  for (int32_t k = 0; k < 4096; ++k) SetEntry(colour, k, r, g, b, k >= 1500 ? alpha : 0.0f);
  scene.renderer.UploadLut();
  scene.renderer.SetBlendMode(0);
  return error;
}

int64_t CountColour(const ZR_TestImage& image, uint8_t r, uint8_t g, uint8_t b) {
  int64_t count = 0;
  for (int32_t y = 0; y < image.nHeight; ++y)
    for (int32_t x = 0; x < image.nWidth; ++x) {
      const uint8_t* p = image.At(x, y);
      count += p[0] == r && p[1] == g && p[2] == b;
    }
  return count;
}

TEST(TurnedView, CompositesTheTurnedVolumeInsideItsBoundingBox) {
  LMX_REQUIRE_GL(gl);
  ZR_RenderScene scene(*gl, kSize, kSize);
  ASSERT_EQ(LoadSphere(scene, 0.9f, 0.6f, 0.3f, 0.3f), "");
  scene.shared.ResetRotation(scene.renderer, true);
  scene.shared.SetShowBox(true);
  ASSERT_TRUE(scene.MakeCurrent());
  scene.renderer.BuildBoundingBox();
  scene.Render();
  const ZR_TestImage image = scene.Read();
  // The sphere in the middle; the edges at the (-, -, -) corner in their axis colours, the
  // other nine green.
  EXPECT_GT(image.At(64, 64)[0], 200);
  EXPECT_GT(CountColour(image, 153, 0, 0), 10);
  EXPECT_GT(CountColour(image, 153, 153, 0), 10);
  EXPECT_GT(CountColour(image, 153, 0, 153), 10);
  EXPECT_GT(CountColour(image, 0, 153, 0), 50);
  EXPECT_TRUE(MatchesReference(image, "colour-turned-box"));

  // With the VOI on the box is not drawn.
  scene.shared.SetVoiEnabled(true);
  scene.shared.SetVoi(ZR_Box({64, 64, 64}, {32, 32, 32}));
  scene.Render();
  EXPECT_EQ(CountColour(scene.Read(), 0, 153, 0), 0);
}

TEST(TurnedView, TheCutPlaneClipsTheVolume) {
  LMX_REQUIRE_GL(gl);
  ZR_RenderScene scene(*gl, kSize, kSize);
  ASSERT_EQ(LoadSphere(scene, 1, 1, 1, 1), "");
  scene.shared.SetRotation(kIdentity);
  ZR_CutState& cut = scene.shared.Cut();
  cut.bOn = true;
  cut.nAxis = 2;  // the plane's normal along the view
  cut.dPosition = -30;  // the plane (0, 0, 1, position) keeps z >= 30: nothing of the sphere
  scene.Render();
  EXPECT_EQ(scene.Read().At(64, 64)[0], 0);
  cut.dPosition = 0;  // keeps the front half, whose cut face shows
  scene.Render();
  EXPECT_EQ(scene.Read().At(64, 64)[0], 255);
  cut.bOn = false;
}

class Shaded : public ::testing::Test {
 protected:
  void SetUp() override {
    if (ZR_GlTestContext* gl = ZR_GlTestContext::Get()) gl->Programs().SetShadingRequested(true);
  }
  void TearDown() override {
    if (ZR_GlTestContext* gl = ZR_GlTestContext::Get()) gl->Programs().SetShadingRequested(false);
  }
  static void Configure(ZR_RenderScene& scene) {
    // The settings' defaults.
    scene.renderer.SetBrightness(2.0f);
    scene.renderer.SetContrast(2.5f);
    scene.renderer.SetGloss(16.0f);
    scene.renderer.SelectLutTable(true);
    scene.renderer.SetBlendMode(0);
  }
};

TEST_F(Shaded, AFlatRegionIsFullyLitNotNaN) {
  LMX_REQUIRE_GL(gl);
  ZR_RenderScene scene(*gl, 32, 32);
  const int32_t dims[3] = {16, 16, 16};
  const float scale[3] = {1, 1, 1};
  ASSERT_EQ(scene.Load(dims, scale, MakeVolume(dims, [](int32_t, int32_t, int32_t) { return 1000; })), "");
  Configure(scene);
  float* colour = scene.shared.CurrentTable();
  SetEntry(colour, 1000, 0.5f, 0.5f, 0.5f, 1.0f);  // every other entry transparent
  scene.renderer.UploadLut();
  scene.Render();
  const ZR_TestImage image = scene.Read();
  // No gradient: lum = 1, so clamp(2.5 x (0.5 - 0.5) + 2 / 2) = 1 in every channel.
  for (int32_t c = 0; c < 3; ++c) EXPECT_EQ(image.At(16, 16)[c], 255) << "channel " << c;
}

TEST_F(Shaded, ASphereIsLitByTheHeadLight) {
  LMX_REQUIRE_GL(gl);
  ZR_RenderScene scene(*gl, kSize, kSize);
  ASSERT_EQ(LoadSphere(scene, 0.8f, 0.5f, 0.3f, 1.0f), "");
  Configure(scene);
  scene.Render();
  const ZR_TestImage image = scene.Read();
  // Facing the viewer the surface is lit; its silhouette, seen edge on, is darker.
  EXPECT_GT(image.At(64, 64)[0], 200);
  int32_t darkest = 255;
  for (int32_t i = 0; i < kSize; ++i) {
    const uint8_t* p = image.At(i, 64);
    if (p[3] > 0) darkest = std::min<int32_t>(darkest, p[0]);
  }
  EXPECT_LT(darkest, image.At(64, 64)[0]);
  EXPECT_TRUE(MatchesReference(image, "shaded-sphere"));

  // Shading only applies to the full copy: an interactive frame is the plain lookup.
  scene.SelectCopy(true);
  scene.Render();
  EXPECT_EQ(scene.Read().At(64, 64)[0], Quantized(0.8f));
}

// --- Slices -----------------------------------------------------------------------------------

// 128 x 128 x 33: a varying background and three markers that tell the axes apart.
class Phantom : public ::testing::Test {
 protected:
  static constexpr int32_t kDims[3] = {128, 128, 33};
  static uint16_t Value(int32_t x, int32_t y, int32_t z) {
    if (Inside(x, 8, 24) && Inside(y, 8, 24) && Inside(z, 4, 12)) return 1000;       // A
    if (Inside(x, 100, 120) && Inside(y, 8, 24) && Inside(z, 20, 30)) return 2000;   // B
    if (Inside(x, 8, 24) && Inside(y, 100, 120) && Inside(z, 20, 30)) return 3000;   // C
    return static_cast<uint16_t>(1 + (x * 5 + y * 11 + z * 3) % 900);
  }
  // Every entry a different colour, exact in 8 bits; entry 0 transparent.
  static void CodeColours(float* table) {
    for (int32_t k = 0; k < 4096; ++k)
      SetEntry(table, k, static_cast<float>(k % 16 * 17) / 255.0f,
               static_cast<float>(k / 16 % 16 * 17) / 255.0f, static_cast<float>(k / 256 * 17) / 255.0f,
               k > 0 ? 1.0f : 0.0f);
  }
  void Load(ZR_RenderScene& scene) {
    const float scale[3] = {1, 1, 1};
    ASSERT_EQ(scene.Load(kDims, scale, MakeVolume(kDims, Value)), "");
    scene.renderer.SelectLutTable(true);
    CodeColours(scene.shared.CurrentTable());
    scene.renderer.UploadLut();
  }
  static void ExpectEntry(const ZR_TestImage& image, int32_t x, int32_t y, int32_t entry,
                          const char* label) {
    const uint8_t expected[3] = {static_cast<uint8_t>(entry % 16 * 17),
                                 static_cast<uint8_t>(entry / 16 % 16 * 17),
                                 static_cast<uint8_t>(entry / 256 * 17)};
    for (int32_t c = 0; c < 3; ++c)
      EXPECT_EQ(image.At(x, y)[c], expected[c]) << label << " at (" << x << ", " << y << ") channel " << c;
  }
  // Image pixels that differ from the middle slice z through the table.
  static int64_t DifferencesFromSlice(const ZR_TestImage& image, int32_t z) {
    int64_t differing = 0;
    for (int32_t y = 0; y < kSize; ++y)
      for (int32_t x = 0; x < kSize; ++x) {
        const int32_t entry = Value(x, y, z);
        const uint8_t* p = image.At(x, y);
        differing += std::abs(p[0] - entry % 16 * 17) > 1 || std::abs(p[1] - entry / 16 % 16 * 17) > 1 ||
                     std::abs(p[2] - entry / 256 * 17) > 1;
      }
    return differing;
  }
  static ZR_OrthoViews Views(float x, float y, float zFraction, bool crosshair) {
    ZR_OrthoViews views;
    views.afSlice[0] = x;
    views.afSlice[1] = y;
    views.afSlice[2] = zFraction;
    for (bool& on : views.abCrosshair) on = crosshair;
    return views;
  }
  ZR_TestImage DrawOrtho(ZR_RenderScene& scene, int32_t axis, const ZR_OrthoViews& views) {
    EXPECT_TRUE(scene.MakeCurrent());
    scene.renderer.DrawOrthoSlice(axis, axis + 1, views);
    return scene.Read();
  }
  // Offsets that put a slice through the centres of voxel column x = 16, row y = 16 and
  // slice z = 8.
  const float kX16 = 16.5f / 128 - 0.5f;
  const float kY16 = 16.5f / 128 - 0.5f;
  const float kZ8 = (8.5f - 16.5f) / 128;
};

TEST_F(Phantom, AnAxialSliceAtTheCentreIsTheMiddleSliceThroughTheTable) {
  LMX_REQUIRE_GL(gl);
  ZR_RenderScene scene(*gl, kSize, kSize);
  Load(scene);
  const ZR_TestImage image = DrawOrtho(scene, 2, Views(0, 0, 0, false));
  EXPECT_EQ(DifferencesFromSlice(image, 16), 0);
}

TEST_F(Phantom, TheThreeOrthogonalSlicesShowTheMarkersWhereTheAxesPutThem) {
  LMX_REQUIRE_GL(gl);
  ZR_RenderScene scene(*gl, kSize, kSize);
  Load(scene);
  // Sagittal through x = 16: y across (low y left), z upwards; the 33 slices fill rows
  // 47.5 .. 80.5, so slice z is at row 80.5 - z - 0.5.
  ZR_TestImage sagittal = DrawOrtho(scene, 0, Views(kX16, kY16, kZ8, false));
  ExpectEntry(sagittal, 16, 72, 1000, "sagittal A");
  ExpectEntry(sagittal, 110, 55, 3000, "sagittal C");
  // Coronal through y = 16: x across, z upwards.
  ZR_TestImage coronal = DrawOrtho(scene, 1, Views(kX16, kY16, kZ8, false));
  ExpectEntry(coronal, 16, 72, 1000, "coronal A");
  ExpectEntry(coronal, 110, 55, 2000, "coronal B");
  // Axial through z = 8: x across, y downwards (row 0 at the top).
  ZR_TestImage axial = DrawOrtho(scene, 2, Views(kX16, kY16, kZ8, false));
  ExpectEntry(axial, 16, 16, 1000, "axial A");
  EXPECT_EQ(DifferencesFromSlice(axial, 8), 0);

  // With the crosshairs: the lines cross where the other two slices are.
  const char* names[3] = {"ortho-sagittal", "ortho-coronal", "ortho-axial"};
  for (int32_t axis = 0; axis < 3; ++axis) {
    const ZR_TestImage image = DrawOrtho(scene, axis, Views(kX16, kY16, kZ8, true));
    const float* at = scene.renderer.Crosshair(axis);
    const int32_t x = static_cast<int32_t>(std::floor(at[0] + 64));
    const int32_t y = static_cast<int32_t>(std::floor(at[1] + 64));
    const uint8_t* p = image.At(x, y);
    EXPECT_EQ(p[0], 0) << names[axis];
    EXPECT_EQ(p[1], 255) << names[axis];
    EXPECT_EQ(p[2], 255) << names[axis];
    EXPECT_TRUE(MatchesReference(image, names[axis]));
  }
  const float* sagittalCross = scene.renderer.Crosshair(0);
  EXPECT_FLOAT_EQ(sagittalCross[0], -47.5f);  // the coronal slice, y = 16
  EXPECT_FLOAT_EQ(sagittalCross[1], 8.0f);    // the axial slice, z = 8 (below the centre)
}

TEST_F(Phantom, AnAxialObliqueSliceAtTheCentreIsTheMiddleSlice) {
  LMX_REQUIRE_GL(gl);
  ZR_RenderScene scene(*gl, kSize, kSize);
  Load(scene);
  ASSERT_TRUE(scene.MakeCurrent());
  ZR_ObliqueView view;  // position 0, identity orientation
  EXPECT_TRUE(scene.renderer.DrawObliqueSlice(view, false));
  EXPECT_EQ(DifferencesFromSlice(scene.Read(), 16), 0);
}

TEST_F(Phantom, AnObliqueSliceInTheSagittalFrameIsTheSagittalSlice) {
  LMX_REQUIRE_GL(gl);
  ZR_RenderScene scene(*gl, kSize, kSize);
  Load(scene);
  const ZR_TestImage ortho = DrawOrtho(scene, 0, Views(kX16, 0, 0, false));
  ZR_ObliqueView view;
  view.oPlane.afPosition[0] = 16.5f - 64;
  const float frame[16] = {0, 1, 0, 0, 0, 0, -1, 0, -1, 0, 0, 0, 0, 0, 0, 1};  // right, up, normal
  std::copy_n(frame, 16, view.oPlane.afRotation);
  ASSERT_TRUE(scene.MakeCurrent());
  scene.renderer.DrawObliqueSlice(view, false);
  EXPECT_EQ(ZR_ImageCompare::Differing(scene.Read(), ortho, 1), 0);
}

TEST_F(Phantom, ADoubleObliqueSliceWithItsActiveFrame) {
  LMX_REQUIRE_GL(gl);
  ZR_RenderScene scene(*gl, kSize, kSize);
  Load(scene);
  ZR_ObliqueView view;
  view.oPlane.afPosition[0] = 5;
  view.oPlane.afPosition[1] = -3;
  view.oPlane.afPosition[2] = 2;
  (ZR_Matrix4::Rotation(30, 1, 0, 0) * ZR_Matrix4::Rotation(20, 0, 1, 0)).ToFloats(view.oPlane.afRotation);
  ASSERT_TRUE(scene.MakeCurrent());
  EXPECT_TRUE(scene.renderer.DrawObliqueSlice(view, true));
  const ZR_TestImage image = scene.Read();
  // The red frame runs one unit inside the edge.
  bool red = false;
  for (int32_t x = 0; x < 3; ++x) red |= image.At(x, 64)[0] == 255 && image.At(x, 64)[1] == 0;
  EXPECT_TRUE(red);
  EXPECT_TRUE(MatchesReference(image, "oblique-double"));
}

TEST_F(Phantom, TheAtiPathDrawsWhatTheArbPathDraws) {
  LMX_REQUIRE_GL(gl);
  ZR_RenderScene scene(*gl, kSize, kSize);
  Load(scene);
  // The same driver, told it has no ARB fragment programs: detection takes the ATI path.
  ZR_RecordingGl recorder(&gl->Gl());
  recorder.extensions = "GL_EXT_blend_minmax GL_EXT_texture3D GL_ARB_multitexture "
                        "GL_ARB_pixel_buffer_object GL_ATI_fragment_shader";
  ZR_GpuPrograms ati;
  ASSERT_EQ(ati.DetectCapabilities(recorder.Table()), 0);
  ASSERT_EQ(ati.DetectedPath(), ZR_GpuPrograms::kAtiShader);
  scene.shared.AttachGl(&recorder.Table(), &ati);
  ASSERT_TRUE(scene.MakeCurrent());
  scene.renderer.DrawObliqueSlice(ZR_ObliqueView{}, false);
  const ZR_TestImage image = scene.Read();
  EXPECT_FALSE(recorder.CallsTo("glBindFragmentShaderATI").empty());
  EXPECT_TRUE(recorder.CallsTo("glBindProgramARB").empty());
  scene.shared.AttachGl(&gl->Gl(), &gl->Programs());
  ati.DeletePrograms();
  EXPECT_EQ(DifferencesFromSlice(image, 16), 0);
}

}  // namespace
