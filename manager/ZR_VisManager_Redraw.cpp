// The redraw pipeline: which panel draws what, the quality levels and the repaint path.
//
// One panel is drawn at a time. A redraw request that arrives while a panel is being drawn
// (for example from events processed inside a long render) is dropped: answering it would
// make another surface current under the draw in progress.
#include <algorithm>

#include "core/ZR_VisGui.h"
#include "manager/ZR_VisManager.h"
#include "settings/ZR_Vis3DSettings.h"

void ZR_VisManager::RedrawPanel(int32_t index, bool swap) {
  if (!m_bInitialised || index == ZR_Panel::None || index < 0 || index >= ZR_Panel::kPanelCount) return;
  if (m_oRun.bDrawing || m_oRun.bDrawingHeld) return;
  if (!m_oVolume.bLoaded || !m_pRenderer->IsLoaded()) {
    (void)ClearPanel(index);
    return;
  }
  switch (index) {
    case ZR_Panel::View3D:
      Draw3DPanel(index, 0, 0, 0, swap);
      break;
    case ZR_Panel::Ortho0:
    case ZR_Panel::Ortho1:
    case ZR_Panel::Ortho2:
      DrawOrthoPanel(index, index - ZR_Panel::Ortho0, swap);
      break;
    case ZR_Panel::Mpr0:
    case ZR_Panel::Mpr1:
    case ZR_Panel::Mpr2:
    case ZR_Panel::Mpr3:
      if (m_oMpr.aViews[index].Type() == MprViewInfo::kSlab)
        DrawSlabPanel(index, swap);
      else
        DrawMprPanel(index, swap);
      break;
    case ZR_Panel::MprView3D: {
      if (m_oAdapter.bSoftwareRendering) {
        (void)ClearPanel(index);
        break;
      }
      const int32_t remembered = m_oScreen.nRenderQuality;
      DrawMprView3D(m_oScreen.nStillQuality, swap);
      SelectQuality(remembered, true);
      break;
    }
    case ZR_Panel::CurvedMpr:
      DrawCurvePanel(swap, false);
      break;
    default:  // the radial MIP previews
      SelectQuality(m_oScreen.nStillQuality, true);
      Draw3DPanel(index, 0, 0, 0, true);
      break;
  }
}

bool ZR_VisManager::ClearPanel(int32_t index) {
  ZR_DrawSurface* surface = MakePanelCurrent(index);
  if (!surface) return false;
  Gl()->ClearColor(0, 0, 0, 0);
  Gl()->Clear(GL_COLOR_BUFFER_BIT);
  return surface->SwapBuffers();
}

void ZR_VisManager::Draw3DPanel(int32_t index, float panX, float panY, float zoom, bool swap) {
  if (!m_oVolume.bLoaded || m_oRun.bDrawing || m_oAdapter.bSoftwareRendering) return;
  m_oRun.bDrawing = true;
  m_oRun.bBusy = true;
  ZR_DrawSurface* surface = MakeCaptureTargetCurrent();
  const bool offscreen = surface != nullptr;
  if (!surface) surface = MakePanelCurrent(index);
  if (!surface) {
    m_oRun.bDrawing = m_oRun.bBusy = false;
    return;
  }
  if (offscreen) Gl()->Viewport(0, 0, m_pViewports->Width(index), m_pViewports->Height(index));

  ZR_CutState& cut = m_oShared.Cut();
  cut.bSlabCut = m_oScreen.bCutView && m_oScreen.oCutPlaneDisplay.slab;
  cut.bShowCutPlane = index == ZR_Panel::MprView3D || (m_oScreen.bCutView && m_oScreen.oCutPlaneDisplay.showCutPlane);

  // The MIP threshold shows as a grey table cut off from the threshold up, for panel 0 only.
  ZR_Lut& lut = m_oShared.GetLut();
  const bool threshold = m_oScreen.Is3d() && m_oScreen.nRenderMode == ZR_RenderMode::Mip && m_oScreen.bMipThreshold && index == ZR_Panel::View3D;
  if (threshold) {
    lut.SaveGreyTable();
    lut.FillGreyRange(m_oScreen.nMipThresholdIndex, lut.EntryCount() - 1, 0, 0);
    m_oTexture3dRenderer.UploadLut();
  }
  if (m_oRun.bMovieRecording) m_pRenderer->Invalidate();
  const int64_t framesBefore = m_oTexture3dRenderer.FramesDrawn();
  ReportResult(m_pRenderer->Render(panX, panY, 0, 0, zoom));
  if (m_oTexture3dRenderer.FramesDrawn() != framesBefore) {
    m_oScreen.oLastFrame.nPanel = offscreen ? -1 : index;
    m_oScreen.oLastFrame.nChanges = m_pRenderer->Changes();
    m_oScreen.oLastFrame.bReduced = m_pRenderer->IsReduced();
    m_oScreen.oLastFrame.nReduction = m_pRenderer->Reduction();
    m_oScreen.oLastFrame.fRate = m_oTexture3dRenderer.SamplingRate();
    m_oScreen.oLastFrame.aSize[0] = m_pViewports->Width(index);
    m_oScreen.oLastFrame.aSize[1] = m_pViewports->Height(index);
  }
  // The region-of-interest outline of the 3D screen is drawn here once regions exist.
  if (ShowStudyDetails() && m_oAdapter.bLargeViewport && index == ZR_Panel::View3D) DrawStudyDetails(index);
  // The offscreen buffer has one buffer: there is nothing to swap.
  if (!m_oRun.bMovieRecording && swap && !offscreen) (void)surface->SwapBuffers();
  if (threshold) {
    lut.RestoreGreyTable();
    m_oTexture3dRenderer.UploadLut();
  }
  m_oRun.bDrawing = false;
  m_oRun.bBusy = false;
}

