// The manager's reactions to setting items of the settings model that loading, the screens,
// rendering and the keyboard shortcuts depend on. The other items (lock, colour MPR, movie)
// join with the command interface.
#include "core/ZR_Log.h"
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
      m_oTexture3dRenderer.SetShowCrosshair(s.Display().showMprCrosshairs);
      RedrawViews(false);
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
    case 15:
      m_oTexture3dRenderer.SetBrightness(s.Renderer().brightness);
      break;
    case 16:
      m_oTexture3dRenderer.SetContrast(s.Renderer().contrast);
      break;
    case 17:
      m_oTexture3dRenderer.SetGloss(s.Renderer().glossiness);
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
