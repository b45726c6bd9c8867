// Construction and destruction of the manager.
#include "core/manager/ZR_VisManager.h"

#include "core/ZR_Log.h"

ZR_VisManager::ZR_VisManager(ZR_VisGui* appGui) : m_pAppGui(appGui) {}

ZR_VisManager::~ZR_VisManager() {
  // Owned engine objects are released here in their fixed order as their subsystems arrive:
  // volume, offscreen buffer, subset preview, movie path, preset editor, radials driver;
  // then the log is closed, and last the view records and the renderers.
  ZR_Log::Instance().Close();
}
