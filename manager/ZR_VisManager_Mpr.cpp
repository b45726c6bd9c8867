// The MPR views in the manager: the layout and its reset, the active and the target view,
// what drags, the wheel and the 3D pane do to the planes, the crosshair lines drawn over the
// views, and the slice lines of the 3D screen's orthogonal panes.
#include <algorithm>
#include <cmath>

#include "core/ZR_VisGui.h"
#include "manager/ZR_VisManager.h"
#include "mpr/ZR_MprCrosshair.h"
#include "mpr/ZR_MprDrag.h"
#include "mpr/ZR_MprTrackball.h"
#include "mpr/ZR_OrthoSliceLines.h"
#include "mpr/ZR_StandardOrientations.h"
#include "presets/ZR_PresetEditor.h"
#include "render/ZR_Matrix4.h"

namespace {
bool IsMprPanel(int32_t panel) { return panel >= ZR_Panel::Mpr0 && panel <= ZR_Panel::Mpr3; }

// Crosshair style: plane lines solid and 1.5 pixels wide, slab boundaries 1 pixel and
// stippled; a grabbed or hovered line is stippled (a boundary more finely).
constexpr float kLineColour[3] = {0.0f, 0.6f, 1.0f};
constexpr uint16_t kHoverStipple = 0x0F0F;
constexpr uint16_t kBoundaryHoverStipple = 0xCCCC;
}  // namespace

// --- Geometry ------------------------------------------------------------------------------------

float ZR_VisManager::MprExtent() const {
  // The renderers span the views with the floored largest extent of the full copy.
  float largest = 0;
  for (float e : m_oVolume.aExtent) largest = std::max(largest, std::floor(e));
  return largest;
}

float ZR_VisManager::PhysicalLength() const {
  const float inverse = m_oShared.InversePhysicalLength();
  return inverse > 0 ? 1.0f / inverse : 0.0f;
}

int32_t ZR_VisManager::PanelWidth(int32_t panel) const {
  return m_pViewports && panel >= 0 && panel < ZR_ViewportTable::kSurfaceCount ? m_pViewports->Width(panel) : 0;
}

int32_t ZR_VisManager::PanelHeight(int32_t panel) const {
  return m_pViewports && panel >= 0 && panel < ZR_ViewportTable::kSurfaceCount ? m_pViewports->Height(panel) : 0;
}

ZR_MprPane ZR_VisManager::MprPane(int32_t panel) const {
  return {MprExtent(), PanelWidth(panel), PanelHeight(panel)};
}

// --- Layout --------------------------------------------------------------------------------------

void ZR_VisManager::ResetMprPlanes() {
  // Panel 8 takes view 6's plane when it is next drawn; its curve becomes the active curve
  // once curves exist.
  m_oMpr.ResetPlanes();
}

void ZR_VisManager::ResetMprLayout(ZR_Screen screen) {
  if (screen == ZR_Screen::Mpr) ResetMprPlanes();
  m_oMpr.aViews[m_oMpr.nActiveView].bCurveMode = false;
  m_pAppGui->SetButtonDown(ZR_Ctl::Sbtn_Curve, false);
  // The MPR views always show their whole square: there are no pan offsets to clear.
  m_pAppGui->SetButtonDown(ZR_Ctl::SBtn_MprSnap, false);
  if (m_oScreen.bSnapshotMode) SetSnapshotMode(false);
  m_oMpr.nMaximisedSlot = 5;
  if (m_pRepaintFlags)
    for (int32_t panel = ZR_Panel::Mpr0; panel <= ZR_Panel::Mpr3; ++panel) m_pRepaintFlags[panel] = 1;
}

void ZR_VisManager::ResetMpr() {
  ResetMprLayout(ZR_Screen::Mpr);
  RedrawViews(false);
  RedrawPanel(ZR_Panel::MprView3D);
}

