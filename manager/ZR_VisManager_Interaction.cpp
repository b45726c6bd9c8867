// Pointer events of the drawing panels: which operation a press, a move or a release drives
// (from the panel, the screen, the tool, the buttons held and what lies under the pointer),
// the cursor shown while the pointer merely moves, and the gestures of the 3D views.
#include <cstdlib>
#include <iterator>

#include "core/ZR_VisGui.h"
#include "manager/ZR_VisManager.h"
#include "mpr/ZR_MprCrosshair.h"
#include "mpr/ZR_OrthoSliceLines.h"
#include "presets/ZR_PresetEditor.h"

namespace {
// A 3D-view drag step shorter than this (|dx| + |dy|, pixels) is not recorded into a movie.
constexpr int32_t kSmallMove = 15;

bool IsMprPanel(int32_t panel) { return panel >= ZR_Panel::Mpr0 && panel <= ZR_Panel::Mpr3; }
bool IsOrthoPanel(int32_t panel) { return panel >= ZR_Panel::Ortho0 && panel <= ZR_Panel::Ortho2; }

// The cursor of an orthogonal pane over a VOI edge (face 24..29), 0 for none.
int32_t VoiEdgeCursor(int32_t panel, int32_t face) {
  using namespace ZR_Panel;
  const bool vertical = (panel == Ortho0 && (face == 24 || face == 25)) ||
                        (panel == Ortho1 && (face == 24 || face == 25)) || (panel == Ortho2 && (face == 28 || face == 29));
  const bool horizontal = (panel == Ortho0 && (face == 28 || face == 29)) ||
                          (panel == Ortho1 && (face == 26 || face == 27)) || (panel == Ortho2 && (face == 26 || face == 27));
  return vertical ? ZR_Cursor::VoiVertical : horizontal ? ZR_Cursor::VoiHorizontal : 0;
}
}  // namespace

void ZR_VisManager::LeftDown(int32_t panel, int32_t x, int32_t y) {
  if (!PointerAllowed() || IsBusy()) return;
  m_oPointer.bMoved = false;
  if (m_oScreen.bSnapshotMode) {
    CaptureView(panel);
    return;
  }
  m_oPointer.bLeftDown = true;
  int32_t line = 0;
  if (m_oScreen.IsMpr()) {
    if (IsMeasurementTool(m_oMpr.nTool)) StartMeasurement(panel, x, y);
    if (panel == ZR_Panel::MprView3D) {
      m_oScreen.nTool3d = ZR_Tool3d::CutPlane;
    } else if (panel == ZR_Panel::CurvedMpr) {
      CurvePress(panel, x, y, false);
    } else if (IsMprPanel(panel)) {
      PressInMprView(panel);
      if (m_oMpr.aViews[panel].bCurveMode) CurvePress(panel, x, y, false);
    }
  } else if (IsOrthoPanel(panel)) {
    const int32_t face = PickVoiFace(panel, x, y);
    m_oPointer.bVoiEdgeHit = face != 0;
    if (face != 0)
      m_oPointer.nVoiEdge = face;
    else
      line = ZR_OrthoSliceLines::Test(panel, x, y, m_oMpr.aSliceLines, m_oPointer.nPickTolerance);
  } else if (panel == ZR_Panel::View3D) {
    Drag3D(panel, x, y, x, y, kLeftPress, true, m_oPointer.bMiddleDown, m_oPointer.bRightDown, m_oScreen.nTool3d);
  }
  m_oPointer.nLineDrag = line;
  m_oPointer.MoveTo(x, y);
}

void ZR_VisManager::PressInMprView(int32_t panel) {
  const bool activated = ActivateMprView(panel);
  // While the lock holds the active view, only the active view steers panel 8.
  if (m_oMpr.bLockActiveView && panel != m_oMpr.nActiveView) return;
  const int32_t target = ZR_MprCrosshair::TargetOfCode(m_oMpr.nCrosshairDrag, panel);
  if (!activated || target != m_oMpr.nMainView) PointMprView3D(target, true);
}

