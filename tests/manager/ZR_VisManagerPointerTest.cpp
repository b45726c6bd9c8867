// The manager driven through its pointer operations as the window calls them, on headless
// panels: crosshair lines grabbed and dragged, planes turned, the active and the target view,
// double clicks and repeated positions, the release rules of "Auto High-Quality" and the
// wheel. State and pictures are both checked.
#include <gtest/gtest.h>

#include <cmath>

#include "core/ZR_Ids.h"
#include "mpr/ZR_MprCrosshair.h"
#include "presets/ZR_PresetEditor.h"
#include "tests/manager/ZR_MprTestManager.h"
#include "tests/support/ZR_ImageCompare.h"
#include "tests/support/ZR_MprTestMatrices.h"
#include "tests/support/ZR_RecordingPresetEditorGui.h"

namespace {
using ZR_MprTestMatrices::IsRotation;

class Pointer : public ZR_MprFixture {
 protected:
  void SetUp() override { StartPhantom(); }
  const MprViewInfo& View(int32_t panel) { return manager->MprView(panel); }
};

TEST_F(Pointer, DraggingTheSagittalLineInTheAxialViewMovesTheSagittalPlaneWithIt) {
  // Both lines cross at the centre of the axial view (on the edge between two pixels); the
  // sagittal one is vertical.
  ASSERT_NEAR(LineColumn(Read(6)), 32, 1);
  ASSERT_NEAR(LineRow(Read(6)), 32, 1);
  manager->PointerMove(6, 32, 10);
  EXPECT_EQ(manager->CrosshairDrag(), ZR_MprCrosshair::PlaneCode(4));
  EXPECT_TRUE(gui.Has("SetPanelCursor(6,13)"));
  manager->LeftDown(6, 32, 10);
  EXPECT_EQ(manager->MainMprView(), 4);  // panel 8 shows the grabbed line's plane
  // 10 pixels of a 64-pixel view of a 64-unit box: 10 units along the view's right (x).
  manager->PointerMove(6, 42, 14);
  EXPECT_FLOAT_EQ(View(4).Position()[0], 10);
  EXPECT_FLOAT_EQ(View(4).Position()[1], 0);
  EXPECT_FLOAT_EQ(View(4).Position()[2], 0);
  EXPECT_FLOAT_EQ(View(5).Position()[1], 0);  // the coronal plane stays
  manager->LeftUp(6);
  // The line is drawn where the plane now is, in the axial and in the coronal view; the
  // sagittal view itself shows the other slice of the volume.
  EXPECT_NEAR(LineColumn(Read(6)), 42, 1);
  EXPECT_NEAR(LineColumn(Read(5)), 42, 1);
  // A second drag grabs it where it is now.
  manager->PointerMove(6, 43, 50);
  EXPECT_EQ(manager->CrosshairDrag(), ZR_MprCrosshair::PlaneCode(4));
  manager->PointerMove(6, 20, 50);
  EXPECT_EQ(manager->CrosshairDrag(), ZR_MprCrosshair::kNone);
}

TEST_F(Pointer, TheCrossingMovesBothPlanesAndTheSagittalViewsAxialLineMovesZ) {
  manager->PointerMove(6, 33, 31);
  EXPECT_EQ(manager->CrosshairDrag(), ZR_MprCrosshair::kCrossing4 + 2);
  manager->LeftDown(6, 33, 31);
  manager->PointerMove(6, 30, 35);
  manager->LeftUp(6);
  EXPECT_FLOAT_EQ(View(4).Position()[0], -3);
  EXPECT_FLOAT_EQ(View(5).Position()[1], 4);
  // In the sagittal view the axial line is horizontal; dragging it up moves the axial plane
  // towards +z (the view's up direction runs down the pane and is -z).
  manager->PointerMove(4, 10, 32);
  ASSERT_EQ(manager->CrosshairDrag(), ZR_MprCrosshair::PlaneCode(6));
  EXPECT_EQ(manager->ActiveMprView(), 4);
  manager->LeftDown(4, 10, 32);
  manager->PointerMove(4, 10, 24);
  manager->LeftUp(4);
  EXPECT_FLOAT_EQ(View(6).Position()[2], 8);
  EXPECT_NEAR(LineRow(Read(4)), 24, 1);
  EXPECT_NEAR(LineRow(Read(5)), 24, 1);
}

TEST_F(Pointer, TurningTheCoronalPlaneParallelToTheSagittalOneRemovesItsLineThere) {
  ASSERT_NEAR(LineColumn(Read(4)), 32, 1);  // the coronal line in the sagittal view
  manager->SetMprTool(ZR_MprTool::RotateHorizontal);
  // From the ball's left rim to its centre: a quarter turn about the view's vertical.
  manager->PointerMove(5, 8, 20);
  ASSERT_EQ(manager->CrosshairDrag(), ZR_MprCrosshair::kNone);
  EXPECT_EQ(manager->ActiveMprView(), 5);
  manager->LeftDown(5, 8, 20);
  manager->PointerMove(5, 32, 20);
  manager->LeftUp(5);
  const float* normal = View(5).Axis(2);
  EXPECT_NEAR(std::fabs(normal[0]), 1, 1e-5);
  EXPECT_TRUE(IsRotation(View(5).Orientation()));
  // No line of plane 5 in view 4 any more, so nothing to grab where it was; the axial line
  // is still there.
  const ZR_TestImage sagittal = Read(4);
  EXPECT_EQ(LineColumn(sagittal), -1);
  EXPECT_NEAR(LineRow(sagittal), 32, 1);
  for (int32_t v : View(4).aLineRects[ZR_MprCrosshair::PlaneSlot(5)]) EXPECT_EQ(v, 0);
  manager->PointerMove(4, 32, 10);
  EXPECT_EQ(manager->CrosshairDrag(), ZR_MprCrosshair::kNone);
}

TEST_F(Pointer, TwoRimPointsInOneEventTurnThePlaneByHalfATurnWithoutBreakingIt) {
  manager->SetMprTool(ZR_MprTool::RotateHorizontal);
  manager->PointerMove(6, 1, 10);
  manager->LeftDown(6, 1, 10);
  manager->PointerMove(6, 63, 50);
  manager->LeftUp(6);
  EXPECT_TRUE(IsRotation(View(6).Orientation()));
  EXPECT_NEAR(View(6).Axis(2)[2], -1, 1e-5);
  // The view still shows the volume (mirrored), not an empty picture.
  const ZR_TestImage axial = Read(6);
  int lit = 0;
  for (int32_t y = 16; y < 48; ++y)
    for (int32_t x = 16; x < 48; ++x) lit += axial.At(x, y)[0] > 20 ? 1 : 0;
  EXPECT_GT(lit, 32 * 32 / 2);
}

TEST_F(Pointer, TheActiveViewFollowsThePointerUnlessItIsLocked) {
  manager->PointerMove(4, 10, 10);
  EXPECT_EQ(manager->ActiveMprView(), 4);
  EXPECT_EQ(manager->MainMprView(), 4);
  // The active view has the red frame.
  const ZR_TestImage sagittal = Read(4);
  EXPECT_GT(sagittal.At(10, 1)[0], 128);
  EXPECT_LT(sagittal.At(10, 1)[1], 64);
  manager->MprLayoutForSetUp().bLockActiveView = true;
  manager->PointerMove(7, 10, 10);
  manager->LeftDown(7, 10, 10);
  manager->LeftUp(7);
  EXPECT_EQ(manager->ActiveMprView(), 4);
  EXPECT_EQ(manager->MainMprView(), 4);
}

TEST_F(Pointer, TheFirstMoveAfterADoubleClickIsIgnored) {
  manager->PanelDoubleClick(6);
  manager->PointerMove(5, 10, 10);
  EXPECT_EQ(manager->ActiveMprView(), 6);
  EXPECT_TRUE(gui.CallsTo("SetPanelCursor").empty());
  manager->PointerMove(5, 11, 10);
  EXPECT_EQ(manager->ActiveMprView(), 5);
}

TEST_F(Pointer, AMoveToTheSamePositionChangesNothingNotEvenTheCursor) {
  manager->SetMprTool(ZR_MprTool::RotateFree);
  manager->LeftDown(6, 20, 20);
  float before[16];
  std::copy_n(View(6).Orientation(), 16, before);
  gui.Clear();
  manager->PointerMove(6, 20, 20);
  EXPECT_TRUE(gui.calls.empty());
  for (int i = 0; i < 16; ++i) EXPECT_EQ(View(6).Orientation()[i], before[i]);
  manager->PointerMove(6, 26, 20);
  EXPECT_NE(View(6).Orientation()[0], before[0]);
  EXPECT_EQ(manager->PointerState().nLastX, 26);
}

TEST_F(Pointer, TheCursorShowsTheMprTool) {
  struct Case {
    int32_t tool, cursor;
  };
  for (const Case& c : {Case{0, 12}, Case{1, 13}, Case{2, 11}, Case{4, 11}, Case{5, 14}}) {
    manager->SetMprTool(static_cast<ZR_MprTool>(c.tool));
    gui.Clear();
    manager->PointerMove(7, 10 + c.tool, 10);
    EXPECT_EQ(gui.cursors[7], c.cursor) << c.tool;
  }
  // A measurement tool keeps the cursor it has.
  manager->SetMprTool(ZR_MprTool::Ruler);
  gui.Clear();
  manager->PointerMove(7, 30, 10);
  EXPECT_TRUE(gui.CallsTo("SetPanelCursor").empty());
}

TEST_F(Pointer, ReleasingRendersPanel0AtFullQualityOnlyAfterAMoveWithAutoHighQuality) {
  manager->ScreenStateForSetUp().nScreen = ZR_Screen::View3d;
  manager->RedrawViews(true);  // the orthogonal views, with their slice lines
  // A drag in panel 0 renders at interactive quality; its release at full quality.
  manager->LeftDown(0, 30, 30);
  manager->PointerMove(0, 40, 30);
  EXPECT_EQ(manager->RenderQuality(), 3);
  manager->LeftUp(0);
  EXPECT_EQ(manager->RenderQuality(), 0);
  // A press and release without movement does not re-render.
  manager->SelectQuality(3, true);
  manager->LeftDown(0, 40, 30);
  manager->LeftUp(0);
  EXPECT_EQ(manager->RenderQuality(), 3);
  // Without "Auto High-Quality" nothing is re-rendered.
  manager->ScreenStateForSetUp().bAutoQuality = false;
  manager->LeftDown(0, 40, 30);
  manager->PointerMove(0, 50, 30);
  manager->LeftUp(0);
  EXPECT_EQ(manager->RenderQuality(), 3);
  // A transfer-function drag in an orthogonal view renders panel 0 again on its release.
  manager->ScreenStateForSetUp().bAutoQuality = true;
  manager->ScreenStateForSetUp().nTool3d = ZR_Tool3d::WindowLevel;
  manager->LeftDown(1, 5, 5);
  manager->PointerMove(1, 9, 5);
  EXPECT_EQ(manager->RenderQuality(), 3);
  manager->LeftUp(1);
  EXPECT_EQ(manager->RenderQuality(), 0);
}

TEST_F(Pointer, InTheMprScreenTheReleasePointsPanel8AtTheActiveViewWhenTheCutViewIsNotLive) {
  manager->MprLayoutForSetUp().bMprDisplay = true;
  manager->SetMprTool(ZR_MprTool::RotateFree);
  manager->PointerMove(5, 10, 10);
  manager->LeftDown(5, 10, 10);
  manager->MprLayoutForSetUp().nMainView = 7;
  manager->PointerMove(5, 20, 10);
  EXPECT_EQ(manager->MainMprView(), 5);
  manager->MprLayoutForSetUp().nMainView = 7;
  manager->LeftUp(5);
  EXPECT_EQ(manager->MainMprView(), 5);
}

TEST_F(Pointer, TheWheelStepsTheTargetPlaneAlongItsNormal) {
  // D = 50 (40 slices of 1.25): plain steps are min(2, 1.25), Ctrl 2.5, Shift 0.1.
  struct Case {
    int32_t delta;
    bool ctrl, shift;
    float z;
  };
  const Case cases[] = {{120, false, false, 1.25f}, {120, true, false, 3.75f}, {-120, false, true, 3.65f},
                        {-1, true, true, 1.15f}};
  for (const Case& c : cases) {
    manager->MouseWheel(c.delta, c.ctrl, c.shift);
    EXPECT_NEAR(View(6).Position()[2], c.z, 1e-5) << c.delta << c.ctrl << c.shift;
  }
  // The target, not the view under the pointer, moves; a view in curve mode does not.
  manager->MprLayoutForSetUp().nMainView = 4;
  manager->MouseWheel(120, false, false);
  EXPECT_FLOAT_EQ(View(4).Position()[0], -1.25f);
  manager->MprLayoutForSetUp().aViews[4].bCurveMode = true;
  manager->MouseWheel(120, false, false);
  EXPECT_FLOAT_EQ(View(4).Position()[0], -1.25f);
  // Nor does anything move in the 3D screen.
  manager->MprLayoutForSetUp().aViews[4].bCurveMode = false;
  manager->ScreenStateForSetUp().nScreen = ZR_Screen::View3d;
  manager->MouseWheel(120, true, false);
  EXPECT_FLOAT_EQ(View(4).Position()[0], -1.25f);
}

TEST_F(Pointer, PanelEightTurnsTheTargetPlaneWithTheLeftButtonAndTheViewWithTheRight) {
  float view[16];
  std::copy_n(shared.Rotation(), 16, view);
  manager->LeftDown(8, 32, 32);
  EXPECT_EQ(manager->Tool3d(), ZR_Tool3d::CutPlane);
  manager->PointerMove(8, 56, 32);  // a quarter turn
  manager->LeftUp(8);
  EXPECT_TRUE(IsRotation(View(6).Orientation()));
  EXPECT_LT(View(6).Axis(2)[2], 0.999f);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(shared.Rotation()[i], view[i]);
  manager->RightDown(8, 32, 32);
  manager->PointerMove(8, 32, 40);
  manager->RightUp(8);
  EXPECT_NE(shared.Rotation()[5], view[5]);
}

TEST_F(Pointer, WithMovieCaptureSmallStepsAreNeitherAppliedNorRecorded) {
  manager->ScreenStateForSetUp().nScreen = ZR_Screen::View3d;
  manager->PointerStateForSetUp().bMovieCapture = true;
  float start[16];
  std::copy_n(shared.Rotation(), 16, start);
  manager->LeftDown(0, 30, 30);
  manager->PointerMove(0, 40, 30);  // 10 pixels: small
  for (int i = 0; i < 16; ++i) EXPECT_EQ(shared.Rotation()[i], start[i]);
  EXPECT_TRUE(manager->later.empty());
  manager->PointerMove(0, 46, 30);  // 16 pixels from the older position
  EXPECT_NE(shared.Rotation()[0], start[0]);
  // The turn clears a marked region, then the step is recorded from the older position.
  EXPECT_EQ(manager->later, (std::vector<std::string>{"ClearRoi", "RecordMovieEvent(30,46)"}));
}

TEST_F(Pointer, NoVolumeOrABusyManagerTakesNoPointerInput) {
  manager->RunStateForSetUp().bBusy = true;
  manager->PointerMove(5, 10, 10);
  manager->LeftDown(5, 10, 10);
  EXPECT_EQ(manager->ActiveMprView(), 6);
  manager->RunStateForSetUp().bBusy = false;
  manager->VolumeStateForSetUp().bLoaded = false;
  manager->PointerMove(5, 12, 10);
  manager->MouseWheel(120, false, false);
  EXPECT_EQ(manager->ActiveMprView(), 6);
  EXPECT_FLOAT_EQ(View(6).Position()[2], 0);
}

}  // namespace