bool ZR_VisManager::ActivateMprView(int32_t panel) {
  if (!IsMprPanel(panel) || panel == m_oMpr.nActiveView || m_oMpr.bLockActiveView) return false;
  m_oMpr.nActiveView = panel;
  PointMprView3D(panel, true);
  // Its curve becomes the active curve and the curved-MPR window follows once curves exist.
  m_pAppGui->SetButtonDown(ZR_Ctl::Sbtn_Curve, m_oMpr.aViews[panel].bCurveMode);
  RefreshMprControls();
  RedrawViews(false);
  return true;
}

void ZR_VisManager::PointMprView3D(int32_t panel, bool redraw) {
  if (!IsMprPanel(panel)) return;
  m_oMpr.nMainView = panel;
  if (redraw && !m_oAdapter.bSoftwareRendering) RedrawPanel(ZR_Panel::MprView3D);
}

void ZR_VisManager::DrawMprView3D(int32_t quality, bool swap) {
  SelectQuality(quality, false);
  (void)MakePanelCurrent(ZR_Panel::MprView3D);
  // The cut plane follows the main view's plane in the units of the copy now current.
  m_pRenderer->SetCutPlaneTransform(m_oMpr.aViews[m_oMpr.nMainView].oView.oPlane);
  ZR_CutState& cut = m_oShared.Cut();
  cut.nAxis = 2;  // the plane frame's normal
  cut.bOn = m_oScreen.bCutaway;
  // The plane is the view's own: its offset is in the matrix.
  const double position = cut.dPosition;
  cut.dPosition = 0;
  PointCutAtMainView();
  cut.bShowCutPlane = true;
  Draw3DPanel(ZR_Panel::MprView3D, 0, 0, 0, swap);
  // The 3D view's own cut again.
  cut.dPosition = position;
  cut.bOn = m_oScreen.bCutView;
  cut.bShowCutPlane = m_oScreen.bCutView && m_oScreen.oCutPlaneDisplay.showCutPlane;
  cut.bSlabCut = m_oScreen.bCutView && m_oScreen.oCutPlaneDisplay.slab;
}

// --- Standard orientations and turning ---------------------------------------------------------

void ZR_VisManager::ShowStandardOrientation(int32_t code) {
  if (!m_oVolume.bLoaded || code < 0 || code >= ZR_StandardOrientations::kCount) return;
  if (m_oScreen.IsMpr()) {
    MprViewInfo& view = m_oMpr.aViews[m_oMpr.nActiveView];
    view.Reset();
    (void)ZR_StandardOrientations::PlaneOrientation(code, view.Orientation());
    RedrawViews(false);
    RedrawPanel(ZR_Panel::MprView3D);
    return;
  }
  float rotation[16];
  (void)ZR_StandardOrientations::ViewRotation(code, rotation);
  m_oShared.SetRotation(rotation);
  m_pRenderer->Invalidate();
  ClearRoi();
  RedrawPanel(ZR_Panel::View3D);
}

void ZR_VisManager::AlignToAxes() {
  if (!m_oVolume.bLoaded) return;
  float rotation[16];
  ZR_StandardOrientations::AlignToAxes(m_oShared.Rotation(), rotation);
  m_oShared.SetRotation(rotation);
  ClearRoi();
  m_pRenderer->Invalidate();
  RedrawPanel(ZR_Panel::View3D);
}

void ZR_VisManager::TurnMprView(int32_t panel, float degreesAboutRight, float degreesAboutUp) {
  if (!m_oVolume.bLoaded || !IsMprPanel(panel)) return;
  MprViewInfo& view = m_oMpr.aViews[panel];
  float turned[16];
  (ZR_Matrix4::FromFloats(view.Orientation()) * ZR_Matrix4::Rotation(degreesAboutRight, 1, 0, 0) *
   ZR_Matrix4::Rotation(degreesAboutUp, 0, 1, 0))
      .ToFloats(turned);
  if (!ZR_MprTrackball::Orthonormalise(turned)) return;
  std::copy_n(turned, 16, view.Orientation());
  view.MarkMoved();
  RedrawViews(true);
}

void ZR_VisManager::MoveMprView(int32_t panel, float millimetres) {
  const float length = PhysicalLength();
  if (!m_oVolume.bLoaded || !IsMprPanel(panel) || length <= 0) return;
  ZR_MprDrag::MoveAlongNormal(m_oMpr.aViews[panel], millimetres / length * MprExtent());
  RedrawViews(true);
}