void ZR_VisManager::RightDown(int32_t panel, int32_t x, int32_t y) {
  if (!PointerAllowed() || IsBusy()) return;
  m_oPointer.bMoved = false;
  m_oPointer.bRightDown = true;
  if (m_oScreen.IsMpr() && IsMprPanel(panel)) {
    PressInMprView(panel);
    m_oMpr.nMainView = m_oMpr.nActiveView;
  } else if (m_oScreen.Is3d() && panel == ZR_Panel::View3D) {
    Drag3D(panel, x, y, x, y, kRightPress, m_oPointer.bLeftDown, m_oPointer.bMiddleDown, true, m_oScreen.nTool3d);
  }
  if (panel >= 0 && panel < ZR_Panel::kPanelCount && m_oMpr.aViews[panel].bCurveMode) CurvePress(panel, x, y, true);
  m_oPointer.MoveTo(x, y);
}

void ZR_VisManager::MiddleDown(int32_t, int32_t x, int32_t y) {
  if (!PointerAllowed() || IsBusy()) return;
  m_oPointer.bMoved = false;
  m_oPointer.bMiddleDown = true;
  m_oPointer.MoveTo(x, y);
}

void ZR_VisManager::SetPointerCursor(int32_t panel, int32_t x, int32_t y) {
  if (panel < 0 || panel >= ZR_Panel::kPanelCount) return;
  if (m_oMpr.aViews[panel].bCurveMode) {
    m_pAppGui->SetPanelCursor(panel, ZR_Cursor::Pencil);
    return;
  }
  if (m_oScreen.IsMpr()) {
    // By the tool's number, up to the measurements, which keep the cursor they set.
    static constexpr int32_t kMprCursors[] = {ZR_Cursor::Zoom,   ZR_Cursor::Pan,    ZR_Cursor::Rotate,
                                              ZR_Cursor::Rotate, ZR_Cursor::Rotate, ZR_Cursor::WindowLevel};
    static_assert(std::size(kMprCursors) == static_cast<size_t>(ZR_Number(ZR_MprTool::PixelValue)));
    if (IsValid(m_oMpr.nTool) && !IsMeasurementTool(m_oMpr.nTool))
      m_pAppGui->SetPanelCursor(panel, kMprCursors[ZR_Number(m_oMpr.nTool)]);
    return;
  }
  if (!IsOrthoPanel(panel)) return;
  const int32_t face = PickVoiFace(panel, x, y);
  if (face != 0) {
    m_oPointer.nVoiEdge = face;
    m_pAppGui->SetPanelCursor(panel, VoiEdgeCursor(panel, face));
    RedrawPanel(panel);
    return;
  }
  if (m_oPointer.nVoiEdge != 0) {
    // The edge the pointer left is drawn whole again.
    m_oPointer.nVoiEdge = 0;
    RedrawPanel(panel);
  }
  int32_t cursor = m_oScreen.nTool3d == ZR_Tool3d::OpacityWindowLevel ? ZR_Cursor::OpacityWindowLevel : ZR_Cursor::WindowLevel;
  const int32_t line = ZR_OrthoSliceLines::Test(panel, x, y, m_oMpr.aSliceLines, m_oPointer.nPickTolerance);
  if (m_oScreen.nTool3d == ZR_Tool3d::VoiPosition)
    cursor = ZR_Cursor::Pan;
  else if (m_oScreen.nTool3d == ZR_Tool3d::VoiSize)
    cursor = ZR_Cursor::VoiSize;
  else if (m_oScreen.nTool3d == ZR_Tool3d::Seed)
    cursor = ZR_Cursor::Seed;
  else if (line != 0)
    cursor = ZR_OrthoSliceLines::IsVertical(line) ? ZR_Cursor::VertBar : ZR_Cursor::HorBar;
  m_pAppGui->SetPanelCursor(panel, cursor);
}

