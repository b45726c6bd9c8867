// What the 3D view shows with the VOI box and the cut plane, against the rays through the
// volume clipped where the box and the plane say (worked out from the geometry alone): a lit
// pixel beyond a clip plane, or a dark one inside what is kept, is a fault.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "core/ZR_Ids.h"
#include "render/ZR_Matrix4.h"
#include "tests/manager/ZR_MprTestManager.h"
#include "tests/support/ZR_RayProjection.h"
#include "tests/support/ZR_TestVolume.h"

namespace {
using Box = ZR_RayProjection::Box;

// 48 x 40 x 32 voxels, slices 1.25 apart: extents 48, 40, 40, all of it bright.
constexpr int32_t kDims[3] = {48, 40, 32};
constexpr float kScale[3] = {1, 1, 1.25f};

class CutVoiImages : public ZR_MprFixture {
 protected:
  void SetUp() override {
    Start(kDims, kScale, ZR_TestVolume::Make(kDims, [](int32_t, int32_t, int32_t) { return uint16_t{4000}; }));
    settings.Display().showBoundingBox = false;
    settings.CutPlane().showCutPlane = false;  // the translucent square would light the removed side
    manager->ApplySetting(1);
    manager->ApplySetting(5);
    manager->Show3DScreen();
    // Everything from half the values up is white and opaque; maximum intensity, so a pixel is
    // lit exactly where its ray meets a voxel that is kept.
    float* table = shared.CurrentTable();
    for (int32_t k = 0; k < 4096; ++k)
      for (int32_t c = 0; c < 4; ++c) table[4 * k + c] = k >= 2048 ? 1.0f : 0.0f;
    manager->TextureRenderer().UploadLut();
    manager->TextureRenderer().SetBlendMode(2);
    shared.ResetWindow(*manager->CurrentRenderer());
  }

  // The volume's box in centred model units, cut to [low, high] along each axis.
  static Box Kept(const double low[3], const double high[3]) {
    Box b{};
    for (int32_t k = 0; k < 3; ++k) {
      const double e = kDims[k] * kScale[k];
      b.afLow[k] = std::max(-e / 2, low[k]);
      b.afHigh[k] = std::min(e / 2, high[k]);
    }
    return b;
  }

