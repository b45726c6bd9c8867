// The keyboard and the tool choices: the standard orientations in both screens, the Ctrl
// shortcuts and the screens they belong to, the guard that keeps every key from acting on an
// empty view, the MPR tool memory, snapshot mode, the crosshair button, the MPR reset and the
// snapping of the 3D rotation to the axes.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "core/ZR_Ids.h"
#include "core/ZR_Keys.h"
#include "mpr/ZR_MprCrosshair.h"
#include "mpr/ZR_StandardOrientations.h"
#include "render/ZR_Matrix4.h"
#include "tests/manager/ZR_MprTestManager.h"
#include "tests/support/ZR_MprTestMatrices.h"

namespace {

class Keys : public ZR_MprFixture {
 protected:
  void SetUp() override { StartPhantom(); }
  void Key(int32_t key, bool ctrl = false) { manager->KeyDown(key, ctrl, false, false); }
  static bool Same(const float* a, const float* b) { return std::equal(a, a + 16, b); }
  const MprViewInfo& Active() { return manager->MprView(manager->ActiveMprView()); }
};

TEST_F(Keys, LettersGiveTheActiveViewItsStandardOrientationFromTheCentre) {
  manager->PointerMove(5, 10, 10);
  ASSERT_EQ(manager->ActiveMprView(), 5);
  manager->MouseWheel(120, true, false);
  manager->MprLayoutForSetUp().aViews[5].aMeasurement[0] = 1;
  const char* letters = "LRAPIS";
  for (int32_t code = 0; code < 6; ++code) {
    Key(letters[code]);
    float expected[16];
    (void)ZR_StandardOrientations::PlaneOrientation(code, expected);
    EXPECT_TRUE(Same(Active().Orientation(), expected)) << letters[code];
    EXPECT_EQ(Active().Position()[1], 0) << letters[code];
    EXPECT_EQ(Active().aMeasurement[0], 0);
  }
  // Only the active view changes.
  float sagittal[16];
  ZR_StandardOrientations::LayoutPlane(4, sagittal);
  EXPECT_TRUE(Same(manager->MprView(4).Orientation(), sagittal));
}

TEST_F(Keys, InTheThreeDScreenLettersTurnTheVolume) {
  manager->ScreenStateForSetUp().nScreen = ZR_Screen::View3d;
  const char* letters = "LRAPIS";
  for (int32_t code = 0; code < 6; ++code) {
    Key(letters[code]);
    float expected[16];
    (void)ZR_StandardOrientations::ViewRotation(code, expected);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(shared.Rotation()[i], expected[i], 1e-6) << letters[code] << " " << i;
  }
  // S is the identity; a marked region of interest is cleared with each.
  for (int i = 0; i < 16; ++i) EXPECT_EQ(shared.Rotation()[i], i % 5 == 0 ? 1 : 0);
  EXPECT_EQ(std::count(manager->later.begin(), manager->later.end(), "ClearRoi"), 6);
}

TEST_F(Keys, CtrlShortcutsActOnlyInTheirScreen) {
  // MPR screen: Ctrl+B belongs to the 3D screen; Ctrl+S writes the active view's values.
  Key(ZR_Key::B, true);
  EXPECT_TRUE(settings.Display().showBoundingBox);
  Key(ZR_Key::S, true);
  EXPECT_EQ(manager->later, (std::vector<std::string>{"CaptureRawView(6,0)"}));
  Key(ZR_Key::I, true);
  EXPECT_TRUE(settings.Display().showStudyDetails);
  // 3D screen: Ctrl+S does nothing; Ctrl+B toggles the box and shows it.
  manager->ScreenStateForSetUp().nScreen = ZR_Screen::View3d;
  manager->later.clear();
  Key(ZR_Key::S, true);
  EXPECT_TRUE(manager->later.empty());
  Key(ZR_Key::B, true);
  EXPECT_FALSE(settings.Display().showBoundingBox);
  EXPECT_FALSE(shared.ShowBox());
  Key(ZR_Key::B, true);
  EXPECT_TRUE(shared.ShowBox());
  // With Ctrl the letters are no orientations.
  float before[16];
  std::copy_n(shared.Rotation(), 16, before);
  Key(ZR_Key::A, true);
  EXPECT_TRUE(Same(shared.Rotation(), before));
}

TEST_F(Keys, CtrlXSwitchesTheCrosshairsOffAndLetsGoOfAGrabbedLine) {
  manager->PointerMove(6, 32, 10);
  ASSERT_EQ(manager->CrosshairDrag(), ZR_MprCrosshair::PlaneCode(4));
  Key(ZR_Key::X, true);
  EXPECT_FALSE(manager->CrosshairShown());
  EXPECT_FALSE(settings.Display().showMprCrosshairs);
  EXPECT_TRUE(gui.Has("SetButtonDown(44,false)"));
  EXPECT_EQ(manager->CrosshairDrag(), ZR_MprCrosshair::kNone);
  EXPECT_EQ(LineColumn(Read(6)), -1);
  EXPECT_EQ(LineRow(Read(6)), -1);
  // Hidden lines cannot be grabbed.
  manager->PointerMove(6, 32, 12);
  EXPECT_EQ(manager->CrosshairDrag(), ZR_MprCrosshair::kNone);
  Key(ZR_Key::X, true);
  EXPECT_TRUE(manager->CrosshairShown());
  EXPECT_TRUE(gui.Has("SetButtonDown(44,true)"));
  EXPECT_NEAR(LineColumn(Read(6)), 32, 1);
}

TEST_F(Keys, EscapeAndDeleteGoToTheRegionOrTheCurve) {
  Key(ZR_Key::Escape);
  Key(ZR_Key::Delete);
  EXPECT_TRUE(manager->later.empty());
  manager->MprLayoutForSetUp().aViews[6].bCurveMode = true;
  Key(ZR_Key::Escape);
  Key(ZR_Key::Delete);
  manager->ScreenStateForSetUp().nTool3d = ZR_Tool3d::Roi;
  Key(ZR_Key::Escape);
  EXPECT_EQ(manager->later, (std::vector<std::string>{"RestartCurve", "DeleteCurvePoint", "ClearRoi"}));
}

TEST_F(Keys, NoKeyActsWithoutAVolumeOrWhileBusy) {
  for (bool noVolume : {true, false}) {
    manager->VolumeStateForSetUp().bLoaded = !noVolume;
    manager->RunStateForSetUp().bBusy = !noVolume;
    Key(ZR_Key::S, true);
    Key(ZR_Key::X, true);
    Key(ZR_Key::L);
    EXPECT_TRUE(manager->later.empty());
    EXPECT_TRUE(manager->CrosshairShown());
    EXPECT_EQ(manager->MprView(6).Orientation()[0], 1);
  }
}

TEST_F(Keys, ChoosingAToolRemembersTheOneItReplacesForTool10) {
  // Zoom replaces window/level; a measurement tool is only set; 10 restores window/level.
  manager->SetMprTool(ZR_MprTool::Zoom);
  EXPECT_TRUE(gui.Has("SetToolButtonMarked(45,false)"));
  gui.Clear();
  manager->SetMprTool(ZR_MprTool::Ruler);
  EXPECT_FALSE(gui.Has("SetToolButtonMarked(45,false)"));
  EXPECT_EQ(manager->MprTool(), ZR_MprTool::Ruler);
  manager->SetMprTool(ZR_MprTool::Restore);
  EXPECT_EQ(manager->MprTool(), ZR_MprTool::WindowLevel);
  manager->SetMprTool(static_cast<ZR_MprTool>(11));
  EXPECT_EQ(manager->MprTool(), ZR_MprTool::WindowLevel);
  // A press with a measurement tool starts a measurement.
  manager->SetMprTool(ZR_MprTool::PixelValue);
  manager->LeftDown(6, 10, 10);
  EXPECT_EQ(manager->later, (std::vector<std::string>{"StartMeasurement(6)"}));
}

TEST_F(Keys, SnapshotModeMarksThePanelsAndTheNextClickCaptures) {
  // MPR screen: the MPR tool buttons are disabled and the panels show the capture cursor.
  manager->SetSnapshotMode(true);
  for (int32_t id : {40, 38, 39, 41}) EXPECT_TRUE(gui.Has("EnableControl(" + std::to_string(id) + ",false)"));
  for (int32_t panel = 4; panel <= 8; ++panel) EXPECT_EQ(gui.cursors[panel], ZR_Cursor::Capture);
  manager->LeftDown(5, 20, 20);
  EXPECT_EQ(manager->later, (std::vector<std::string>{"CaptureView(5)"}));
  EXPECT_EQ(manager->ActiveMprView(), 6);  // the click did nothing else
  manager->SetSnapshotMode(false);
  EXPECT_EQ(gui.cursors[8], ZR_Cursor::Rotate);
  EXPECT_EQ(gui.cursors[9], ZR_Cursor::WindowLevel);
  // 3D screen: panel 0's cursor comes back as it was.
  manager->ScreenStateForSetUp().nScreen = ZR_Screen::View3d;
  gui.SetPanelCursor(0, ZR_Cursor::Zoom);
  manager->SetSnapshotMode(true);
  EXPECT_EQ(gui.cursors[0], ZR_Cursor::Capture);
  manager->SetSnapshotMode(false);
  EXPECT_EQ(gui.cursors[0], ZR_Cursor::Zoom);
  EXPECT_EQ(gui.cursors[1], ZR_Cursor::Arrow);
  // Without a volume it does nothing.
  manager->VolumeStateForSetUp().bLoaded = false;
  manager->SetSnapshotMode(true);
  EXPECT_FALSE(manager->SnapshotMode());
}

TEST_F(Keys, ResetBringsTheLayoutBackAndTheCrosshairButtonLetsGo) {
  manager->SetMprTool(ZR_MprTool::RotateFree);
  manager->PointerMove(7, 10, 10);
  manager->LeftDown(7, 10, 10);
  manager->PointerMove(7, 30, 40);
  manager->LeftUp(7);
  manager->MouseWheel(120, true, false);
  ASSERT_FALSE(manager->MprView(7).Orientation()[0] == 1);
  manager->PointerMove(6, 32, 10);
  ASSERT_NE(manager->CrosshairDrag(), 0);
  manager->Command(ZR_Ctl::Sbtn_MprXhair, std::array<uint8_t, 1>{1}.data());
  EXPECT_NE(manager->CrosshairDrag(), 0);
  manager->Command(ZR_Ctl::Sbtn_MprXhair, std::array<uint8_t, 1>{0}.data());
  EXPECT_EQ(manager->CrosshairDrag(), 0);
  EXPECT_FALSE(manager->CrosshairShown());
  manager->Command(ZR_Ctl::Sbtn_MprXhair, std::array<uint8_t, 1>{1}.data());
  manager->ResetMpr();
  for (int32_t panel = 4; panel <= 7; ++panel) {
    float expected[16];
    ZR_StandardOrientations::LayoutPlane(panel, expected);
    EXPECT_TRUE(Same(manager->MprView(panel).Orientation(), expected)) << panel;
    EXPECT_EQ(manager->MprView(panel).Position()[2], 0) << panel;
  }
  EXPECT_EQ(manager->ActiveMprView(), 6);
  EXPECT_EQ(manager->MainMprView(), 6);
  EXPECT_TRUE(gui.Has("SetButtonDown(47,false)"));
}

TEST_F(Keys, AlignToAxesTurnsTheVolumeOntoTheAxesWithoutCollapsingIt) {
  manager->ScreenStateForSetUp().nScreen = ZR_Screen::View3d;
  auto lit = [&] {
    const ZR_TestImage view = Read(0);
    int count = 0;
    for (int32_t y = 0; y < view.nHeight; ++y)
      for (int32_t x = 0; x < view.nWidth; ++x) count += view.At(x, y)[0] + view.At(x, y)[1] + view.At(x, y)[2] > 60;
    return count;
  };
  Key('S');  // looking along z
  const int unturned = lit();
  ASSERT_GT(unturned, 100);
  // Rows (0.5, 0.7071, 0.5) and (0.5, -0.7071, 0.5): both nearest to the second axis.
  const float rows[3][3] = {{0.5f, 0.7071068f, 0.5f}, {0.5f, -0.7071068f, 0.5f}, {-0.7071068f, 0, 0.7071068f}};
  float rotation[16];
  ZR_Matrix4().ToFloats(rotation);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) rotation[4 * c + r] = rows[r][c];
  shared.SetRotation(rotation);
  manager->AlignToAxes();
  EXPECT_TRUE(ZR_MprTestMatrices::IsRotation(shared.Rotation(), 0));
  // The volume is still drawn, seen along an axis as large as before.
  EXPECT_GT(lit(), unturned * 2 / 3);
}

}  // namespace
