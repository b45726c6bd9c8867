// The manager's messages, questions and panel bookkeeping, seen through the recording doubles.
#include "manager/ZR_VisManager.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "core/ZR_Log.h"
#include "tests/support/ZR_RecordingMovie.h"
#include "tests/support/ZR_RecordingProgressBar.h"
#include "tests/support/ZR_RecordingVisGui.h"
#include "tests/support/ZR_TestData.h"

namespace {
// Exposes the state fields for the checks of their defaults.
class InspectableManager : public ZR_VisManager {
 public:
  using ZR_VisManager::ZR_VisManager;
  using ZR_VisManager::m_pViewports;
};
}  // namespace

TEST(Manager, ConstructionSetsTheDocumentedDefaults) {
  ZR_RecordingVisGui gui;
  InspectableManager m(&gui);
  EXPECT_EQ(m.Viewports(), nullptr);
  EXPECT_EQ(m.RepaintFlags(), nullptr);
  EXPECT_FALSE(m.IsOffscreenReady());
  EXPECT_TRUE(m.IsLargeViewport());
  EXPECT_EQ(m.ScreenState().nRenderQuality, 0);
  EXPECT_EQ(m.ScreenState().nStillQuality, 3);
  EXPECT_EQ(m.ScreenState().nRepaintQuality, 3);
  EXPECT_FALSE(m.RunStateForSetUp().bBusy);
  EXPECT_FALSE(m.IsInitialised());
  EXPECT_FALSE(m.IsVolumeLoaded());
  EXPECT_TRUE(m.ScreenState().bAutoQuality);
  EXPECT_TRUE(m.LoadState().bRegionEditing);
  EXPECT_TRUE(m.MprLayout().bCrosshair);
  EXPECT_EQ(m.VolumeState().nReduction, 1);
  EXPECT_FALSE(m.ScreenState().bShading);
  EXPECT_EQ(m.ScreenState().nScreen, ZR_Screen::Mpr);
  EXPECT_EQ(m.ScreenState().nRenderMode, ZR_RenderMode::Colour);
  EXPECT_TRUE(m.MprLayout().bGray);
  EXPECT_EQ(m.MprLayout().nTool, ZR_MprTool::WindowLevel);
  EXPECT_EQ(m.ScreenState().nFinalMethod, 2);
  EXPECT_EQ(m.VolumeState().nSubsample, 1);
  EXPECT_EQ(m.ScreenState().oTrackball.nWidth, 1024);
  EXPECT_EQ(m.ScreenState().oTrackball.nHeight, 768);
  EXPECT_EQ(m.ScreenState().oTrackball.dRadius, 512.0);
  EXPECT_EQ(m.ScreenState().nTool3d, ZR_Tool3d::Rotate);
  EXPECT_EQ(m.VolumeState().aAxisSign[0] + m.VolumeState().aAxisSign[1] + m.VolumeState().aAxisSign[2], 3);
  EXPECT_EQ(m.MprLayout().nActiveView, 6);
  EXPECT_EQ(m.MprLayout().nViewLimit, 12);
  EXPECT_EQ(m.MprLayout().nMaximisedSlot, 5);
  EXPECT_EQ(m.MprLayout().nMainView, 6);
  EXPECT_EQ(m.MprLayout().nMeasureView, 12);
  EXPECT_EQ(m.PointerState().nPickTolerance, 12);
  EXPECT_FALSE(m.ScreenState().bSnapshotMode);
  EXPECT_FALSE(m.MprLayout().bMprDisplay);
  EXPECT_TRUE(m.AppDir().empty());
  EXPECT_TRUE(m.CaptureDir().empty());
  EXPECT_TRUE(gui.calls.empty());  // construction does not touch the window
}

