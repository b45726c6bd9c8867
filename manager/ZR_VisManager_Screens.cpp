// The two screens and the volume rendering modes: what the panels show after a switch, the
// view reset, the 3D tools a switch selects, and full-quality rendering of panel 0.
#include <algorithm>

#include "core/ZR_VisGui.h"
#include "manager/ZR_VisManager.h"
#include "presets/ZR_PresetEditor.h"

namespace {
// The cursor of panel 0 for each 3D tool, by its number.
constexpr int32_t kToolCursors[kTool3dCount] = {ZR_Cursor::Zoom,      ZR_Cursor::Rotate,  ZR_Cursor::Pan,
                                    ZR_Cursor::CutPlane,  ZR_Cursor::Pencil,  ZR_Cursor::Seed,
                                    ZR_Cursor::WindowLevel, ZR_Cursor::OpacityWindowLevel, ZR_Cursor::Pan,
                                    ZR_Cursor::VoiSize};
}  // namespace

bool ZR_VisManager::Show3DScreen() { return m_oLoad.bLoading ? true : Show3DScreenNow(); }
bool ZR_VisManager::ShowMprScreen() { return m_oLoad.bLoading ? true : ShowMprScreenNow(); }

void ZR_VisManager::SetRenderMode(ZR_RenderMode mode, bool mprOnly) {
  if (!m_oLoad.bLoading) SetRenderModeNow(mode, mprOnly);
}

bool ZR_VisManager::Show3DScreenNow() {
  if (!m_oVolume.bLoaded) return true;
  const bool fromMpr = m_oScreen.IsMpr();
  if (fromMpr) {
    if (m_oMpr.bResetOn3D) {
      m_oMpr.bResetOn3D = false;
      ResetMprLayout(ZR_Screen::View3d);
      m_oMpr.oOrthoViews = ZR_OrthoViews{};
      (void)MakePanelCurrent(ZR_Panel::View3D);
      ResetViewState();
      Set3dTool(ZR_Tool3d::Rotate);
      m_pAppGui->SetButtonDown(ZR_Ctl::SBtn_ZapSeed, false);
    } else {
      m_oShared.RestoreViewState(m_oScreen.oCutPlaneDisplay);
      m_oShared.Cut().bMprSlab = false;
    }
  }
  SetupPanelView(ZR_Panel::View3D);
  m_pAppGui->SetPage(ZR_Ctl::pc_3D, 0);
  if (fromMpr) {
    // A movie being recorded is stopped here once movies exist.
    m_oScreen.nScreen = ZR_Screen::View3d;
  }
  m_pAppGui->SetButtonDown(ZR_Ctl::SBtn_SnapShot, false);
  m_oScreen.bSnapshotMode = false;
  Enable3dToolControls(true);
  m_pAppGui->SetButtonDown(ZR_Ctl::SBtn_Rotate, true);
  Set3dTool(ZR_Tool3d::Rotate);
  SetRenderModeNow(m_oScreen.nRenderMode, false);
  return true;
}

bool ZR_VisManager::ShowMprScreenNow() {
  m_oShared.SaveViewState(m_oScreen.oCutPlaneDisplay);
  // No panel is drawn while the screen changes under it.
  m_oRun.bDrawing = true;
  // The MIP-threshold dialog is closed here once it exists.
  m_pRenderer = &m_oTexture3dRenderer;
  m_oScreen.nStillQuality = 3;
  if (m_oMpr.bResetOnMpr) {
    ResetMprLayout(ZR_Screen::Mpr);
    m_oMpr.bResetOnMpr = false;
  }
  m_oScreen.nScreen = ZR_Screen::Mpr;
  if (!m_oAdapter.bSoftwareRendering) {
    SetupPanelView(ZR_Panel::MprView3D);
    (void)MakePanelCurrent(ZR_Panel::MprView3D);
    ResetViewState();
    m_oScreen.nTool3d = ZR_Tool3d::CutPlane;
    // Panel 8 shows the main MPR view's plane whenever it is drawn.
    m_pAppGui->SetPanelCursor(ZR_Panel::MprView3D, ZR_Cursor::Rotate);
  }
  m_oRun.bDrawing = false;
  SetRenderModeNow(!m_oMpr.bGray && !m_oAdapter.bSoftwareRendering ? ZR_RenderMode::Colour : ZR_RenderMode::Grayscale, true);
  return true;
}

