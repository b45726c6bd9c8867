// The numbered commands of the main window's controls and of the MPR pop-up menu, and the
// operations they share with the keys and the settings: the grey or colour MPR views, the
// layout of an MPR view and its series and slab values, the lock of the active view.
#include <cmath>
#include <cstring>

#include "core/ZR_Log.h"
#include "core/ZR_Settings.h"
#include "core/ZR_VisGui.h"
#include "manager/ZR_VisManager.h"
#include "dicom/ZR_VolumePreview.h"
#include "output/ZR_SaveInfo.h"
#include "settings/ZR_Vis3DSettings.h"

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
float FloatArgument(const void* argument) {
  float value = 0;
  if (argument) std::memcpy(&value, argument, sizeof value);
  return value;
}

// What the series and slab edit boxes accept.
constexpr int32_t kMostSlices = 1024;
constexpr float kThickestSlice = 1024;   // mm
constexpr float kWidestSlab = 10000;     // mm
// A slice thickness that differs by no more than this is the same one.
constexpr float kThicknessTolerance = 0.01f;
constexpr int32_t kSettingLock = 4;
constexpr int32_t kSettingColourMpr = 14;

bool IsMprPanel(int32_t panel) { return panel >= ZR_Panel::Mpr0 && panel <= ZR_Panel::Mpr3; }

// The slab radio group lists MPVR, MIP, MinIP; the views store MPVR, MinIP, MIP.
int32_t SlabModeOfRadio(int32_t index) {
  switch (index) {
    case 0: return MprViewInfo::kMpvr;
    case 1: return MprViewInfo::kMip;
    case 2: return MprViewInfo::kMinIp;
    default: return -1;
  }
}
int32_t RadioOfSlabMode(int32_t mode) { return mode == MprViewInfo::kMip ? 1 : mode == MprViewInfo::kMinIp ? 2 : 0; }
}  // namespace

