// Slabs of the software renderer: sub-planes a whole voxel apart against the voxels
// themselves, oblique slabs against the plain per-sample combination, slabs that leave the
// volume, a one-plane slab against the plane's reslice, the reported geometry, threads, and
// what the pane shows.
#include "render/ZR_SoftwareRenderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/ZR_Result.h"
#include "render/ZR_Matrix4.h"
#include "tests/support/ZR_GlTestContext.h"
#include "tests/support/ZR_RenderScene.h"
#include "tests/support/ZR_SlabReference.h"
#include "tests/support/ZR_TestVolume.h"
#include "tests/support/ZR_TestViews.h"

namespace {

constexpr int32_t kMean = 0, kMinimum = 1, kMaximum = 2;
const char* const kModeNames[] = {"mean", "minimum", "maximum"};

using ZR_TestViews::DoubleOblique;
using ZR_TestViews::View;

// The view moved by `offset` along its normal, as a slab or series step is drawn.
ZR_ObliqueView Offset(ZR_ObliqueView view, float offset) {
  view.nLayout = 2;
  view.bOffset = true;
  view.fOffset = offset;
  return view;
}

ZR_SlabSpec Spec(int32_t planes, float centre, float step, int32_t mode) {
  ZR_SlabSpec spec;
  spec.nPlanes = planes;
  spec.fCentre = centre;
  spec.fStep = step;
  spec.nMode = mode;
  return spec;
}

// Values everywhere, the volume's faces included, and changing fast in every direction, so
// that a border sample counted as 0 or a sample from the wrong place shows.
std::vector<uint16_t> Textured(const int32_t dims[3]) {
  return ZR_TestVolume::Make(dims, [](int32_t x, int32_t y, int32_t z) {
    return static_cast<uint16_t>(300 + ((x * 37 + y * 11 + z * 23) % 251) * 9);
  });
}

class SoftwareSlab : public ::testing::Test {
 protected:
  void Load(const int32_t study[3], std::vector<uint16_t> values, const float scale[3], int32_t subsample = 1) {
    m_aStudy = std::move(values);
    ZR_SliceStack stack = ZR_TestVolume::Stack(m_aStudy, study);
    stack.nSubsample = subsample;
    for (int i = 0; i < 3; ++i) dims[i] = study[i] / subsample;
    std::copy_n(scale, 3, m_aScale);
    shared.SetVoxelScale(scale[0], scale[1], scale[2]);
    shared.SetFullDimensions(dims[0], dims[1], dims[2]);
    shared.SetReducedDimensions(dims[0] / 2, dims[1] / 2, dims[2] / 2);
    shared.SelectCopy(false);
    shared.SetSliceStack(stack);
    ASSERT_EQ(renderer.LoadVolume(), VR_OK);
  }

  // Voxels from one sub-plane to the next, from the view's normal: per axis, dimension x
  // normal x largest extent / extent of the axis, times the step.
  void Shift(const ZR_ObliqueView& view, float step, double shift[3]) const {
    double extents[3], largest = 0;
    for (int i = 0; i < 3; ++i) {
      extents[i] = dims[i] * m_aScale[i];
      largest = std::max(largest, std::floor(extents[i]));
    }
    for (int i = 0; i < 3; ++i) shift[i] = dims[i] * view.oPlane.afRotation[8 + i] * largest / extents[i] * step;
  }

  ZR_ResliceReference::Result Reference(const ZR_ObliqueView& view, const ZR_SlabSpec& spec) {
    double shift[3];
    Shift(view, spec.fStep, shift);
    return ZR_SlabReference::Slab(shared.SliceStack(), dims, renderer.SetUpPlane(Offset(view, spec.fCentre)),
                                  shift, spec.nPlanes, spec.nMode, dims[0], dims[1]);
  }

  std::vector<uint16_t> Slab(const ZR_ObliqueView& view, const ZR_SlabSpec& spec) {
    const uint16_t* raw = renderer.GetRawSlab(view, spec, nullptr, nullptr);
    return {raw, raw + size_t(dims[0]) * dims[1]};
  }

