// Panel bookkeeping: slot codes, per-panel view set-up, making a panel current, and the text
// drawn over panels.
#include <algorithm>
#include <cstring>

#include "manager/ZR_VisManager.h"
#include "settings/ZR_Vis3DSettings.h"

int32_t ZR_VisManager::ViewSlotOfPanel(int32_t panel) {
  switch (panel) {
    case ZR_Panel::Ortho0:
    case ZR_Panel::Mpr0:
      return 0;
    case ZR_Panel::Ortho1:
    case ZR_Panel::Mpr1:
      return 1;
    case ZR_Panel::Ortho2:
    case ZR_Panel::Mpr2:
      return 2;
    case ZR_Panel::Mpr3:
      return 3;
    default:
      return 5;
  }
}

void ZR_VisManager::SetupPanelView(int32_t panel) {
  if (!m_pViewports || panel < 0 || panel >= ZR_ViewportTable::kSurfaceCount) return;
  const int32_t width = m_pViewports->Width(panel);
  const int32_t height = m_pViewports->Height(panel);
  m_oScreen.oTrackball.nWidth = width;
  m_oScreen.oTrackball.nHeight = height;
  m_oScreen.oTrackball.dRadius = 0.5 * std::min(width / 2, height / 2);
  // Another viewport size is another picture; the same one (the window arranging the screen
  // it has just shown) leaves the picture drawn for it current.
  const bool resized = m_oShared.ViewportWidth() != width || m_oShared.ViewportHeight() != height;
  m_oShared.SetViewport(width, height);
  if (resized) m_pRenderer->Invalidate();
}

ZR_DrawSurface* ZR_VisManager::MakePanelCurrent(int32_t index) {
  if (!m_pViewports || !Gl() || index < 0 || index >= ZR_ViewportTable::kSurfaceCount) return nullptr;
  ZR_DrawSurface* surface = m_pViewports->aSurfaces[index];
  if (!surface || !surface->MakeCurrent()) return nullptr;
  Gl()->Viewport(0, 0, m_pViewports->Width(index), m_pViewports->Height(index));
  return surface;
}

ZR_DrawSurface* ZR_VisManager::MakeCaptureTargetCurrent() {
  if (!OffscreenCapture() || !m_pPBuffer || !m_pPBuffer->MakeCurrent()) return nullptr;
  return m_pPBuffer->Surface();
}

bool ZR_VisManager::ShowStudyDetails() const {
  return m_pSettingsModel ? m_pSettingsModel->Display().showStudyDetails : DisplaySettings{}.showStudyDetails;
}

void ZR_VisManager::DrawStudyDetails(int32_t index) {
  if (!m_pViewports) return;
  const ZR_Window window = m_oShared.GetLut().GreyWindow();
  const bool showWindow = m_oScreen.IsMpr() && m_oMpr.bGray;
  m_oText.DrawStudyDetails(m_pViewports->Width(index), m_oVolume.aStudyLines, m_oVolume.sVoxelSize,
                           showWindow ? &window : nullptr);
}