void ZR_VisManager::DrawOrthoPanel(int32_t index, int32_t axis, bool swap) {
  if (m_oRun.bDrawing) return;
  if (!m_oVolume.bLoaded || OffscreenCapture()) {
    (void)ClearPanel(index);
    return;
  }
  ZR_DrawSurface* surface = MakePanelCurrent(index);
  if (!surface) return;
  // Slices draw from the full copy and leave the 3D view's picture as it is.
  SelectQuality(0, false);
  m_oRun.bDrawing = true;
  m_oShared.SelectCopy(false);
  m_oTexture3dRenderer.UploadLut();
  bool resident = m_pRenderer->DrawOrthoSlice(axis, index, m_oMpr.oOrthoViews);
  if (!resident && m_oVolume.bJustLoaded) {
    // Right after a load the driver may still be placing the textures: draw the slices
    // once more before warning.
    m_oVolume.bJustLoaded = false;
    m_oRun.bDrawing = false;
    RedrawViews(true);
    m_oRun.bDrawing = true;
    surface = MakePanelCurrent(index);
    if (!surface) {
      m_oRun.bDrawing = false;
      return;
    }
    resident = m_pRenderer->DrawOrthoSlice(axis, index, m_oMpr.oOrthoViews);
    if (!resident && !CaptureRunning())
      m_pAppGui->ShowMessage(
          "WARNING! Textures not resident in memory.\nIf problem persists, reload a smaller volume subset.");
  }
  m_oTexture3dRenderer.UploadLut();
  UpdateSliceLines(index);
  DrawVoiOutline(index);
  if (swap) {
    m_oText.DrawViewLabels(axis, m_oVolume.nLabels, m_oVolume.aLabelIndices);
    (void)surface->SwapBuffers();
  }
  SelectQuality(m_oScreen.nStillQuality, false);
  m_oRun.bDrawing = false;
}

void ZR_VisManager::DrawMprPanel(int32_t index, bool swap) {
  if (m_oMpr.nViewLimit != ZR_Panel::None && m_oMpr.nViewLimit != index) return;
  if (m_oRun.bDrawing) return;
  if (!m_oVolume.bLoaded) {
    (void)ClearPanel(index);
    return;
  }
  ZR_DrawSurface* surface = MakePanelCurrent(index);
  if (!surface) return;
  SelectQuality(0, false);
  Gl()->Clear(GL_COLOR_BUFFER_BIT);
  m_oRun.bDrawing = true;
  ZR_ObliqueView& view = m_oMpr.aViews[index].oView;
  const bool active = index == m_oMpr.nActiveView;
  if (m_oAdapter.bSoftwareRendering) {
    (void)m_oSoftwareRenderer.RenderViewFast(view, active);
  } else {
    m_oShared.SelectCopy(false);
    m_oTexture3dRenderer.UploadLut();
    (void)m_oTexture3dRenderer.DrawObliqueSlice(view, active && swap);
    m_oTexture3dRenderer.UploadLut();
  }
  // The view's curve is drawn here once curves exist, then its crosshair lines and its
  // measurements.
  DrawCrosshairs(index);
  DrawAnnotations(index);
  if (ShowStudyDetails() && m_oAdapter.bLargeViewport) DrawStudyDetails(index);
  if (swap) (void)surface->SwapBuffers();
  m_oRun.bDrawing = false;
}

