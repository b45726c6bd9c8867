// The software renderer on the CPU: taking a volume, the two reslice kernels against the
// plain per-pixel loop, the border and shift rules, which study slice a sample reads, and
// what the views show.
#include "render/ZR_SoftwareRenderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/ZR_Result.h"
#include "render/ZR_Matrix4.h"
#include "tests/support/ZR_ResliceReference.h"
#include "tests/support/ZR_TestVolume.h"
#include "tests/support/ZR_TestViews.h"

namespace {

using ZR_TestViews::DoubleOblique;
using ZR_TestViews::View;

// Columns right (0, 1, 0), up (0, 0, -1), normal (-1, 0, 0): the sagittal MPR view.
ZR_Matrix4 Sagittal() {
  ZR_Matrix4 m;
  const double columns[3][3] = {{0, 1, 0}, {0, 0, -1}, {-1, 0, 0}};
  for (int c = 0; c < 3; ++c)
    for (int r = 0; r < 3; ++r) m[4 * c + r] = columns[c][r];
  return m;
}

// A study of `study` (width, height, slices) handed to a renderer as the loader does: the
// loaded volume is slices first, first + f, ... of every f-th row and column.
class SoftwareRenderer : public ::testing::Test {
 protected:
  void Load(const int32_t study[3], std::vector<uint16_t> values, const float scale[3],
            int32_t first = 0, int32_t subsample = 1, int32_t loadedSlices = -1,
            ZR_SliceStack geometry = {}) {
    m_aStudy = std::move(values);
    const ZR_SliceStack slices = ZR_TestVolume::Stack(m_aStudy, study);
    geometry.apSlices = slices.apSlices;
    geometry.nWidth = study[0];
    geometry.nHeight = study[1];
    geometry.nFirst = first;
    geometry.nSubsample = subsample;
    dims[0] = study[0] / subsample;
    dims[1] = study[1] / subsample;
    dims[2] = loadedSlices > 0 ? loadedSlices : (study[2] - first) / subsample;
    shared.SetVoxelScale(scale[0], scale[1], scale[2]);
    shared.SetFullDimensions(dims[0], dims[1], dims[2]);
    shared.SetReducedDimensions(dims[0] / 2, dims[1] / 2, dims[2] / 2);
    shared.SelectCopy(false);
    shared.SetSliceStack(geometry);
    ASSERT_EQ(renderer.LoadVolume(), VR_OK);
  }

  ZR_ResliceReference::Result Reference(const ZR_ObliqueView& view, int32_t step) {
    return ZR_ResliceReference::Reslice(shared.SliceStack(), dims, renderer.SetUpPlane(view),
                                        dims[0], dims[1], step);
  }

