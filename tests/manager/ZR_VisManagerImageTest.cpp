// Pictures of the panels drawn by the manager and read back through ReadPanel: the three
// orthogonal slices with their labels and the four MPR views with the study details, on the
// GPU path and (MPR views) in software rendering.
//
// References: tests/manager/references/*.png, 96 x 96 RGB, made on Mesa llvmpipe; the tolerance
// absorbs rounding differences between drivers, the numeric checks carry the exact
// expectations.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/ZR_GlTestContext.h"
#include "tests/support/ZR_ImageCompare.h"
#include "tests/support/ZR_RecordingGl.h"
#include "tests/support/ZR_RecordingRenderPlatform.h"
#include "tests/support/ZR_RecordingVisGui.h"
#include "tests/support/ZR_TestManager.h"
#include "tests/support/ZR_TestPanels.h"
#include "tests/support/ZR_TestVolume.h"

namespace {

constexpr int32_t kPanel = 96;
const ZR_ImageCompare::Tolerance kTolerance{8, kPanel * kPanel / 200};

std::filesystem::path Reference(const std::string& name) {
  return std::filesystem::path(LMX_SOURCE_DIR) / "tests/manager/references" / (name + ".png");
}
std::filesystem::path OutputDir() { return std::filesystem::path(LMX_BINARY_DIR) / "test-output/core"; }

// An ellipsoid with a bright block off its centre towards +x, +y and +z that every central
// plane cuts, so that each view shows which way it is turned.
std::vector<uint16_t> MarkedPhantom(const int32_t d[3]) {
  const std::vector<uint16_t> base = ZR_TestVolume::Phantom(d);
  return ZR_TestVolume::Make(d, [&](int32_t x, int32_t y, int32_t z) -> uint16_t {
    if (x >= d[0] * 15 / 32 && x < d[0] * 25 / 32 && y >= d[1] * 14 / 32 && y < d[1] * 25 / 32 &&
        z >= d[2] * 14 / 32 && z < d[2] * 27 / 32)
      return 3500;
    return base[(size_t(z) * d[1] + y) * d[0] + x];
  });
}

class PanelImages : public ::testing::Test {
 protected:
  void Start(ZR_RenderPlatform* platform = nullptr) {
    gl = ZR_GlTestContext::Get();
    ASSERT_NE(gl, nullptr) << ZR_GlTestContext::Error();
    panels = std::make_unique<ZR_TestPanels>(*gl, kPanel);
    manager = std::make_unique<ZR_TestManager>(&gui, shared, text);
    manager->SetRenderPlatform(platform ? platform : &panels->platform);
    ASSERT_EQ(manager->OnCreate(&panels->table), VR_OK);
    const int32_t dims[3] = {64, 64, 40};
    const float scale[3] = {1, 1, 1.25f};
    ASSERT_EQ(manager->ShowVolume(dims, scale, MarkedPhantom(dims)), "");
    ZR_Lut& lut = shared.GetLut();
    lut.SetValueMapping(1, -1024);
    lut.SetRawRange(0, 4095);
    lut.BuildGreyRamp(1800, 500);
    shared.SelectLutTable(false);
    manager->VolumeStateForSetUp().aStudyLines = {{0.03f, 0.85f, "%n%s%s"},
                              {0.7f, 0.95f, std::string(1000, 'D')},
                              {0.03f, 0.2f, "M\xC3\xBCller"}};
    manager->VolumeStateForSetUp().sVoxelSize = "0.70 x 0.70 x 1.25 mm";
  }
  ZR_TestImage Read(int32_t index) {
    int32_t w = 0, h = 0;
    auto pixels = manager->ReadPanel(index, &w, &h, GL_RGB, GL_UNSIGNED_BYTE, 3, 1, false);
    if (!pixels) return {};
    return ZR_TestImage::FromBottomUp(w, h, 3, pixels.get());
  }
  ::testing::AssertionResult Matches(const ZR_TestImage& image, const std::string& name) {
    return ZR_ImageCompare::Matches(image, Reference(name), OutputDir(), kTolerance);
  }
  // Each MPR view against its reference, with the voxel-size and window lines at its lower
  // left.
  void CheckMprViews(const std::string& prefix) {
    manager->ScreenStateForSetUp().nScreen = ZR_Screen::Mpr;
    manager->RedrawViews(false);
    for (int32_t index = ZR_Panel::Mpr0; index <= ZR_Panel::Mpr3; ++index) {
      const ZR_TestImage image = Read(index);
      ASSERT_EQ(image.nWidth, kPanel);
      EXPECT_GT(Lit(image, 0, 80, 60, 96), 10) << index;
      // The first study line at the top.
      EXPECT_GT(Lit(image, 0, 4, 40, 16), 10) << index;
      EXPECT_TRUE(Matches(image, prefix + std::to_string(index)));
    }
  }
  static int Lit(const ZR_TestImage& image, int x0, int y0, int x1, int y1) {
    int count = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) {
        const uint8_t* p = image.At(x, y);
        count += p[0] > 200 && p[1] > 200 && p[2] > 200 ? 1 : 0;
      }
    return count;
  }