void ZR_VisManager::DrawCurvePanel(bool swap, bool preview) {
  const MprViewInfo& active = m_oMpr.aViews[m_oMpr.nActiveView];
  if (!active.bCurveMode || !m_pViewports || !Gl()) return;
  ZR_DrawSurface* surface = m_pViewports->aSurfaces[ZR_Panel::CurvedMpr];
  if (!OffscreenCapture()) {
    if (!surface || !surface->MakeCurrent()) return;
  }
  // A square as tall as the panel, centred across it.
  const int32_t width = m_pViewports->Width(ZR_Panel::CurvedMpr);
  const int32_t height = m_pViewports->Height(ZR_Panel::CurvedMpr);
  Gl()->Viewport((width - height) / 2, 0, height, height);
  SelectQuality(0, true);
  if (!active.bHasCurve) {
    (void)ClearPanel(ZR_Panel::CurvedMpr);
    return;
  }
  m_oShared.SelectCopy(false);
  m_oTexture3dRenderer.UploadLut();
  // The straightened panorama or the cross-section series (`preview`) of the curve is drawn
  // here once curves exist.
  (void)preview;
  if (swap && surface) (void)surface->SwapBuffers();
  m_oTexture3dRenderer.UploadLut();
}

bool ZR_VisManager::HoldsLastFrame(int32_t index) const {
  const ZR_ScreenState::LastFrame& f = m_oScreen.oLastFrame;
  return index == f.nPanel && m_pViewports && f.nChanges == m_pRenderer->Changes() &&
         f.bReduced == m_pRenderer->IsReduced() && f.nReduction == m_pRenderer->Reduction() &&
         f.fRate == m_oTexture3dRenderer.SamplingRate() && f.aSize[0] == m_pViewports->Width(index) &&
         f.aSize[1] == m_pViewports->Height(index);
}

void ZR_VisManager::Repaint(int32_t index) {
  if (m_oRun.bDrawing || OffscreenCapture() || m_oRun.bBusy) return;
  // Only a change of quality invalidates here (the copy or the sampling rate changes).
  if (m_oScreen.nRepaintQuality == 0) SelectQuality(0, false);
  // A 3D panel that still holds the current picture is shown again rather than drawn anew:
  // on a software rasteriser a frame takes seconds, and exposes come in bursts.
  // Slice panels are drawn anew every time and leave the 3D picture alone.
  const bool view3d = index == ZR_Panel::View3D || index == ZR_Panel::MprView3D || index > ZR_Panel::CurvedMpr;
  if (view3d && HoldsLastFrame(index))
    m_pRenderer->SetNeedsRender(false);
  else if (view3d && m_oScreen.nRenderQuality != 1 && !m_oScreen.bShading)
    m_pRenderer->Invalidate();
  (void)MakePanelCurrent(index);
  RedrawPanel(index, true);
}

void ZR_VisManager::RepaintFlagged() {
  if (!m_pRepaintFlags) return;
  if (std::none_of(m_pRepaintFlags, m_pRepaintFlags + ZR_Panel::kPanelCount, [](uint8_t b) { return b != 0; }))
    return;
  for (int32_t index = 0; index < ZR_Panel::kPanelCount; ++index) {
    if (!m_pRepaintFlags[index]) continue;
    m_pRepaintFlags[index] = 0;
    Repaint(index);
  }
}

void ZR_VisManager::RedrawViews(bool also3d) {
  if (!m_oVolume.bLoaded || m_oRun.bDrawing || m_oRun.bDrawingHeld || CaptureRunning()) return;
  if (m_oScreen.Is3d()) {
    for (int32_t axis = 0; axis < 3; ++axis) DrawOrthoPanel(ZR_Panel::Ortho0 + axis, axis, true);
    return;
  }
  for (int32_t index = ZR_Panel::Mpr0; index <= ZR_Panel::Mpr3; ++index) RedrawPanel(index, true);
  if (m_oMpr.aViews[m_oMpr.nActiveView].bCurveMode)
    RedrawPanel(ZR_Panel::CurvedMpr, true);
  else if (also3d && !m_oMpr.bMprDisplay)
    RedrawPanel(ZR_Panel::MprView3D, true);
}

void ZR_VisManager::SelectQuality(int32_t level, bool invalidate) {
  m_oScreen.nRenderQuality = level;
  m_pRenderer = m_oAdapter.bSoftwareRendering ? static_cast<ZR_VolumeRenderer*>(&m_oSoftwareRenderer)
                                     : &m_oTexture3dRenderer;
  const RendererSettings settings = m_pSettingsModel ? m_pSettingsModel->Renderer() : RendererSettings{};
  if (level == 0) {
    m_pRenderer->SetReducedResolution(false, 1);
    m_oTexture3dRenderer.SetSamplingRate(static_cast<float>(settings.finalQuality + 1));
    m_oShared.SelectCopy(false);
  } else if (level == 3) {
    if (m_oScreen.nFinalMethod == 2) {
      m_pRenderer->SetReducedResolution(true, m_oVolume.nReduction);
      m_oShared.SelectCopy(true);
    } else {
      m_pRenderer->SetReducedResolution(false, 1);
      m_oTexture3dRenderer.SetSamplingRate(static_cast<float>(settings.interactionQuality + 1));
      m_oShared.SelectCopy(false);
    }
  }
  if (level != 1 && invalidate) m_pRenderer->Invalidate();
}
