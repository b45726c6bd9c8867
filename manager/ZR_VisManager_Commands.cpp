// The numbered commands of the main window's controls and of the MPR pop-up menu. Each
// number reaches its operation as the operation's subsystem arrives; until then the number
// is accepted and nothing happens, so the window can send every command already.
#include <cstring>

#include "core/ZR_Log.h"
#include "manager/ZR_VisManager.h"
#include "dicom/ZR_VolumePreview.h"

namespace {
uint8_t ByteArgument(const void* argument) {
  uint8_t value = 0;
  if (argument) std::memcpy(&value, argument, sizeof value);
  return value;
}
int32_t IntArgument(const void* argument) {
  int32_t value = 0;
  if (argument) std::memcpy(&value, argument, sizeof value);
  return value;
}
}  // namespace

void ZR_VisManager::Command(int32_t id, const void* argument) {
  // A command arriving from an event processed inside a load waits for nothing: it is dropped.
  if (m_oLoad.bLoading) {
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
    case ZR_Ctl::Sbtn_MprZoom:
      SetMprTool(ZR_MprTool::Zoom);
      break;
    case ZR_Ctl::Sbtn_MprPan:
      SetMprTool(ZR_MprTool::Pan);
      break;
    case ZR_Ctl::SBtn_MprWl:
      SetMprTool(ZR_MprTool::WindowLevel);
      break;
    case ZR_Ctl::Sbtn_Rot:
      SetMprTool(ZR_MprTool::RotateFree);
      break;
    case ZR_Ctl::Sbtn_MprXhair:
      CrosshairCommand(ByteArgument(argument) != 0);
      break;
    case ZR_Ctl::ToolBtn_Measures: {
      // 0..3 pick a measurement tool in their order, 7 gives the tool back; the annotation
      // commands 4..6 come with the measurements.
      const int32_t value = IntArgument(argument);
      if (value >= 0 && value <= 3) SetMprTool(static_cast<ZR_MprTool>(ZR_Number(ZR_MprTool::PixelValue) + value));
      if (value == 7) SetMprTool(ZR_MprTool::Restore);
      break;
    }
    default:
      break;
  }
}

void ZR_VisManager::MprPopupCommand(int32_t id) {
  if (m_oLoad.bLoading) return;
  switch (id) {
    case ZR_Menu::Mi_MprWL:
      SetMprTool(ZR_MprTool::WindowLevel);
      break;
    case ZR_Menu::Mi_MprRot3D:
      SetMprTool(ZR_MprTool::RotateFree);
      break;
    case ZR_Menu::Mi_MprRotH:
      SetMprTool(ZR_MprTool::RotateHorizontal);
      break;
    case ZR_Menu::Mi_MprRotV:
      SetMprTool(ZR_MprTool::RotateVertical);
      break;
    default:
      break;
  }
}