  ZR_GlTestContext* gl = nullptr;
  std::unique_ptr<ZR_TestPanels> panels;
  ZR_RecordingVisGui gui;
  RenderShared shared;
  OpenGlText text;
  ZR_ViewportTable unnamed;  // the platform double needs no panel names here
  std::unique_ptr<ZR_RecordingGl> recordingGl;
  std::unique_ptr<ZR_RecordingRenderPlatform> recordingPlatform;
  std::unique_ptr<ZR_TestManager> manager;
};

TEST_F(PanelImages, OrthogonalSlicesWithTheirLabels) {
  Start();
  manager->ScreenStateForSetUp().nScreen = ZR_Screen::View3d;
  const char* names[3] = {"ortho-sagittal", "ortho-coronal", "ortho-axial"};
  std::vector<ZR_TestImage> labelled, plain;
  for (int32_t labels : {0, 2}) {
    manager->VolumeStateForSetUp().nLabels = labels;
    manager->RedrawViews(true);
    for (int32_t axis = 0; axis < 3; ++axis) (labels == 0 ? labelled : plain).push_back(Read(ZR_Panel::Ortho0 + axis));
  }
  for (int32_t axis = 0; axis < 3; ++axis) {
    ASSERT_EQ(labelled[axis].nWidth, kPanel);
    // The title in the upper left corner and the left side letter, gone without labels.
    EXPECT_GT(Lit(labelled[axis], 0, 0, 40, 8), Lit(plain[axis], 0, 0, 40, 8) + 10) << names[axis];
    EXPECT_GT(Lit(labelled[axis], 0, 36, 10, 48), Lit(plain[axis], 0, 36, 10, 48)) << names[axis];
    EXPECT_TRUE(Matches(labelled[axis], std::string(names[axis]) + "-labels"));
  }
}

TEST_F(PanelImages, MprViewsWithTheStudyDetails) {
  Start();
  CheckMprViews("mpr-");
  // The active view (6) has the red frame (away from the vertical crosshair line).
  const ZR_TestImage active = Read(ZR_Panel::Mpr2);
  EXPECT_GT(active.At(kPanel / 4, 1)[0], 128);
  EXPECT_LT(active.At(kPanel / 4, 1)[1], 64);
}

TEST_F(PanelImages, SoftwareMprViewsShowTheSameVolume) {
  ZR_GlTestContext* context = ZR_GlTestContext::Get();
  ASSERT_NE(context, nullptr) << ZR_GlTestContext::Error();
  recordingGl = std::make_unique<ZR_RecordingGl>(&context->Gl());
  recordingGl->extensions = "GL_EXT_blend_minmax GL_ARB_multitexture";
  recordingGl->version = "1.1 Mesa";
  recordingPlatform = std::make_unique<ZR_RecordingRenderPlatform>(unnamed, &recordingGl->Table());
  Start(recordingPlatform.get());
  ASSERT_TRUE(manager->IsSoftwareRendering());
  CheckMprViews("mpr-software-");
}

}  // namespace
