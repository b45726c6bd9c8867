#pragma once
// The numbers under which the main window registers its controls, menu items, panels and
// cursors. A numbered command is the id of the control that sends it.

#include <cstdint>

namespace ZR_Ctl {
enum : int32_t {
  pc_3D = 1,
  sbtn_3D = 2,
  ts_Volume = 3,
  ts_SSD = 4,
  sbtn_MPR = 6,
  btn_Inbox = 7,
  Btn_Subset = 8,
  Btn_FinalRender = 11,
  chk_ShadedVR = 12,
  SBtn_Roi = 13,
  SBtn_ZapSeed = 14,
  Btn_RegionSelectSettings = 15,
  Btn_Sculpt = 17,
  Btn_Undo = 18,
  SBtn_CutView = 19,
  SBtn_Rotate = 20,
  SBtn_Zoom = 21,
  SBtn_Pan = 22,
  SBtn_CutPlane = 23,
  Btn_ResetVolume = 24,
  Btn_Ortho = 25,
  SBtn_OpacityWl = 26,
  SBtn_Wl = 27,
  Btn_Presets = 28,
  Btn_DoRadialMIP = 29,
  Btn_MipThreshold = 30,
  Sbtn_Voi = 31,
  Sbtn_VoiPos = 32,
  Sbtn_VoiSize = 33,
  SBtn_SnapShot = 34,
  SBtn_Movie = 35,
  pnl_MPR = 36,
  cb_Cutaway = 37,
  Sbtn_MprZoom = 38,
  Sbtn_MprPan = 39,
  SBtn_MprWl = 40,
  Sbtn_Rot = 41,
  Sbtn_ColourMpr = 42,
  Sbtn_GrayMpr = 43,
  Sbtn_MprXhair = 44,
  ToolBtn_Measures = 45,
  Btn_MprPresets = 46,
  Sbtn_Curve = 47,
  Btn_Reset = 48,
  Sbtn_Single = 49,
  Sbtn_Multi = 50,
  Sbtn_Slab = 51,
  Ed_Slices = 52,
  Lbl_MprSLices = 53,
  Ed_Thickness = 54,
  Lbl_MprThickness = 55,
  Rg_SlabMode = 56,
  Ed_SlabSize = 57,
  Lbl_MprSlabSize = 58,
  Btn_MultiPreview = 59,
  Btn_MultiSave = 60,
  Btn_MultiStore = 61,
  SBtn_MprSnap = 62,
  // 63..66 are commands of the hidden fly-through page and have no control.
  Btn_FlythruRender = 63,
  tbr_FtFov = 64,
  tbr_FtScreenDist = 65,
  tbr_WideAngle = 66,
  SBtn_Seed = 67,
  SBtn_SsdRotate = 68,
  SBtn_SsdZoom = 69,
  SBtn_SsdPan = 70,
  RGrp_SsdQuality = 71,
  RGrp_SsdMethod = 72,
  Chk_SsdFusion = 73,
  btn_Display = 74,
  Btn_SsdReset = 75,
  Btn_SsdOrtho = 76,
  chbox_SurfaceOnly = 77,
  grpbox_Threshold = 78,
  Shape_Color = 79,
  SBtn_SsdMovie = 80,
  SBtn_SsdSnap = 81,
};
constexpr int32_t kAppControlCount = 82;
}  // namespace ZR_Ctl

namespace ZR_Menu {
enum : int32_t {
  Options = 1,
  PopupOpening = 2,  // sent when the MPR pop-up menu opens; no item of its own
  Mi_MPR_Slice = 3,
  Mi_MultiMPRSeries = 4,
  Mi_MPR_Slab = 5,
  Mi_MPVR = 6,
  Mi_MIP = 7,
  Mi_MinIP = 8,
  Mi_PreviewMPRSeries = 9,
  Mi_LockActiveView = 10,
  Mi_MprWL = 11,
  Mi_MprRot3D = 12,
  Mi_MprRotH = 13,
  Mi_MprRotV = 14,
};
constexpr int32_t kAppMenuCount = 15;
}  // namespace ZR_Menu

namespace ZR_Panel {
enum : int32_t {
  View3D = 0,        // 3D screen, volume rendering
  Ortho0 = 1,        // 3D screen, orthogonal slices along axes 0, 1, 2
  Ortho1 = 2,
  Ortho2 = 3,
  Mpr0 = 4,          // MPR screen, the four MPR views
  Mpr1 = 5,
  Mpr2 = 6,          // the default active MPR view
  Mpr3 = 7,
  MprView3D = 8,     // MPR screen, 3D view
  CurvedMpr = 9,     // curved-MPR window
  RadialStart = 10,  // radial MIP dialog previews
  RadialEnd = 11,
  None = 12,         // "no panel" (e.g. no maximised view)
};
constexpr int32_t kPanelCount = 12;
}  // namespace ZR_Panel

namespace ZR_Cursor {
enum : int32_t {
  Arrow = 10,
  Rotate = 11,
  Zoom = 12,
  Pan = 13,
  WindowLevel = 14,
  OpacityWindowLevel = 15,
  CutPlane = 16,
  Capture = 17,
  VertBar = 18,
  HorBar = 19,
  Rotate2 = 20,
  Pencil = 21,
  Busy = 22,
  Seed = 23,
  VoiSize = 24,
  VoiVertical = 25,
  VoiHorizontal = 26,
};
constexpr int32_t kFirst = 10;
constexpr int32_t kLast = 26;
// Cursor image file of each id from kFirst + 1 (the arrow is the system's).
inline const char* FileName(int32_t id) {
  static const char* const kFiles[] = {
      "rotate.cur", "zoom.cur",   "pan.cur",    "wl.cur",      "owl.cur",   "rotate.cur",
      "capture.cur", "vertbar.cur", "horbar.cur", "rotate.cur", "pencil.cur", "busy_m.cur",
      "pencil.cur", "voi-size.cur", "voi_v.cur", "voi_h.cur"};
  if (id <= kFirst || id > kLast) return nullptr;
  return kFiles[id - kFirst - 1];
}
}  // namespace ZR_Cursor
