// Nothing is drawn outside the scanned volume: every slice the renderer draws is cut to the
// volume's box, in the 3D view, the MPR views and the orthogonal slices. The expectations are
// computed here from the voxels (which bright voxels a ray or a plane meets), not taken from
// earlier pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <vector>

#include "render/ZR_Matrix4.h"
#include "render/ZR_SliceClipper.h"
#include "render/ZR_Texture3dRenderer.h"
#include "tests/support/ZR_GlTestContext.h"
#include "tests/support/ZR_RayProjection.h"
#include "tests/support/ZR_RenderScene.h"
#include "tests/support/ZR_TestVolume.h"

namespace {

// --- The clipper on its own -------------------------------------------------------------------

ZR_ClipVertex Vertex(double x, double y, double z) { return {{x, y, z}, {x, y, z}}; }

TEST(SliceClipper, CutsAPlaneToTheBoxWithTheTextureCoordinatesItHadThere) {
  const ZR_SliceClipper clipper{ZR_Matrix4()};  // texture = position, the unit cube
  ZR_ClipVertex out[ZR_SliceClipper::kMaxVertices];
  struct Case {
    const char* what;
    ZR_ClipVertex square[4];
    int32_t corners;
  };
  const Case cases[] = {
      {"a square around the box, at half depth", {Vertex(-1, -1, 0.5), Vertex(2, -1, 0.5), Vertex(2, 2, 0.5), Vertex(-1, 2, 0.5)}, 4},
      {"a square beside the box", {Vertex(1.5, -1, 0.5), Vertex(3, -1, 0.5), Vertex(3, 2, 0.5), Vertex(1.5, 2, 0.5)}, 0},
      {"a square in front of the box", {Vertex(-1, -1, 1.5), Vertex(2, -1, 1.5), Vertex(2, 2, 1.5), Vertex(-1, 2, 1.5)}, 0},
  };
  for (const Case& c : cases) {
    const int32_t n = clipper.Clip(c.square, 4, out);
    EXPECT_EQ(n, c.corners) << c.what;
    for (int32_t k = 0; k < n; ++k)
      for (int axis = 0; axis < 3; ++axis) {
        EXPECT_GE(out[k].afTexture[axis], -1e-12) << c.what;
        EXPECT_LE(out[k].afTexture[axis], 1 + 1e-12) << c.what;
        EXPECT_DOUBLE_EQ(out[k].afTexture[axis], out[k].afPosition[axis]) << c.what;
      }
  }
}

TEST(SliceClipper, APlaneAcrossTheDiagonalCutsAHexagonAndNearACornerATriangle) {
  // Texture coordinates turned so that the slice plane z = d cuts the cube across its
  // diagonal: the box seen along (1, 1, 1).
  const ZR_Matrix4 turn = ZR_Matrix4::Translation(0.5, 0.5, 0.5) * ZR_Matrix4::Rotation(54.7356103, -1, 1, 0) *
                          ZR_Matrix4::Translation(-0.5, -0.5, -0.5);
  const ZR_SliceClipper clipper(turn);
  ZR_ClipVertex out[ZR_SliceClipper::kMaxVertices];
  auto cut = [&](double z) {
    ZR_ClipVertex square[4] = {Vertex(-2, -2, z), Vertex(3, -2, z), Vertex(3, 3, z), Vertex(-2, 3, z)};
    return clipper.Clip(square, 4, out);
  };
  const double half = std::sqrt(3.0) / 2;
  EXPECT_EQ(cut(0.5), 6);                    // through the centre
  EXPECT_EQ(cut(0.5 + half - 0.05), 3);      // just before the far corner
  EXPECT_EQ(cut(0.5 + half + 0.05), 0);      // beyond it
  // Every corner of the hexagon lies on the box and on the plane.
  const int32_t n = cut(0.5);
  for (int32_t k = 0; k < n; ++k) {
    const auto t = clipper.InTexture(out[k].afTexture);
    const double onFace = std::min({t[0], t[1], t[2], 1 - t[0], 1 - t[1], 1 - t[2]});
    EXPECT_NEAR(onFace, 0, 1e-9);
    EXPECT_DOUBLE_EQ(out[k].afPosition[2], 0.5);
  }
}

// --- Pictures ---------------------------------------------------------------------------------

constexpr int32_t kSize = 256;
constexpr int32_t kDims[3] = {128, 128, 64};
constexpr uint16_t kBright = 4000;

// The plate (the whole first slice) and a small cube in the middle.
bool Bright(int32_t x, int32_t y, int32_t z) {
  const bool cube = x >= 60 && x < 68 && y >= 60 && y < 68 && z >= 28 && z < 36;
  return z == 0 || cube;
}

// A table that lights the upper half of the values: a sample is lit where the linear
// interpolation between a bright voxel and a dark one is at least half, that is inside the
// union of the bright voxels' boxes (each voxel covering [i, i + 1] in extent units).
void ThresholdTable(ZR_RenderScene& scene, bool colour) {
  scene.renderer.SelectLutTable(colour);
  float* table = scene.shared.CurrentTable();
  for (int32_t k = 0; k < 4096; ++k) {
    const bool lit = k >= 2048;
    for (int c = 0; c < 3; ++c) table[4 * k + c] = lit ? 1.0f : 0.0f;
    table[4 * k + 3] = lit ? 1.0f : 0.0f;
  }
  scene.renderer.UploadLut();
}

void LoadPlate(ZR_RenderScene& scene) {
  const float scale[3] = {1, 1, 1};
  ASSERT_EQ(scene.Load(kDims, scale, ZR_TestVolume::Make(kDims, [](int32_t x, int32_t y, int32_t z) {
              return Bright(x, y, z) ? kBright : uint16_t{0};
            })),
            "");
}

// Extent-unit boxes of the bright parts, centred on the volume as the renderer centres it.
std::vector<ZR_RayProjection::Box> BrightBoxes() {
  const double c[3] = {kDims[0] / 2.0, kDims[1] / 2.0, kDims[2] / 2.0};
  return {ZR_RayProjection::Box{{0 - c[0], 0 - c[1], 0 - c[2]}, {128 - c[0], 128 - c[1], 1 - c[2]}},
          ZR_RayProjection::Box{{60 - c[0], 60 - c[1], 28 - c[2]}, {68 - c[0], 68 - c[1], 36 - c[2]}}};
}

struct Comparison {
  int64_t wrong = 0;     // lit where nothing is, or dark where something is
  int64_t lit = 0;       // lit pixels in the picture
  int64_t expected = 0;  // pixels certainly lit
};

Comparison Compare(const ZR_TestImage& image, const std::vector<uint8_t>& expected) {
  Comparison c;
  for (int32_t j = 0; j < kSize; ++j)
    for (int32_t i = 0; i < kSize; ++i) {
      const bool on = image.At(i, j)[0] > 127;
      const uint8_t e = expected[static_cast<size_t>(j) * kSize + i];
      c.lit += on;
      c.expected += e == ZR_RayProjection::kHit;
      if (e != ZR_RayProjection::kEdge && on != (e == ZR_RayProjection::kHit)) ++c.wrong;
    }
  return c;
}

// The plate seen edge-on and at a slant, in maximum intensity and in compositing: lit are
// exactly the pixels whose ray meets a bright voxel.
TEST(VolumeBox, The3DViewShowsOnlyWhatTheRaysThroughTheVoxelsMeet) {
  LMX_REQUIRE_GL(gl);
  ZR_RenderScene scene(*gl, kSize, kSize);
  LoadPlate(scene);
  struct View {
    const char* what;
    ZR_Matrix4 rotation;
  };
  const View views[] = {
      {"edge-on", ZR_Matrix4::Rotation(90, 1, 0, 0)},
      {"edge-on, turned about the view axis", ZR_Matrix4::Rotation(30, 0, 0, 1) * ZR_Matrix4::Rotation(90, 1, 0, 0)},
      {"slanted", ZR_Matrix4::Rotation(15, 0, 1, 0) * ZR_Matrix4::Rotation(-75, 1, 0, 0)},
  };
  for (const int32_t mode : {2, 0}) {
    ThresholdTable(scene, mode == 0);
    scene.renderer.SetBlendMode(mode);
    for (const View& v : views) {
      float rotation[16];
      v.rotation.ToFloats(rotation);
      scene.shared.SetRotation(rotation);
      scene.Render();
      const Comparison c = Compare(scene.Read(), ZR_RayProjection::Project(scene.shared, kSize, kSize, BrightBoxes()));
      EXPECT_EQ(c.wrong, 0) << v.what << ", blend mode " << mode << ": " << c.lit << " lit, " << c.expected
                            << " certainly lit";
      EXPECT_GT(c.expected, 0) << v.what;
    }
  }
}

// An MPR plane: the panel shows the trilinear sample of the voxels where the plane meets
// the volume, and black everywhere else.
TEST(VolumeBox, AnMprViewIsBlackWhereItsPlaneLeavesTheVolume) {
  LMX_REQUIRE_GL(gl);
  ZR_RenderScene scene(*gl, 128, 128);
  LoadPlate(scene);
  ThresholdTable(scene, true);
  // Sagittal through x = 64.5: y across, z upwards (right, up, normal).
  ZR_ObliqueView view;
  view.oPlane.afPosition[0] = 0.5f;
  const float frame[16] = {0, 1, 0, 0, 0, 0, -1, 0, -1, 0, 0, 0, 0, 0, 0, 1};
  std::copy_n(frame, 16, view.oPlane.afRotation);
  ASSERT_TRUE(scene.MakeCurrent());
  scene.renderer.DrawObliqueSlice(view, false);
  const ZR_TestImage image = scene.Read();
  // The panel spans the largest extent (128) at one unit a pixel; the volume's 64 slices
  // are rows 32..95, the plate (slice 0) the lowest of them as z runs upwards.
  int64_t wrong = 0;
  for (int32_t row = 0; row < 128; ++row)
    for (int32_t column = 0; column < 128; ++column) {
      const double z = 95.5 - row;  // slice coordinate of the pixel's centre, 0 at the plate
      const double y = column + 0.5;
      const bool plate = z >= 0 && z < 1;
      const bool cube = z > 28 && z < 36 && y > 60 && y < 68;
      const bool on = image.At(column, row)[0] > 127;
      if (on != (plate || cube)) ++wrong;
    }
  EXPECT_EQ(wrong, 0);
  for (int32_t row : {100, 110, 127}) EXPECT_EQ(image.At(64, row)[0], 0) << "below the volume, row " << row;
}

TEST(VolumeBox, AnOrthogonalSliceIsBlackAboveAndBelowTheVolume) {
  LMX_REQUIRE_GL(gl);
  ZR_RenderScene scene(*gl, 128, 128);
  LoadPlate(scene);
  ThresholdTable(scene, true);
  ZR_OrthoViews views;
  for (bool& on : views.abCrosshair) on = false;
  for (int32_t axis : {0, 1}) {
    ASSERT_TRUE(scene.MakeCurrent());
    scene.renderer.DrawOrthoSlice(axis, axis + 1, views);
    const ZR_TestImage image = scene.Read();
    int64_t litOutside = 0, litPlate = 0;
    for (int32_t row = 0; row < 128; ++row)
      for (int32_t column = 0; column < 128; ++column) {
        const bool on = image.At(column, row)[0] > 127;
        if (row < 32 || row >= 96) litOutside += on;
        if (row == 95) litPlate += on;
      }
    EXPECT_EQ(litOutside, 0) << "axis " << axis;
    EXPECT_EQ(litPlate, 128) << "axis " << axis;
  }
}

}  // namespace