void ZR_VisManager::Command(int32_t id, const void* argument) {
  // A command arriving from an event processed inside a load waits for nothing: it is dropped.
  if (m_oLoad.bLoading) {
    ZR_Log::Entry("Command(): refused while a volume is being loaded; ", id);
    return;
  }
  MprViewInfo& active = m_oMpr.aViews[m_oMpr.nActiveView];
  switch (id) {
    case ZR_Ctl::Btn_Subset:
      if (m_pVolumePreview) m_pVolumePreview->Show(true);
      break;
    case ZR_Ctl::chk_ShadedVR:
      SetShading(ByteArgument(argument) != 0, true);
      break;
    case ZR_Ctl::Sbtn_Voi:
      SetVoiEnabled(ByteArgument(argument) != 0);
      break;
    case ZR_Ctl::Sbtn_VoiPos:
      Set3dTool(ZR_Tool3d::VoiPosition);
      break;
    case ZR_Ctl::Sbtn_VoiSize:
      Set3dTool(ZR_Tool3d::VoiSize);
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
    case ZR_Ctl::Sbtn_ColourMpr:
      SetGrayMpr(false);
      break;
    case ZR_Ctl::Sbtn_GrayMpr:
      SetGrayMpr(true);
      break;
    case ZR_Ctl::Sbtn_MprXhair:
      // The button is what the views show: a pressed button with no lines would be wrong.
      SetCrosshair(ByteArgument(argument) != 0);
      break;
    case ZR_Ctl::ToolBtn_Measures: {
      // 0..3 pick a measurement tool in their order, 4..6 clear annotations (the last one, the
      // active view's, every view's), 7 gives the tool back.
      const int32_t value = IntArgument(argument);
      if (value >= 0 && value <= 3) SetMprTool(static_cast<ZR_MprTool>(ZR_Number(ZR_MprTool::PixelValue) + value));
      if (value == 4) ClearLastAnnotation();
      if (value == 5) ClearAnnotations(m_oMpr.nActiveView);
      if (value == 6) ClearAllAnnotations();
      if (value == 7) SetMprTool(ZR_MprTool::Restore);
      break;
    }
    case ZR_Ctl::Sbtn_Single:
    case ZR_Ctl::Sbtn_Multi:
    case ZR_Ctl::Sbtn_Slab:
      SetMprLayout(m_oMpr.nActiveView, id - ZR_Ctl::Sbtn_Single);
      break;
    case ZR_Ctl::Ed_Slices: {
      // Clamped as the box clamps it: a count of 0 would divide the series by nothing.
      const int32_t count = std::clamp(IntArgument(argument), 1, kMostSlices);
      if (count == active.nSliceCount) break;
      active.nSliceCount = count;
      RefreshMprControls();
      RedrawPanel(m_oMpr.nActiveView);
      RedrawPanel(ZR_Panel::MprView3D);
      break;
    }
    case ZR_Ctl::Ed_Thickness: {
      const float mm = FloatArgument(argument);
      if (!std::isfinite(mm)) break;
      const float thickness = std::clamp(mm, 0.0f, kThickestSlice);
      if (std::fabs(thickness - active.fSliceSpacingMm) <= kThicknessTolerance) break;
      const float length = PhysicalLength();
      active.fSliceSpacingMm = thickness;
      active.fSliceSpacing = length > 0 ? thickness / length : 0;
      RefreshMprControls();
      RedrawPanel(m_oMpr.nActiveView);
      RedrawPanel(ZR_Panel::MprView3D);
      break;
    }
    case ZR_Ctl::Rg_SlabMode: {
      const int32_t mode = SlabModeOfRadio(IntArgument(argument));
      if (mode < 0) break;
      active.nSlabMode = mode;
      RefreshMprControls();
      RedrawPanel(m_oMpr.nActiveView);
      break;
    }
    case ZR_Ctl::Ed_SlabSize: {
      const float mm = FloatArgument(argument);
      if (!std::isfinite(mm)) break;
      const float extent = std::clamp(mm, 0.0f, kWidestSlab);
      const float length = PhysicalLength();
      active.fSlabExtentMm = extent;
      active.fSlabExtent = length > 0 ? extent / length : 0;
      RefreshMprControls();
      RedrawViews(false);
      RedrawPanel(ZR_Panel::MprView3D);
      break;
    }
    case ZR_Ctl::Btn_MultiPreview:
      (void)RenderMprSeries(m_oMpr.nActiveView, kSeriesView, nullptr);
      break;
    case ZR_Ctl::Btn_MultiSave: {
      // No request is a cancelled dialog: nothing is saved. A request without a name is refused
      // rather than written into the working folder.
      const auto* request = static_cast<const ZR_SaveInfo*>(argument);
      if (!request) break;
      if (request->sFileName.empty()) {
        m_pAppGui->ShowMessage("Please give the series a file name.");
        break;
      }
      (void)RenderMprSeries(m_oMpr.nActiveView, kSeriesSave, request);
      break;
    }
    case ZR_Ctl::Btn_MultiStore:
      (void)RenderMprSeries(m_oMpr.nActiveView, kSeriesStore, nullptr);
      break;
    default:
      // 5 (the fly-through page) and 64..66 (its sliders) have no effect.
      break;
  }
}

