// The cut plane and the VOI box in the manager: switching them, the cut-plane tool, the VOI
// tools in the 3D view and in the orthogonal panes, the VOI outline drawn over the panes and
// the picking of its edges, and the view reset that puts them back.
#include <algorithm>
#include <cmath>

#include "core/ZR_VisGui.h"
#include "edit3d/ZR_CutPlaneTool.h"
#include "manager/ZR_VisManager.h"
#include "render/ZR_GlFunctions.h"
#include "settings/ZR_Vis3DSettings.h"

namespace {
constexpr int32_t kSettingLiveCutView = 13;
constexpr float kOutlineColour[3] = {0.0f, 0.6f, 1.0f};
constexpr uint16_t kGrabbedStipple = 0x0F00;

bool IsMprPanel(int32_t panel) { return panel >= ZR_Panel::Mpr0 && panel <= ZR_Panel::Mpr3; }
bool IsOrthoPanel(int32_t panel) { return panel >= ZR_Panel::Ortho0 && panel <= ZR_Panel::Ortho2; }
bool IsVoiTool(ZR_Tool3d tool) { return tool == ZR_Tool3d::VoiPosition || tool == ZR_Tool3d::VoiSize; }
}  // namespace

// --- Switching -------------------------------------------------------------------------------------

void ZR_VisManager::SetVoiEnabled(bool on) {
  m_oShared.SetVoiEnabled(on);
  m_pAppGui->EnableControl(ZR_Ctl::Sbtn_VoiPos, on);
  m_pAppGui->EnableControl(ZR_Ctl::Sbtn_VoiSize, on);
  if (on) {
    Set3dTool(ZR_Tool3d::VoiPosition);
    m_pAppGui->SetButtonDown(ZR_Ctl::Sbtn_VoiPos, true);
  } else {
    Set3dTool(ZR_Tool3d::Rotate);
    m_pAppGui->SetButtonDown(ZR_Ctl::SBtn_Rotate, true);
  }
  m_pRenderer->Invalidate();
  if (m_oScreen.Is3d()) {
    RedrawPanel(ZR_Panel::View3D);
    RedrawViews(false);
  }
}

bool ZR_VisManager::SetVoi(const ZR_Box::Vector& size, const ZR_Box::Vector& position) {
  if (!(size[0] > 0 && size[1] > 0 && size[2] > 0)) return false;
  m_oShared.SetVoi(ZR_Box(size, position));
  m_pRenderer->Invalidate();
  return true;
}

void ZR_VisManager::ResetVoi() {
  int32_t dims[3];
  m_oShared.GetFullDimensions(dims);
  const ZR_Box::Vector half{dims[0] * 0.5f, dims[1] * 0.5f, dims[2] * 0.5f};
  m_oShared.SetVoi(ZR_Box(half, half));
  m_oShared.SetVoiEnabled(false);
  m_pAppGui->SetButtonDown(ZR_Ctl::Sbtn_Voi, false);
  m_pAppGui->EnableControl(ZR_Ctl::Sbtn_VoiPos, false);
  m_pAppGui->EnableControl(ZR_Ctl::Sbtn_VoiSize, false);
  // The VOI tools have nothing to act on once the box is off.
  if (IsVoiTool(m_oScreen.nTool3d)) {
    Set3dTool(ZR_Tool3d::Rotate);
    m_pAppGui->SetButtonDown(ZR_Ctl::SBtn_Rotate, true);
  }
}

void ZR_VisManager::SetCutView(bool on) {
  m_oScreen.bCutView = on;
  ZR_CutState& cut = m_oShared.Cut();
  cut.nAxis = 1;
  cut.bShowCutPlane = on && m_oScreen.oCutPlaneDisplay.showCutPlane;
  cut.bSlabCut = on && m_oScreen.oCutPlaneDisplay.slab;
  (void)MakePanelCurrent(ZR_Panel::View3D);
  cut.bOn = on;
  m_pRenderer->Invalidate();
  if (m_oScreen.Is3d()) RedrawPanel(ZR_Panel::View3D);
}

void ZR_VisManager::SetCutaway(bool on) {
  m_oScreen.bCutaway = on;
  RedrawPanel(ZR_Panel::MprView3D);
}

void ZR_VisManager::SetCutPlaneDrag(bool on) {
  m_oMpr.bMprDisplay = !on;
  if (m_pWritableSettings && m_pWritableSettings->Renderer().liveCutView != on) {
    m_pWritableSettings->Renderer().liveCutView = on;
    SettingChanged(kSettingLiveCutView);
  }
}

