// Radial series: the 3D view turned about one axis in fixed steps, shown in the view, or
// captured into the series writer (numbered images) or the movie writer.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <thread>

#include "core/ZR_Log.h"
#include "core/ZR_Movie.h"
#include "core/ZR_ProgressBar.h"
#include "core/ZR_Series.h"
#include "core/ZR_VisGui.h"
#include "manager/ZR_VisManager.h"
#include "core/ZR_RadialsGui.h"
#include "output/ZR_ImageWriter.h"
#include "output/ZR_Radials.h"
#include "output/ZR_SaveInfo.h"
#include "render/ZR_Matrix4.h"
#include "settings/ZR_Vis3DSettings.h"

namespace {
// The settings' frame and angle limits.
constexpr int32_t kMostFrames = 360;

// Turns the view's rotation by `degrees` about a model axis (0 x, 1 y, 2 z), as OpenGL's
// rotate does: the turn applies before the current rotation.
void Turn(RenderShared& shared, double degrees, int32_t axis) {
  const ZR_Matrix4 current = ZR_Matrix4::FromFloats(shared.Rotation());
  const ZR_Matrix4 turn =
      ZR_Matrix4::Rotation(degrees, axis == 0 ? 1 : 0, axis == 1 ? 1 : 0, axis == 2 ? 1 : 0);
  float out[16];
  (current * turn).ToFloats(out);
  shared.SetRotation(out);
}
}  // namespace

void ZR_VisManager::StartRadialSeries() {
  if (!m_oVolume.bLoaded) return;
  ClearRoi();
  RedrawPanel(ZR_Panel::View3D);
  if (m_pRadialsGui) m_pRadialsGui->SetVisible(true);
}

void ZR_VisManager::RadialCommand(int32_t command, const ZR_SaveInfo* request) {
  if (!m_pRadials || m_oRun.bBusy || !m_oVolume.bLoaded) return;
  const ZR_RadialsSettings settings = *m_pRadials->Settings();
  switch (command) {
    case ZR_RadialCommand::Preview:
      (void)RenderRadials(kRadialStartPreview, settings, nullptr);
      (void)RenderRadials(kRadialEndPreview, settings, nullptr);
      (void)ClearPanel(ZR_Panel::View3D);
      break;
    case ZR_RadialCommand::Display:
      (void)RenderRadials(kRadialStartPreview, settings, nullptr);
      (void)RenderRadials(kRadialEndPreview, settings, nullptr);
      (void)RenderRadials(kRadialShow, settings, nullptr);
      break;
    case ZR_RadialCommand::Save:
      (void)RenderRadials(kRadialSaveAll, settings, request);
      break;
    case ZR_RadialCommand::Close:
      if (m_pRadialsGui) m_pRadialsGui->Hide();
      m_pRenderer->Invalidate();
      RedrawPanel(ZR_Panel::View3D);
      break;
    case ZR_RadialCommand::Store:
      (void)RenderRadials(kRadialStoreAll, settings, nullptr);
      break;
    default:
      break;
  }
}