  RenderShared shared;
  ZR_SoftwareRenderer renderer{shared};
  int32_t dims[3] = {0, 0, 0};
  std::vector<uint16_t> m_aStudy;
};

TEST_F(SoftwareRenderer, RefusesASliceStackThatDoesNotHoldTheVolume) {
  const int32_t study[3] = {16, 16, 20};
  m_aStudy.assign(16 * 16 * 20, 7);
  struct Case {
    const char* label;
    int32_t first, subsample, loadedSlices;
    int32_t missingSlice;  // -1: none
  } cases[] = {
      {"range past the last slice", 5, 1, 16, -1},
      {"sub-sampled range past the last slice", 0, 2, 11, -1},
      {"a slice of the range missing", 0, 1, 20, 12},
  };
  for (const Case& c : cases) {
    ZR_SliceStack stack = ZR_TestVolume::Stack(m_aStudy, study);
    stack.nFirst = c.first;
    stack.nSubsample = c.subsample;
    if (c.missingSlice >= 0) stack.apSlices[c.missingSlice] = nullptr;
    shared.SetFullDimensions(16 / c.subsample, 16 / c.subsample, c.loadedSlices);
    shared.SetSliceStack(stack);
    EXPECT_EQ(renderer.LoadVolume(), VR_LD_INVALID_VOLUME) << c.label;
    EXPECT_FALSE(renderer.IsLoaded()) << c.label;
    EXPECT_EQ(renderer.SampleAt(View({}), 0.5f, 0.5f), 0) << c.label;
  }
}

TEST_F(SoftwareRenderer, LoadingSizesTheImagesToTheVolumeAndRendersNoThreeDView) {
  const int32_t study[3] = {32, 32, 12};
  const float scale[3] = {1, 1, 2};
  Load(study, std::vector<uint16_t>(32 * 32 * 12, 100), scale);
  int32_t width = 0, height = 0;
  renderer.GetImageSize(&width, &height);
  EXPECT_EQ(width, 32);
  EXPECT_EQ(height, 32);
  EXPECT_TRUE(renderer.IsLoaded());
  EXPECT_EQ(renderer.Kind(), ZR_VolumeRenderer::kSoftwareKind);
  EXPECT_EQ(renderer.Raw()[0], 0);
  EXPECT_EQ(renderer.Render(0, 0, 0, 0, 0), 0);
  EXPECT_TRUE(renderer.DrawOrthoSlice(0, 1, ZR_OrthoViews{}));
}

// Both kernels against the plain loop: oblique planes, planes through the volume's edge,
// offsets along the normal, a sub-sampled range and anisotropic voxels.
TEST_F(SoftwareRenderer, KernelsMatchThePlainPerPixelLoop) {
  const int32_t study[3] = {64, 64, 48};
  const float scale[3] = {1, 1, 1.6f};
  Load(study, ZR_TestVolume::Phantom(study), scale);
  struct Case {
    const char* label;
    ZR_ObliqueView view;
  };
  ZR_ObliqueView offset = View(DoubleOblique(), 3, -2, 5);
  offset.nLayout = 2;
  offset.bOffset = true;
  offset.fOffset = 0.07f;
  const Case cases[] = {
      {"axial through the centre", View({})},
      {"double oblique", View(DoubleOblique())},
      {"sagittal off centre", View(Sagittal(), 11.5f, 0, 0)},
      {"oblique through a corner", View(ZR_Matrix4::Rotation(45, 1, 1, 0), 25, 25, 30)},
      {"slab step along the normal", offset},
      {"plane outside the volume", View({}, 0, 0, 200)},
  };
  for (const Case& c : cases) {
    for (int32_t step : {1, 2, 3}) {
      renderer.Reslice(c.view, step, nullptr, nullptr);
      int32_t largest = 0;
      EXPECT_EQ(ZR_ResliceReference::Mismatches(Reference(c.view, step), renderer.Raw(), 1, &largest), 0)
          << c.label << ", step " << step << ", largest difference " << largest;
    }
  }
}

TEST_F(SoftwareRenderer, SubSampledRangeMatchesThePlainLoop) {
  const int32_t study[3] = {64, 64, 60};
  const float scale[3] = {1, 1, 1.25f};
  Load(study, ZR_TestVolume::Phantom(study), scale, 7, 2, 24);
  ASSERT_EQ(dims[0], 32);
  for (const ZR_ObliqueView& view : {View({}), View(DoubleOblique(), 2, 1, -3)}) {
    for (int32_t step : {1, 2}) {
      renderer.Reslice(view, step, nullptr, nullptr);
      EXPECT_EQ(ZR_ResliceReference::Mismatches(Reference(view, step), renderer.Raw(), 1), 0) << step;
    }
  }
}

TEST_F(SoftwareRenderer, SharingThePictureBetweenThreadsChangesNoSample) {
  const int32_t study[3] = {256, 256, 20};  // large enough to be shared
  const float scale[3] = {1, 1, 3};
  Load(study, ZR_TestVolume::Phantom(study), scale);
  const ZR_ObliqueView view = View(DoubleOblique());
  for (int32_t step : {1, 2}) {
    renderer.SetThreadCount(1);
    renderer.Reslice(view, step, nullptr, nullptr);
    const std::vector<uint16_t> alone(renderer.Raw(), renderer.Raw() + 256 * 256);
    renderer.SetThreadCount(4);
    renderer.Reslice(view, step, nullptr, nullptr);
    EXPECT_TRUE(std::equal(alone.begin(), alone.end(), renderer.Raw())) << step;
  }
}

// Values rising by 10 per column, the same in every row and slice.
TEST_F(SoftwareRenderer, FullQualityKeepsOffTheOuterLayerAndSamplesOneColumnFurther) {
  const int32_t study[3] = {16, 16, 16};
  const float scale[3] = {1, 1, 1};
  Load(study, ZR_TestVolume::Make(study, [](int32_t x, int32_t, int32_t) { return uint16_t(100 + 10 * x); }),
       scale);
  // Axial through the centre: pixel (i, j) lies on voxel column j (fast) or j + 1 (full),
  // row i, slice 8.
  const ZR_ObliqueView view = View({});
  renderer.Reslice(view, 1, nullptr, nullptr);
  const std::vector<uint16_t> full(renderer.Raw(), renderer.Raw() + 256);
  renderer.Reslice(view, 2, nullptr, nullptr);
  const std::vector<uint16_t> fast(renderer.Raw(), renderer.Raw() + 256);
  auto at = [](const std::vector<uint16_t>& image, int32_t i, int32_t j) { return image[size_t(i) * 16 + j]; };
  // Row 0 lies on the outermost row of voxels: nothing at full quality, values when fast.
  EXPECT_EQ(at(full, 0, 5), 0);
  EXPECT_EQ(at(fast, 0, 4), 140);
  // Column 13 samples voxel column 14 at full quality; 14 and 15 reach the outer layer.
  EXPECT_EQ(at(full, 6, 13), 240);
  EXPECT_EQ(at(full, 6, 14), 0);
  EXPECT_EQ(at(full, 6, 15), 0);
  EXPECT_EQ(at(fast, 6, 14), 240);
  // Inside, the fast picture is one column behind: blocks of two at columns 0, 2, 4, ...
  for (int32_t j = 2; j < 13; ++j) {
    EXPECT_EQ(at(full, 6, j), 100 + 10 * (j + 1)) << j;
    EXPECT_EQ(at(fast, 6, j), 100 + 10 * (j - j % 2)) << j;
  }
}

// A 300-slice study whose slices say their own number, loaded as slices 100..199 (and
// sub-sampled by 2): the middle of the loaded volume is study slice 150.
TEST_F(SoftwareRenderer, SamplesReadTheStudySlicesOfTheLoadedRange) {
  const int32_t study[3] = {64, 64, 300};
  const auto bySlice = ZR_TestVolume::Make(study, [](int32_t, int32_t, int32_t z) { return uint16_t(10 * z); });
  const float scale[3] = {1, 1, 0.5f};
  struct Case {
    const char* label;
    int32_t first, subsample, loaded;
  } cases[] = {{"slices 100..199", 100, 1, 100}, {"every second of 100..199", 100, 2, 50}};
  for (const Case& c : cases) {
    Load(study, bySlice, scale, c.first, c.subsample, c.loaded);
    EXPECT_EQ(renderer.SampleAt(View({}), 0.5f, 0.5f), 1500) << c.label;
    // The plane half a loaded slice thickness below the middle: halfway between two.
    const float below = -0.5f * scale[2];
    const uint16_t between = renderer.SampleAt(View({}, 0, 0, below), 0.5f, 0.5f);
    EXPECT_EQ(between, 1500 - 5 * c.subsample) << c.label;
  }
}

TEST_F(SoftwareRenderer, SampleAtIsTheFullQualityPixelAndNothingOutsideThePicture) {
  const int32_t study[3] = {64, 64, 40};
  const float scale[3] = {1, 1, 1.5f};
  Load(study, ZR_TestVolume::Phantom(study), scale);
  const ZR_ObliqueView view = View(DoubleOblique(), 1, 2, 3);
  renderer.Reslice(view, 1, nullptr, nullptr);
  const std::vector<uint16_t> full(renderer.Raw(), renderer.Raw() + 64 * 64);
  for (const auto& [fx, fy] : {std::pair{0.5f, 0.5f}, {0.1f, 0.9f}, {0.77f, 0.31f}, {0.99f, 0.0f}}) {
    const size_t k = size_t(64 * fy) * 64 + size_t(64 * fx);
    EXPECT_EQ(renderer.SampleAt(view, fx, fy), full[k]) << fx << "," << fy;
  }
  for (const auto& [fx, fy] : {std::pair{1.0f, 0.5f}, {0.5f, 1.0f}, {-0.01f, 0.5f}, {0.5f, NAN}})
    EXPECT_EQ(renderer.SampleAt(view, fx, fy), 0) << fx << "," << fy;
}

TEST_F(SoftwareRenderer, SubSampledColumnsAndRowsAreEveryFthOfTheStudy) {
  const int32_t study[3] = {32, 32, 12};
  const float scale[3] = {1, 1, 1};
  Load(study, ZR_TestVolume::Make(study, [](int32_t x, int32_t y, int32_t) { return uint16_t(x + 100 * y); }),
       scale, 0, 2, 6);
  // Axial through the centre at full quality: pixel (i, j) is loaded voxel (j + 1, i).
  renderer.Reslice(View({}), 1, nullptr, nullptr);
  EXPECT_EQ(renderer.Raw()[5 * 16 + 3], (3 + 1) * 2 + 100 * 5 * 2);
}

}  // namespace