void ZR_VisManager::MprPopupCommand(int32_t id) {
  if (m_oLoad.bLoading) return;
  switch (id) {
    case ZR_Menu::PopupOpening: {
      const MprViewInfo& view = m_oMpr.aViews[m_oMpr.nActiveView];
      const int32_t layout = view.Type();
      for (int32_t k = 0; k < 3; ++k) m_pAppGui->SetMenuChecked(ZR_Menu::Mi_MPR_Slice + k, layout == k);
      m_pAppGui->SetMenuChecked(ZR_Menu::Mi_LockActiveView, m_oMpr.bLockActiveView);
      m_pAppGui->SetMenuChecked(ZR_Menu::Mi_MprWL, m_oMpr.nTool == ZR_MprTool::WindowLevel);
      m_pAppGui->SetMenuChecked(ZR_Menu::Mi_MprRot3D, m_oMpr.nTool == ZR_MprTool::RotateFree);
      m_pAppGui->SetMenuChecked(ZR_Menu::Mi_MprRotH, m_oMpr.nTool == ZR_MprTool::RotateHorizontal);
      m_pAppGui->SetMenuChecked(ZR_Menu::Mi_MprRotV, m_oMpr.nTool == ZR_MprTool::RotateVertical);
      const bool slabbed = view.Slabbed();
      m_pAppGui->EnableMenu(ZR_Menu::Mi_PreviewMPRSeries, layout == MprViewInfo::kMulti);
      for (int32_t menu : {ZR_Menu::Mi_MPVR, ZR_Menu::Mi_MIP, ZR_Menu::Mi_MinIP}) m_pAppGui->EnableMenu(menu, slabbed);
      if (slabbed) {
        m_pAppGui->SetMenuChecked(ZR_Menu::Mi_MPVR, view.nSlabMode == MprViewInfo::kMpvr);
        m_pAppGui->SetMenuChecked(ZR_Menu::Mi_MIP, view.nSlabMode == MprViewInfo::kMip);
        m_pAppGui->SetMenuChecked(ZR_Menu::Mi_MinIP, view.nSlabMode == MprViewInfo::kMinIp);
      }
      break;
    }
    case ZR_Menu::Mi_LockActiveView:
      SetLockActiveView(!m_oMpr.bLockActiveView, true);
      break;
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

void ZR_VisManager::SetGrayMpr(bool gray) {
  m_oMpr.bGray = gray;
  if (m_oScreen.IsMpr()) SetRenderModeNow(gray ? ZR_RenderMode::Grayscale : ZR_RenderMode::Colour, true);
  const int32_t mode = gray ? 0 : 1;
  if (m_pWritableSettings && m_pWritableSettings->Renderer().mprDisplayMode != mode) {
    m_pWritableSettings->Renderer().mprDisplayMode = mode;
    SettingChanged(kSettingColourMpr);
  }
}

void ZR_VisManager::SetMprLayout(int32_t panel, int32_t layout) {
  if (!IsMprPanel(panel) || layout < MprViewInfo::kSingle || layout > MprViewInfo::kSlab) return;
  m_oMpr.aViews[panel].oView.nLayout = layout;
  m_oMpr.aViews[panel].bChanged = true;
  RefreshMprControls();
  RedrawViews(false);
  m_oMpr.nMainView = panel;
  RedrawPanel(ZR_Panel::MprView3D);
}

void ZR_VisManager::SetLockActiveView(bool locked, bool markChanged) {
  m_oMpr.bLockActiveView = locked;
  if (m_pWritableSettings) m_pWritableSettings->Display().lockActiveView = locked;
  if (markChanged) SettingChanged(kSettingLock);
  m_pAppGui->SetMenuChecked(ZR_Menu::Mi_LockActiveView, locked);
}

void ZR_VisManager::RefreshMprControls() {
  const MprViewInfo& view = m_oMpr.aViews[m_oMpr.nActiveView];
  const bool multi = view.Type() == MprViewInfo::kMulti;
  const bool slabbed = view.Slabbed();
  m_pAppGui->EnableControl(ZR_Ctl::Rg_SlabMode, slabbed);
  for (int32_t id : {ZR_Ctl::Ed_SlabSize, ZR_Ctl::Lbl_MprSlabSize}) {
    m_pAppGui->EnableControl(id, slabbed);
    m_pAppGui->ShowControl(id, slabbed);
  }
  for (int32_t id : {ZR_Ctl::Ed_Thickness, ZR_Ctl::Lbl_MprThickness, ZR_Ctl::Ed_Slices, ZR_Ctl::Lbl_MprSLices}) {
    m_pAppGui->EnableControl(id, multi);
    m_pAppGui->ShowControl(id, multi);
  }
  m_pAppGui->EnableControl(ZR_Ctl::Btn_MultiPreview, multi);
  m_pAppGui->EnableControl(ZR_Ctl::Btn_MultiSave, multi);
  m_pAppGui->SetButtonDown(ZR_Ctl::Sbtn_Single + view.Type(), true);
  if (!slabbed) return;
  m_pAppGui->SetNumberValue(ZR_Ctl::Ed_SlabSize, view.fSlabExtentMm);
  m_pAppGui->SetNumberValue(ZR_Ctl::Ed_Thickness, view.fSliceSpacingMm);
  m_pAppGui->SetNumberValue(ZR_Ctl::Ed_Slices, static_cast<float>(view.nSliceCount));
  m_pAppGui->SetRadioIndex(ZR_Ctl::Rg_SlabMode, RadioOfSlabMode(view.nSlabMode));
}
