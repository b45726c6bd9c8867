// Movies of the 3D view: capture on records the view's state and then every large enough
// drag; capture off replays the drags from that state, one frame each, into the movie
// writer, with the study's summary in a text file beside the movie.
#include <algorithm>
#include <filesystem>

#include "core/ZR_Log.h"
#include "core/ZR_Movie.h"
#include "core/ZR_ProgressBar.h"
#include "core/ZR_VisGui.h"
#include "dicom/ZR_DicomVolume.h"
#include "dicom/ZR_StudyInfo.h"
#include "manager/ZR_VisManager.h"
#include "presets/ZR_PresetEditor.h"

namespace {
// Controls a movie keeps from the user while it records or is made.
constexpr int32_t kAlwaysHeld[] = {ZR_Ctl::sbtn_3D, ZR_Ctl::sbtn_MPR, ZR_Ctl::btn_Inbox, ZR_Ctl::Btn_Subset};
constexpr int32_t k3dHeld[] = {ZR_Ctl::Btn_DoRadialMIP, ZR_Ctl::Btn_MipThreshold, ZR_Ctl::Btn_ResetVolume,
                               ZR_Ctl::Btn_Ortho,        ZR_Ctl::Btn_RegionSelectSettings, ZR_Ctl::SBtn_OpacityWl,
                               ZR_Ctl::Btn_Presets};
constexpr int32_t kHeldWhileMaking[] = {ZR_Ctl::pc_3D, ZR_Ctl::sbtn_3D, ZR_Ctl::sbtn_MPR, ZR_Ctl::btn_Inbox,
                                        ZR_Ctl::Btn_Subset};
}  // namespace

std::string ZR_VisManager::MovieTextName(const std::string& movie) {
  const std::filesystem::path path(movie);
  if (!path.has_extension()) return "";
  std::filesystem::path text = path;
  text.replace_extension(".txt");
  // A movie named like its own text file would be overwritten by it.
  if (text == path) text = path.string() + ".txt";
  return text.string();
}

void ZR_VisManager::ToggleMovie(bool on, const std::string& name) {
  if (m_oRun.bMovieRecording || !m_oVolume.bLoaded) return;
  const bool is3d = m_oScreen.Is3d();
  m_pAppGui->EnableControl(is3d ? ZR_Ctl::SBtn_SnapShot : ZR_Ctl::SBtn_SsdSnap, !on);
  for (int32_t id : kAlwaysHeld) m_pAppGui->EnableControl(id, !on);
  if (is3d) {
    for (int32_t id : k3dHeld) m_pAppGui->EnableControl(id, !on);
    const bool regions = !on && m_oLoad.bRegionEditing;
    m_pAppGui->EnableControl(ZR_Ctl::SBtn_Roi, regions);
    m_pAppGui->EnableControl(ZR_Ctl::SBtn_ZapSeed, regions);
    if (on) m_bSculptWasEnabled = m_pAppGui->IsControlEnabled(ZR_Ctl::Btn_Sculpt);
    m_pAppGui->EnableControl(ZR_Ctl::Btn_Sculpt, !on && m_bSculptWasEnabled && m_oLoad.bRegionEditing);
  }
  if (on) {
    // Where the replay starts: the view as it is now.
    m_oShared.GetRotation(m_oMoviePath.afRotation.data());
    std::copy_n(m_oShared.Cut().afMatrix, 16, m_oMoviePath.afCutMatrix.begin());
    std::copy_n(m_oShared.Window(), 4, m_oMoviePath.afWindow.begin());
    m_oMoviePath.afVoiSize = m_oShared.GetVoi().GetSize();
    m_oMoviePath.afVoiPosition = m_oShared.GetVoi().GetPosition();
    m_oMoviePath.dCutPosition = m_oShared.Cut().dPosition;
    m_oMoviePath.fSlabThickness = m_oShared.Cut().fSlabThickness;
    m_bMovieWindowPart = !m_oScreen.IsColour();
    if (m_pPresetEditor) m_pPresetEditor->SaveState(m_bMovieWindowPart);
  } else if (m_bSaveToFolder || !name.empty()) {
    std::string movie = name, text = MovieTextName(name);
    if (m_bSaveToFolder) {
      const std::filesystem::path folder(m_sCaptureDir);
      const std::string stem = "lmx-movie" + std::to_string(m_nMovieCount++);
      movie = (folder / (stem + ".avi")).string();
      text = (folder / (stem + ".txt")).string();
    }
    RedrawPanel(ZR_Panel::View3D);
    const bool made = CreateMovie(movie);
    if (made && !text.empty() && m_pVolume && !ZR_StudyInfo::WriteStudyText(m_pVolume->m_sFileName, text))
      m_pAppGui->ShowMessage("Unable to write " + text);
  }
  if (!on) m_oMoviePath.Reset();
  m_oPointer.bMovieCapture = on;
}

void ZR_VisManager::RecordMovieEvent(int32_t, int32_t lastX, int32_t lastY, int32_t x, int32_t y, bool left,
                                     bool middle, bool right, ZR_Tool3d tool) {
  ZR_MovieEvent event;
  event.nFromX = lastX;
  event.nFromY = lastY;
  event.nToX = x;
  event.nToY = y;
  event.bLeftDown = left;
  event.bMiddleDown = middle;
  event.bRightDown = right;
  event.nInteractionMode = ZR_Number(tool);
  event.bCutOn = m_oScreen.bCutView;
  event.bShowCutPlane = m_oScreen.bCutView && m_oScreen.oCutPlaneDisplay.showCutPlane;
  event.bVoiOn = m_oShared.VoiEnabled();
  m_oMoviePath.AddEvent(event);
}

