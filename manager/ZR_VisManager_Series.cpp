// Slabs and multi-MPR series: a pane's slab drawn as blended sub-planes (or combined by the
// software renderer), and the series loop that shows, captures and writes a pane's slices.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <system_error>
#include <thread>

#include "core/ZR_Log.h"
#include "core/ZR_ProgressBar.h"
#include "core/ZR_Series.h"
#include "core/ZR_VisGui.h"
#include "manager/ZR_VisManager.h"
#include "output/ZR_ImageWriter.h"
#include "output/ZR_SaveInfo.h"
#include "output/ZR_WinSeries.h"

namespace {
bool IsMprPanel(int32_t panel) { return panel >= ZR_Panel::Mpr0 && panel <= ZR_Panel::Mpr3; }

// Viewing a series pauses on each slice, except a long series with the software renderer,
// which is slow enough by itself.
constexpr int32_t kUnpausedSoftwareSlices = 50;

bool IsDigits(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}
}  // namespace

float ZR_VisManager::VoxelStep() const {
  const float length = PhysicalLength();
  if (!(length > 0)) return 0;
  // The largest side in extent units, and the loaded voxel's spacing along it.
  int32_t axis = 0;
  for (int32_t k = 1; k < 3; ++k)
    if (m_oVolume.aExtent[k] > m_oVolume.aExtent[axis]) axis = k;
  const float factor = m_oVolume.bSubsampled ? static_cast<float>(std::max(m_oVolume.nSubsample, 1)) : 1.0f;
  return m_oVolume.aPixelSpacing[axis] * factor / length;
}

int32_t ZR_VisManager::SlabPlanes(float thickness) const {
  const float step = VoxelStep();
  if (!(step > 0) || !(thickness > 0)) return 1;
  return std::clamp(static_cast<int32_t>(std::floor(thickness / step + 0.5f)), 1, ZR_SoftwareRenderer::kMaxSlabPlanes);
}

float ZR_VisManager::SeriesSliceCentre(int32_t panel, int32_t slice) const {
  const MprViewInfo& info = m_oMpr.aViews[panel];
  const int32_t count = std::max(info.nSliceCount, 1);
  // Each centre is placed directly: stepping by a rounded voxel count would drift.
  return info.fSlabExtent / 2 - static_cast<float>(slice) * info.fSlabExtent / static_cast<float>(count);
}

ZR_SlabSpec ZR_VisManager::SlabSpec(int32_t panel, float centre, float thickness) const {
  ZR_SlabSpec slab;
  slab.nPlanes = SlabPlanes(thickness);
  slab.fCentre = centre;
  // The sub-planes divide the slab evenly, centred on it.
  slab.fStep = thickness > 0 ? thickness / static_cast<float>(slab.nPlanes) : 0;
  slab.nMode = m_oMpr.aViews[panel].nSlabMode;
  return slab;
}

void ZR_VisManager::BeginSlab(int32_t, int32_t mode) {
  m_nBlendBeforeSlab = m_oTexture3dRenderer.GetBlendMode();
  // A minimum over nothing must stay the brightest value.
  if (mode == MprViewInfo::kMinIp) Gl()->ClearColor(1, 1, 1, 1);
  Gl()->Clear(GL_COLOR_BUFFER_BIT);
  Gl()->ClearColor(0, 0, 0, 0);
  m_oTexture3dRenderer.SetBlendMode(mode == MprViewInfo::kMinIp ? 1 : mode == MprViewInfo::kMip ? 2 : 0);
}

void ZR_VisManager::DrawSlabPlane(int32_t panel, float offset) {
  ZR_ObliqueView& view = m_oMpr.aViews[panel].oView;
  view.bOffset = true;
  view.fOffset = offset;
  (void)m_oTexture3dRenderer.DrawObliqueSlice(view, false);
  view.bOffset = false;
  view.fOffset = 0;
}

void ZR_VisManager::EndSlab() { m_oTexture3dRenderer.SetBlendMode(m_nBlendBeforeSlab); }

