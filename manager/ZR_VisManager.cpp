// Construction and destruction of the manager.
#include "manager/ZR_VisManager.h"

#include "core/ZR_Log.h"
#include "dicom/ZR_DicomVolume.h"
#include "dicom/ZR_VolumePreview.h"
#include "presets/ZR_PresetEditor.h"

ZR_VisManager::ZR_VisManager(ZR_VisGui* appGui, RenderShared& shared, OpenGlText& text)
    : m_pAppGui(appGui),
      m_oShared(shared),
      m_oText(text),
      m_oTexture3dRenderer(shared),
      m_oSoftwareRenderer(shared),
      m_pRenderer(&m_oTexture3dRenderer) {}

ZR_VisManager::~ZR_VisManager() {
  // Owned engine objects are released here in their fixed order as their subsystems arrive:
  // volume, offscreen buffer, subset preview, movie path, preset editor, radials driver;
  // then the log is closed, and last the view records and the renderers.
  if (m_oVolume.bLoaded) UnloadVolume(false);
  m_pPBuffer.reset();
  // The preview's window is gone by now (the window deletes the contracts before the manager):
  // the preview is dropped without telling it.
  m_pVolumePreview.reset();
  m_pVolume.reset();
  m_pPresetEditor.reset();
  ZR_Log::Instance().Close();
  // The graphics objects go with the context current (the window makes it current before it
  // destroys the manager; headless, it always is).
  if (m_bContextCreated) {
    m_oSoftwareRenderer.DeleteGlObjects();
    m_oTexture3dRenderer.DeleteGlObjects();
    m_oPrograms.DeletePrograms();
    m_oText.DeleteLists();
  }
  // A process-wide state must not keep pointing at this manager's programs.
  if (m_oShared.Programs() == &m_oPrograms) m_oShared.AttachGl(m_oShared.Gl(), nullptr);
}