int32_t ZR_VisManager::RenderRadials(int32_t kind, const ZR_RadialsSettings& settings, const ZR_SaveInfo* request) {
  if (!m_oVolume.bLoaded || !m_pRenderer) return VR_WRITE_FAILED;
  const bool capture = kind == kRadialSaveAll || kind == kRadialStoreAll;
  const bool movie = settings.nOutput == 1;
  const int32_t frames = std::clamp(settings.nFrames, 1, kMostFrames);
  if (capture) {
    m_oRun.bBusy = true;
    m_oRun.bRadialSeries = true;
  }
  const int32_t panel = kind == kRadialStartPreview ? ZR_Panel::RadialStart
                        : kind == kRadialEndPreview ? ZR_Panel::RadialEnd
                                                    : ZR_Panel::View3D;
  ZR_DrawSurface* target = capture ? MakeCaptureTargetCurrent() : nullptr;
  const bool offscreen = target != nullptr;
  if (!target) target = MakePanelCurrent(panel);
  const bool current = target != nullptr;

  // The turn starts from the volume's own axes; z turns about a view that looks along it.
  float remembered[16];
  m_oShared.GetRotation(remembered);
  const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  m_oShared.SetRotation(identity);
  if (settings.nAxis == 2) Turn(m_oShared, -90, 0);
  m_pRenderer->Invalidate();
  if (settings.bFlipX) m_oShared.FlipHorizontal();
  if (settings.bFlipY) m_oShared.FlipVertical();
  m_oShared.SetShowBox(false);

  int32_t result = VR_OK;
  if (kind == kRadialStartPreview || kind == kRadialEndPreview) {
    Turn(m_oShared, kind == kRadialStartPreview ? settings.nStartAngle : settings.nEndAngle, settings.nAxis);
    m_pRenderer->Invalidate();
    RedrawPanel(panel);
  } else {
    bool opened = false;
    std::string base;
    int32_t mode = request ? request->nWriteMode : ZR_ImageWriter::kDicomRgb;
    if (capture) {
      if (movie && m_pMovie && m_pViewports) {
        const int32_t width = m_pViewports->Width(ZR_Panel::View3D) / 4 * 4;
        const int32_t height = m_pViewports->Height(ZR_Panel::View3D) / 4 * 4;
        m_nMovieWidth = width;
        m_nMovieHeight = height;
        opened = request && !request->sFileName.empty() && m_pMovie->Open(request->sFileName, width, height, 24);
        if (!opened) {
          m_pMovie->Close();
          m_pAppGui->ShowMessage("Unable to Initialize AVI stream, Save Failed");
          result = VR_WRITE_FAILED;
        }
      }
      if (m_pSeriesWriter) m_pSeriesWriter->ClearImages();
      if (m_pProgressBar) {
        m_pProgressBar->SetMax(frames);
        m_pProgressBar->SetText("Creating MIP Radials...");
        m_pProgressBar->Show(true);
      }
      SelectQuality(0, true);
    }
    if (m_pRadialsGui) m_pRadialsGui->SetVisible(false);
    if (!offscreen) (void)ClearPanel(ZR_Panel::View3D);
    Turn(m_oShared, settings.nStartAngle, settings.nAxis);
    bool written = true;
    for (int32_t i = 0; i < frames && (i == 0 || !capture || m_oRun.bRadialSeries); ++i) {
      // Frame i shows the start angle and i + 1 steps.
      Turn(m_oShared, settings.fAngleStep, settings.nAxis);
      m_pRenderer->Invalidate();
      if (!capture && m_nSeriesPauseMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(m_nSeriesPauseMs));
      RedrawPanel(ZR_Panel::View3D, !capture);
      if (!capture) continue;
      if (!offscreen && m_pViewports && m_pViewports->aSurfaces[ZR_Panel::View3D])
        (void)m_pViewports->aSurfaces[ZR_Panel::View3D]->SwapBuffers();
      if (!movie || opened) {
        if (written && CaptureView(ZR_Panel::View3D, movie ? kToMovie : kToSeries, i) != VR_OK && movie) {
          // A movie with a missing frame would pass for whole.
          written = false;
        }
      }
      if (m_pProgressBar) m_pProgressBar->SetPosition(i);
    }
    if (capture) {
      const bool cancelled = !m_oRun.bRadialSeries;
      if (movie) {
        if (opened) {
          if (written && !cancelled)
            m_pMovie->Close();
          else
            m_pMovie->Abandon();
        }
        if (opened && !written) {
          m_pAppGui->ShowMessage("Unable to write the movie " + request->sFileName + ": a frame could not be written.");
          result = VR_WRITE_FAILED;
        }
      } else if (kind == kRadialSaveAll && m_pSeriesWriter && !cancelled) {
        if (m_bSaveToFolder || !request || request->sFileName.empty()) {
          base = (std::filesystem::path(m_sCaptureDir) / ("lmx-series" + std::to_string(m_nSeriesCount++) + "-")).string();
          mode = ZR_ImageWriter::kDicomRgb;
        } else {
          base = request->sFileName;
        }
        std::vector<std::string> written;
        std::string error;
        if (!m_pSeriesWriter->WriteSeries(base, mode, &written, &error)) {
          m_pAppGui->ShowMessage("Unable to write the series " + base + ":\n" + error);
          result = VR_WRITE_FAILED;
        }
      }
      if (m_pSeriesWriter) m_pSeriesWriter->ClearImages();
      if (m_pProgressBar) m_pProgressBar->Show(false);
      if (cancelled && result == VR_OK) result = VR_WRITE_FAILED;
    }
    if (m_pRadialsGui) m_pRadialsGui->SetVisible(true);
  }

  m_oShared.SetShowBox(m_pSettingsModel ? m_pSettingsModel->Display().showBoundingBox : true);
  if (settings.bFlipX) m_oShared.FlipHorizontal();
  if (settings.bFlipY) m_oShared.FlipVertical();
  // The view the user had comes back once the series is done with.
  m_oShared.SetRotation(remembered);
  m_pRenderer->Invalidate();
  if (capture) {
    m_oRun.bBusy = false;
    m_oRun.bRadialSeries = false;
    (void)MakePanelCurrent(ZR_Panel::View3D);
  }
  if (!current) return VR_OG_CONTEXT;
  return result;
}

void ZR_VisManager::CancelRadialSeries() { m_oRun.bRadialSeries = false; }

void ZR_VisManager::SetRadialsGui(ZR_RadialsGui* gui) {
  m_pRadials.reset();
  m_pRadialsGui = gui;
  if (!gui) return;
  m_pRadials = std::make_unique<ZR_Radials>(gui, this, !m_bSaveToFolder);
  if (!m_pViewports) return;
  // Both previews take the start panel's size.
  int32_t width = 0, height = 0;
  gui->GetFramePanelSize(width, height);
  m_pViewports->aSurfaces[ZR_Panel::RadialStart] = gui->GetStartFrameDC();
  m_pViewports->aSurfaces[ZR_Panel::RadialEnd] = gui->GetEndFrameDC();
  m_pViewports->SetSize(ZR_Panel::RadialStart, width, height);
  m_pViewports->SetSize(ZR_Panel::RadialEnd, width, height);
}