void ZR_VisManager::DrawSlab(int32_t panel, float centre, float thickness, bool highlight) {
  const ZR_SlabSpec slab = SlabSpec(panel, centre, thickness);
  ZR_ObliqueView& view = m_oMpr.aViews[panel].oView;
  // The mean over the samples inside the volume needs each pixel's count of them, which
  // blending cannot divide by: the software renderer combines it, as it does every slab when
  // it renders alone.
  if (m_oAdapter.bSoftwareRendering || slab.nMode == MprViewInfo::kMpvr) {
    (void)m_oSoftwareRenderer.RenderSlab(view, slab, highlight);
    return;
  }
  m_oShared.SelectCopy(false);
  m_oTexture3dRenderer.UploadLut();
  BeginSlab(panel, slab.nMode);
  for (int32_t k = 0; k < slab.nPlanes; ++k)
    DrawSlabPlane(panel, slab.fCentre + (static_cast<float>(k) - static_cast<float>(slab.nPlanes - 1) / 2) * slab.fStep);
  EndSlab();
  m_oTexture3dRenderer.UploadLut();
  if (highlight) m_oTexture3dRenderer.DrawActiveFrame();
}

void ZR_VisManager::DrawSlabPanel(int32_t index, bool swap) {
  if (m_oMpr.nViewLimit != ZR_Panel::None && m_oMpr.nViewLimit != index) return;
  if (m_oRun.bDrawing) return;
  ZR_DrawSurface* surface = MakePanelCurrent(index);
  if (!surface) return;
  SelectQuality(0, false);
  m_oRun.bDrawing = true;
  DrawSlab(index, 0, m_oMpr.aViews[index].fSlabExtent, index == m_oMpr.nActiveView && swap);
  DrawCrosshairs(index);
  DrawAnnotations(index);
  if (ShowStudyDetails() && m_oAdapter.bLargeViewport) DrawStudyDetails(index);
  if (swap) (void)surface->SwapBuffers();
  m_oRun.bDrawing = false;
}

std::vector<std::string> ZR_VisManager::SeriesFilesFound(const std::string& baseName, int32_t mode) {
  namespace fs = std::filesystem;
  std::vector<std::string> found;
  const fs::path base(baseName);
  const fs::path folder = base.has_parent_path() ? base.parent_path() : fs::path(".");
  const std::string prefix = base.filename().string();
  const std::string extension = ZR_ImageWriter::Extension(mode);
  std::error_code error;
  if (!fs::is_directory(folder, error)) return found;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (name.size() <= prefix.size() + extension.size() || name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - extension.size(), extension.size(), extension) != 0)
      continue;
    // Only the names of a series under this base: the prefix, a number, the extension.
    const std::string number = name.substr(prefix.size(), name.size() - prefix.size() - extension.size());
    std::error_code ignored;
    if (IsDigits(number) && it->is_regular_file(ignored)) found.push_back((folder / name).string());
  }
  return found;
}

bool ZR_VisManager::ConfirmSeriesOverwrite(const std::vector<std::string>& found, const std::string& baseName) {
  if (found.empty()) return true;
  const std::string shown = std::filesystem::path(baseName).filename().string();
  return m_pAppGui->AskYesNo("Files of an earlier series \"" + shown + "\" are in this folder (" +
                             std::to_string(found.size()) +
                             "). Replace them with this series?\nFiles it does not overwrite are deleted.");
}