TEST(Manager, WiringStoresEachCollaboratorAndGivesTheMovieWriterItsSettings) {
  ZR_RecordingVisGui gui, previewGui;
  ZR_RecordingProgressBar progress;
  ZR_RecordingMovie recordingMovie;
  ZR_VisManager m(&gui);
  auto* settings = reinterpret_cast<ZR_Settings*>(0x10);
  auto* gallery = reinterpret_cast<ZR_ImageGallery*>(0x20);
  ZR_Movie* movie = &recordingMovie;
  auto* series = reinterpret_cast<ZR_Series*>(0x40);
  m.SetSettings(settings);
  m.SetImageGallery(gallery);
  m.SetMovie(movie);
  m.SetSeriesWriter(series);
  m.SetProgressBar(&progress);
  m.SetVolumePreviewGui(&previewGui);
  EXPECT_EQ(m.Settings(), settings);
  EXPECT_EQ(m.ImageGallery(), gallery);
  EXPECT_EQ(m.Movie(), movie);
  EXPECT_EQ(m.SeriesWriter(), series);
  EXPECT_EQ(m.ProgressBar(), &progress);
  EXPECT_EQ(m.VolumePreviewGui(), &previewGui);
  EXPECT_TRUE(gui.calls.empty());
  EXPECT_TRUE(previewGui.calls.empty());
  EXPECT_TRUE(progress.calls.empty());
  // Without a settings model the writer gets the defaults ("cvid", 100 %, 5 frames a second).
  EXPECT_EQ(recordingMovie.calls, std::vector<std::string>{"SetOptions 1684633187 100 5"});
}

TEST(ManagerReportResult, SuccessShowsNothingAndLeavesTheProgressBarOpen) {
  ZR_RecordingVisGui gui;
  ZR_RecordingProgressBar progress;
  ZR_VisManager m(&gui);
  m.SetProgressBar(&progress);
  progress.Show(true);
  m.ReportResult(VR_OK);
  EXPECT_TRUE(gui.calls.empty());
  EXPECT_TRUE(progress.visible);
}

TEST(ManagerReportResult, ClosesTheProgressBarBeforeTheMessage) {
  ZR_RecordingVisGui gui;
  ZR_RecordingProgressBar progress;
  ZR_VisManager m(&gui);
  m.SetProgressBar(&progress);
  progress.Show(true);
  bool closedBeforeMessage = false;
  gui.onCall = [&](const std::string& call) {
    if (call.rfind("ShowMessage(", 0) == 0) closedBeforeMessage = !progress.visible;
  };
  m.ReportResult(VR_LD_TOO_FEW_SLICES);
  EXPECT_TRUE(closedBeforeMessage);
  EXPECT_EQ(gui.calls,
            (std::vector<std::string>{"ShowMessage(\"ERROR! Failed to load volume (too few slices).\")"}));
}

TEST(ManagerReportResult, WorksWithoutAProgressBar) {
  ZR_RecordingVisGui gui;
  ZR_VisManager m(&gui);
  m.ReportResult(VR_NO_MEMORY);
  EXPECT_EQ(gui.Messages().size(), 1u);
}

TEST(ManagerReportResult, ShadingFailureUnchecksShadingAndSwitchesItOffFirst) {
  ZR_RecordingVisGui gui;
  ZR_VisManager m(&gui);
  m.SetShading(true, false);
  ASSERT_TRUE(m.IsShading());
  gui.Clear();
  bool shadingOffAtMessage = false;
  gui.onCall = [&](const std::string& call) {
    if (call.rfind("ShowMessage(", 0) == 0) shadingOffAtMessage = !m.IsShading();
  };
  m.ReportResult(VR_OG_SHADING);
  EXPECT_TRUE(shadingOffAtMessage);
  EXPECT_EQ(gui.calls,
            (std::vector<std::string>{
                "SetChecked(12,false)",
                "ShowMessage(\"ERROR! Failed to enable Shaded Rendering. Try reducing number of "
                "slices.\")"}));
}