  // Renders panel 0 through each view and counts the pixels that disagree with the boxes.
  // The default views: the standard slant of the 3D view and one turned about two axes.
  static std::vector<ZR_Matrix4> Views() {
    return {ZR_Matrix4::Rotation(15, 0, 1, 0) * ZR_Matrix4::Rotation(-75, 1, 0, 0),
            ZR_Matrix4::Rotation(-35, 1, 0, 0) * ZR_Matrix4::Rotation(50, 0, 0, 1)};
  }
  void Expect(const std::vector<Box>& boxes, const char* what, const std::vector<ZR_Matrix4>& views = Views()) {
    for (const ZR_Matrix4& view : views) {
      float rotation[16];
      view.ToFloats(rotation);
      shared.SetRotation(rotation);
      manager->SelectQuality(0, true);
      manager->RedrawPanel(0);
      const ZR_TestImage image = Read(0);
      const std::vector<uint8_t> expected = ZR_RayProjection::Project(shared, kPanel, kPanel, boxes);
      int64_t wrong = 0, lit = 0, certain = 0;
      for (int32_t j = 0; j < kPanel; ++j)
        for (int32_t i = 0; i < kPanel; ++i) {
          const bool on = image.At(i, j)[0] > 127;
          const uint8_t e = expected[static_cast<size_t>(j) * kPanel + i];
          lit += on;
          certain += e == ZR_RayProjection::kHit;
          if (e != ZR_RayProjection::kEdge && on != (e == ZR_RayProjection::kHit)) ++wrong;
        }
      EXPECT_EQ(wrong, 0) << what << ": " << lit << " lit, " << certain << " certainly lit";
      if (wrong && getenv("LMX_DUMP"))
        for (int32_t j = 0; j < kPanel; ++j) {
          std::string row;
          for (int32_t i = 0; i < kPanel; ++i) {
            const bool on = image.At(i, j)[0] > 127;
            const uint8_t e = expected[static_cast<size_t>(j) * kPanel + i];
            row += e == ZR_RayProjection::kEdge ? (on ? 'e' : '.') : on == (e == ZR_RayProjection::kHit) ? (on ? '#' : ' ') : (on ? 'X' : 'o');
          }
          std::printf("%s\n", row.c_str());
        }
      EXPECT_GT(certain, 0) << what;
    }
  }
};

constexpr double kFar = 1e9;

TEST_F(CutVoiImages, TheVoiShowsOnlyWhatLiesInsideTheBox) {
  manager->Command(ZR_Ctl::Sbtn_Voi, std::array<uint8_t, 1>{1}.data());
  // Centre (20, 24, 12), size (16, 12, 8) voxels: x 12..28, y 18..30, z 8..16 slices.
  ASSERT_TRUE(manager->SetVoi({16, 12, 8}, {20, 24, 12}));
  const double low[3] = {12 - 24.0, 18 - 20.0, 8 * 1.25 - 20}, high[3] = {28 - 24.0, 30 - 20.0, 16 * 1.25 - 20};
  Expect({Kept(low, high)}, "VOI");
}

TEST_F(CutVoiImages, TheCutViewRemovesEverythingBehindThePlane) {
  manager->SetCutView(true);
  // The plane at 6 units along the frame's y, kept on the positive side: y >= -6.
  shared.Cut().dPosition = 6;
  const double low[3] = {-kFar, -6, -kFar}, high[3] = {kFar, kFar, kFar};
  Expect({Kept(low, high)}, "cut");
}

TEST_F(CutVoiImages, WithBothOnTheSlabCutTakesTheVoisZFaces) {
  settings.CutPlane().slab = true;
  settings.CutPlane().slabWidth = 10;
  manager->ApplySetting(7);
  manager->SetCutView(true);
  shared.SetSlabThickness(10);
  shared.Cut().dPosition = 4;
  manager->Command(ZR_Ctl::Sbtn_Voi, std::array<uint8_t, 1>{1}.data());
  ASSERT_TRUE(manager->SetVoi({32, 30, 8}, {24, 20, 16}));
  // x and y from the box (x 8..40, y 5..35), z from the volume; the slab y in -4..6.
  const double low[3] = {8 - 24.0, std::max(5 - 20.0, -4.0), -kFar};
  const double high[3] = {40 - 24.0, std::min(35 - 20.0, 6.0), kFar};
  Expect({Kept(low, high)}, "VOI and slab cut");
}

TEST_F(CutVoiImages, TheCutFollowsThePlaneOfAnMprView) {
  // The axial view moved 5 mm along its normal; the 3D view is cut by it, keeping the side
  // its normal points to. An axial plane bounds z alone, so what is kept is a box.
  manager->ShowMprScreen();
  manager->MoveMprView(6, 5);
  const MprViewInfo& view = manager->MprView(6);
  const float* n = view.Axis(2);
  ASSERT_NEAR(std::fabs(n[2]), 1, 1e-6);
  const double z = view.Position()[2];
  ASSERT_NE(z, 0);
  manager->Show3DScreen();
  shared.ResetWindow(*manager->CurrentRenderer());
  manager->SetCutView(true);
  manager->AlignCutPlaneToMprView(6);
  const double low[3] = {-kFar, -kFar, n[2] > 0 ? z : -kFar}, high[3] = {kFar, kFar, n[2] > 0 ? kFar : z};
  // Not the standard slant: it shows the axial cut face at a grazing 15 degrees, where the
  // sliver of volume next to the face is thinner than the slices sample.
  Expect({Kept(low, high)}, "cut by the axial view",
         {ZR_Matrix4::Rotation(-40, 1, 0, 0) * ZR_Matrix4::Rotation(25, 0, 1, 0), Views()[1]});
}
}  // namespace

namespace {
int64_t LitPixels(const ZR_TestImage& image) {
  int64_t lit = 0;
  for (int32_t j = 0; j < image.nHeight; ++j)
    for (int32_t i = 0; i < image.nWidth; ++i) lit += image.At(i, j)[0] > 127 && image.At(i, j)[2] > 127;
  return lit;
}

// Panel 8 with cutaway correlation keeps one side of the plane it shows, and with a slab
// layout only the slab around it.
TEST_F(CutVoiImages, CutawayCorrelationCutsTheMprScreens3dView) {
  manager->ShowMprScreen();
  float rotation[16];
  (ZR_Matrix4::Rotation(-40, 1, 0, 0) * ZR_Matrix4::Rotation(25, 0, 1, 0)).ToFloats(rotation);
  shared.SetRotation(rotation);
  shared.ResetWindow(*manager->CurrentRenderer());
  manager->RedrawPanel(ZR_Panel::MprView3D);
  const int64_t whole = LitPixels(Read(ZR_Panel::MprView3D));
  manager->SetCutaway(true);
  const int64_t half = LitPixels(Read(ZR_Panel::MprView3D));
  manager->Command(ZR_Ctl::Sbtn_Slab);
  const float mm = 4;
  manager->Command(ZR_Ctl::Ed_SlabSize, &mm);
  const int64_t slab = LitPixels(Read(ZR_Panel::MprView3D));
  EXPECT_GT(whole, 0);
  EXPECT_LT(half, whole);
  EXPECT_GT(half, 0);
  EXPECT_LT(slab, half);
  EXPECT_GT(slab, 0);
  // The 3D view's own cut is left as it was.
  EXPECT_FALSE(shared.Cut().bOn);
}
}  // namespace