int32_t ZR_VisManager::RenderMprSeries(int32_t panel, int32_t action, const ZR_SaveInfo* request) {
  if (!IsMprPanel(panel) || !m_oVolume.bLoaded || m_oRun.bDrawing || CaptureRunning()) return VR_WRITE_FAILED;
  MprViewInfo& info = m_oMpr.aViews[panel];
  const bool capture = action == kSeriesSave || action == kSeriesStore;
  if (capture && !m_pSeriesWriter) return VR_WRITE_FAILED;
  const bool multi = info.Type() == MprViewInfo::kMulti;
  const int32_t count = multi ? std::max(info.nSliceCount, 1) : 1;
  int32_t mode = request ? request->nWriteMode : ZR_ImageWriter::kDicomGrey16;
  const bool automatic = m_bSaveToFolder || !request;
  std::string base;
  std::vector<std::string> earlier;
  if (action == kSeriesSave) {
    if (automatic) {
      mode = ZR_ImageWriter::kDicomGrey16;
      base = (std::filesystem::path(m_sCaptureDir) / ("lmx-series" + std::to_string(m_nSeriesCount) + "-")).string();
    } else {
      base = request->sFileName;
    }
    if (!ZR_ImageWriter::IsValidMode(mode)) return VR_WRITE_FAILED;
    earlier = SeriesFilesFound(base, mode);
    if (!ConfirmSeriesOverwrite(earlier, base)) return VR_OK;  // the user keeps the old files
  }
  const bool raw = automatic || mode == ZR_ImageWriter::kDicomGrey16 || mode == ZR_ImageWriter::kDicomGrey8;

  if (capture) {
    m_oRun.bMultiCutSeries = true;
    m_oRun.bBusy = true;
    m_pSeriesWriter->ClearImages();
    if (m_pProgressBar) {
      m_pProgressBar->SetMax(count);
      m_pProgressBar->SetText("Creating Multi-Cuts...");
      m_pProgressBar->Show(true);
    }
  }
  m_oRun.bDrawing = true;
  int32_t result = VR_OK;
  for (int32_t i = 0; i < count; ++i) {
    const float centre = multi ? SeriesSliceCentre(panel, i) : 0;
    const float thickness = multi ? info.fSliceSpacing : info.Type() == MprViewInfo::kSlab ? info.fSlabExtent : 0;
    ZR_DrawSurface* surface = capture ? MakeCaptureTargetCurrent() : nullptr;
    const bool offscreen = surface != nullptr;
    if (!surface) surface = MakePanelCurrent(panel);
    if (!surface) {
      result = VR_WRITE_FAILED;
      break;
    }
    Gl()->Viewport(0, 0, PanelWidth(panel), PanelHeight(panel));
    SelectQuality(0, false);
    DrawSlab(panel, centre, thickness, false);
    if (capture) {
      // Without the offscreen buffer the capture reads what the pane shows.
      if (!offscreen) (void)surface->SwapBuffers();
      m_bSlabInProgress = true;
      m_oSlabInProgress = SlabSpec(panel, centre, thickness);
      const int32_t captured = raw ? CaptureRawView(panel, kToSeries) : CaptureView(panel, kToSeries, i);
      m_bSlabInProgress = false;
      if (captured != VR_OK) ZR_Log::Entry("RenderMprSeries(): slice " + std::to_string(i) + " was not captured");
      if (m_pProgressBar) m_pProgressBar->SetPosition(i);
    } else {
      (void)surface->SwapBuffers();
      const bool pause = !(m_oAdapter.bSoftwareRendering && count > kUnpausedSoftwareSlices);
      if (pause && m_nSeriesPauseMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(m_nSeriesPauseMs));
    }
  }
  m_oRun.bDrawing = false;

  if (action == kSeriesSave && result == VR_OK) {
    std::vector<std::string> written;
    std::string error;
    if (m_pSeriesWriter->ImageCount() == 0) {
      error = "no slice could be captured";
      result = VR_WRITE_FAILED;
    } else if (!m_pSeriesWriter->WriteSeries(base, mode, &written, &error)) {
      result = VR_WRITE_FAILED;
    } else {
      if (automatic) ++m_nSeriesCount;
      // What an earlier, longer series left under this name would pass for part of this one.
      // Both lists name files of one folder, spelt differently ("./cut0.dcm", "cut0.dcm"):
      // compared by name, a file just written is never taken for a stale one.
      auto named = [](const std::string& file) { return std::filesystem::path(file).filename(); };
      for (const std::string& file : earlier)
        if (std::none_of(written.begin(), written.end(), [&](const std::string& w) { return named(w) == named(file); })) {
          std::error_code ignored;
          std::filesystem::remove(file, ignored);
        }
      ZR_Log::Entry("RenderMprSeries(): written " + std::to_string(written.size()) + " files under " + base);
    }
    if (result != VR_OK) m_pAppGui->ShowMessage("Unable to write the series " + base + ":\n" + error);
  }
  if (capture) {
    m_pSeriesWriter->ClearImages();
    if (m_pProgressBar) m_pProgressBar->Show(false);
    m_oRun.bMultiCutSeries = false;
    m_oRun.bBusy = false;
    RedrawViews(false);
  } else {
    RedrawPanel(panel);
  }
  return result;
}
