#include "app/ZR_CliRender.h"

#include <cstdio>
#include <cstdlib>

#include "app/ZR_CliApp.h"
#include "app/ZR_CliFiles.h"
#include "app/ZR_ConsoleGui.h"
#include "app/ZR_ConsolePresetEditorGui.h"
#include "app/ZR_HeadlessPanels.h"
#include "app/ZR_PngFile.h"
#include "core/ZR_Result.h"
#include "core/ZR_SystemInfo.h"
#include "core/manager/ZR_VisManager.h"
#include "dicom/ZR_DicomVolume.h"
#include "dicom/ZR_VolumePreview.h"
#include "settings/ZR_Vis3DSettings.h"

namespace {
const char kUsage[] =
    "usage: lumetra-cli render DIR --out FILE.png [--mode colour|grey|mip] [--shading] [--size N]\n"
    "                          [--first I --last J]\n";

struct Options {
  std::string folder;
  std::string out;
  int32_t mode = 1;  // the render modes: 0 grey, 1 colour, 2 MIP
  bool shading = false;
  int32_t size = ZR_CliRender::kDefaultSize;
  int32_t first = -1, last = -1;
};

bool Number(const std::string& text, int32_t low, int32_t high, int32_t& value) {
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || v < low || v > high) return false;
  value = static_cast<int32_t>(v);
  return true;
}

bool Parse(const std::vector<std::string>& args, Options& o) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--out" && hasValue) {
      o.out = args[++i];
    } else if (a == "--mode" && hasValue) {
      const std::string& m = args[++i];
      if (m == "grey") o.mode = 0;
      else if (m == "colour") o.mode = 1;
      else if (m == "mip") o.mode = 2;
      else return false;
    } else if (a == "--shading") {
      o.shading = true;
    } else if (a == "--size" && hasValue) {
      if (!Number(args[++i], ZR_CliRender::kMinimumSize, ZR_CliRender::kMaximumSize, o.size)) return false;
    } else if ((a == "--first" || a == "--last") && hasValue) {
      if (!Number(args[++i], 0, ZR_DicomVolume::kMaxSlices - 1, a == "--first" ? o.first : o.last)) return false;
    } else if (a.rfind("--", 0) == 0 || !o.folder.empty()) {
      return false;
    } else {
      o.folder = a;
    }
  }
  // A range needs both ends.
  return !o.folder.empty() && !o.out.empty() && (o.first < 0) == (o.last < 0);
}

int Failed(int32_t code) {
  std::fprintf(stderr, "lumetra-cli render: %s\n", ZR_Result::DisplayText(code).c_str());
  return code;
}

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

const char* ModeName(int32_t mode) { return mode == 0 ? "grey" : mode == 1 ? "colour" : "MIP"; }
}  // namespace

int ZR_CliRender::Run(const std::vector<std::string>& args) {
  Options o;
  if (!Parse(args, o)) {
    std::fprintf(stderr, "%s", kUsage);
    return ZR_CliApp::kUsageError;
  }
  std::vector<std::string> files;
  if (!ZR_CliFiles::Collect(o.folder, files)) return Failed(VR_LD_INVALID_VOLUME);

  ZR_HeadlessPanels panels(o.size);
  if (!panels.IsReady()) {
    std::fprintf(stderr, "lumetra-cli render: no headless OpenGL context: %s\n", panels.Error().c_str());
    return Failed(VR_OG_CONTEXT);
  }
  ZR_ConsoleGui gui, previewGui;
  ZR_ConsolePresetEditorGui presetGui;
  ZR_Vis3DSettings settings;
  ZR_VisManager manager(&gui);
  manager.OpenLog(ZR_SystemInfo::ApplicationDirectory());
  manager.SetSettingsModel(&settings);
  manager.SetVolumePreviewGui(&previewGui);
  manager.SetRenderPlatform(&panels.platform);
  int32_t code = manager.CreatePresetEditor(&presetGui);
  if (code != VR_OK) return Failed(code);
  code = manager.OnCreate(&panels.table);
  if (code != VR_OK) return Failed(code);
  if (manager.IsSoftwareRendering()) {
    std::fprintf(stderr, "lumetra-cli render: this adapter renders no 3D view (software rendering)\n");
    return VR_OG_SW_RENDER;
  }
  manager.SetOffscreenSize(o.size, o.size);

  int32_t count = static_cast<int32_t>(files.size());
  code = manager.LoadStudy(files, count);
  if (code != VR_OK) return Failed(code);
  ZR_VolumePreview* preview = manager.VolumePreview();
  ZR_DicomVolume* volume = manager.GetVolume();
  if (o.first >= 0 && !ChooseRange(*preview, o.first, o.last)) {
    std::fprintf(stderr,
                 "lumetra-cli render: slices %d..%d cannot be chosen (the study has %d; at least %d, at most %d "
                 "at once)\n",
                 o.first, o.last, preview->SliceCount(), ZR_VolumePreview::kMinimumSubset, preview->MaximumSlices());
    return ZR_CliApp::kUsageError;
  }
  // What "Load Volume" does, with its result.
  volume->m_nFirst = preview->Start();
  volume->m_nLast = preview->End();
  code = manager.LoadVolume(volume);
  if (code != VR_OK) return Failed(code);

  (void)manager.Show3DScreen();
  manager.SetRenderMode(o.mode, false);
  if (o.shading) {
    if (!manager.CanShade() || o.mode != 1) {
      std::fprintf(stderr, "lumetra-cli render: shading needs colour mode and an adapter that can shade\n");
      return Failed(VR_OG_SHADING);
    }
    manager.SetShading(true, false);
  } else {
    manager.SetShading(false, false);
  }
  manager.RenderFullQuality();
  int32_t width = 0, height = 0;
  const auto pixels = manager.ReadPanel(0, &width, &height, GL_RGB, GL_UNSIGNED_BYTE, 3, 1, false);
  if (!pixels) return Failed(VR_OG_CONTEXT);
  if (!ZR_PngFile::WriteRgb(o.out, pixels.get(), width, height)) {
    std::fprintf(stderr, "lumetra-cli render: cannot write %s\n", o.out.c_str());
    return ZR_CliApp::kUsageError;
  }
  std::printf("%s: slices %d..%d of %d (%d x %d), %s%s, %d x %d pixels\n", o.out.c_str(), volume->m_nFirst,
              volume->m_nLast, volume->m_nSliceCount, volume->m_nWidth, volume->m_nHeight, ModeName(o.mode),
              manager.IsShading() ? ", shaded" : "", width, height);
  return 0;
}
