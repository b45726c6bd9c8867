// Panel bookkeeping: slot codes, per-panel view set-up and the redraw entry point.
#include <algorithm>

#include "core/manager/ZR_VisManager.h"

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
  m_oTrackball.nWidth = width;
  m_oTrackball.nHeight = height;
  m_oTrackball.dRadius = 0.5 * std::min(width / 2, height / 2);
}

void ZR_VisManager::RedrawPanel(int32_t index, bool swap) {
  if (!m_bInitialised || index == ZR_Panel::None) return;
  // Drawing needs the renderers, which this build does not have yet.
}