void ZR_VisManager::PointerMove(int32_t panel, int32_t x, int32_t y) {
  if (!PointerAllowed() || IsBusy() || m_oPointer.bCapturing) return;
  if (panel < 0 || panel >= ZR_Panel::kPanelCount) return;
  if (m_oPointer.At(x, y)) return;
  if (m_oPointer.bSkipMove) {
    m_oPointer.bSkipMove = false;
    return;
  }
  m_oPointer.bReleased = false;
  const bool mpr = m_oScreen.IsMpr();
  if (mpr && IsMprPanel(panel) && !m_oAdapter.bSoftwareRendering && !m_oMpr.bLockActiveView) {
    (void)ActivateMprView(panel);
    // Panel 8 shows the plane a hovered or grabbed line belongs to; it is redrawn only when
    // that changes the plane it shows.
    const int32_t target = ZR_MprCrosshair::TargetOfCode(m_oMpr.nCrosshairDrag, panel);
    if ((!m_oPointer.bLeftDown || m_oMpr.nCrosshairDrag != 0) && target != m_oMpr.nMainView) PointMprView3D(target, true);
  }
  if (!m_oPointer.bLeftDown && !m_oPointer.bCapturing && panel != ZR_Panel::View3D && panel != ZR_Panel::MprView3D)
    SetPointerCursor(panel, x, y);
  m_oPointer.bMoved = true;

  if (!m_oPointer.AnyButton()) {
    if (mpr) {
      if (m_oMpr.aViews[panel].bCurveMode) CurveHover(panel, x, y);
      if (IsMeasurementTool(m_oMpr.nTool)) HoverMeasurement(panel, x, y);
    }
    if (m_oMpr.bCrosshair && !m_oPointer.bCapturing) {
      const int32_t code = mpr && IsMprPanel(panel) && m_oMpr.aViews[panel].Type() == MprViewInfo::kSingle
                               ? ZR_MprCrosshair::HitTest(m_oMpr.aViews[panel], panel, x, y, m_oPointer.nPickTolerance)
                               : ZR_MprCrosshair::kNone;
      if (code != ZR_MprCrosshair::kNone) m_pAppGui->SetPanelCursor(panel, ZR_Cursor::Pan);
      if (code != m_oMpr.nCrosshairDrag) {
        m_oMpr.nCrosshairDrag = code;
        if (!m_oAdapter.bSoftwareRendering) RedrawViews(false);
      }
    }
    // A hover is no step of a drag: the last position stays that of the last press or drag.
    return;
  }

  const int32_t lastX = m_oPointer.nLastX, lastY = m_oPointer.nLastY;
  const int32_t dx = x - lastX, dy = y - lastY;
  if (IsOrthoPanel(panel) || IsMprPanel(panel) || panel == ZR_Panel::CurvedMpr) {
    if (mpr) {
      if (IsMprPanel(panel))
        DragInMprView(panel, x, y, dx, dy);
      else if (panel == ZR_Panel::CurvedMpr)
        CurveDrag(panel, x, y);
    } else if (m_oScreen.nTool3d != ZR_Tool3d::Seed && IsOrthoPanel(panel)) {
      const bool voi = m_oShared.VoiEnabled();
      if (voi && ((m_oPointer.nVoiEdge != 0 && m_oPointer.bVoiEdgeHit) ||
                  m_oScreen.nTool3d == ZR_Tool3d::VoiPosition || m_oScreen.nTool3d == ZR_Tool3d::VoiSize)) {
        DragVoiInPane(panel, dx, dy);
      } else if (m_oPointer.nLineDrag != 0) {
        DragSliceLine(panel, dx, dy);
      } else if (m_oScreen.nTool3d == ZR_Tool3d::OpacityWindowLevel) {
        if (m_pPresetEditor) m_pPresetEditor->DragOpacityWindow(dx, dy);
        RedrawAfterTableChange(false);
      } else {
        DragTable(dx, dy, m_oScreen.IsColour());
        for (int32_t index = ZR_Panel::Mpr0; index <= ZR_Panel::Mpr3; ++index) m_oMpr.aViews[index].bChanged = true;
        RedrawAfterTableChange(false);
      }
    }
  } else if (panel == ZR_Panel::View3D || panel == ZR_Panel::MprView3D) {
    if (!Drag3DPanel(panel, lastX, lastY, x, y)) return;
  }
  m_oPointer.MoveTo(x, y);
}