void ZR_VisManager::AlignCutPlaneToMprView(int32_t panel) {
  if (!IsMprPanel(panel)) return;
  const MprViewInfo& view = m_oMpr.aViews[panel];
  const float* right = view.Axis(0);
  const float* up = view.Axis(1);
  const float* normal = view.Axis(2);
  // The 3D view cuts along its frame's y axis: the frame is (right, normal, -up), with no
  // offset in it (the matrix must hold for the full and the reduced copy alike); the plane's
  // distance from the centre goes into the cut position, which is scaled per copy.
  ZR_CutState& cut = m_oShared.Cut();
  float m[16] = {right[0],  right[1],  right[2],  0, normal[0], normal[1], normal[2], 0,
                 -up[0],    -up[1],    -up[2],    0, 0,         0,         0,         1};
  std::copy(std::begin(m), std::end(m), cut.afMatrix);
  const float* p = view.Position();
  cut.nAxis = 1;
  // What is kept lies on the side the normal points to.
  cut.dPosition = -(static_cast<double>(normal[0]) * p[0] + static_cast<double>(normal[1]) * p[1] +
                    static_cast<double>(normal[2]) * p[2]);
  m_pRenderer->Invalidate();
}

void ZR_VisManager::PointCutAtMainView() {
  const MprViewInfo& main = m_oMpr.aViews[m_oMpr.nMainView];
  ZR_CutState& cut = m_oShared.Cut();
  cut.bMprSlab = main.Slabbed();
  if (cut.bMprSlab) m_oShared.SetSlabThickness(main.fSlabExtent * MprExtent());
}

void ZR_VisManager::ResetView() {
  if (m_oLoad.bLoading || !m_oVolume.bLoaded) return;
  (void)MakePanelCurrent(ZR_Panel::View3D);
  ResetViewState();
  m_pRenderer->Invalidate();
  if (m_oScreen.Is3d()) RedrawPanel(ZR_Panel::View3D);
  ResetMprLayout(m_oScreen.nScreen);
  RedrawViews(false);
}

// --- Tools ------------------------------------------------------------------------------------------

void ZR_VisManager::DragCutPlane(int32_t panel, int32_t lastX, int32_t lastY, int32_t x, int32_t y, bool left) {
  ZR_CutState& cut = m_oShared.Cut();
  bool changed = false;
  if (left) {
    const int32_t width = PanelWidth(panel), height = PanelHeight(panel);
    const ZR_TrackballView ball{width, height, 0.75 * std::min(width / 2, height / 2)};
    changed = ZR_CutPlaneTool::Turn(ball, m_oShared.Rotation(), lastX, lastY, x, y, cut.afMatrix);
  } else {
    CutPlaneSettings& display = m_oScreen.oCutPlaneDisplay;
    float width = display.slabWidth;
    changed = ZR_CutPlaneTool::Slide(x - lastX, y - lastY, display.slab, &cut.dPosition, &width);
    if (width != display.slabWidth) {
      display.slabWidth = width;
      m_oShared.SetSlabThickness(width);
    }
  }
  if (changed) m_pRenderer->Invalidate();
}

bool ZR_VisManager::DragVoi(ZR_Tool3d tool, int32_t dx, bool left, bool middle, bool right) {
  if (!m_oShared.VoiEnabled()) return false;
  ZR_Box box = m_oShared.GetVoi();
  if (!ZR_VoiOutline::DragIn3dView(tool, dx, left, middle, right, box)) return false;
  m_oShared.SetVoi(box);
  return true;
}

void ZR_VisManager::DragVoiInPane(int32_t panel, int32_t dx, int32_t dy) {
  if (!m_oShared.VoiEnabled() || !IsOrthoPanel(panel)) return;
  ZR_Box box = m_oShared.GetVoi();
  const ZR_VoiOutline::Pane pane = VoiPane(panel);
  // Pointer motion with y upwards, as the box's axes run on the pane.
  const int32_t mx = dx, my = -dy;
  bool changed = false;
  if (m_oPointer.nVoiEdge != ZR_VoiOutline::kNone && m_oPointer.bVoiEdgeHit)
    changed = ZR_VoiOutline::DragFace(panel, m_oPointer.nVoiEdge, mx, my, pane, box);
  else if (IsVoiTool(m_oScreen.nTool3d))
    changed = ZR_VoiOutline::DragTool(panel, m_oScreen.nTool3d, mx, my, pane, box);
  if (!changed) return;
  m_oShared.SetVoi(box);
  m_pRenderer->Invalidate();
  RedrawViews(true);
  RedrawPanel(ZR_Panel::View3D);
}

