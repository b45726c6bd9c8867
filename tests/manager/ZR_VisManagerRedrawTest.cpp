// The redraw pipeline on the headless driver: which panel each redraw touches, requests
// dropped while a panel is drawn, the repaint flags, quality levels, reading a panel back,
// the curved-MPR viewport, captures into the offscreen buffer and software rendering.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/ZR_Log.h"
#include "render/ZR_FramebufferSurface.h"
#include "tests/support/ZR_GlTestContext.h"
#include "tests/support/ZR_RecordingDrawSurface.h"
#include "tests/support/ZR_RecordingGl.h"
#include "tests/support/ZR_RecordingRenderPlatform.h"
#include "tests/support/ZR_RecordingVisGui.h"
#include "tests/support/ZR_TestManager.h"
#include "tests/support/ZR_TestPanels.h"
#include "tests/support/ZR_TestVolume.h"

namespace {

constexpr int32_t kPanel = 32;

// Real panels seen through recording surfaces, a started manager and a small volume.
class Redraw : public ::testing::Test {
 protected:
  void SetUp() override {
    gl = ZR_GlTestContext::Get();
    ASSERT_NE(gl, nullptr) << ZR_GlTestContext::Error();
    panels = std::make_unique<ZR_TestPanels>(*gl, kPanel);
    for (int32_t i = 0; i < ZR_ViewportTable::kSurfaceCount; ++i) {
      recorders.push_back(std::make_unique<ZR_RecordingDrawSurface>(panels->Surface(i)));
      table.aSurfaces[i] = recorders.back().get();
      table.SetSize(i, kPanel, kPanel);
    }
  }
  void Start(ZR_RenderPlatform& platform) {
    manager = std::make_unique<ZR_TestManager>(&gui, shared, text);
    manager->SetRenderPlatform(&platform);
    ASSERT_EQ(manager->OnCreate(&table), VR_OK);
  }
  void Start() { Start(panels->platform); }
  void ShowVolume() {
    const int32_t dims[3] = {32, 32, 24};
    const float scale[3] = {1, 1, 1.5f};
    ASSERT_EQ(manager->ShowVolume(dims, scale, ZR_TestVolume::Phantom(dims)), "");
    shared.GetLut().SetRawRange(0, 4095);
    shared.GetLut().BuildGreyRamp(2400, 1200);
    shared.SelectLutTable(false);
    ClearRecords();
  }
  void ClearRecords() {
    for (auto& r : recorders) r->calls.clear();
  }
  // The panels whose surface was used, in index order.
  std::vector<int32_t> Touched() const {
    std::vector<int32_t> touched;
    for (int32_t i = 0; i < ZR_ViewportTable::kSurfaceCount; ++i)
      if (!recorders[static_cast<size_t>(i)]->calls.empty()) touched.push_back(i);
    return touched;
  }
  // Lit pixels (any colour channel above 20) of a panel's front buffer.
  int64_t Lit(int32_t index) {
    int32_t w = 0, h = 0;
    auto pixels = manager->ReadPanel(index, &w, &h, GL_RGBA, GL_UNSIGNED_BYTE, 4, 1, false);
    if (!pixels) return -1;
    int64_t lit = 0;
    for (int64_t k = 0; k < int64_t{w} * h; ++k)
      lit += (pixels[4 * k] > 20 || pixels[4 * k + 1] > 20 || pixels[4 * k + 2] > 20) ? 1 : 0;
    return lit;
  }

