// Switching screens and render modes: nothing happens before a volume is loaded, the 3D
// screen's controls and tool, the blend mode and table of each mode, the window tools a mode
// drops, shading only in colour, and the MPR screen's 3D view in colour or grey (not set up
// in software rendering).
#include <gtest/gtest.h>

#include "tests/manager/ZR_LoadingFixture.h"
#include "tests/dicom/ZR_TestStudy.h"
#include "tests/support/ZR_RecordingGl.h"
#include "tests/support/ZR_RecordingRenderPlatform.h"

namespace {
class Screens : public ZR_LoadingFixture {
 protected:
  void Load() {
    ASSERT_EQ(Hand(ZR_TestStudy::Make(32, 32, 20, [](int32_t x, int32_t y, int32_t z) {
                return static_cast<uint16_t>((x - 16) * (x - 16) + (y - 16) * (y - 16) + (z - 10) * (z - 10) < 80 ? 3000 : 0);
              })),
              VR_OK);
    ASSERT_EQ(LoadRange(0, 19), VR_OK);
    gui.Clear();
  }
  // The same manager on an adapter without fragment programs: software rendering.
  void RestartInSoftware() {
    manager.reset();
    recordingGl = std::make_unique<ZR_RecordingGl>(&gl->Gl());
    recordingGl->extensions = "GL_EXT_blend_minmax GL_ARB_multitexture";
    recordingGl->version = "1.1 Mesa";
    platform = std::make_unique<ZR_RecordingRenderPlatform>(panels->table, &recordingGl->Table());
    manager = std::make_unique<ZR_LoadingManager>(&gui, shared, text);
    manager->SetProgressBar(&progress);
    manager->SetVolumePreviewGui(&previewGui);
    manager->SetSettingsModel(&settings);
    manager->SetRenderPlatform(platform.get());
    ASSERT_EQ(manager->CreatePresetEditor(&presetGui), VR_OK);
    ASSERT_EQ(manager->OnCreate(&panels->table), VR_OK);
    ASSERT_TRUE(manager->IsSoftwareRendering());
  }
  std::unique_ptr<ZR_RecordingGl> recordingGl;
  std::unique_ptr<ZR_RecordingRenderPlatform> platform;
};
}  // namespace

TEST_F(Screens, The3DScreenBeforeAnyVolumeChangesNothing) {
  EXPECT_TRUE(manager->Show3DScreen());
  EXPECT_TRUE(gui.calls.empty());
  EXPECT_EQ(manager->Screen(), ZR_Screen::Mpr);
}

TEST_F(Screens, The3DScreenAfterALoad) {
  Load();
  EXPECT_EQ(manager->Screen(), ZR_Screen::Mpr);  // a load shows the screen in effect, the MPR screen at start
  EXPECT_TRUE(manager->Show3DScreen());
  EXPECT_EQ(manager->Screen(), ZR_Screen::View3d);
  EXPECT_TRUE(gui.Has("SetPage(1,0)"));
  EXPECT_TRUE(gui.Has("SetButtonDown(34,false)"));
  EXPECT_TRUE(gui.Has("SetButtonDown(20,true)"));
  EXPECT_TRUE(gui.Has("SetPanelCursor(0,11)"));
  EXPECT_TRUE(gui.enabled[20] && gui.enabled[21] && gui.enabled[22] && gui.enabled[27] && gui.enabled[26]);
  EXPECT_EQ(manager->Tool3d(), ZR_Tool3d::Rotate);
  EXPECT_EQ(manager->RenderMode(), ZR_RenderMode::Colour);
  EXPECT_TRUE(shared.ColourTableSelected());
  EXPECT_EQ(shared.BlendMode(), 0);
}

TEST_F(Screens, RenderModesSetTheBlendModeTableAndTools) {
  Load();
  ASSERT_TRUE(manager->Show3DScreen());
  const struct {
    int32_t toolBefore, mode, toolAfter, blend;
    bool colourTable;
  } cases[] = {
      {7, 2, 1, 2, false},  // MIP has no opacity window
      {6, 2, 6, 2, false},
      {6, 1, 1, 0, true},   // colour uses neither window tool
      {7, 1, 1, 0, true},
      {7, 0, 7, 0, false},  // grey keeps every tool
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.toolBefore) + " in mode " + std::to_string(c.mode));
    manager->ScreenStateForSetUp().nTool3d = static_cast<ZR_Tool3d>(c.toolBefore);
    gui.Clear();
    manager->SetRenderMode(static_cast<ZR_RenderMode>(c.mode), false);
    EXPECT_EQ(ZR_Number(manager->RenderMode()), c.mode);
    EXPECT_EQ(ZR_Number(manager->Tool3d()), c.toolAfter);
    EXPECT_EQ(gui.Has("SetButtonDown(20,true)"), c.toolAfter != c.toolBefore);
    EXPECT_EQ(shared.BlendMode(), c.blend);
    EXPECT_EQ(shared.ColourTableSelected(), c.colourTable);
    EXPECT_EQ(presetGui.mode, c.mode == 1 ? 0 : 1);  // band mode only for colour
  }
}

TEST_F(Screens, ShadingIsOnlyForColour) {
  Load();
  manager->AdapterStateForSetUp().bCanShade = true;  // whatever this adapter can do
  ASSERT_TRUE(manager->Show3DScreen());
  manager->ScreenStateForSetUp().bShading = true;
  manager->SetRenderMode(ZR_RenderMode::Grayscale, false);
  EXPECT_FALSE(manager->IsShading());
  EXPECT_TRUE(gui.Has("SetChecked(12,false)"));
  EXPECT_FALSE(gui.enabled[12]);
  manager->SetRenderMode(ZR_RenderMode::Colour, false);
  EXPECT_TRUE(gui.enabled[12]);
}

TEST_F(Screens, TheMprScreensViewInColourOrGrey) {
  Load();
  ASSERT_TRUE(manager->Show3DScreen());
  manager->SetRenderMode(ZR_RenderMode::Grayscale, false);
  manager->MprLayoutForSetUp().bGray = false;
  gui.Clear();
  EXPECT_TRUE(manager->ShowMprScreen());
  EXPECT_EQ(manager->Screen(), ZR_Screen::Mpr);
  EXPECT_TRUE(shared.ColourTableSelected());  // panel 8 in colour
  EXPECT_EQ(manager->RenderMode(), ZR_RenderMode::Grayscale);        // the 3D screen's mode stays
  EXPECT_TRUE(gui.Has("SetPanelCursor(8,11)"));
  EXPECT_EQ(manager->Tool3d(), ZR_Tool3d::CutPlane);
  manager->MprLayoutForSetUp().bGray = true;
  EXPECT_TRUE(manager->ShowMprScreen());
  EXPECT_FALSE(shared.ColourTableSelected());
}

TEST_F(Screens, InSoftwareRenderingTheMprScreensViewIsNotSetUp) {
  RestartInSoftware();
  Load();
  manager->MprLayoutForSetUp().bGray = false;
  gui.Clear();
  EXPECT_TRUE(manager->ShowMprScreen());
  EXPECT_FALSE(gui.Has("SetPanelCursor(8,11)"));
  EXPECT_FALSE(shared.ColourTableSelected());  // the software views are grey
}