// --- The outline in the orthogonal panes ---------------------------------------------------------

ZR_VoiOutline::Pane ZR_VisManager::VoiPane(int32_t panel) const {
  ZR_VoiOutline::Pane pane;
  m_oShared.GetFullDimensions(pane.aDims);
  m_oShared.GetVoxelScale(pane.aScale);
  std::copy_n(m_oShared.AxisSigns(), 3, pane.aSigns);
  // The panes span the floored largest extent of the full copy, as they draw their slices.
  for (int32_t i = 0; i < 3; ++i)
    pane.fSpan = std::max(pane.fSpan, std::floor(static_cast<float>(pane.aDims[i]) * pane.aScale[i]));
  pane.nWidth = PanelWidth(panel);
  pane.nHeight = PanelHeight(panel);
  return pane;
}

int32_t ZR_VisManager::PickVoiFace(int32_t panel, int32_t x, int32_t y) {
  if (!m_oShared.VoiEnabled() || !IsOrthoPanel(panel) || !m_oScreen.Is3d()) return ZR_VoiOutline::kNone;
  ZR_VoiOutline::Edges& edges = m_oScreen.aVoiEdges[panel - ZR_Panel::Ortho0];
  if (!ZR_VoiOutline::Compute(panel, m_oShared.GetVoi(), VoiPane(panel), &edges)) return ZR_VoiOutline::kNone;
  return ZR_VoiOutline::Pick(edges, x, y, m_oPointer.nPickTolerance);
}

void ZR_VisManager::DrawVoiOutline(int32_t panel) {
  if (!m_oShared.VoiEnabled() || !IsOrthoPanel(panel) || !Gl()) return;
  ZR_VoiOutline::Edges& e = m_oScreen.aVoiEdges[panel - ZR_Panel::Ortho0];
  if (!ZR_VoiOutline::Compute(panel, m_oShared.GetVoi(), VoiPane(panel), &e)) return;
  ZR_GlFunctions& gl = *Gl();
  // In pane pixels, row 0 at the top, on the pixel centres the edges were picked at.
  gl.MatrixMode(GL_PROJECTION);
  gl.PushMatrix();
  gl.LoadIdentity();
  gl.Ortho(0, PanelWidth(panel), PanelHeight(panel), 0, -1, 1);
  gl.MatrixMode(GL_MODELVIEW);
  gl.PushMatrix();
  gl.LoadIdentity();
  gl.Disable(GL_DEPTH_TEST);
  gl.Disable(GL_TEXTURE_2D);
  gl.Disable(GL_TEXTURE_3D);
  gl.Disable(GL_BLEND);
  gl.Disable(GL_ALPHA_TEST);
  gl.PolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  gl.LineWidth(1.0f);
  gl.Color3f(kOutlineColour[0], kOutlineColour[1], kOutlineColour[2]);
  const float l = static_cast<float>(e.nLeft) + 0.5f, r = static_cast<float>(e.nRight) + 0.5f;
  const float t = static_cast<float>(e.nTop) + 0.5f, b = static_cast<float>(e.nBottom) + 0.5f;
  struct Side {
    int32_t face;
    float x0, y0, x1, y1;
  };
  const Side sides[4] = {{e.nTopFace, l, t, r, t}, {e.nRightFace, r, t, r, b}, {e.nBottomFace, r, b, l, b},
                         {e.nLeftFace, l, b, l, t}};
  gl.LineStipple(1, kGrabbedStipple);
  for (const Side& side : sides) {
    // The edge under the pointer is drawn broken.
    if (side.face == m_oPointer.nVoiEdge)
      gl.Enable(GL_LINE_STIPPLE);
    else
      gl.Disable(GL_LINE_STIPPLE);
    gl.Begin(GL_LINES);
    gl.Vertex2f(side.x0, side.y0);
    gl.Vertex2f(side.x1, side.y1);
    gl.End();
  }
  gl.Disable(GL_LINE_STIPPLE);
  gl.Color3f(1, 1, 1);
  gl.PolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  gl.PopMatrix();
  gl.MatrixMode(GL_PROJECTION);
  gl.PopMatrix();
  gl.MatrixMode(GL_MODELVIEW);
}
