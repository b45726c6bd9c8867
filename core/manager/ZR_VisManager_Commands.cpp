// The numbered commands of the main window's controls and of the MPR pop-up menu. Each
// number reaches its operation as the operation's subsystem arrives; until then the number
// is accepted and nothing happens, so the window can send every command already.
#include <cstring>

#include "core/ZR_Log.h"
#include "core/manager/ZR_VisManager.h"
#include "dicom/ZR_VolumePreview.h"

namespace {
uint8_t ByteArgument(const void* argument) {
  uint8_t value = 0;
  if (argument) std::memcpy(&value, argument, sizeof value);
  return value;
}
}  // namespace

void ZR_VisManager::Command(int32_t id, const void* argument) {
  // A command arriving from an event processed inside a load waits for nothing: it is dropped.
  if (m_bLoading) {
    ZR_Log::Entry("Command(): refused while a volume is being loaded; ", id);
    return;
  }
  switch (id) {
    case ZR_Ctl::Btn_Subset:
      if (m_pVolumePreview) m_pVolumePreview->Show(true);
      break;
    case ZR_Ctl::chk_ShadedVR:
      SetShading(ByteArgument(argument) != 0, true);
      break;
    case ZR_Ctl::Btn_FlythruRender:
      RenderFullQuality();
      break;
    default:
      break;
  }
}

void ZR_VisManager::MprPopupCommand(int32_t) {}