  RenderShared shared;
  ZR_SoftwareRenderer renderer{shared};
  int32_t dims[3] = {0, 0, 0};
  float m_aScale[3] = {1, 1, 1};
  std::vector<uint16_t> m_aStudy;
};

// A 16-cube, an axial slab whose sub-planes lie exactly on slices: pixel (i, j) samples voxel
// (j + 1, i) of slices centre + k - (n - 1) / 2 unblended, so every pixel is the combination
// of those voxels of its column that lie inside (slices 1..14, columns and rows 1..14), or 0.
TEST_F(SoftwareSlab, SubPlanesOnSlicesCombineTheInsideVoxelsOfEachColumn) {
  const int32_t study[3] = {16, 16, 16};
  const float scale[3] = {1, 1, 1};
  auto value = [](int32_t x, int32_t y, int32_t z) {
    return static_cast<uint16_t>(100 + 3 * x + 5 * y + ((z * 7) % 11) * 40);
  };
  Load(study, ZR_TestVolume::Make(study, value), scale);
  // One unit of offset moves an axial plane 16 slices here.
  const float slice = 1.0f / 16;
  struct Case {
    const char* label;
    int32_t planes;
    float centreSlice;  // of the middle sub-plane
  } cases[] = {
      {"five slices around the middle", 5, 8},
      {"one slice", 1, 8},
      {"across the top face: slices 11..16, 11..14 inside", 6, 13.5f},
      {"across the bottom face: slices -1..5, 1..5 inside", 7, 2},
      {"wholly below the volume", 4, -1.5f},
  };
  for (const Case& c : cases) {
    for (int32_t mode : {kMean, kMinimum, kMaximum}) {
      const std::vector<uint16_t> slab = Slab(View({}), Spec(c.planes, (c.centreSlice - 8) * slice, slice, mode));
      int32_t lit = 0;
      for (int32_t i = 0; i < 16; ++i)
        for (int32_t j = 0; j < 16; ++j) {
          const int32_t x = j + 1, y = i;
          int32_t sum = 0, count = 0, low = 1 << 30, high = -1;
          for (int32_t k = 0; k < c.planes; ++k) {
            const auto z = static_cast<int32_t>(c.centreSlice + k - (c.planes - 1) / 2.0f);
            if (x < 1 || x > 14 || y < 1 || y > 14 || z < 1 || z > 14) continue;
            const int32_t v = value(x, y, z);
            sum += v;
            ++count;
            low = std::min(low, v);
            high = std::max(high, v);
          }
          const int32_t expected =
              count == 0 ? 0 : mode == kMean ? (2 * sum + count) / (2 * count) : mode == kMinimum ? low : high;
          lit += expected != 0;
          ASSERT_EQ(slab[size_t(i) * 16 + j], expected)
              << c.label << ", " << kModeNames[mode] << ", pixel row " << i << " column " << j;
        }
      EXPECT_EQ(lit, c.centreSlice > 0 ? 14 * 14 : 0) << c.label;
    }
  }
}

// Slabs of an anisotropic volume against the plain loop: planes whose rows run along x (read
// as whole runs) either way, oblique planes, sub-planes between slices, slabs partly outside
// the volume (only inside samples count), an even number of sub-planes (none at the centre),
// steps along the normal either way.
TEST_F(SoftwareSlab, SlabsMatchThePlainPerSampleCombination) {
  const int32_t study[3] = {64, 64, 48};
  const float scale[3] = {1, 1, 1.6f};
  Load(study, Textured(study), scale);
  struct Case {
    const char* label;
    ZR_ObliqueView view;
    ZR_SlabSpec spec;
  };
  const Case cases[] = {
      {"axial, between slices, a pixel more than a voxel", View({}), Spec(9, 0.013f, 0.0171f, 0)},
      {"axial from below, rows running backwards", View(ZR_Matrix4::Rotation(180, 0, 1, 0), 1.5f, -2.25f, 3),
       Spec(8, -0.06f, 0.0133f, 0)},
      {"coronal, across the back", View(ZR_Matrix4::Rotation(90, 1, 0, 0), 0, 0, 0), Spec(10, 0.38f, 0.02f, 0)},
      {"double oblique", View(DoubleOblique(), 2, -3, 1), Spec(12, 0.0f, 0.0156f, 0)},
      {"double oblique across the top", View(DoubleOblique()), Spec(24, 0.45f, 0.0125f, 0)},
      {"tilted, stepping backwards, across the bottom", View(ZR_Matrix4::Rotation(45, 1, 1, 0), 5, 5, -20),
       Spec(17, -0.2f, -0.011f, 0)},
      {"oblique, wide steps through the volume", View(DoubleOblique(), 0, 0, 4), Spec(7, 0.0f, 0.11f, 0)},
  };
  for (const Case& c : cases) {
    for (int32_t mode : {kMean, kMinimum, kMaximum}) {
      ZR_SlabSpec spec = c.spec;
      spec.nMode = mode;
      const ZR_ResliceReference::Result reference = Reference(c.view, spec);
      const std::vector<uint16_t> slab = Slab(c.view, spec);
      int32_t largest = 0;
      EXPECT_EQ(ZR_ResliceReference::Mismatches(reference, slab.data(), 1, &largest), 0)
          << c.label << ", " << kModeNames[mode] << ", largest difference " << largest;
      const auto lit = std::count_if(reference.aValues.begin(), reference.aValues.end(), [](uint16_t v) { return v; });
      EXPECT_GT(lit, 64 * 64 / 8) << c.label << ": the slab misses the volume";
    }
  }
}

// The same through the sub-sampled copy, whose columns are not adjacent values.
TEST_F(SoftwareSlab, SubSampledSlabsMatchThePlainPerSampleCombination) {
  const int32_t study[3] = {64, 64, 40};
  const float scale[3] = {1, 1, 1.25f};
  Load(study, Textured(study), scale, 2);
  for (int32_t mode : {kMean, kMinimum, kMaximum}) {
    for (const ZR_ObliqueView& view : {View({}), View(DoubleOblique(), 2, 1, -3)}) {
      const ZR_SlabSpec spec = Spec(10, 0.3f, 0.031f, mode);
      int32_t largest = 0;
      EXPECT_EQ(ZR_ResliceReference::Mismatches(Reference(view, spec), Slab(view, spec).data(), 1, &largest), 0)
          << kModeNames[mode] << ", largest difference " << largest;
    }
  }
}

// A slab of one plane at fCentre is the reslice of the view moved there, to the last bit, in
// every mode, whatever the view's own offset; its position and orientation are the plane's.
// Values over the whole 16-bit range make the last bit of a blend reach the truncated sample
// at some pixels, so a blend rounded otherwise than the plane's shows.
TEST_F(SoftwareSlab, OnePlaneIsThePlanesReslice) {
  struct Volume {
    int32_t study[3];
    float scale[3];
    int32_t subsample;
    bool wide;
  } volumes[] = {{{64, 64, 48}, {1, 1, 1.6f}, 1, false},
                 {{64, 64, 40}, {1, 1, 1.25f}, 2, false},
                 {{128, 128, 40}, {1, 1, 1.3f}, 1, true}};
  ZR_ObliqueView ownOffset = Offset(View(DoubleOblique(), 3, -2, 5), 0.07f);
  for (const Volume& v : volumes) {
    auto wide = [](int32_t x, int32_t y, int32_t z) {
      return static_cast<uint16_t>((uint32_t(x) * 7919u + uint32_t(y) * 104729u + uint32_t(z) * 1299709u) % 65521u);
    };
    Load(v.study, v.wide ? ZR_TestVolume::Make(v.study, wide) : ZR_TestVolume::Phantom(v.study), v.scale,
         v.subsample);
    struct Case {
      const char* label;
      ZR_ObliqueView view;
      float centre;
      ZR_ObliqueView plane;  // the one GetRawImage takes
    } cases[] = {
        {"axial", View({}), 0, View({})},
        {"double oblique", View(DoubleOblique()), 0, View(DoubleOblique())},
        {"through a corner", View(ZR_Matrix4::Rotation(45, 1, 1, 0), 25, 25, 30), 0,
         View(ZR_Matrix4::Rotation(45, 1, 1, 0), 25, 25, 30)},
        {"moved along the normal", View(DoubleOblique(), 3, -2, 5), 0.07f, ownOffset},
        {"the view's own offset is not the slab's", ownOffset, 0, View(DoubleOblique(), 3, -2, 5)},
        {"outside the volume", View({}, 0, 0, 200), 0, View({}, 0, 0, 200)},
    };
    for (const Case& c : cases) {
      float position[3], orientation[6];
      const uint16_t* raw = renderer.GetRawImage(c.plane, position, orientation);
      const std::vector<uint16_t> plane(raw, raw + size_t(dims[0]) * dims[1]);
      for (int32_t mode : {kMean, kMinimum, kMaximum}) {
        float slabPosition[3], slabOrientation[6];
        const uint16_t* slab = renderer.GetRawSlab(c.view, Spec(1, c.centre, 0.5f, mode), slabPosition, slabOrientation);
        const std::string label = std::string(c.label) + ", " + kModeNames[mode] + ", sub-sampling " +
                                  std::to_string(v.subsample);
        EXPECT_TRUE(std::equal(plane.begin(), plane.end(), slab)) << label;
        for (int k = 0; k < 3; ++k) EXPECT_EQ(slabPosition[k], position[k]) << label;
        for (int k = 0; k < 6; ++k) EXPECT_EQ(slabOrientation[k], orientation[k]) << label;
      }
    }
  }
}

// Pixel (0, 0) of an axial slab of the unit-spacing cube lies at voxel (1, 0, centre slice),
// whether or not a sub-plane lies there; an oblique slab reports what its centre plane does.
TEST_F(SoftwareSlab, ReportsTheCentrePlanesPositionAndOrientation) {
  const int32_t study[3] = {16, 16, 16};
  const float scale[3] = {1, 1, 1};
  Load(study, Textured(study), scale);
  for (int32_t planes : {3, 4}) {
    float position[3], orientation[6];
    (void)renderer.GetRawSlab(View({}), Spec(planes, 2.0f / 16, 1.0f / 16, kMaximum), position, orientation);
    const float expected[3] = {1, 0, 10};
    const float rows[6] = {1, 0, 0, 0, 1, 0};
    for (int k = 0; k < 3; ++k) EXPECT_FLOAT_EQ(position[k], expected[k]) << planes << " planes";
    for (int k = 0; k < 6; ++k) EXPECT_FLOAT_EQ(orientation[k], rows[k]) << planes << " planes";
  }
  const ZR_ObliqueView oblique = View(DoubleOblique(), 1, 2, 3);
  float position[3], orientation[6], slabPosition[3], slabOrientation[6];
  (void)renderer.GetRawImage(Offset(oblique, -0.1f), position, orientation);
  (void)renderer.GetRawSlab(oblique, Spec(6, -0.1f, 0.04f, kMean), slabPosition, slabOrientation);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(slabPosition[k], position[k]);
  for (int k = 0; k < 6; ++k) EXPECT_EQ(slabOrientation[k], orientation[k]);
}

TEST_F(SoftwareSlab, SharingTheSlabBetweenThreadsChangesNoPixel) {
  const int32_t study[3] = {160, 150, 24};  // large enough to be shared, tiles cut at both edges
  const float scale[3] = {1, 1, 2};
  Load(study, Textured(study), scale);
  const ZR_ObliqueView view = View(DoubleOblique());
  for (int32_t mode : {kMean, kMinimum, kMaximum}) {
    const ZR_SlabSpec spec = Spec(10, 0.05f, 0.01f, mode);
    renderer.SetThreadCount(1);
    const std::vector<uint16_t> alone = Slab(view, spec);
    renderer.SetThreadCount(4);
    EXPECT_EQ(Slab(view, spec), alone) << kModeNames[mode];
  }
}

// A plane count beyond the limits and an unknown mode: one plane, the limit, the maximum.
TEST_F(SoftwareSlab, OutOfRangeSpecificationsFallBackToTheNearestValidOne) {
  const int32_t study[3] = {16, 16, 16};
  const float scale[3] = {1, 1, 1};
  Load(study, Textured(study), scale);
  const ZR_ObliqueView view = View(DoubleOblique());
  EXPECT_EQ(Slab(view, Spec(0, 0.1f, 0.02f, kMean)), Slab(view, Spec(1, 0.1f, 0.02f, kMean)));
  EXPECT_EQ(Slab(view, Spec(-5, 0.1f, 0.02f, kMean)), Slab(view, Spec(1, 0.1f, 0.02f, kMean)));
  EXPECT_EQ(Slab(view, Spec(5, 0.1f, 0.02f, 7)), Slab(view, Spec(5, 0.1f, 0.02f, kMaximum)));
  EXPECT_EQ(Slab(view, Spec(5, 0.1f, 0.02f, -1)), Slab(view, Spec(5, 0.1f, 0.02f, kMaximum)));
  // Far more sub-planes than the volume has slices: those outside take no time and no part.
  const ZR_SlabSpec huge = Spec(ZR_SoftwareRenderer::kMaxSlabPlanes + 100, 0, 0.001f, kMinimum);
  ZR_SlabSpec capped = huge;
  capped.nPlanes = ZR_SoftwareRenderer::kMaxSlabPlanes;
  const std::vector<uint16_t> slab = Slab(view, huge);
  EXPECT_EQ(slab, Slab(view, capped));
  int32_t largest = 0;
  EXPECT_EQ(ZR_ResliceReference::Mismatches(Reference(view, capped), slab.data(), 1, &largest), 0) << largest;
}

// On the driver: the slab is what the pane shows, drawn over whatever blending is set, and
// the view's own plane is made again at its next redraw.
class SoftwareSlabPicture : public ::testing::Test {
 protected:
  static constexpr int32_t kSize = 64;
  void SetUp() override {
    gl = ZR_GlTestContext::Get();
    ASSERT_NE(gl, nullptr) << ZR_GlTestContext::Error();
    scene = std::make_unique<ZR_RenderScene>(*gl, kSize, kSize);
    software = std::make_unique<ZR_SoftwareRenderer>(scene->shared);
  }
  void TearDown() override {
    if (software) software->DeleteGlObjects();
  }
  ZR_GlTestContext* gl = nullptr;
  std::unique_ptr<ZR_RenderScene> scene;
  std::unique_ptr<ZR_SoftwareRenderer> software;
};

TEST_F(SoftwareSlabPicture, ShowsTheSlabUnblendedAndLeavesThePlaneToBeMade) {
  // Slice 4 (the axial plane through the centre) is empty, slice 5 bright.
  const int32_t dims[3] = {kSize, kSize, 8};
  const std::vector<uint16_t> stored =
      ZR_TestVolume::Make(dims, [](int32_t, int32_t, int32_t z) { return uint16_t(z == 5 ? 3000 : 0); });
  const float scale[3] = {1, 1, 1};
  ASSERT_EQ(scene->Load(dims, scale, stored), "");
  scene->shared.SetSliceStack(ZR_TestVolume::Stack(stored, dims));
  ASSERT_EQ(software->LoadVolume(), VR_OK);
  ZR_Lut& lut = scene->shared.GetLut();
  lut.SetValueMapping(1, 0);
  lut.SetRawRange(0, 4095);
  lut.BuildGreyRamp(200, 100);  // 0 black, 3000 white

  ZR_ObliqueView view;
  view.nLayout = 2;  // a slab pane
  (void)scene->MakeCurrent();
  const ZR_GlFunctions& g = gl->Gl();
  // Blending that keeps what is there: a blended picture would leave the red.
  g.BlendFunc(GL_ZERO, GL_ONE);
  g.ClearColor(1, 0, 0, 1);
  g.Clear(GL_COLOR_BUFFER_BIT);
  view.bNeedsReslice = false;
  EXPECT_EQ(software->RenderSlab(view, Spec(3, 0, 1.0f / kSize, kMaximum), false), 1);  // slices 3..5
  const ZR_TestImage slab = scene->Read();
  g.BlendFunc(GL_ONE, GL_ZERO);
  g.ClearColor(0, 0, 0, 0);
  EXPECT_EQ(slab.At(kSize / 2, kSize / 2)[0], 255);
  EXPECT_EQ(slab.At(kSize / 2, kSize / 2)[1], 255);
  EXPECT_TRUE(view.bNeedsReslice);
  // The next plain redraw shows the plane itself: the empty slice.
  view.nLayout = 0;
  software->RenderView(view, false, nullptr, nullptr);
  EXPECT_EQ(scene->Read().At(kSize / 2, kSize / 2)[0], 0);
  EXPECT_FALSE(view.bNeedsReslice);
}

}  // namespace
