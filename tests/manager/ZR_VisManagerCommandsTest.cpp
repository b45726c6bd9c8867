// The numbered commands and the pop-up menu through the recording doubles, the setting
// reactions and what the engine marks changed, and the view reset and the MPR layout reset
// of a load, measured against a fresh load.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>

#include "core/ZR_Ids.h"
#include "core/ZR_Keys.h"
#include "render/ZR_Matrix4.h"
#include "tests/dicom/ZR_TestStudy.h"
#include "tests/manager/ZR_LoadingFixture.h"
#include "tests/manager/ZR_MprTestManager.h"
#include "tests/support/ZR_RecordingMovie.h"
#include "tests/support/ZR_RecordingSettings.h"

namespace {
class Commands : public ZR_MprFixture {
 protected:
  void SetUp() override {
    StartPhantom();
    recording.model = &settings;
    manager->SetSettings(&recording);
    manager->SetSettingsModel(&settings);
  }
  void Int(int32_t id, int32_t value) { manager->Command(id, &value); }
  void Float(int32_t id, float value) { manager->Command(id, &value); }
  void Byte(int32_t id, uint8_t value) { manager->Command(id, &value); }
  const MprViewInfo& Active() { return manager->MprView(manager->ActiveMprView()); }

  ZR_RecordingSettings recording;
};

TEST_F(Commands, NumbersOutsideTheTableChangeNothing) {
  const ZR_MprLayout before = manager->MprLayout();
  for (const int32_t id : {0, 3, 5, 9, 10, 64, 65, 66, 99, -1, 1000}) {
    gui.Clear();
    Int(id, 1);
    manager->Command(id, nullptr);
    EXPECT_TRUE(gui.calls.empty()) << id;
    manager->MprPopupCommand(id == 10 ? 99 : id);  // 10 is the lock in the pop-up
  }
  EXPECT_EQ(manager->MprTool(), before.nTool);
  EXPECT_EQ(manager->ActiveMprView(), before.nActiveView);
  EXPECT_EQ(manager->Tool3d(), ZR_Tool3d::Rotate);
  EXPECT_FALSE(manager->LockActiveView());
  EXPECT_TRUE(recording.calls.empty());
}

TEST_F(Commands, TheSlabRadioOrderIsTranslatedAndThePopupShowsIt) {
  manager->Command(ZR_Ctl::Sbtn_Slab);
  EXPECT_EQ(Active().Type(), MprViewInfo::kSlab);
  EXPECT_EQ(manager->MainMprView(), manager->ActiveMprView());
  struct Case {
    int32_t radio, stored, menu;
  };
  for (const Case c : {Case{1, MprViewInfo::kMip, ZR_Menu::Mi_MIP}, Case{2, MprViewInfo::kMinIp, ZR_Menu::Mi_MinIP},
                       Case{0, MprViewInfo::kMpvr, ZR_Menu::Mi_MPVR}}) {
    Int(ZR_Ctl::Rg_SlabMode, c.radio);
    EXPECT_EQ(Active().nSlabMode, c.stored) << c.radio;
    gui.Clear();
    manager->MprPopupCommand(ZR_Menu::PopupOpening);
    EXPECT_TRUE(gui.Has("SetMenuChecked(" + std::to_string(c.menu) + ",true)")) << c.radio;
    EXPECT_TRUE(gui.Has("SetMenuChecked(5,true)"));  // the slab layout
    EXPECT_TRUE(gui.Has("EnableMenu(9,false)"));     // the series preview is for multi only
  }
  Int(ZR_Ctl::Rg_SlabMode, 3);  // not a radio item
  EXPECT_EQ(Active().nSlabMode, MprViewInfo::kMpvr);
  manager->Command(ZR_Ctl::Sbtn_Single);
  gui.Clear();
  manager->MprPopupCommand(ZR_Menu::PopupOpening);
  EXPECT_TRUE(gui.Has("EnableMenu(7,false)"));
  EXPECT_TRUE(gui.Has("SetMenuChecked(3,true)"));
}

TEST_F(Commands, TheSeriesValuesAreKeptWithinWhatTheEditBoxesAccept) {
  manager->Command(ZR_Ctl::Sbtn_Multi);
  const float length = manager->PhysicalLength();
  Int(ZR_Ctl::Ed_Slices, 0);
  EXPECT_EQ(Active().nSliceCount, 1);
  Int(ZR_Ctl::Ed_Slices, 5000);
  EXPECT_EQ(Active().nSliceCount, 1024);
  Float(ZR_Ctl::Ed_Thickness, 2.5f);
  EXPECT_FLOAT_EQ(Active().fSliceSpacingMm, 2.5f);
  EXPECT_FLOAT_EQ(Active().fSliceSpacing, 2.5f / length);
  Float(ZR_Ctl::Ed_Thickness, 2.505f);  // within 0.01 mm: the same thickness
  EXPECT_FLOAT_EQ(Active().fSliceSpacingMm, 2.5f);
  Float(ZR_Ctl::Ed_Thickness, -3);
  EXPECT_FLOAT_EQ(Active().fSliceSpacingMm, 0);
  Float(ZR_Ctl::Ed_Thickness, 5000);
  EXPECT_FLOAT_EQ(Active().fSliceSpacingMm, 1024);
  Float(ZR_Ctl::Ed_SlabSize, 20000);
  EXPECT_FLOAT_EQ(Active().fSlabExtentMm, 10000);
  Float(ZR_Ctl::Ed_SlabSize, std::numeric_limits<float>::quiet_NaN());
  EXPECT_FLOAT_EQ(Active().fSlabExtentMm, 10000);
  // The controls show what was stored.
  EXPECT_TRUE(gui.Has("SetNumberValue(52,1024)"));
  EXPECT_TRUE(gui.Has("EnableControl(59,true)"));
}

TEST_F(Commands, AMeasurementGivesBackTheToolThatZoomReplaced) {
  manager->Command(ZR_Ctl::Sbtn_MprZoom);
  EXPECT_EQ(manager->MprTool(), ZR_MprTool::Zoom);
  Int(ZR_Ctl::ToolBtn_Measures, 1);  // the ruler
  EXPECT_EQ(manager->MprTool(), ZR_MprTool::Ruler);
  Int(ZR_Ctl::ToolBtn_Measures, 7);
  EXPECT_EQ(manager->MprTool(), ZR_MprTool::WindowLevel);
}

TEST_F(Commands, TheCrosshairButtonIsWhatTheViewsShowAndIsSaved) {
  Byte(ZR_Ctl::Sbtn_MprXhair, 0);
  EXPECT_FALSE(manager->CrosshairShown());
  EXPECT_FALSE(settings.Display().showMprCrosshairs);
  EXPECT_TRUE(recording.changed);
  EXPECT_TRUE(recording.Has("RefreshItem 3"));
  // No line is drawn in a view any more.
  EXPECT_EQ(LineColumn(Read(6), 1), -1);
  Byte(ZR_Ctl::Sbtn_MprXhair, 1);
  EXPECT_TRUE(manager->CrosshairShown());
  EXPECT_NE(LineColumn(Read(6)), -1);
  // The settings dialog's value reaches the views and the button alike.
  settings.Display().showMprCrosshairs = false;
  gui.Clear();
  manager->ApplySetting(3);
  EXPECT_FALSE(manager->CrosshairShown());
  EXPECT_TRUE(gui.Has("SetButtonDown(44,false)"));
}

TEST_F(Commands, TheLockIsSwitchedFromThePopupAndMarkedThereOnly) {
  manager->MprPopupCommand(ZR_Menu::Mi_LockActiveView);
  EXPECT_TRUE(manager->LockActiveView());
  EXPECT_TRUE(settings.Display().lockActiveView);
  EXPECT_TRUE(recording.changed);
  EXPECT_TRUE(gui.Has("SetMenuChecked(10,true)"));
  // Locked, another view does not become active under the pointer.
  manager->PointerMove(4, 10, 10);
  EXPECT_EQ(manager->ActiveMprView(), 6);
  recording.changed = false;
  settings.Display().lockActiveView = false;
  manager->ApplySetting(4);
  EXPECT_FALSE(manager->LockActiveView());
  EXPECT_FALSE(recording.changed);  // the setting's own value: nothing new to save
}

TEST_F(Commands, ColourOrGreyMprViewsFollowTheButtonsAndTheSetting) {
  manager->Command(ZR_Ctl::Sbtn_ColourMpr);
  EXPECT_FALSE(manager->MprLayout().bGray);
  EXPECT_TRUE(shared.ColourTableSelected());
  EXPECT_EQ(settings.Renderer().mprDisplayMode, 1);
  EXPECT_TRUE(recording.Has("RefreshItem 14"));
  EXPECT_TRUE(recording.changed);
  manager->Command(ZR_Ctl::Sbtn_GrayMpr);
  EXPECT_TRUE(manager->MprLayout().bGray);
  EXPECT_FALSE(shared.ColourTableSelected());
  settings.Renderer().mprDisplayMode = 1;
  gui.Clear();
  manager->ApplySetting(14);
  EXPECT_FALSE(manager->MprLayout().bGray);
  EXPECT_TRUE(gui.Has("SetButtonDown(42,true)"));
}

TEST_F(Commands, ChangedSettingsAreAppliedAsTheDialogListsThem) {
  ZR_RecordingMovie movie;
  manager->SetMovie(&movie);
  settings.Avi().frameRate = 12;
  settings.Display().labelMode = 1;
  settings.Renderer().autoHighQuality = false;  // item 12, not listed: stays unapplied
  recording.changedItems = {20, 0, 23};
  gui.Clear();
  manager->ApplyChangedSettings();
  EXPECT_EQ(movie.frameRate, 12);
  EXPECT_EQ(manager->VolumeState().nLabels, 1);
  EXPECT_TRUE(manager->ScreenState().bAutoQuality);
  EXPECT_FALSE(gui.Has("EnableControl(11,true)"));
}

TEST_F(Commands, ShortcutsMarkTheSettingsTheyChange) {
  manager->Show3DScreen();
  const bool box = settings.Display().showBoundingBox;
  manager->KeyDown(ZR_Key::B, true, false, false);
  EXPECT_NE(settings.Display().showBoundingBox, box);
  EXPECT_TRUE(recording.changed);
  EXPECT_TRUE(recording.Has("RefreshItem 1"));
}

TEST_F(Commands, TheVoiButtonSwitchesTheBoxAndItsTools) {
  manager->Show3DScreen();
  Byte(ZR_Ctl::Sbtn_Voi, 1);
  EXPECT_TRUE(manager->VoiEnabled());
  EXPECT_EQ(manager->Tool3d(), ZR_Tool3d::VoiPosition);
  EXPECT_TRUE(gui.Has("EnableControl(32,true)"));
  EXPECT_TRUE(gui.Has("SetButtonDown(32,true)"));
  manager->Command(ZR_Ctl::Sbtn_VoiSize);
  EXPECT_EQ(manager->Tool3d(), ZR_Tool3d::VoiSize);
  Byte(ZR_Ctl::Sbtn_Voi, 0);
  EXPECT_FALSE(manager->VoiEnabled());
  EXPECT_EQ(manager->Tool3d(), ZR_Tool3d::Rotate);
  EXPECT_TRUE(gui.Has("SetButtonDown(20,true)"));
  EXPECT_TRUE(gui.Has("EnableControl(33,false)"));
}

// The phantom is 64 x 64 x 40 voxels (z spacing 1.25) on 64 x 64 panes: a pane pixel is one
// unit, so one voxel across and 0.8 of a slice upwards.
TEST_F(Commands, AVoiFaceIsDraggedInAnOrthogonalPaneAndARefusedDragChangesNothing) {
  manager->Show3DScreen();
  Byte(ZR_Ctl::Sbtn_Voi, 1);
  ASSERT_TRUE(manager->SetVoi({32, 32, 20}, {32, 32, 20}));
  manager->RedrawViews(false);
  const ZR_VoiOutline::Edges e = manager->VoiEdges(2);  // coronal: x across, z up
  ASSERT_EQ(e.nRightFace, ZR_VoiOutline::kUpperX);
  // The right side grabbed and carried 6 pixels to the right.
  manager->PointerMove(2, e.nRight, 32);
  manager->LeftDown(2, e.nRight, 32);
  manager->PointerMove(2, e.nRight + 6, 32);
  manager->LeftUp(2);
  EXPECT_FLOAT_EQ(manager->Voi().GetSize()[0], 38);
  EXPECT_FLOAT_EQ(manager->Voi().GetPosition()[0], 35);
  EXPECT_EQ(manager->VoiEdges(2).nLeft, e.nLeft);
  // The top (upper z) side pulled down past the bottom: refused, nothing moves.
  const ZR_Box before = manager->Voi();
  const ZR_VoiOutline::Edges now = manager->VoiEdges(2);
  manager->PointerMove(2, 32, now.nTop);
  manager->LeftDown(2, 32, now.nTop);
  manager->PointerMove(2, 32, now.nBottom + 5);
  manager->LeftUp(2);
  EXPECT_EQ(manager->Voi().GetSize(), before.GetSize());
  EXPECT_EQ(manager->Voi().GetPosition(), before.GetPosition());
}

TEST_F(Commands, TheOutlineIsDrawnWhereTheEdgesArePicked) {
  manager->Show3DScreen();
  Byte(ZR_Ctl::Sbtn_Voi, 1);
  ASSERT_TRUE(manager->SetVoi({20, 30, 16}, {30, 34, 20}));
  manager->RedrawViews(false);
  for (int32_t panel = 1; panel <= 3; ++panel) {
    const ZR_VoiOutline::Edges e = manager->VoiEdges(panel);
    const ZR_TestImage image = Read(panel);
    auto outline = [&](int32_t x, int32_t y) {
      const uint8_t* p = image.At(x, y);
      return p[0] < 60 && p[1] > 100 && p[1] < 200 && p[2] > 200;
    };
    const int32_t midX = (e.nLeft + e.nRight) / 2, midY = (e.nTop + e.nBottom) / 2;
    EXPECT_TRUE(outline(e.nLeft, midY)) << panel;
    EXPECT_TRUE(outline(e.nRight, midY)) << panel;
    EXPECT_TRUE(outline(midX, e.nTop)) << panel;
    EXPECT_TRUE(outline(midX, e.nBottom)) << panel;
    EXPECT_FALSE(outline(midX, midY)) << panel;
  }
}

TEST_F(Commands, TheCutPlaneToolMovesThePlaneOrWidensTheSlab) {
  manager->Show3DScreen();
  manager->SetCutView(true);
  manager->Select3dTool(ZR_Tool3d::CutPlane);
  const double position = shared.Cut().dPosition;
  manager->RightDown(0, 20, 20);
  manager->PointerMove(0, 23, 30);
  manager->RightUp(0);
  EXPECT_DOUBLE_EQ(shared.Cut().dPosition, position + 5);
  // A left drag turns the plane; its origin stays.
  float before[16];
  std::copy_n(shared.Cut().afMatrix, 16, before);
  manager->LeftDown(0, 32, 32);
  manager->PointerMove(0, 40, 30);
  manager->LeftUp(0);
  EXPECT_NE(std::memcmp(before, shared.Cut().afMatrix, sizeof before), 0);
  EXPECT_FLOAT_EQ(shared.Cut().afMatrix[12], before[12]);
}

// --- With real loads ---------------------------------------------------------------------------

using Reset = ZR_LoadingFixture;

std::unique_ptr<ZR_DicomVolume> Cube(int32_t width, int32_t slices) {
  return ZR_TestStudy::Make(width, width, slices, [](int32_t x, int32_t y, int32_t z) {
    return static_cast<uint16_t>((x + y + z) % 4096);
  });
}

TEST_F(Reset, TheViewResetGivesTheViewStateOfAFreshLoad) {
  ASSERT_EQ(Hand(Cube(32, 20)), VR_OK);
  ASSERT_EQ(LoadRange(0, 19), VR_OK);
  ASSERT_TRUE(manager->Show3DScreen());
  float rotation[16], window[4];
  std::copy_n(shared.Rotation(), 16, rotation);
  std::copy_n(shared.Window(), 4, window);
  // The box of a fresh load: half the dimensions, centred, off.
  EXPECT_EQ(shared.GetVoi().GetSize(), (ZR_Box::Vector{16, 16, 10}));
  EXPECT_EQ(shared.GetVoi().GetPosition(), (ZR_Box::Vector{16, 16, 10}));
  EXPECT_FALSE(shared.VoiEnabled());

  float turned[16];
  ZR_Matrix4::Rotation(40, 1, 1, 0).ToFloats(turned);
  shared.SetRotation(turned);
  shared.PanZoom(7, -3, 5, 1);
  shared.Cut().dPosition = 12;
  shared.Cut().afMatrix[1] = 0.5f;
  manager->Command(ZR_Ctl::Sbtn_Voi, std::array<uint8_t, 1>{1}.data());
  ASSERT_TRUE(manager->SetVoi({4, 5, 6}, {7, 8, 9}));

  gui.Clear();
  manager->ResetView();
  for (int32_t k = 0; k < 16; ++k) EXPECT_FLOAT_EQ(shared.Rotation()[k], rotation[k]) << k;
  for (int32_t k = 0; k < 4; ++k) EXPECT_FLOAT_EQ(shared.Window()[k], window[k]) << k;
  EXPECT_EQ(shared.Cut().dPosition, 0);
  EXPECT_EQ(shared.Cut().nAxis, 1);
  for (int32_t k = 0; k < 16; ++k) EXPECT_EQ(shared.Cut().afMatrix[k], k % 5 == 0 ? 1.0f : 0.0f) << k;
  EXPECT_EQ(shared.GetVoi().GetSize(), (ZR_Box::Vector{16, 16, 10}));
  EXPECT_EQ(shared.GetVoi().GetPosition(), (ZR_Box::Vector{16, 16, 10}));
  EXPECT_FALSE(shared.VoiEnabled());
  EXPECT_TRUE(gui.Has("SetButtonDown(31,false)"));
  EXPECT_EQ(manager->Tool3d(), ZR_Tool3d::Rotate);
}

TEST_F(Reset, ALoadInTheMprScreenResetsTheWholeLayout) {
  ASSERT_EQ(Hand(Cube(32, 20)), VR_OK);
  ASSERT_EQ(LoadRange(0, 19), VR_OK);
  ASSERT_TRUE(manager->ShowMprScreen());
  manager->SetMaximisedSlot(2);
  manager->SetSnapshotMode(true);
  ASSERT_TRUE(manager->SnapshotMode());
  gui.Clear();
  ASSERT_EQ(LoadRange(2, 17), VR_OK);
  EXPECT_FALSE(manager->SnapshotMode());
  EXPECT_EQ(manager->MprLayout().nMaximisedSlot, 5);
  EXPECT_TRUE(gui.Has("SetButtonDown(47,false)"));  // the curve button
  EXPECT_TRUE(gui.Has("SetButtonDown(62,false)"));  // the MPR snapshot button
}
}  // namespace
