// The transfer-function engine: its creation on the renderer's lookup table and the redraws it
// asks for when the tables change.
#include "manager/ZR_VisManager.h"
#include "presets/ZR_PresetEditor.h"

int32_t ZR_VisManager::CreatePresetEditor(ZR_PresetEditorGui* gui) {
  std::unique_ptr<ZR_PresetEditor> engine;
  const int32_t result = ZR_PresetEditor::Create(gui, this, &m_oShared.GetLut(), engine);
  if (result != VR_OK) return result;
  engine->SetBasePath(m_sAppDir + "Presets/");
  m_pPresetEditor = std::move(engine);
  return VR_OK;
}

void ZR_VisManager::RedrawForPresetEditor(int32_t quality) {
  // During a load the engine is set up before anything can be drawn.
  if (!m_oVolume.bLoaded || m_oLoad.bLoading) return;
  if (!m_oAdapter.bSoftwareRendering) m_oTexture3dRenderer.UploadLut();
  SelectQuality(quality, true);
  RedrawPanel(m_oScreen.Is3d() ? ZR_Panel::View3D : ZR_Panel::MprView3D);
  m_pRenderer->Invalidate();
  RedrawViews(false);
}
