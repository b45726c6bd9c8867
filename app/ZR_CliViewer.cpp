#include "app/ZR_CliViewer.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/ZR_CliApp.h"
#include "app/ZR_CliFiles.h"
#include "app/ZR_PngFile.h"
#include "core/ZR_Keys.h"
#include "core/ZR_Result.h"
#include "core/ZR_SystemInfo.h"
#include "dicom/ZR_DicomVolume.h"
#include "dicom/ZR_VolumePreview.h"
#include "mpr/ZR_StandardOrientations.h"

namespace {
// The range through the preview's own rules, as typed into its fields; false when it refuses.
bool ChooseRange(ZR_VolumePreview& preview, int32_t first, int32_t last) {
  for (int attempt = 0; attempt < 2 && (preview.Start() != first || preview.End() != last); ++attempt) {
    // A start beyond the current end is only accepted once the end has moved.
    if (first > preview.End()) {
      preview.Event(ZR_PreviewEvent::End, last);
      preview.Event(ZR_PreviewEvent::Start, first);
    } else {
      preview.Event(ZR_PreviewEvent::Start, first);
      preview.Event(ZR_PreviewEvent::End, last);
    }
  }
  return preview.Start() == first && preview.End() == last;
}
}  // namespace

ZR_CliViewer::ZR_CliViewer(const char* command, int32_t size, int32_t firstLarge, int32_t lastLarge)
    : m_sCommand(command), m_nSize(size), m_oPanels(size, firstLarge, lastLarge), m_oManager(&m_oGui) {}

bool ZR_CliViewer::Number(const std::string& text, int32_t low, int32_t high, int32_t& value) {
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || v < low || v > high) return false;
  value = static_cast<int32_t>(v);
  return true;
}

int ZR_CliViewer::TakeCommon(const std::vector<std::string>& args, size_t& i, Options& o, int32_t minimumSize,
                             int32_t maximumSize) {
  const std::string& a = args[i];
  const bool hasValue = i + 1 < args.size();
  if (a == "--out" && hasValue) {
    o.out = args[++i];
  } else if (a == "--size" && hasValue) {
    if (!Number(args[++i], minimumSize, maximumSize, o.size)) return -1;
  } else if ((a == "--first" || a == "--last") && hasValue) {
    if (!Number(args[++i], 0, ZR_DicomVolume::kMaxSlices - 1, a == "--first" ? o.first : o.last)) return -1;
  } else if (a.rfind("--", 0) == 0) {
    return 0;
  } else {
    if (!o.folder.empty()) return -1;
    o.folder = a;
  }
  return 1;
}

bool ZR_CliViewer::Decimal(const std::string& text, float limit, float& value) {
  char* end = nullptr;
  const float v = std::strtof(text.c_str(), &end);
  if (text.empty() || *end != '\0' || !std::isfinite(v) || std::fabs(v) > limit) return false;
  value = v;
  return true;
}

int ZR_CliViewer::TakePlane(const std::vector<std::string>& args, size_t& i, PlaneOptions& o) {
  // Larger turns and offsets than these are typing errors, not views.
  constexpr float kMaximumDegrees = 3600;
  constexpr float kMaximumOffsetMm = 10000;
  const std::string& a = args[i];
  if (a != "--orientation" && a != "--rotate-x" && a != "--rotate-y" && a != "--offset") return 0;
  if (i + 1 >= args.size()) return -1;
  const std::string& value = args[++i];
  o.given = true;
  if (a == "--orientation") {
    if (value.size() != 1) return -1;
    o.orientation = ZR_StandardOrientations::CodeOfLetter(ZR_Key::Letter(value[0]));
    return o.orientation < 0 ? -1 : 1;
  }
  float& target = a == "--rotate-x" ? o.rotateX : a == "--rotate-y" ? o.rotateY : o.offset;
  return Decimal(value, a == "--offset" ? kMaximumOffsetMm : kMaximumDegrees, target) ? 1 : -1;
}

void ZR_CliViewer::ApplyPlane(ZR_VisManager& manager, const PlaneOptions& o) {
  const int32_t active = manager.ActiveMprView();
  if (o.orientation >= 0) manager.ShowStandardOrientation(o.orientation);
  if (o.rotateX != 0 || o.rotateY != 0) manager.TurnMprView(active, o.rotateX, o.rotateY);
  if (o.offset != 0) manager.MoveMprView(active, o.offset);
}

int ZR_CliViewer::Failed(int32_t code) const {
  std::fprintf(stderr, "lumetra-cli %s: %s\n", m_sCommand, ZR_Result::DisplayText(code).c_str());
  return code;
}

int ZR_CliViewer::Start() {
  if (!m_oPanels.IsReady()) {
    std::fprintf(stderr, "lumetra-cli %s: no headless OpenGL context: %s\n", m_sCommand, m_oPanels.Error().c_str());
    return Failed(VR_OG_CONTEXT);
  }
  m_oManager.OpenLog(ZR_SystemInfo::ApplicationDirectory());
  m_oManager.SetSettingsModel(&m_oSettings);
  m_oManager.SetVolumePreviewGui(&m_oPreviewGui);
  m_oManager.SetRenderPlatform(&m_oPanels.platform);
  int32_t code = m_oManager.CreatePresetEditor(&m_oPresetGui);
  if (code != VR_OK) return Failed(code);
  code = m_oManager.OnCreate(&m_oPanels.table);
  if (code != VR_OK) return Failed(code);
  m_oManager.SetOffscreenSize(m_nSize, m_nSize);
  return 0;
}

int ZR_CliViewer::Load(const std::string& folder, int32_t first, int32_t last) {
  std::vector<std::string> files;
  if (!ZR_CliFiles::Collect(folder, files)) return Failed(VR_LD_INVALID_VOLUME);
  int32_t count = static_cast<int32_t>(files.size());
  auto since = std::chrono::steady_clock::now();
  int32_t code = m_oManager.LoadStudy(files, count);
  m_dReadSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
  if (code != VR_OK) return Failed(code);
  ZR_VolumePreview* preview = m_oManager.VolumePreview();
  ZR_DicomVolume* volume = m_oManager.GetVolume();
  if (first >= 0 && !ChooseRange(*preview, first, last)) {
    std::fprintf(stderr,
                 "lumetra-cli %s: slices %d..%d cannot be chosen (the study has %d; at least %d, at most %d "
                 "at once)\n",
                 m_sCommand, first, last, preview->SliceCount(), ZR_VolumePreview::kMinimumSubset,
                 preview->MaximumSlices());
    return ZR_CliApp::kUsageError;
  }
  // What "Load Volume" does, with its result.
  volume->m_nFirst = preview->Start();
  volume->m_nLast = preview->End();
  since = std::chrono::steady_clock::now();
  code = m_oManager.LoadVolume(volume);
  m_dVolumeSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
  return code == VR_OK ? 0 : Failed(code);
}

int ZR_CliViewer::WritePanel(int32_t panel, const std::string& path, int32_t* width, int32_t* height) {
  const auto pixels = m_oManager.ReadPanel(panel, width, height, GL_RGB, GL_UNSIGNED_BYTE, 3, 1, false);
  if (!pixels) return Failed(VR_OG_CONTEXT);
  if (!ZR_PngFile::WriteRgb(path, pixels.get(), *width, *height)) {
    std::fprintf(stderr, "lumetra-cli %s: cannot write %s\n", m_sCommand, path.c_str());
    return ZR_CliApp::kUsageError;
  }
  return 0;
}
