// What the software renderer shows on the driver: the same grey as the GPU path for the
// same window, a new picture at every fast redraw, no 3D view, the active frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/ZR_Result.h"
#include "core/ZR_TableIndex.h"
#include "render/ZR_SoftwareRenderer.h"
#include "tests/support/ZR_GlTestContext.h"
#include "tests/support/ZR_RenderScene.h"
#include "tests/support/ZR_TestVolume.h"

namespace {

constexpr int32_t kSize = 64;
constexpr int32_t kBlock = 8;  // the volume is 8 x 8 blocks of one value each

// Both renderers on one panel, sharing the state and the study's slices.
class SoftwareImage : public ::testing::Test {
 protected:
  void SetUp() override {
    gl = ZR_GlTestContext::Get();
    ASSERT_NE(gl, nullptr) << ZR_GlTestContext::Error();
    scene = std::make_unique<ZR_RenderScene>(*gl, kSize, kSize);
    software = std::make_unique<ZR_SoftwareRenderer>(scene->shared);
  }
  void TearDown() override {
    if (software) software->DeleteGlObjects();
  }

  // `range`: the study's value range; the GPU gets the table indices volume assembly writes,
  // the software renderer the study's stored values, as in a real load.
  void Load(const std::vector<uint16_t>& blockValues, int32_t range = ZR_TableIndex::kScale) {
    const int32_t dims[3] = {kSize, kSize, 8};
    stored = ZR_TestVolume::Make(dims, [&](int32_t x, int32_t y, int32_t) {
      return blockValues[size_t(y / kBlock) * (kSize / kBlock) + x / kBlock];
    });
    std::vector<uint16_t> indices(stored.size());
    std::transform(stored.begin(), stored.end(), indices.begin(),
                   [&](uint16_t v) { return ZR_TableIndex::OfStoredValue(v, range); });
    const float scale[3] = {1, 1, 1};
    ASSERT_EQ(scene->Load(dims, scale, indices), "");
    scene->shared.SetSliceStack(ZR_TestVolume::Stack(stored, dims));
    ASSERT_EQ(software->LoadVolume(), VR_OK);
    scene->renderer.SelectLutTable(false);
  }

  // The red channel at the centre of every block.
  std::vector<int> BlockCentres(const ZR_TestImage& image) const {
    std::vector<int> values;
    for (int32_t by = 0; by < kSize / kBlock; ++by)
      for (int32_t bx = 0; bx < kSize / kBlock; ++bx)
        values.push_back(image.At(bx * kBlock + kBlock / 2, by * kBlock + kBlock / 2)[0]);
    return values;
  }

  ZR_TestImage DrawGpu() {
    (void)scene->MakeCurrent();
    scene->renderer.UploadLut();
    (void)scene->renderer.DrawObliqueSlice(view, false);
    return scene->Read();
  }
  ZR_TestImage DrawSoftware(bool fast = false) {
    (void)scene->MakeCurrent();
    if (fast) {
      software->RenderViewFast(view, false);
    } else {
      view.bNeedsReslice = true;
      software->RenderView(view, false, nullptr, nullptr);
    }
    return scene->Read();
  }