// --- Rows of another spacing ------------------------------------------------------------------

namespace {

// A ball of radius 20 mm in the middle of a 64 x 128 x 64 mm block, sampled at 1 mm (64 x
// 128 x 64 voxels) and with rows 2 mm apart (64 x 64 x 64 voxels): both must show the same
// round ball, in the MPR views and in 3D.
std::vector<uint16_t> Ball(const int32_t dims[3], double rowSpacing) {
  return ZR_TestVolume::Make(dims, [rowSpacing](int32_t x, int32_t y, int32_t z) {
    const double px = x + 0.5 - 32, py = (y + 0.5) * rowSpacing - 64, pz = z + 0.5 - 32;
    return px * px + py * py + pz * pz <= 20.0 * 20.0 ? kBright : uint16_t{0};
  });
}

int64_t Differing(const ZR_TestImage& a, const ZR_TestImage& b) {
  int64_t n = 0;
  for (int32_t y = 0; y < a.nHeight; ++y)
    for (int32_t x = 0; x < a.nWidth; ++x) n += (a.At(x, y)[0] > 127) != (b.At(x, y)[0] > 127);
  return n;
}

int64_t Lit(const ZR_TestImage& a) {
  int64_t n = 0;
  for (int32_t y = 0; y < a.nHeight; ++y)
    for (int32_t x = 0; x < a.nWidth; ++x) n += a.At(x, y)[0] > 127;
  return n;
}

}  // namespace