  ZR_GlTestContext* gl = nullptr;
  std::unique_ptr<ZR_TestPanels> panels;
  std::vector<std::unique_ptr<ZR_RecordingDrawSurface>> recorders;
  ZR_ViewportTable table;
  ZR_RecordingVisGui gui;
  RenderShared shared;
  OpenGlText text;
  // Doubles a test may put between the manager and the driver; they outlive the manager.
  std::unique_ptr<ZR_RecordingGl> recordingGl;
  std::unique_ptr<ZR_RecordingRenderPlatform> recordingPlatform;
  std::unique_ptr<ZR_FramebufferSurface> offscreenBuffer;
  std::unique_ptr<ZR_TestManager> manager;
};

TEST_F(Redraw, EachPanelDrawsOnItsOwnSurfaceAndShows) {
  Start();
  ShowVolume();
  manager->MprLayoutForSetUp().aViews[ZR_Panel::Mpr2].bCurveMode = true;
  manager->MprLayoutForSetUp().aViews[ZR_Panel::Mpr2].bHasCurve = true;
  for (int32_t index = 0; index < ZR_Panel::kPanelCount; ++index) {
    ClearRecords();
    manager->RedrawPanel(index, true);
    EXPECT_EQ(Touched(), std::vector<int32_t>{index}) << index;
    const auto& calls = recorders[static_cast<size_t>(index)]->calls;
    EXPECT_EQ(calls.front(), "MakeCurrent") << index;
    EXPECT_EQ(calls.back(), "SwapBuffers") << index;
  }
  for (int32_t index : {0, 1, 2, 3, 4, 5, 6, 7, 8}) EXPECT_GT(Lit(index), 20) << index;
  // Panel 8 draws at the interaction quality, then puts back the quality and the 3D view's
  // own cut.
  manager->SelectQuality(0, true);
  manager->RedrawPanel(ZR_Panel::MprView3D, true);
  EXPECT_EQ(manager->RenderQuality(), 0);
  EXPECT_FALSE(shared.Cut().bOn);
  // Without swapping, nothing is shown.
  ClearRecords();
  manager->RedrawPanel(ZR_Panel::Mpr0, false);
  EXPECT_EQ(std::count(recorders[4]->calls.begin(), recorders[4]->calls.end(), "SwapBuffers"), 0);
}

TEST_F(Redraw, WithoutAVolumePanelsAreClearedAndNothingHappensBeforeStartUp) {
  ZR_TestManager idle(&gui, shared, text);
  idle.SetRenderPlatform(&panels->platform);
  idle.RedrawPanel(4, true);  // not initialised
  Start();
  ShowVolume();
  manager->RedrawPanel(ZR_Panel::Mpr2, true);
  ASSERT_GT(Lit(ZR_Panel::Mpr2), 20);
  manager->VolumeStateForSetUp().bLoaded = false;
  ClearRecords();
  manager->RedrawPanel(ZR_Panel::Mpr2, true);
  EXPECT_EQ(recorders[6]->calls, (std::vector<std::string>{"MakeCurrent", "SwapBuffers"}));
  EXPECT_EQ(Lit(ZR_Panel::Mpr2), 0);
  ClearRecords();
  for (int32_t index : {12, -1, 40}) manager->RedrawPanel(index, true);
  EXPECT_TRUE(Touched().empty());
}

// A draw that lets other requests in (events processed while it runs): none of them may
// touch another panel in the middle of it.
TEST_F(Redraw, RequestsWhileAPanelIsDrawnAreDropped) {
  Start();
  ShowVolume();
  manager->ScreenStateForSetUp().nScreen = ZR_Screen::Mpr;
  recorders[4]->onCall = [&](const std::string& call) {
    if (call != "SwapBuffers") return;
    manager->RedrawPanel(5, true);
    manager->Repaint(5);
    manager->RedrawViews(true);
    manager->RepaintFlagged();
  };
  uint8_t flags[12] = {};
  flags[7] = 1;
  manager->SetRepaintFlags(flags);
  manager->RedrawPanel(4, true);
  EXPECT_EQ(Touched(), std::vector<int32_t>{4});
  // The flag of the dropped repaint is spent, the panel is not drawn.
  EXPECT_EQ(flags[7], 0);
}

TEST_F(Redraw, RepaintFlaggedRedrawsExactlyTheFlaggedPanels) {
  Start();
  ShowVolume();
  uint8_t flags[12] = {};
  manager->SetRepaintFlags(flags);
  manager->RepaintFlagged();
  EXPECT_TRUE(Touched().empty());
  flags[0] = 1;
  flags[5] = 1;
  manager->RepaintFlagged();
  EXPECT_EQ(Touched(), (std::vector<int32_t>{0, 5}));
  EXPECT_TRUE(std::all_of(flags, flags + 12, [](uint8_t b) { return b == 0; }));
  // While busy (a long render), a repaint does nothing.
  ClearRecords();
  manager->RunStateForSetUp().bBusy = true;
  manager->Repaint(0);
  manager->RunStateForSetUp().bBusy = false;
  EXPECT_TRUE(Touched().empty());
}

TEST_F(Redraw, RedrawViewsFollowsTheScreenAndTheMaximisedView) {
  Start();
  ShowVolume();
  manager->ScreenStateForSetUp().nScreen = ZR_Screen::View3d;
  manager->RedrawViews(true);
  EXPECT_EQ(Touched(), (std::vector<int32_t>{1, 2, 3}));
  ClearRecords();
  manager->ScreenStateForSetUp().nScreen = ZR_Screen::Mpr;
  manager->RedrawViews(true);
  EXPECT_EQ(Touched(), (std::vector<int32_t>{4, 5, 6, 7, 8}));
  ClearRecords();
  manager->RedrawViews(false);
  EXPECT_EQ(Touched(), (std::vector<int32_t>{4, 5, 6, 7}));
  ClearRecords();
  manager->MprLayoutForSetUp().aViews[ZR_Panel::Mpr2].bCurveMode = true;
  manager->RedrawViews(true);
  EXPECT_EQ(Touched(), (std::vector<int32_t>{4, 5, 6, 7, 9}));
  manager->MprLayoutForSetUp().aViews[ZR_Panel::Mpr2].bCurveMode = false;
  ClearRecords();
  manager->SetMprViewLimit(5);
  manager->RedrawViews(false);
  EXPECT_EQ(Touched(), std::vector<int32_t>{5});
}

TEST_F(Redraw, QualityLevelsChooseTheCopyAndTheSamplingRate) {
  Start();
  ShowVolume();
  ZR_Vis3DSettings settings;
  settings.Renderer().finalQuality = 3;
  settings.Renderer().interactionQuality = 1;
  manager->SetSettingsModel(&settings);
  ZR_Texture3dRenderer& renderer = manager->TextureRenderer();
  manager->SelectQuality(0, true);
  EXPECT_FALSE(renderer.IsReduced());
  EXPECT_FALSE(shared.ReducedCopyCurrent());
  EXPECT_EQ(renderer.SamplingRate(), 4.0f);
  manager->SelectQuality(3, true);
  EXPECT_TRUE(renderer.IsReduced());
  EXPECT_EQ(renderer.Reduction(), 2);
  EXPECT_TRUE(shared.ReducedCopyCurrent());
  manager->ScreenStateForSetUp().nFinalMethod = 0;
  manager->SelectQuality(3, true);
  EXPECT_FALSE(renderer.IsReduced());
  EXPECT_EQ(renderer.SamplingRate(), 2.0f);
  renderer.SetNeedsRender(false);
  manager->SelectQuality(1, true);  // only stored
  EXPECT_EQ(manager->RenderQuality(), 1);
  EXPECT_FALSE(renderer.NeedsRender());
  EXPECT_EQ(renderer.SamplingRate(), 2.0f);
}

TEST_F(Redraw, ReadPanelCutsTheSizeToMultiplesOfFour) {
  Start();
  ASSERT_TRUE(panels->Resize(0, 1023, 767));
  table.SetSize(0, 1023, 767);
  ASSERT_TRUE(panels->Surface(0).MakeCurrent());
  gl->Gl().ClearColor(0, 0.5f, 1, 1);
  gl->Gl().Clear(GL_COLOR_BUFFER_BIT);
  gl->Gl().ClearColor(0, 0, 0, 0);
  int32_t w = 0, h = 0;
  auto back = manager->ReadPanel(0, &w, &h, GL_RGB, GL_UNSIGNED_BYTE, 3, 1, true);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(w, 1020);
  EXPECT_EQ(h, 764);
  EXPECT_EQ(back[0], 0);
  EXPECT_EQ(back[1], 128);
  EXPECT_EQ(back[3 * (1020 * 764 - 1) + 2], 255);
  // The front buffer holds what was shown last (nothing yet).
  auto front = manager->ReadPanel(0, &w, &h, GL_RGB, GL_UNSIGNED_BYTE, 3, 1, false);
  ASSERT_NE(front, nullptr);
  EXPECT_EQ(front[2], 0);
  EXPECT_EQ(recorders[0]->calls.back(), "ReadPixels(0,0,1020,764,6407,5121,front)");
}

TEST_F(Redraw, ReadPanelRefusesWhatWouldNotFitItsBuffer) {
  Start();
  int32_t w = 7, h = 7;
  // Components that disagree with the format and type: OpenGL would write past the buffer.
  EXPECT_EQ(manager->ReadPanel(1, &w, &h, GL_RGBA, GL_UNSIGNED_BYTE, 3, 1, true), nullptr);
  EXPECT_EQ(manager->ReadPanel(1, &w, &h, GL_RGB, GL_FLOAT, 3, 1, true), nullptr);
  EXPECT_EQ(w, 0);
  EXPECT_EQ(h, 0);
  EXPECT_NE(manager->ReadPanel(1, &w, &h, GL_RGB, GL_FLOAT, 3, 4, true), nullptr);
  // A table larger than the panel, a panel of less than 4 pixels, a panel that does not exist.
  table.SetSize(2, 64, 64);
  EXPECT_EQ(manager->ReadPanel(2, &w, &h, GL_RGBA, GL_UNSIGNED_BYTE, 4, 1, true), nullptr);
  table.SetSize(2, 3, 30);
  EXPECT_EQ(manager->ReadPanel(2, &w, &h, GL_RGBA, GL_UNSIGNED_BYTE, 4, 1, true), nullptr);
  EXPECT_EQ(manager->ReadPanel(12, &w, &h, GL_RGBA, GL_UNSIGNED_BYTE, 4, 1, true), nullptr);
}

TEST_F(Redraw, CurvedMprDrawsInASquareCentredAcrossItsPanel) {
  Start();
  ShowVolume();
  ASSERT_TRUE(panels->Resize(ZR_Panel::CurvedMpr, 800, 600));
  table.SetSize(ZR_Panel::CurvedMpr, 800, 600);
  ZR_RecordingGl recording(&gl->Gl());
  shared.AttachGl(&recording.Table(), shared.Programs());
  manager->DrawCurvePanel(true, false);  // the active view is not in curve mode
  EXPECT_TRUE(recording.calls.empty());
  manager->MprLayoutForSetUp().aViews[ZR_Panel::Mpr2].bCurveMode = true;
  manager->DrawCurvePanel(true, false);
  shared.AttachGl(&gl->Gl(), shared.Programs());
  EXPECT_EQ(recording.CallsTo("glViewport").front(), "glViewport(100,0,600,600)");
  // No curve yet: the panel is cleared.
  EXPECT_EQ(recorders[9]->calls.back(), "SwapBuffers");
  EXPECT_TRUE(recording.Has("glClear(16384)"));
}

TEST_F(Redraw, CapturesDrawIntoTheOffscreenBuffer) {
  recordingPlatform = std::make_unique<ZR_RecordingRenderPlatform>(table, &gl->Gl());
  ZR_RecordingDrawSurface* offscreen = nullptr;
  recordingPlatform->offscreen = [&](int32_t w, int32_t h) -> std::unique_ptr<ZR_DrawSurface> {
    offscreenBuffer = std::make_unique<ZR_FramebufferSurface>(gl->Context(), w, h);
    if (!offscreenBuffer->Create()) return nullptr;
    auto recorder = std::make_unique<ZR_RecordingDrawSurface>(*offscreenBuffer);
    offscreen = recorder.get();
    return recorder;
  };
  Start(*recordingPlatform);
  ShowVolume();
  manager->SetOffscreenSize(kPanel, kPanel);
  ASSERT_TRUE(manager->IsOffscreenReady());
  manager->RunStateForSetUp().bMovieRecording = true;
  manager->RedrawPanel(0, true);
  EXPECT_TRUE(recorders[0]->calls.empty());
  ASSERT_NE(offscreen, nullptr);
  EXPECT_EQ(offscreen->calls, std::vector<std::string>{"MakeCurrent"});  // no swap while recording
  // Reading the panel during the capture reads the offscreen picture.
  EXPECT_GT(Lit(0), 20);
  EXPECT_EQ(offscreen->calls.back(), "ReadPixels(0,0,32,32,6408,5121,back)");
  // Orthogonal slices are not captured offscreen: they are cleared.
  manager->RedrawPanel(1, true);
  EXPECT_EQ(recorders[1]->calls, (std::vector<std::string>{"MakeCurrent", "SwapBuffers"}));
}

TEST_F(Redraw, SoftwareRenderingShowsOnlyTheMprViews) {
  recordingGl = std::make_unique<ZR_RecordingGl>(&gl->Gl());
  recordingGl->extensions = "GL_EXT_blend_minmax GL_ARB_multitexture";
  recordingGl->version = "1.1 Mesa";
  recordingPlatform = std::make_unique<ZR_RecordingRenderPlatform>(table, &recordingGl->Table());
  Start(*recordingPlatform);
  ASSERT_TRUE(manager->IsSoftwareRendering());
  ShowVolume();
  for (int32_t index = 0; index <= 8; ++index) manager->RedrawPanel(index, true);
  EXPECT_TRUE(recorders[0]->calls.empty());              // the 3D view draws nothing
  EXPECT_EQ(recorders[8]->calls.back(), "SwapBuffers");  // panel 8 is cleared
  EXPECT_EQ(Lit(0), 0);
  EXPECT_EQ(Lit(8), 0);
  for (int32_t index : {4, 5, 6, 7}) EXPECT_GT(Lit(index), 20) << index;
}

}  // namespace
