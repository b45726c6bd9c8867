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
  if (m_bLoading) {
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
      if (s.Display().labelMode != m_nLabels) {
        m_nLabels = s.Display().labelMode;
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
      if (m_nScreen == ZR_Screen::Mpr)
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
      m_oCutPlaneDisplay = s.CutPlane();
      const float colour[4] = {m_oCutPlaneDisplay.red, m_oCutPlaneDisplay.green, m_oCutPlaneDisplay.blue,
                               m_oCutPlaneDisplay.opacity};
      m_oShared.SetCutColour(colour);
      RedrawPanel(m_nScreen == ZR_Screen::Mpr ? ZR_Panel::MprView3D : ZR_Panel::View3D);
      break;
    }
    case 9: {
      const int32_t level = s.Renderer().interactionQuality;
      m_nFinalMethod = level < 2 ? 2 : level < 4 ? 1 : 0;
      if (level >= 2) m_oTexture3dRenderer.SetSamplingRate(static_cast<float>(level + 1));
      break;
    }
    case 10:
      m_oTexture3dRenderer.SetSamplingRate(static_cast<float>(s.Renderer().finalQuality + 1));
      RedrawPanel(ZR_Panel::View3D);
      break;
    case 11:
      m_nSubsample = s.Renderer().downsampling;
      break;
    case 12:
      m_bAutoQuality = s.Renderer().autoHighQuality;
      m_pAppGui->EnableControl(ZR_Ctl::Btn_FinalRender, !m_bAutoQuality);
      break;
    case 13:
      m_bMprDisplay = !s.Renderer().liveCutView;
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
        m_bUndoAvailable = false;
        m_aUndoRaw.clear();
        m_aUndoVoxels.clear();
        m_aUndoReduced.clear();
        m_apUndoRaw.clear();
        m_apUndoVoxels.clear();
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
