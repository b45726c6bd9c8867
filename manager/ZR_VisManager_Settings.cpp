// The manager's reactions to the setting items of the settings model, one by one or as the
// settings dialog reports them changed, and the movie settings handed to the movie writer.
#include <vector>

#include "core/ZR_Log.h"
#include "core/ZR_Movie.h"
#include "core/ZR_Settings.h"
#include "core/ZR_VisGui.h"
#include "manager/ZR_VisManager.h"
#include "dicom/ZR_VolumePreview.h"
#include "settings/ZR_Vis3DSettings.h"

namespace {
constexpr int32_t kLastSetting = 22;
}

void ZR_VisManager::ApplySetting(int32_t id) {
  // A load in progress reads these values; they change once it is done.
  if (m_oLoad.bLoading) {
    ZR_Log::Entry("ApplySetting(): refused while a volume is being loaded; ", id);
    return;
  }
  ApplySettingNow(id);
}

void ZR_VisManager::SetMovie(ZR_Movie* movie) {
  m_pMovie = movie;
  if (!m_pMovie) return;
  const AviSettings avi = m_pSettingsModel ? m_pSettingsModel->Avi() : AviSettings{};
  m_pMovie->SetOptions(avi.compressor, avi.quality, avi.frameRate);
}

void ZR_VisManager::ApplyChangedSettings() {
  if (!m_pSettings || m_oLoad.bLoading) return;
  int32_t count = 0;
  const int32_t* items = m_pSettings->GetChangedItems(count);
  if (!items || count <= 0) return;
  // A copy: applying an item may reach the dialog, which owns the list.
  const std::vector<int32_t> changed(items, items + count);
  bool shading = false;
  for (int32_t id : changed) {
    ApplySettingNow(id);
    shading = shading || id == 15 || id == 16 || id == 17;
  }
  if (!shading) return;
  // The shading terms show once while interacting and once at full quality.
  const int32_t panel = m_oScreen.IsMpr() ? ZR_Panel::MprView3D : ZR_Panel::View3D;
  SelectQuality(3, true);
  RedrawPanel(panel);
  SelectQuality(0, true);
  RedrawPanel(panel);
}

void ZR_VisManager::ApplySettingNow(int32_t id) {
  if (id < 0 || id > kLastSetting || !m_pSettingsModel) return;
  const ZR_Vis3DSettings& s = *m_pSettingsModel;
  switch (id) {
    case 0:
      if (s.Display().labelMode != m_oVolume.nLabels) {
        m_oVolume.nLabels = s.Display().labelMode;
        RedrawViews(false);
      }
      break;
    case 1:
      m_oShared.SetShowBox(s.Display().showBoundingBox);
      m_pRenderer->Invalidate();
      RedrawPanel(ZR_Panel::View3D);
      break;
    case 2:
      m_pRenderer->Invalidate();
      if (m_oScreen.IsMpr())
        RedrawViews(false);
      else
        RedrawPanel(ZR_Panel::View3D);
      break;
    case 3:
      // The MPR views' lines and the orthogonal panes' crosshair both follow, and the button.
      SetCrosshair(s.Display().showMprCrosshairs);
      m_pAppGui->SetButtonDown(ZR_Ctl::Sbtn_MprXhair, m_oMpr.bCrosshair);
      break;
    case 4:
      SetLockActiveView(s.Display().lockActiveView, false);
      break;
    case 5:
    case 6:
    case 7:
    case 8: {
      m_oScreen.oCutPlaneDisplay = s.CutPlane();
      const float colour[4] = {m_oScreen.oCutPlaneDisplay.red, m_oScreen.oCutPlaneDisplay.green, m_oScreen.oCutPlaneDisplay.blue,
                               m_oScreen.oCutPlaneDisplay.opacity};
      m_oShared.SetCutColour(colour);
      RedrawPanel(m_oScreen.IsMpr() ? ZR_Panel::MprView3D : ZR_Panel::View3D);
      break;
    }
    case 9: {
      const int32_t level = s.Renderer().interactionQuality;
      m_oScreen.nFinalMethod = level < 2 ? 2 : level < 4 ? 1 : 0;
      if (level >= 2) m_oTexture3dRenderer.SetSamplingRate(static_cast<float>(level + 1));
      break;
    }
    case 10:
      m_oTexture3dRenderer.SetSamplingRate(static_cast<float>(s.Renderer().finalQuality + 1));
      RedrawPanel(ZR_Panel::View3D);
      break;
    case 11:
      m_oVolume.nSubsample = s.Renderer().downsampling;
      break;
    case 12:
      m_oScreen.bAutoQuality = s.Renderer().autoHighQuality;
      m_pAppGui->EnableControl(ZR_Ctl::Btn_FinalRender, !m_oScreen.bAutoQuality);
      break;
    case 13:
      m_oMpr.bMprDisplay = !s.Renderer().liveCutView;
      break;
    case 14: {
      const bool gray = s.Renderer().mprDisplayMode == 0;
      // A load in progress shows the views in the mode it finds when it is done.
      if (m_oLoad.bLoading)
        m_oMpr.bGray = gray;
      else
        SetGrayMpr(gray);
      m_pAppGui->SetButtonDown(gray ? ZR_Ctl::Sbtn_GrayMpr : ZR_Ctl::Sbtn_ColourMpr, true);
      break;
    }
    case 15:
      m_oTexture3dRenderer.SetBrightness(s.Renderer().brightness);
      break;
    case 16:
      m_oTexture3dRenderer.SetContrast(s.Renderer().contrast);
      break;
    case 17:
      m_oTexture3dRenderer.SetGloss(s.Renderer().glossiness);
      break;
    case 18:
    case 19:
    case 20:
      if (m_pMovie) m_pMovie->SetOptions(s.Avi().compressor, s.Avi().quality, s.Avi().frameRate);
      break;
    case 21:
      if (s.Performance().disableUndo) {
        m_oLoad.bUndoAvailable = false;
        m_oLoad.aUndoRaw.clear();
        m_oLoad.aUndoVoxels.clear();
        m_oLoad.aUndoReduced.clear();
        m_oLoad.apUndoRaw.clear();
        m_oLoad.apUndoVoxels.clear();
        m_oShared.SetSliceCopies(nullptr, nullptr);
        m_pAppGui->EnableControl(ZR_Ctl::Btn_Undo, false);
      }
      break;
    case 22:
      if (s.Performance().disableSubset) {
        if (m_pVolumePreview) m_pVolumePreview->Release();
        m_pAppGui->EnableControl(ZR_Ctl::Btn_Subset, false);
      }
      break;
    default:
      break;
  }
}
