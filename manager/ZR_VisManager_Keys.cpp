// The keyboard, and the tool and mode choices the keys and buttons share: the MPR tool, the
// snapshot mode, the crosshair button and the settings the Ctrl shortcuts toggle.
#include "core/ZR_VisGui.h"
#include "core/ZR_Keys.h"
#include "core/ZR_Settings.h"
#include "manager/ZR_VisManager.h"
#include "mpr/ZR_StandardOrientations.h"
#include "settings/ZR_Vis3DSettings.h"

namespace {
constexpr int32_t kSettingBoundingBox = 1;
constexpr int32_t kSettingStudyDetails = 2;
constexpr int32_t kSettingCrosshairs = 3;
}  // namespace

void ZR_VisManager::KeyDown(int32_t key, bool ctrl, bool, bool) {
  // Every shortcut acts on a shown volume (Ctrl+S would capture an empty view).
  if (IsBusy() || !m_oVolume.bLoaded) return;
  if (ctrl) {
    switch (key) {
      case ZR_Key::B:
        if (m_oScreen.Is3d()) ToggleSetting(kSettingBoundingBox);
        break;
      case ZR_Key::I:
        ToggleSetting(kSettingStudyDetails);
        break;
      case ZR_Key::S:
        if (m_oScreen.IsMpr()) (void)CaptureRawView(m_oMpr.nActiveView, kToSnapshot);
        break;
      case ZR_Key::X:
        SetCrosshair(!m_oMpr.bCrosshair);
        m_pAppGui->SetButtonDown(ZR_Ctl::Sbtn_MprXhair, m_oMpr.bCrosshair);
        break;
      default:
        break;
    }
    return;
  }
  const bool curve = m_oMpr.aViews[m_oMpr.nActiveView].bCurveMode;
  if (key == ZR_Key::Escape) {
    if (m_oScreen.nTool3d == ZR_Tool3d::Roi)
      ClearRoi();
    else if (curve)
      RestartCurve();
    return;
  }
  if (key == ZR_Key::Delete) {
    if (curve) DeleteCurvePoint();
    return;
  }
  const int32_t code = ZR_StandardOrientations::CodeOfLetter(key);
  if (code >= 0) ShowStandardOrientation(code);
}

void ZR_VisManager::ToggleSetting(int32_t id) {
  if (!m_pWritableSettings) return;
  DisplaySettings& display = m_pWritableSettings->Display();
  if (id == kSettingBoundingBox) display.showBoundingBox = !display.showBoundingBox;
  if (id == kSettingStudyDetails) display.showStudyDetails = !display.showStudyDetails;
  SettingChanged(id);
  ApplySettingNow(id);
}

void ZR_VisManager::SetMprTool(ZR_MprTool tool) {
  bool released = false;
  if (m_oMpr.SelectTool(tool, &released) && released)
    m_pAppGui->SetToolButtonMarked(ZR_Ctl::ToolBtn_Measures, false);
}

void ZR_VisManager::SetSnapshotMode(bool on) {
  if (!m_oVolume.bLoaded || on == m_oScreen.bSnapshotMode) return;
  m_oScreen.bSnapshotMode = on;
  if (m_oScreen.IsMpr()) {
    for (int32_t id : {ZR_Ctl::SBtn_MprWl, ZR_Ctl::Sbtn_MprZoom, ZR_Ctl::Sbtn_MprPan, ZR_Ctl::Sbtn_Rot})
      m_pAppGui->EnableControl(id, !on);
    m_pAppGui->SetPanelCursor(ZR_Panel::MprView3D, on ? ZR_Cursor::Capture : ZR_Cursor::Rotate);
    m_pAppGui->SetPanelCursor(ZR_Panel::CurvedMpr, on ? ZR_Cursor::Capture : ZR_Cursor::WindowLevel);
  } else {
    if (on) {
      m_oScreen.nSavedCursor = m_pAppGui->GetPanelCursor(ZR_Panel::View3D);
      m_pAppGui->SetPanelCursor(ZR_Panel::View3D, ZR_Cursor::Capture);
    } else {
      m_pAppGui->SetPanelCursor(ZR_Panel::View3D, m_oScreen.nSavedCursor);
    }
    Enable3dToolControls(!on);
  }
  const int32_t first = m_oScreen.IsMpr() ? ZR_Panel::Mpr0 : ZR_Panel::Ortho0;
  const int32_t last = m_oScreen.IsMpr() ? ZR_Panel::Mpr3 : ZR_Panel::Ortho2;
  for (int32_t panel = first; panel <= last; ++panel)
    m_pAppGui->SetPanelCursor(panel, on ? ZR_Cursor::Capture : ZR_Cursor::Arrow);
}

void ZR_VisManager::SetCrosshair(bool shown) {
  m_oMpr.bCrosshair = shown;
  m_oTexture3dRenderer.SetShowCrosshair(shown);
  if (m_pWritableSettings && m_pWritableSettings->Display().showMprCrosshairs != shown) {
    m_pWritableSettings->Display().showMprCrosshairs = shown;
    SettingChanged(kSettingCrosshairs);
  }
  if (!shown) m_oMpr.nCrosshairDrag = 0;
  RedrawViews(false);
}

void ZR_VisManager::SettingChanged(int32_t item) {
  if (!m_pSettings) return;
  m_pSettings->RefreshItem(item);
  m_pSettings->MarkChanged();
}