TEST(RowSpacing, ABallSampledWithRowsTwiceAsFarApartIsShownAsTheSameBall) {
  LMX_REQUIRE_GL(gl);
  const int32_t fine[3] = {64, 128, 64}, coarse[3] = {64, 64, 64};
  const float fineScale[3] = {1, 1, 1}, coarseScale[3] = {1, 2, 1};
  struct Pictures {
    ZR_TestImage axial, sagittal, mip;
    double mipPixel = 1;  // units a pixel of the 3D view
  };
  auto draw = [&](const int32_t* dims, const float* scale, double rowSpacing) {
    ZR_RenderScene scene(*gl, 128, 128);
    EXPECT_EQ(scene.Load(dims, scale, Ball(dims, rowSpacing)), "");
    ThresholdTable(scene, true);
    Pictures p;
    ZR_ObliqueView axial;
    EXPECT_TRUE(scene.MakeCurrent());
    scene.renderer.DrawObliqueSlice(axial, false);
    p.axial = scene.Read();
    ZR_ObliqueView sagittal;
    const float frame[16] = {0, 1, 0, 0, 0, 0, -1, 0, -1, 0, 0, 0, 0, 0, 0, 1};
    std::copy_n(frame, 16, sagittal.oPlane.afRotation);
    EXPECT_TRUE(scene.MakeCurrent());
    scene.renderer.DrawObliqueSlice(sagittal, false);
    p.sagittal = scene.Read();
    scene.renderer.SetBlendMode(2);
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    scene.shared.SetRotation(identity);
    scene.Render();
    p.mip = scene.Read();
    p.mipPixel = (scene.shared.Window()[1] - scene.shared.Window()[0]) / 128.0;
    return p;
  };
  const Pictures a = draw(fine, fineScale, 1.0);
  const Pictures b = draw(coarse, coarseScale, 2.0);
  // The ball's cross-section and its projection: a disc of radius 20 units, pi 400 square
  // units (the MPR panel spans the 128 mm block at one unit a pixel, the 3D view its bounding
  // sphere); the coarse rows move its edge by up to a row.
  ASSERT_DOUBLE_EQ(a.mipPixel, b.mipPixel);
  const double disc = 3.14159265 * 400;
  for (const auto& [what, fineImage, coarseImage, pixel] :
       {std::tuple{"axial", &a.axial, &b.axial, 1.0}, std::tuple{"sagittal", &a.sagittal, &b.sagittal, 1.0},
        std::tuple{"MIP", &a.mip, &b.mip, a.mipPixel}}) {
    const double expected = disc / (pixel * pixel);
    EXPECT_NEAR(static_cast<double>(Lit(*fineImage)), expected, expected * 0.06) << what;
    EXPECT_NEAR(static_cast<double>(Lit(*coarseImage)), expected, expected * 0.1) << what;
    EXPECT_LT(Differing(*fineImage, *coarseImage), expected * 0.15) << what;
  }
}