TEST(ManagerReportResult, CodesWithoutATextAreLoggedAndShownAsAGenericError) {
  const auto dir = ZR_TestData::ScratchDir("report_unknown");
  ZR_RecordingVisGui gui;
  {
    ZR_VisManager m(&gui);
    m.OpenLog(dir.string());
    for (int32_t code : {17, 16, 15, 1, -5, 123456}) m.ReportResult(code);
  }
  const auto messages = gui.Messages();
  ASSERT_EQ(messages.size(), 6u);
  EXPECT_EQ(messages[0], "ERROR! The operation failed (result code 17).");
  EXPECT_EQ(messages[4], "ERROR! The operation failed (result code -5).");
  std::ifstream in(dir / "lmx_log.txt");
  std::stringstream log;
  log << in.rdbuf();
  EXPECT_NE(log.str().find("ReportResult(): no message for result code 17\n"), std::string::npos);
  EXPECT_NE(log.str().find("ReportResult(): no message for result code 123456\n"), std::string::npos);
}

TEST(ManagerShading, SwitchingOnEnablesFullQualityAndSelectsQualityZero) {
  ZR_RecordingVisGui gui;
  ZR_VisManager m(&gui);
  m.SetShading(true, false);
  EXPECT_EQ(gui.calls, (std::vector<std::string>{"EnableControl(11,true)"}));
  EXPECT_EQ(m.RenderQuality(), 0);
  gui.Clear();
  m.SetShading(true, true);  // unchanged: nothing happens
  EXPECT_TRUE(gui.calls.empty());
}

TEST(ManagerExit, AsksOnlyWhenTold) {
  ZR_RecordingVisGui gui;
  ZR_VisManager m(&gui);
  EXPECT_EQ(m.ConfirmExit(false), 0);
  EXPECT_TRUE(gui.calls.empty());
  gui.yesNoAnswers = {false, true};
  EXPECT_EQ(m.ConfirmExit(true), 0);
  EXPECT_EQ(m.ConfirmExit(true), 1);
  EXPECT_EQ(gui.calls, (std::vector<std::string>{"AskYesNo(\"Exit Lumetra ?\")",
                                                 "AskYesNo(\"Exit Lumetra ?\")"}));
}

TEST(ManagerPanels, ViewSlotOfEveryPanel) {
  const int32_t expected[] = {5, 0, 1, 2, 0, 1, 2, 3, 5, 5, 5, 5, 5};
  for (int32_t panel = 0; panel <= 12; ++panel)
    EXPECT_EQ(ZR_VisManager::ViewSlotOfPanel(panel), expected[panel]) << panel;
  EXPECT_EQ(ZR_VisManager::ViewSlotOfPanel(-1), 5);
}

TEST(ManagerPanels, SetupPanelViewSizesTheTrackballFromIntegerHalves) {
  ZR_RecordingVisGui gui;
  InspectableManager m(&gui);
  ZR_ViewportTable viewports;
  viewports.SetSize(0, 801, 601);
  viewports.SetSize(8, 300, 451);
  m.m_pViewports = &viewports;
  m.SetupPanelView(0);
  EXPECT_EQ(m.Trackball().nWidth, 801);
  EXPECT_EQ(m.Trackball().nHeight, 601);
  EXPECT_DOUBLE_EQ(m.Trackball().dRadius, 150.0);  // 0.5 * min(400, 300)
  m.SetupPanelView(8);
  EXPECT_DOUBLE_EQ(m.Trackball().dRadius, 75.0);  // 0.5 * min(150, 225)
}

TEST(ManagerPanels, ViewportSizeEntriesFollowTheTableLayout) {
  // Size entry i (12..35) belongs to panel (i - 12) / 2; the radial previews are 10 and 11.
  ZR_ViewportTable t;
  t.SetSize(10, 111, 222);
  t.SetSize(11, 333, 444);
  EXPECT_EQ(t.aSizes[32 - 12], 111);
  EXPECT_EQ(t.aSizes[33 - 12], 222);
  EXPECT_EQ(t.aSizes[34 - 12], 333);
  EXPECT_EQ(t.aSizes[35 - 12], 444);
}