namespace {
// A drag in an MPR view away from the lines, by MPR tool: zoom and pan do nothing there, the
// rotation tools turn only the view's own plane, window/level changes the grey of all four
// views and no plane.
// The preset engine over the phantom, its windows over the whole stored range (a flat
// histogram), so that window drags have a table to change.
void AttachPresetEditor(ZR_MprTestManager& manager, ZR_RecordingPresetEditorGui& gui) {
  ASSERT_EQ(manager.CreatePresetEditor(&gui), VR_OK);
  std::vector<uint32_t> histogram(ZR_PresetEditor::kBins, 10);
  manager.PresetEditor()->InitialiseForVolume(histogram.data(), 10 * histogram.size(), 1, 0, 0, 4095,
                                              ZR_Lut::kIndexScale, 0);
  manager.PresetEditor()->ResetBands();
  manager.PresetEditor()->ResetWindows();
}

// A left drag from (x, y) with 8 steps of 80 pixels up (the pointer may leave a panel while a
// button is held): 640 levels down make a window's change plain.
void DragUp(ZR_MprTestManager& manager, int32_t panel, int32_t x, int32_t y) {
  manager.LeftDown(panel, x, y);
  for (int32_t step = 1; step <= 8; ++step) manager.PointerMove(panel, x + 2 * step, y - 80 * step);
  manager.LeftUp(panel);
}

TEST_F(Pointer, WhatADragAwayFromTheLinesDoesInAnMprViewByTool) {
  ZR_RecordingPresetEditorGui presetGui;
  AttachPresetEditor(*manager, presetGui);
  struct Case {
    int32_t tool;
    bool turnsPlane;
    bool changesGrey;
  };
  for (const Case c : {Case{0, false, false}, Case{1, false, false}, Case{2, true, false}, Case{3, true, false},
                       Case{4, true, false}, Case{5, false, true}}) {
    SCOPED_TRACE("tool " + std::to_string(c.tool));
    manager->ResetMpr();
    manager->RedrawViews(false);
    const ZR_TestImage before6 = Read(6), before4 = Read(4);
    float planes[4][16];
    for (int32_t panel = 4; panel <= 7; ++panel) std::copy_n(View(panel).Orientation(), 16, planes[panel - 4]);
    manager->SetMprTool(static_cast<ZR_MprTool>(c.tool));
    manager->PointerMove(6, 12, 44);
    ASSERT_EQ(manager->CrosshairDrag(), ZR_MprCrosshair::kNone);
    DragUp(*manager, 6, 12, 44);
    manager->RedrawViews(false);
    bool turned = false;
    for (int i = 0; i < 16; ++i) turned |= View(6).Orientation()[i] != planes[2][i];
    EXPECT_EQ(turned, c.turnsPlane);
    for (int32_t panel : {4, 5, 7})
      for (int i = 0; i < 16; ++i) ASSERT_EQ(View(panel).Orientation()[i], planes[panel - 4][i]) << panel;
    EXPECT_TRUE(IsRotation(View(6).Orientation()));
    // The sagittal view shows a turned axial plane only through its line; its grey changes
    // with the window alone.
    const int64_t greyChanged = ZR_ImageCompare::Differing(Read(4), before4, 8);
    EXPECT_EQ(greyChanged > kPanel * kPanel / 8, c.changesGrey) << greyChanged;
    EXPECT_EQ(ZR_ImageCompare::Differing(Read(6), before6, 8) > 0, c.turnsPlane || c.changesGrey);
  }
  manager.reset();  // before the editor's window goes
}

// The 3D screen's window drags: with 3D tool 6 in panel 0, and away from the slice lines in
// an orthogonal view, the grey window changes and the views redraw with it; the opacity
// window tool leaves the grey alone.
TEST_F(Pointer, WindowDragsOfTheThreeDScreenRedrawTheViewsWithTheNewTable) {
  ZR_RecordingPresetEditorGui presetGui;
  AttachPresetEditor(*manager, presetGui);
  manager->ScreenStateForSetUp().nScreen = ZR_Screen::View3d;
  manager->SetRenderMode(ZR_RenderMode::Grayscale, false);
  struct Case {
    int32_t panel, tool;
    bool changesGrey;
  };
  for (const Case c : {Case{0, 6, true}, Case{3, 0, true}, Case{3, 7, false}}) {
    SCOPED_TRACE("panel " + std::to_string(c.panel) + ", tool " + std::to_string(c.tool));
    manager->PresetEditor()->ResetWindows();
    manager->RedrawViews(true);
    const ZR_TestImage before = Read(3);
    manager->ScreenStateForSetUp().nTool3d = static_cast<ZR_Tool3d>(c.tool);
    manager->PointerMove(c.panel, 6, 58);
    DragUp(*manager, c.panel, 6, 58);
    EXPECT_EQ(manager->LineDrag(), 0);
    const int64_t changed = ZR_ImageCompare::Differing(Read(3), before, 8);
    EXPECT_EQ(changed > kPanel * kPanel / 8, c.changesGrey) << changed;
  }
  manager.reset();  // before the editor's window goes
}

}  // namespace