  ZR_GlTestContext* gl = nullptr;
  std::unique_ptr<ZR_RenderScene> scene;
  std::unique_ptr<ZR_SoftwareRenderer> software;
  std::vector<uint16_t> stored;
  ZR_ObliqueView view;  // axial through the centre
};

// Value mappings and windows whose first form of the software table went wrong: a positive
// intercept (the top of the range read past the table), a slope of 2 (the centre moved),
// windows narrower than the slope and wider than the data. Windows are placed over the data
// through the lookup table's own value mapping, from `low` to `high` of the stored range.
TEST_F(SoftwareImage, ShowsTheSameGreyAsTheGpuForTheSameWindow) {
  struct Case {
    const char* label;
    float slope;
    int32_t intercept, smallest, largest;
    float low, high;  // fractions of the stored range; equal: a width of 1
  } cases[] = {
      {"MR 0..1000, intercept +10", 1, 10, 0, 1000, 0.5f, 0.9f},
      {"CT, intercept -1024", 1, -1024, 0, 4010, 0.2f, 0.4f},
      {"slope 2", 2, -1024, 0, 2000, 0.3f, 0.7f},
      {"window narrower than the slope", 2, 0, 0, 2000, 0.5f, 0.5f},
      {"window wider than the data", 1, 0, 0, 1000, -4.0f, 5.0f},
      {"unsigned 16-bit, range wider than the table", 1, 0, 0, 30000, 0.4f, 0.6f},
  };
  for (const Case& c : cases) {
    // Values spread over the stored range, the last ten at its very top.
    const int32_t top = c.largest - c.smallest;
    std::vector<uint16_t> values;
    for (int32_t k = 0; k < 54; ++k) values.push_back(static_cast<uint16_t>(top * k / 54));
    for (int32_t k = 9; k >= 0; --k) values.push_back(static_cast<uint16_t>(top - k));
    Load(values, top);
    ZR_Lut& lut = scene->shared.GetLut();
    lut.SetValueMapping(c.slope, c.intercept);
    lut.SetRawRange(c.smallest, c.largest);
    const float low = lut.IndexToValue(c.low * top), high = lut.IndexToValue(c.high * top);
    const auto width = std::max<int32_t>(1, static_cast<int32_t>(high - low));
    lut.BuildGreyRamp(width, static_cast<int32_t>((low + high) / 2));
    const std::vector<int> gpu = BlockCentres(DrawGpu());
    const std::vector<int> cpu = BlockCentres(DrawSoftware());
    ASSERT_EQ(gpu.size(), cpu.size());
    int changes = 0;
    for (size_t k = 0; k < gpu.size(); ++k) {
      EXPECT_LE(std::abs(gpu[k] - cpu[k]), 1) << c.label << ", stored value " << values[k];
      if (k > 0 && cpu[k] != cpu[k - 1]) ++changes;
    }
    EXPECT_GT(changes, 0) << c.label << ": the window shows nothing";
    EXPECT_EQ(cpu.front(), c.low > 0 ? 0 : cpu.front()) << c.label;
  }
}

// A plane that leaves the volume: both renderers show black beyond its box and the same
// volume inside it. The box edge is where they may part: the GPU samples up to the box face,
// the software reslice leaves the outermost voxel layer out, so the two lit regions end
// within a voxel and a half of each other, and neither reaches beyond the box.
TEST_F(SoftwareImage, BothRenderersEndTheVolumeAtItsBox) {
  Load(std::vector<uint16_t>(64, 3000));
  ZR_Lut& lut = scene->shared.GetLut();
  lut.SetValueMapping(1, 0);
  lut.SetRawRange(0, 4095);
  lut.BuildGreyRamp(200, 100);  // every voxel of the volume white
  // Sagittal: y across, z (8 slices over a 64-wide panel) upwards; rows 28..35 are the volume.
  const float frame[16] = {0, 1, 0, 0, 0, 0, -1, 0, -1, 0, 0, 0, 0, 0, 0, 1};
  std::copy_n(frame, 16, view.oPlane.afRotation);
  for (const bool gpu : {true, false}) {
    const ZR_TestImage image = gpu ? DrawGpu() : DrawSoftware();
    int32_t first = -1, last = -1;
    for (int32_t row = 0; row < kSize; ++row)
      if (image.At(kSize / 2, row)[0] > 127) {
        if (first < 0) first = row;
        last = row;
      }
    const char* who = gpu ? "GPU" : "software";
    ASSERT_GE(first, 0) << who;
    EXPECT_GE(first, 28) << who;
    EXPECT_LE(last, 35) << who;
    EXPECT_LE(first, 30) << who;
    EXPECT_GE(last, 33) << who;
    for (int32_t row : {0, 20, 27, 36, 50, 63}) EXPECT_EQ(image.At(kSize / 2, row)[0], 0) << who << ", row " << row;
  }
}

TEST_F(SoftwareImage, EveryFastRedrawShowsTheCurrentWindow) {
  Load(std::vector<uint16_t>(64, 500));
  ZR_Lut& lut = scene->shared.GetLut();
  lut.SetValueMapping(1, 0);
  lut.SetRawRange(0, 4095);
  lut.BuildGreyRamp(4000, 2000);
  const int before = DrawSoftware(true).At(20, 20)[0];
  lut.BuildGreyRamp(200, 400);  // 500 now lies above the window: white
  const int after = DrawSoftware(true).At(20, 20)[0];
  EXPECT_LT(before, 100);
  EXPECT_EQ(after, 255);
  // A fast picture leaves the full-quality one still to be made; a full one does not.
  view.bNeedsReslice = true;
  software->RenderViewFast(view, false);
  EXPECT_TRUE(view.bNeedsReslice);
  software->RenderView(view, false, nullptr, nullptr);
  EXPECT_FALSE(view.bNeedsReslice);
}

TEST_F(SoftwareImage, RenderLeavesThePanelAsItWas) {
  Load(std::vector<uint16_t>(64, 3000));
  (void)scene->MakeCurrent();
  const ZR_GlFunctions& g = gl->Gl();
  g.ClearColor(1, 0, 0, 1);
  g.Clear(GL_COLOR_BUFFER_BIT);
  EXPECT_EQ(software->Render(0, 0, 0, 0, 0), 0);
  const ZR_TestImage image = scene->Read();
  EXPECT_EQ(image.At(5, 5)[0], 255);
  EXPECT_EQ(image.At(40, 50)[1], 0);
  g.ClearColor(0, 0, 0, 0);
}

TEST_F(SoftwareImage, HighlightDrawsTheRedFrameOfTheActiveView) {
  Load(std::vector<uint16_t>(64, 0));
  (void)scene->MakeCurrent();
  view.bNeedsReslice = true;
  software->RenderView(view, true, nullptr, nullptr);
  const ZR_TestImage image = scene->Read();
  // The frame runs one unit inside the edge; the middle stays black.
  const uint8_t* edge = image.At(kSize / 2, 1);
  EXPECT_GT(edge[0], 128);
  EXPECT_EQ(edge[1], 0);
  EXPECT_EQ(image.At(kSize / 2, kSize / 2)[0], 0);
}

}  // namespace