bool ZR_VisManager::CreateMovie(const std::string& name) {
  const int32_t frames = m_oMoviePath.EventCount();
  if (frames < 1 || !m_pMovie || !m_pViewports) return false;
  const int32_t width = m_pViewports->Width(ZR_Panel::View3D) / 4 * 4;
  const int32_t height = m_pViewports->Height(ZR_Panel::View3D) / 4 * 4;
  m_nMovieWidth = width;
  m_nMovieHeight = height;
  if (!m_pMovie->Open(name, width, height, 24)) {
    m_pMovie->Close();
    m_pAppGui->ShowMessage("Unable to Initialize AVI stream, Save Failed");
    return false;
  }
  (void)MakePanelCurrent(ZR_Panel::View3D);
  if (m_pPresetEditor) m_pPresetEditor->RestoreState(m_bMovieWindowPart);
  m_oTexture3dRenderer.UploadLut();

  // The view as it is, to come back to; the slab thickness keeps the recording's.
  float rotation[16];
  m_oShared.GetRotation(rotation);
  float window[4], cutMatrix[16];
  std::copy_n(m_oShared.Window(), 4, window);
  std::copy_n(m_oShared.Cut().afMatrix, 16, cutMatrix);
  const ZR_Box voi = m_oShared.GetVoi();
  const double cutPosition = m_oShared.Cut().dPosition;
  const bool voiOn = m_oShared.VoiEnabled();

  m_oShared.SetRotation(m_oMoviePath.afRotation.data());
  const auto& w = m_oMoviePath.afWindow;
  m_oShared.SetWindow(w[0], w[1], w[2], w[3]);
  std::copy_n(m_oMoviePath.afCutMatrix.begin(), 16, m_oShared.Cut().afMatrix);
  m_oShared.Cut().dPosition = m_oMoviePath.dCutPosition;
  m_oShared.SetVoi(ZR_Box(m_oMoviePath.afVoiSize, m_oMoviePath.afVoiPosition));
  m_oShared.SetSlabThickness(m_oMoviePath.fSlabThickness);
  m_oScreen.oCutPlaneDisplay.slabWidth = m_oMoviePath.fSlabThickness;

  m_oRun.bMovieRecording = true;
  m_oRun.bBusy = true;
  for (int32_t id : kHeldWhileMaking) m_pAppGui->EnableControl(id, false);
  if (m_pProgressBar) {
    m_pProgressBar->SetMax(frames + 1);
    m_pProgressBar->SetText("Creating Movie...");
    m_pProgressBar->Show(true);
  }
  SelectQuality(0, true);
  bool written = true;
  int32_t made = 0;
  for (int32_t i = 0; i < frames && (i == 0 || m_oRun.bMovieRecording); ++i) {
    ZR_MovieEvent event;
    if (!m_oMoviePath.NextEvent(&event)) break;
    m_oShared.Cut().bOn = event.bCutOn;
    m_oShared.Cut().bShowCutPlane = event.bShowCutPlane;
    m_oShared.SetVoiEnabled(event.bVoiOn);
    if (event.bLeftDown || event.bMiddleDown || event.bRightDown)
      Drag3D(ZR_Panel::View3D, event.nFromX, event.nFromY, event.nToX, event.nToY, kMove, event.bLeftDown,
             event.bMiddleDown, event.bRightDown, static_cast<ZR_Tool3d>(event.nInteractionMode));
    else
      RedrawPanel(ZR_Panel::View3D);
    // Without the offscreen buffer the frame is read from what the view shows.
    if (!OffscreenCapture() && m_pViewports->aSurfaces[ZR_Panel::View3D])
      (void)m_pViewports->aSurfaces[ZR_Panel::View3D]->SwapBuffers();
    // A frame that cannot be written ends the movie: a movie with a gap would pass for whole.
    if (CaptureView(ZR_Panel::View3D, kToMovie, i) != VR_OK) {
      written = false;
      break;
    }
    ++made;
    if (m_pProgressBar) m_pProgressBar->SetPosition(i);
  }
  const bool cancelled = m_oRun.bMovieRecording == false && made < frames;
  if (written && !cancelled) {
    m_pMovie->Close();
  } else {
    m_pMovie->Abandon();
  }
  if (m_pProgressBar) {
    m_pProgressBar->Step(1);
    m_pProgressBar->SetText("Writing AVI...");
    m_pProgressBar->Show(false);
  }
  m_oRun.bMovieRecording = false;
  m_oRun.bBusy = false;
  for (int32_t id : kHeldWhileMaking) m_pAppGui->EnableControl(id, true);

  m_oShared.SetRotation(rotation);
  m_oShared.Cut().bOn = m_oScreen.bCutView;
  m_oShared.Cut().bShowCutPlane = m_oScreen.bCutView && m_oScreen.oCutPlaneDisplay.showCutPlane;
  std::copy_n(cutMatrix, 16, m_oShared.Cut().afMatrix);
  m_oShared.Cut().dPosition = cutPosition;
  m_oShared.SetWindow(window[0], window[1], window[2], window[3]);
  m_oShared.SetVoi(voi);
  m_oShared.SetVoiEnabled(voiOn);
  m_pRenderer->Invalidate();
  RedrawPanel(ZR_Panel::View3D);
  if (!written) m_pAppGui->ShowMessage("Unable to write the movie " + name + ": a frame could not be written.");
  ZR_Log::Entry("CreateMovie(): " + std::to_string(made) + " of " + std::to_string(frames) + " frames, " + name);
  return written && !cancelled;
}

void ZR_VisManager::CancelMovie() { m_oRun.bMovieRecording = false; }
