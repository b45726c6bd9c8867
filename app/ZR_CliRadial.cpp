#include "app/ZR_CliRadial.h"

#include <cstdio>

#include "app/ZR_CliApp.h"
#include "app/ZR_CliViewer.h"
#include "core/ZR_Ids.h"
#include "core/ZR_Result.h"
#include "dicom/ZR_DicomVolume.h"
#include "output/ZR_ImageWriter.h"
#include "output/ZR_RadialsSettings.h"
#include "output/ZR_SaveInfo.h"
#include "output/ZR_WinMovie.h"
#include "output/ZR_WinSeries.h"

namespace {
const char kUsage[] =
    "usage: lumetra-cli radial DIR --frames N --out PREFIX|FILE.avi [--step DEG] [--start DEG] [--axis x|y|z]\n"
    "                          [--size N] [--first I --last J]\n";

struct Options {
  ZR_CliViewer::Options common{"", "", ZR_CliRadial::kDefaultSize};
  ZR_RadialsSettings settings;
  bool framesGiven = false;
};

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool Parse(const std::vector<std::string>& args, Options& o) {
  for (size_t i = 0; i < args.size(); ++i) {
    const int taken = ZR_CliViewer::TakeCommon(args, i, o.common, ZR_CliRadial::kMinimumSize, ZR_CliRadial::kMaximumSize);
    if (taken < 0) return false;
    if (taken > 0) continue;
    const std::string& a = args[i];
    if (i + 1 >= args.size()) return false;
    const std::string& value = args[++i];
    if (a == "--frames") {
      if (!ZR_CliViewer::Number(value, 1, 360, o.settings.nFrames)) return false;
      o.framesGiven = true;
    } else if (a == "--step") {
      if (!ZR_CliViewer::Decimal(value, 359, o.settings.fAngleStep) || !(o.settings.fAngleStep > 0)) return false;
    } else if (a == "--start") {
      if (!ZR_CliViewer::Number(value, 0, 180, o.settings.nStartAngle)) return false;
    } else if (a == "--axis") {
      o.settings.nAxis = value == "x" ? 0 : value == "y" ? 1 : value == "z" ? 2 : -1;
      if (o.settings.nAxis < 0) return false;
    } else {
      return false;
    }
  }
  return o.framesGiven && ZR_CliViewer::Complete(o.common);
}
}  // namespace

int ZR_CliRadial::Run(const std::vector<std::string>& args) {
  Options o;
  if (!Parse(args, o)) {
    std::fprintf(stderr, "%s", kUsage);
    return ZR_CliApp::kUsageError;
  }
  ZR_CliViewer viewer("radial", o.common.size, 0, 0);
  int code = viewer.Start();
  if (code != 0) return code;
  ZR_VisManager& manager = viewer.Manager();
  if (manager.IsSoftwareRendering()) {
    std::fprintf(stderr, "lumetra-cli radial: this adapter renders no 3D view (software rendering)\n");
    return VR_OG_SW_RENDER;
  }
  ZR_WinSeries series;
  ZR_WinMovie movie;
  manager.SetSeriesWriter(&series);
  manager.SetMovie(&movie);
  manager.HoldDrawing(true);
  code = viewer.Load(o.common.folder, o.common.first, o.common.last);
  if (code != 0) return code;
  (void)manager.Show3DScreen();
  manager.SetRenderMode(ZR_RenderMode::Mip, false);
  manager.HoldDrawing(false);
  manager.SetSeriesPause(0);
  const bool avi = EndsWith(o.common.out, ".avi");
  o.settings.nOutput = avi ? 1 : 0;
  o.settings.nEndAngle = static_cast<int32_t>(o.settings.nStartAngle + o.settings.nFrames * o.settings.fAngleStep);
  const ZR_SaveInfo request{o.common.out, ZR_ImageWriter::kDicomRgb};
  code = manager.RenderRadials(ZR_VisManager::kRadialSaveAll, o.settings, &request);
  if (code != VR_OK) {
    if (avi && !movie.LastError().empty()) std::fprintf(stderr, "lumetra-cli radial: %s\n", movie.LastError().c_str());
    std::fprintf(stderr, "lumetra-cli radial: %s was not written (the log says why)\n", o.common.out.c_str());
    return code;
  }
  std::printf("%s: %d frames of %.2f degrees about %c from %d degrees, %s\n", o.common.out.c_str(),
              o.settings.nFrames, static_cast<double>(o.settings.fAngleStep), "xyz"[o.settings.nAxis],
              o.settings.nStartAngle, avi ? "movie" : "DICOM RGB series");
  return 0;
}