// --- Pointer in the MPR views --------------------------------------------------------------------

void ZR_VisManager::DragInMprView(int32_t panel, int32_t x, int32_t y, int32_t dx, int32_t dy) {
  // The middle button acts as in the 3D pane below.
  if (m_oPointer.bMiddleDown && ChangeTargetSlabExtent(dx)) RedrawPanel(ZR_Panel::MprView3D);
  if (!m_oPointer.bLeftDown) return;
  if (m_oMpr.nCrosshairDrag != ZR_MprCrosshair::kNone) {
    const uint32_t moved = ZR_MprDrag::DragLine(m_oMpr.aViews, panel, m_oMpr.nCrosshairDrag, static_cast<float>(dx),
                                                static_cast<float>(dy), MprPane(panel), PhysicalLength());
    if (moved == 0) return;
    // A boundary drag changed a slab: its controls follow.
    RefreshMprControls();
    if (SteersMprView3D(panel)) m_oMpr.nMainView = ZR_MprCrosshair::TargetOfCode(m_oMpr.nCrosshairDrag, panel);
    RedrawViews(true);
    return;
  }
  if (IsRotationTool(m_oMpr.nTool)) {
    MprViewInfo& view = m_oMpr.aViews[panel];
    const ZR_TrackballView ball = ZR_MprTrackball::PaneBall(PanelWidth(panel), PanelHeight(panel));
    if (!ZR_MprTrackball::TurnInPane(view.Orientation(), m_oMpr.nTool, ball, m_oPointer.nLastX, m_oPointer.nLastY, x, y)) return;
    view.MarkMoved();
    RedrawPanel(panel);
    // Panel 8 follows while the live cut view is on; otherwise on the release.
    if (SteersMprView3D(panel)) PointMprView3D(panel, !m_oMpr.bMprDisplay);
  } else if (m_oMpr.nTool == ZR_MprTool::WindowLevel) {
    DragTable(dx, dy, !m_oMpr.bGray);
    for (int32_t index = ZR_Panel::Mpr0; index <= ZR_Panel::Mpr3; ++index) RedrawPanel(index);
  } else if (IsMeasurementTool(m_oMpr.nTool)) {
    DragMeasurement(panel, x, y);
  }
}

void ZR_VisManager::DragInMprView3D(int32_t panel, int32_t lastX, int32_t lastY, int32_t x, int32_t y, bool left,
                                    bool middle, bool right) {
  const int32_t width = PanelWidth(panel), height = PanelHeight(panel);
  const ZR_TrackballView ball{width, height, 0.75 * std::min(width / 2, height / 2)};
  if (right) {
    m_oScreen.oTrackball = ball;
    m_oShared.Rotate(ball, lastX, lastY, x, y);
  }
  if (left && !m_oMpr.aViews[m_oMpr.nActiveView].bCurveMode) {
    MprViewInfo& view = m_oMpr.aViews[m_oMpr.nMainView];
    if (ZR_MprTrackball::TurnInView(view.Orientation(), m_oShared.Rotation(), ball, lastX, lastY, x, y)) {
      view.MarkMoved();
      RedrawViews(false);
    }
  }
  if (middle) (void)ChangeTargetSlabExtent(x - lastX);
  RedrawPanel(panel);
}

bool ZR_VisManager::ChangeTargetSlabExtent(int32_t dx) {
  MprViewInfo& view = m_oMpr.aViews[m_oMpr.nMainView];
  if (!view.Slabbed()) return false;
  int32_t dims[3];
  m_oShared.GetFullDimensions(dims);
  const int32_t largest = std::max({dims[0], dims[1], dims[2]});
  if (!ZR_MprDrag::ChangeSlabExtent(view, dx, m_oVolume.aPixelSpacing[2], largest, PhysicalLength())) return false;
  RefreshMprControls();
  RedrawPanel(m_oMpr.nMainView);
  return true;
}

