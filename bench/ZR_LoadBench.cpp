// A whole load of a 512 x 512 x 400 CT series, end to end as the viewer does it: LoadStudy
// (reading the files and the subset preview's thumbnails) and LoadVolume (assembling the voxels
// into the texture renderer's upload buffer, histogram, reduced copy, selection mask, transfer
// function, texture upload, first picture), on the headless panels. Each run is a child
// process of its own, so that its peak memory is its own; the resident memory is sampled at
// every allocation step of the load to show which copies exist at the peak.
//
// usage: bench_load [--out FOLDER] [--data DATA_FOLDER] [--runs N]
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/ZR_BenchSeries.h"
#include "core/ZR_Result.h"
#include "dicom/ZR_DicomVolume.h"
#include "dicom/ZR_VolumePreview.h"
#include "headless/ZR_ConsoleGui.h"
#include "headless/ZR_HeadlessPanels.h"
#include "manager/ZR_VisManager.h"
#include "presets/ZR_WindowlessPresetEditorGui.h"
#include "settings/ZR_Vis3DSettings.h"

namespace fs = std::filesystem;

namespace {
using Clock = std::chrono::steady_clock;
constexpr int kMaxSteps = 24;

struct Step {
  char name[32] = {};
  double seconds = 0;  // since the load started
  double rssMiB = 0;   // resident memory above the start, when the step began
};

struct Result {
  int code = 0;
  double readSeconds = 0, loadSeconds = 0;
  double uploadedAt = 0;     // when the textures were uploaded (the first pictures follow)
  double reloadSeconds = 0;  // the same range loaded again in the same process
  double peakMiB = 0, afterMiB = 0;
  int steps = 0;
  Step step[kMaxSteps];
};

double RssMiB() { return double(ZR_BenchSeries::StatusKb("VmRSS:")) / 1024.0; }

// The manager, telling the benchmark each allocation step as the load reaches it.
class TimedManager : public ZR_VisManager {
 public:
  using ZR_VisManager::ZR_VisManager;
  Result* result = nullptr;
  Clock::time_point start;
  double base = 0;
  void Mark(const char* what) {
    if (!result || result->steps >= kMaxSteps) return;
    Step& s = result->step[result->steps++];
    std::snprintf(s.name, sizeof s.name, "%s", what);
    s.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    s.rssMiB = RssMiB() - base;
  }

 protected:
  void BeforeAllocation(const char* what) override { Mark(what); }
};

Result LoadOnce(const std::vector<std::string>& files, const fs::path& logDir) {
  Result r;
  ZR_HeadlessPanels panels(512);
  if (!panels.IsReady()) {
    r.code = VR_OG_CONTEXT;
    return r;
  }
  ZR_ConsoleGui gui, previewGui;
  ZR_WindowlessPresetEditorGui presetGui;
  ZR_Vis3DSettings settings;
  TimedManager manager(&gui);
  manager.OpenLog(logDir.string());
  manager.SetSettingsModel(&settings);
  manager.SetVolumePreviewGui(&previewGui);
  manager.SetRenderPlatform(&panels.platform);
  if ((r.code = manager.CreatePresetEditor(&presetGui)) != VR_OK) return r;
  if ((r.code = manager.OnCreate(&panels.table)) != VR_OK) return r;

  // The peak is counted from here: what start-up holds is not the load's.
  malloc_trim(0);
  std::ofstream("/proc/self/clear_refs") << "5";
  manager.base = RssMiB();
  manager.result = &r;
  manager.start = Clock::now();
  int32_t count = static_cast<int32_t>(files.size());
  if ((r.code = manager.LoadStudy(files, count)) != VR_OK) return r;
  r.readSeconds = std::chrono::duration<double>(Clock::now() - manager.start).count();
  manager.Mark("(study read, preview made)");
  ZR_DicomVolume* volume = manager.GetVolume();
  volume->m_nFirst = manager.VolumePreview()->Start();
  volume->m_nLast = manager.VolumePreview()->End();
  r.code = manager.LoadVolume(volume);
  r.loadSeconds = std::chrono::duration<double>(Clock::now() - manager.start).count() - r.readSeconds;
  manager.Mark("(loaded and shown)");
  r.peakMiB = double(ZR_BenchSeries::StatusKb("VmHWM:")) / 1024.0 - manager.base;
  r.afterMiB = RssMiB() - manager.base;
  for (int i = 0; i < r.steps; ++i)
    if (std::strcmp(r.step[i].name, "slice stack") == 0) r.uploadedAt = r.step[i].seconds;
  manager.result = nullptr;
  // Once more: the cost of a load without reading and without the driver's first-use work.
  const auto again = Clock::now();
  if (r.code == VR_OK) r.code = manager.LoadVolume(volume);
  r.reloadSeconds = std::chrono::duration<double>(Clock::now() - again).count();
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  const ZR_BenchSeries::Options options = ZR_BenchSeries::Parse(argc, argv);
  const int runs = options.runs;
  const std::vector<std::string> files = ZR_BenchSeries::Ct512(options);
  const fs::path logDir = options.out / "bench-load-log";
  fs::create_directories(logDir);

  const double rawMiB = double(ZR_BenchSeries::kSlices) * ZR_BenchSeries::kSize * ZR_BenchSeries::kSize * 2 / 1048576.0;
  std::printf("series: %zu files of %d x %d; raw 16-bit volume %.1f MiB; %u cores; %d runs\n", files.size(),
              ZR_BenchSeries::kSize, ZR_BenchSeries::kSize, rawMiB, std::max(1u, std::thread::hardware_concurrency()),
              runs);
  std::printf("read: LoadStudy (files, thumbnails); load: LoadVolume (assembly, upload, first pictures);\n"
              "uploaded: from the start until the textures are uploaded; reload: LoadVolume again, same process\n");
  std::printf("%-4s %8s %8s %9s %8s %8s %9s %9s\n", "run", "read s", "load s", "uploaded", "total s", "reload s",
              "peak MiB", "peak/raw");
  Result best;
  bool any = false;
  for (int i = 0; i < runs; ++i) {
    Result failed;
    failed.code = -1;
    const Result r = ZR_BenchSeries::InChild<Result>([&] { return LoadOnce(files, logDir); }, failed);
    if (r.code != 0) {
      std::printf("%-4d failed (%d: %s)\n", i + 1, r.code, ZR_Result::DisplayText(r.code).c_str());
      return 1;
    }
    std::printf("%-4d %8.3f %8.3f %9.3f %8.3f %8.3f %9.1f %9.2f\n", i + 1, r.readSeconds, r.loadSeconds, r.uploadedAt,
                r.readSeconds + r.loadSeconds, r.reloadSeconds, r.peakMiB, r.peakMiB / rawMiB);
    if (!any || r.readSeconds + r.loadSeconds < best.readSeconds + best.loadSeconds) best = r;
    any = true;
  }
  std::printf("\nbest run, resident memory above the start as each step began (raw volume = %.1f MiB):\n", rawMiB);
  std::printf("%-30s %10s %10s %9s\n", "step", "at s", "RSS MiB", "x raw");
  for (int i = 0; i < best.steps; ++i)
    std::printf("%-30s %10.3f %10.1f %9.2f\n", best.step[i].name, best.step[i].seconds, best.step[i].rssMiB,
                best.step[i].rssMiB / rawMiB);
  std::printf("%-30s %10s %10.1f %9.2f\n", "peak", "", best.peakMiB, best.peakMiB / rawMiB);
  std::printf("%-30s %10s %10.1f %9.2f\n", "after the load", "", best.afterMiB, best.afterMiB / rawMiB);
  return 0;
}