bool ZR_VisManager::Drag3DPanel(int32_t panel, int32_t lastX, int32_t lastY, int32_t x, int32_t y) {
  const int32_t dx = x - lastX, dy = y - lastY;
  const bool small = std::abs(dx) + std::abs(dy) < kSmallMove;
  if (m_oScreen.nTool3d == ZR_Tool3d::WindowLevel && m_oPointer.bLeftDown && panel == ZR_Panel::View3D) {
    DragTable(dx, dy, m_oScreen.IsColour());
    RedrawAfterTableChange(false);
  } else if (m_oScreen.nTool3d == ZR_Tool3d::OpacityWindowLevel && m_oPointer.bLeftDown && panel == ZR_Panel::View3D) {
    if (m_pPresetEditor) m_pPresetEditor->DragOpacityWindow(dx, dy);
    RedrawAfterTableChange(false);
  } else if (m_oPointer.bMovieCapture && small) {
    return false;  // dropped: the next step is measured from the older position
  } else {
    Drag3D(panel, lastX, lastY, x, y, kMove, m_oPointer.bLeftDown, m_oPointer.bMiddleDown, m_oPointer.bRightDown, m_oScreen.nTool3d);
    if (m_oPointer.bMovieCapture) RecordMovieEvent(panel, lastX, lastY, x, y, m_oPointer.bLeftDown, m_oPointer.bMiddleDown, m_oPointer.bRightDown, m_oScreen.nTool3d);
  }
  return true;
}

void ZR_VisManager::Drag3D(int32_t panel, int32_t lastX, int32_t lastY, int32_t x, int32_t y, int32_t kind,
                           bool left, bool middle, bool right, ZR_Tool3d tool) {
  if (!m_oVolume.bLoaded) return;
  (void)MakePanelCurrent(panel);
  m_oScreen.nRepaintQuality = 3;
  if (kind == kLeftPress || kind == kRightPress) {
    if (tool == ZR_Tool3d::Roi) RoiPress(kind, x, y);
    return;
  }
  if (kind != kMove) return;
  if (left || middle || right) {
    if (m_oRun.bMovieRecording)
      m_pRenderer->Invalidate();
    else
      SelectQuality(m_oScreen.nStillQuality, true);
  }
  if (panel == ZR_Panel::MprView3D) {
    DragInMprView3D(panel, lastX, lastY, x, y, left, middle, right);
    return;
  }
  if (panel != ZR_Panel::View3D) return;
  const int32_t dx = x - lastX, dy = y - lastY;
  switch (tool) {
    case ZR_Tool3d::Zoom:
      if (left) Draw3DPanel(panel, 0, 0, static_cast<float>(dy), true);
      break;
    case ZR_Tool3d::Rotate:
      if (left) {
        if (dx == 0 && dy == 0) break;
        const int32_t width = PanelWidth(panel), height = PanelHeight(panel);
        m_oScreen.oTrackball = {width, height, 0.75 * std::min(width / 2, height / 2)};
        m_oShared.Rotate(m_oScreen.oTrackball, lastX, lastY, x, y);
        ClearRoi();
        RedrawPanel(panel);
      } else if (right || middle) {
        RedrawPanel(panel);
      }
      break;
    case ZR_Tool3d::Pan:
      if (left) Draw3DPanel(panel, static_cast<float>(dx), static_cast<float>(dy), 0, true);
      break;
    case ZR_Tool3d::CutPlane:
      if (left ? (dx != 0 || dy != 0) : (right || middle)) {
        DragCutPlane(panel, lastX, lastY, x, y, left);
        RedrawPanel(panel);
      }
      break;
    case ZR_Tool3d::WindowLevel:
      DragTable(dx, dy, m_oScreen.IsColour());
      RedrawAfterTableChange(false);
      break;
    case ZR_Tool3d::OpacityWindowLevel:
      if (m_pPresetEditor) m_pPresetEditor->DragOpacityWindow(dx, dy);
      RedrawAfterTableChange(false);
      break;
    case ZR_Tool3d::VoiPosition:
    case ZR_Tool3d::VoiSize:
      if (!DragVoi(tool, dx, left, middle, right)) break;
      m_pRenderer->Invalidate();
      RedrawPanel(ZR_Panel::View3D);
      RedrawViews(true);
      break;
    default:  // the region tools act on presses only
      break;
  }
}

