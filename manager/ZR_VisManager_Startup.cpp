// Start-up and shut-down questions: the log, OnCreate, the exit question.
#include <string>

#include "core/ZR_Log.h"
#include "core/ZR_SystemInfo.h"
#include "core/ZR_VisGui.h"
#include "manager/ZR_VisManager.h"

void ZR_VisManager::OpenLog(const std::string& appDir) {
  m_sAppDir = appDir;
  if (!m_sAppDir.empty() && m_sAppDir.back() != '/') m_sAppDir += '/';
  ZR_Log& log = ZR_Log::Instance();
  log.Open(m_sAppDir + ZR_Log::kFileName);  // a failed log swallows writes; start-up goes on
  log.Write("Log created on ").Write(ZR_Log::FormatDate(ZR_Log::Now())).Write("\n").EndEntry();
  ZR_Log::Entry(ZR_Log::kVersionLine);
  if (m_sCaptureDir.empty()) m_sCaptureDir = m_sAppDir + "captured";
}

int32_t ZR_VisManager::OnCreate(ZR_ViewportTable* viewports) {
  m_pViewports = viewports;

  if ((ZR_SystemInfo::PhysicalMemoryBytes() >> 20) < kLowMemoryMiB) ReportResult(VR_MEMORY_WARNING);

  const int32_t result = CreateOpenGlViewports();

  if (!m_oAdapter.bCanShade) {
    ZR_Log::Entry("OnCreate(): Shaded Volume Rendering not supported by the graphics card.\n");
    m_pAppGui->ShowMessage("ERROR! Shaded Volume Rendering not supported by the graphics card.\n");
  }

  if (result != VR_OK) {
    m_pAppGui->ShowMessage("Renderer: " + m_oAdapter.sGlRenderer + "\n" + ZR_Result::DisplayText(result));
    if (result == VR_OG_SW_RENDER) {
      ZR_Log::Entry("OnCreate(): CreateOpenGlViewports() returned VR_OG_SW_RENDER");
    } else {
      ZR_Log::Entry("OnCreate(): CreateOpenGlViewports() failed; returned ", result);
      return result;
    }
  }

  m_oShared.Cut().bOn = false;
  m_pAppGui->EnableControl(ZR_Ctl::SBtn_Roi, true);
  m_pAppGui->EnableControl(ZR_Ctl::SBtn_ZapSeed, true);
  m_pAppGui->EnableControl(ZR_Ctl::Btn_Sculpt, true);
  ResetMprPlanes();
  m_bInitialised = true;
  return VR_OK;
}

int32_t ZR_VisManager::ConfirmExit(bool ask) {
  if (!ask) return 0;
  return m_pAppGui->AskYesNo("Exit Lumetra ?") ? 1 : 0;
}