void ZR_VisManager::SetRenderModeNow(ZR_RenderMode mode, bool mprOnly) {
  if (!IsValid(mode)) return;
  const bool colour = mode == ZR_RenderMode::Colour;
  if (m_oScreen.Is3d()) {
    if (!colour && m_oScreen.bShading) {
      m_pAppGui->SetChecked(ZR_Ctl::chk_ShadedVR, false);
      SetShading(false, false);
    }
    m_pAppGui->EnableControl(ZR_Ctl::chk_ShadedVR, m_oAdapter.bCanShade && colour);
  }
  SelectQuality(0, true);
  m_oShared.SelectLutTable(colour);
  if (!m_oAdapter.bSoftwareRendering && m_bInitialised) m_oTexture3dRenderer.UploadLut();
  if (m_pPresetEditor) m_pPresetEditor->SetMode(colour ? ZR_PresetEditor::kBandMode : ZR_PresetEditor::kWindowMode);
  if (ZR_ScreenState::ModeDropsTool(mode, m_oScreen.nTool3d)) {
    Set3dTool(ZR_Tool3d::Rotate);
    m_pAppGui->SetButtonDown(ZR_Ctl::SBtn_Rotate, true);
  }
  const int32_t panel = mprOnly ? ZR_Panel::MprView3D : ZR_Panel::View3D;
  if (!mprOnly) m_oScreen.nRenderMode = mode;
  ApplyRenderMode(mode, panel);
  RedrawPanel(panel);
  RedrawViews(false);
}

void ZR_VisManager::ApplyRenderMode(ZR_RenderMode mode, int32_t panel) {
  if (!m_bInitialised) return;
  (void)MakePanelCurrent(panel);
  SelectQuality(0, true);
  m_pRenderer->Invalidate();
  if (mode != ZR_RenderMode::Mip) {
    m_pRenderer->SetBlendMode(0);
    return;
  }
  if (m_pPresetEditor) {
    m_pPresetEditor->ResetWindows();
    m_pPresetEditor->DragOpacityWindow(0, 0);
  }
  if (!m_oAdapter.bSoftwareRendering) m_oTexture3dRenderer.UploadLut();
  m_pRenderer->SetBlendMode(2);
}

void ZR_VisManager::ResetViewState() {
  if (m_oVolume.bLoaded) {
    m_oShared.ResetWindow(*m_pRenderer);
    m_oShared.ResetRotation(*m_pRenderer, true);
  }
  ZR_CutState& cut = m_oShared.Cut();
  cut.nAxis = 1;
  cut.dPosition = 0;
  std::fill(std::begin(cut.afMatrix), std::end(cut.afMatrix), 0.0f);
  for (int i = 0; i < 4; ++i) cut.afMatrix[5 * i] = 1.0f;
  ClearRoi();
  ResetVoi();
}

void ZR_VisManager::Set3dTool(ZR_Tool3d tool) {
  if (!IsValid(tool)) return;
  m_oScreen.nTool3d = tool;
  // The rotate tool's cursor only means something over a volume.
  if (tool != ZR_Tool3d::Rotate || m_oVolume.bLoaded)
    m_pAppGui->SetPanelCursor(ZR_Panel::View3D, kToolCursors[ZR_Number(tool)]);
}

void ZR_VisManager::Enable3dToolControls(bool on) {
  for (int32_t id : {ZR_Ctl::SBtn_Rotate, ZR_Ctl::SBtn_Zoom, ZR_Ctl::SBtn_Pan, ZR_Ctl::SBtn_CutView})
    m_pAppGui->EnableControl(id, on);
  if (m_oScreen.bCutView) m_pAppGui->EnableControl(ZR_Ctl::SBtn_CutPlane, on);
  m_pAppGui->EnableControl(ZR_Ctl::SBtn_Wl, on);
  m_pAppGui->EnableControl(ZR_Ctl::SBtn_OpacityWl, on);
  if (m_oLoad.bRegionEditing) {
    m_pAppGui->EnableControl(ZR_Ctl::SBtn_Roi, on);
    m_pAppGui->EnableControl(ZR_Ctl::SBtn_ZapSeed, on);
  }
  m_pAppGui->EnableControl(ZR_Ctl::SBtn_Movie, on);
}

void ZR_VisManager::RenderFullQuality() {
  m_oRun.bBusy = true;
  SelectQuality(0, true);
  RedrawPanel(ZR_Panel::View3D);
  m_oRun.bBusy = false;
}
