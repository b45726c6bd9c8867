// Result codes reaching the user, and the shading switch that one of them turns off.
#include "core/ZR_Log.h"
#include "core/ZR_ProgressBar.h"
#include "core/ZR_VisGui.h"
#include "manager/ZR_VisManager.h"

void ZR_VisManager::ReportResult(int32_t code) {
  if (code == VR_OK) return;
  if (code == VR_OG_SHADING) {
    m_pAppGui->SetChecked(ZR_Ctl::chk_ShadedVR, false);
    SetShading(false, true);
  }
  if (m_pProgressBar) m_pProgressBar->Close();
  if (!ZR_Result::Message(code)) ZR_Log::Entry("ReportResult(): no message for result code ", code);
  m_pAppGui->ShowMessage(ZR_Result::DisplayText(code));
}

void ZR_VisManager::SetShading(bool on, bool redraw) {
  if (on == m_oScreen.bShading) return;
  m_oScreen.bShading = on;
  if (on) m_pAppGui->EnableControl(ZR_Ctl::Btn_FinalRender, true);
  SelectQuality(0, false);
  m_oPrograms.SetShadingRequested(on);
  if (!on || redraw) {
    m_pRenderer->Invalidate();
    RedrawPanel(ZR_Panel::View3D);
  }
}