void ZR_VisManager::RedrawAfterTableChange(bool alsoMpr) {
  if (!m_oVolume.bLoaded) return;
  if (!m_oAdapter.bSoftwareRendering) {
    m_oTexture3dRenderer.UploadLut();
    const int32_t quality = m_oRun.bMovieRecording || (alsoMpr && m_oScreen.bAutoQuality) ? 0 : m_oScreen.nStillQuality;
    SelectQuality(quality, true);
    if (alsoMpr && m_oScreen.IsMpr()) {
      DrawMprView3D(quality, true);
      m_oPointer.bReleased = true;
    } else if (m_oScreen.Is3d()) {
      Draw3DPanel(ZR_Panel::View3D, 0, 0, 0, true);
    }
  }
  m_pRenderer->Invalidate();
  RedrawViews(false);
}

void ZR_VisManager::RenderPanel0FullQuality() {
  SelectQuality(0, true);
  RedrawPanel(ZR_Panel::View3D);
}

void ZR_VisManager::LeftUp(int32_t panel) {
  if (!PointerAllowed() || IsBusy()) return;
  m_oPointer.bLeftDown = false;
  m_oPointer.bReleased = true;
  m_oPointer.bVoiEdgeHit = false;
  // The region-of-interest outline takes panel 0's release while it is drawn, once regions
  // exist.
  m_oPointer.nLineDrag = 0;
  if (!m_oPointer.bMoved) return;
  if (m_oScreen.IsMpr() || !m_oScreen.bAutoQuality) {
    if (IsMprPanel(panel)) {
      RedrawViews(false);
      if (m_oMpr.bMprDisplay) {
        if (m_oMpr.nCrosshairDrag == 0) m_oMpr.nMainView = m_oMpr.nActiveView;
        RedrawPanel(ZR_Panel::MprView3D);
      }
    } else if (panel == ZR_Panel::MprView3D) {
      RedrawViews(false);
    }
    m_oPointer.bReleased = false;
    return;
  }
  if (panel == ZR_Panel::View3D || m_oScreen.nTool3d == ZR_Tool3d::WindowLevel || m_oScreen.nTool3d == ZR_Tool3d::OpacityWindowLevel || m_oShared.VoiEnabled())
    RenderPanel0FullQuality();
}

void ZR_VisManager::RightUp(int32_t panel) {
  if (!PointerAllowed()) return;
  m_oPointer.bRightDown = false;
  m_oPointer.bReleased = true;
  if (!m_oScreen.bAutoQuality) return;
  if (IsMprPanel(panel)) {
    RedrawViews(false);
    if (m_oMpr.bMprDisplay) {
      if (m_oMpr.nCrosshairDrag == 0) m_oMpr.nMainView = m_oMpr.nActiveView;
      RedrawPanel(ZR_Panel::MprView3D);
    }
  } else if (panel == ZR_Panel::View3D && (m_oScreen.nTool3d == ZR_Tool3d::CutPlane || m_oShared.VoiEnabled())) {
    if (m_oScreen.Is3d())
      RenderPanel0FullQuality();
    else
      RedrawPanel(ZR_Panel::View3D);
  }
}

void ZR_VisManager::MiddleUp(int32_t panel) {
  if (!PointerAllowed()) return;
  if (m_oScreen.IsMpr()) {
    m_oPointer.bReleased = true;
    RedrawViews(false);
    m_oPointer.bReleased = false;
  } else if (m_oScreen.bAutoQuality && panel == ZR_Panel::View3D && m_oShared.VoiEnabled()) {
    RenderPanel0FullQuality();
  }
  m_oPointer.bMiddleDown = false;
}

void ZR_VisManager::PanelDoubleClick(int32_t panel) {
  if (!PointerAllowed()) return;
  m_oPointer.bSkipMove = true;
  m_oPointer.bLeftDown = false;
  m_oPointer.bMoved = false;
  m_pRenderer->Invalidate();
  RedrawPanel(panel);
}