void ZR_VisManager::MouseWheel(int32_t delta, bool ctrl, bool shift) {
  if (!PointerAllowed() || IsBusy() || !m_oScreen.IsMpr()) return;
  MprViewInfo& view = m_oMpr.aViews[m_oMpr.nMainView];
  if (view.bCurveMode) return;
  const float step = ZR_MprDrag::WheelStep(delta, ctrl, shift, m_oVolume.aExtent[2]);
  if (step == 0) return;
  ZR_MprDrag::MoveAlongNormal(view, step);
  RedrawViews(false);
  RedrawPanel(ZR_Panel::MprView3D);
}

void ZR_VisManager::DragTable(int32_t dx, int32_t dy, bool colour) {
  if (!m_pPresetEditor) return;
  if (colour)
    m_pPresetEditor->DragBands(dx, dy);
  else
    m_pPresetEditor->DragWindow(dx, dy);
}

// --- Crosshair lines ----------------------------------------------------------------------------

void ZR_VisManager::DrawCrosshairs(int32_t index) {
  MprViewInfo& view = m_oMpr.aViews[index];
  const ZR_MprPane pane = MprPane(index);
  const std::vector<ZR_MprCrosshair::Line> lines =
      m_oMpr.bCrosshair ? ZR_MprCrosshair::Lines(m_oMpr.aViews, index, pane) : std::vector<ZR_MprCrosshair::Line>{};
  // What is not drawn cannot be grabbed.
  ZR_MprCrosshair::StoreRects(view, lines);
  if (lines.empty()) return;
  ZR_GlFunctions& gl = *Gl();
  const double half = pane.fExtent / 2;
  gl.MatrixMode(GL_PROJECTION);
  gl.LoadIdentity();
  gl.Ortho(-half, half, half, -half, -1, 1);  // as the plane is drawn: v runs down the pane
  gl.MatrixMode(GL_MODELVIEW);
  gl.LoadIdentity();
  gl.Disable(GL_DEPTH_TEST);
  gl.Disable(GL_TEXTURE_2D);
  gl.Disable(GL_TEXTURE_3D);
  gl.Disable(GL_BLEND);
  gl.Color3f(kLineColour[0], kLineColour[1], kLineColour[2]);
  for (const ZR_MprCrosshair::Line& line : lines) {
    const bool hovered = ZR_MprCrosshair::Highlighted(line, m_oMpr.nCrosshairDrag);
    const bool boundary = line.nSide != 0;
    gl.LineWidth(boundary ? 1.0f : 1.5f);
    if (boundary || hovered) {
      gl.LineStipple(1, boundary && hovered ? kBoundaryHoverStipple : kHoverStipple);
      gl.Enable(GL_LINE_STIPPLE);
    } else {
      gl.Disable(GL_LINE_STIPPLE);
    }
    gl.Begin(GL_LINES);
    gl.Vertex2f(line.afFrom[0], line.afFrom[1]);
    gl.Vertex2f(line.afTo[0], line.afTo[1]);
    gl.End();
  }
  gl.Disable(GL_LINE_STIPPLE);
  gl.LineWidth(1.0f);
}

// --- Orthogonal panes of the 3D screen ------------------------------------------------------------

void ZR_VisManager::UpdateSliceLines(int32_t panel) {
  ZR_OrthoSliceLines::FromCrosshair(panel, m_oTexture3dRenderer.Crosshair(panel - ZR_Panel::Ortho0),
                                    m_oShared.LargestExtent(), PanelWidth(panel), PanelHeight(panel),
                                    m_oMpr.aSliceLines);
}

void ZR_VisManager::DragSliceLine(int32_t panel, int32_t dx, int32_t dy) {
  if (!ZR_OrthoSliceLines::Drag(m_oMpr.oOrthoViews, m_oPointer.nLineDrag, static_cast<float>(dx), static_cast<float>(dy),
                                PanelWidth(panel), PanelHeight(panel), m_oVolume.aExtent, MprExtent(),
                                m_oShared.AxisSigns()))
    return;
  // Drawing the panes puts every line where its slice now is.
  RedrawViews(true);
}
