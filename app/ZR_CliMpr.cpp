#include "app/ZR_CliMpr.h"

#include <cstdio>
#include <string>

#include "app/ZR_CliApp.h"
#include "app/ZR_CliViewer.h"
#include "core/ZR_Ids.h"
#include "output/ZR_ImageWriter.h"
#include "output/ZR_SaveInfo.h"
#include "output/ZR_WinSeries.h"

namespace {
const char kUsage[] =
    "usage: lumetra-cli mpr DIR --out PREFIX [--orientation L|R|A|P|I|S] [--rotate-x DEG] [--rotate-y DEG]\n"
    "                       [--offset MM] [--size N] [--first I --last J]\n"
    "                       [--slab mpvr|mip|minip:MM] [--series N [--range MM]]\n"
    "  --slab shows the active view as a slab of that projection and thickness; --series N\n"
    "  writes N slices of the active view (each a slab of that thickness, 1 mm and MIP by\n"
    "  default, spread evenly over --range MM, N x the thickness by default) as the DICOM\n"
    "  series PREFIX0.dcm.. in the study's values.\n";

// Larger than the panel's boxes accept is a typing error.
constexpr float kMostThicknessMm = 1024;
constexpr float kMostRangeMm = 10000;
constexpr int32_t kMostSlices = 1024;

struct Options {
  ZR_CliViewer::Options common{"", "", ZR_CliMpr::kDefaultSize};
  ZR_CliViewer::PlaneOptions plane;
  int32_t slabRadio = -1;  // the projection as the panel's radio group numbers it
  float thickness = 0;
  int32_t series = 0;
  float range = 0;
};

// "mip:5" and the like: the radio index (MPVR 0, MIP 1, MinIP 2) and the thickness.
bool TakeSlab(const std::string& text, Options& o) {
  const size_t colon = text.find(':');
  if (colon == std::string::npos) return false;
  const std::string mode = text.substr(0, colon);
  o.slabRadio = mode == "mpvr" ? 0 : mode == "mip" ? 1 : mode == "minip" ? 2 : -1;
  return o.slabRadio >= 0 && ZR_CliViewer::Decimal(text.substr(colon + 1), kMostThicknessMm, o.thickness) &&
         o.thickness > 0;
}

bool Parse(const std::vector<std::string>& args, Options& o) {
  for (size_t i = 0; i < args.size(); ++i) {
    const int taken = ZR_CliViewer::TakeCommon(args, i, o.common, ZR_CliMpr::kMinimumSize, ZR_CliMpr::kMaximumSize);
    if (taken < 0) return false;
    if (taken > 0) continue;
    const std::string& a = args[i];
    if (a == "--slab" || a == "--series" || a == "--range") {
      if (i + 1 >= args.size()) return false;
      const std::string& value = args[++i];
      if (a == "--slab" && !TakeSlab(value, o)) return false;
      if (a == "--series" && !ZR_CliViewer::Number(value, 1, kMostSlices, o.series)) return false;
      if (a == "--range" && !(ZR_CliViewer::Decimal(value, kMostRangeMm, o.range) && o.range > 0)) return false;
      continue;
    }
    if (ZR_CliViewer::TakePlane(args, i, o.plane) <= 0) return false;
  }
  if (o.range > 0 && o.series == 0) return false;
  return ZR_CliViewer::Complete(o.common);
}
}  // namespace

namespace {
int WriteSeries(ZR_VisManager& manager, const Options& o) {
  const std::string& base = o.common.out;
  constexpr int32_t kMode = ZR_ImageWriter::kDicomGrey16;
  // A script must not replace what it did not write; the window asks, the command line says.
  if (!ZR_VisManager::SeriesFilesFound(base, kMode).empty()) {
    std::fprintf(stderr, "lumetra-cli mpr: files of a series %s<N>.dcm are there already; remove them or choose another PREFIX\n",
                 base.c_str());
    return VR_WRITE_FAILED;
  }
  const float thickness = o.slabRadio >= 0 ? o.thickness : 1.0f;
  const int32_t radio = o.slabRadio >= 0 ? o.slabRadio : 1;
  const float range = o.range > 0 ? o.range : thickness * static_cast<float>(o.series);
  manager.Command(ZR_Ctl::Sbtn_Multi);
  manager.Command(ZR_Ctl::Rg_SlabMode, &radio);
  manager.Command(ZR_Ctl::Ed_Thickness, &thickness);
  manager.Command(ZR_Ctl::Ed_SlabSize, &range);
  manager.Command(ZR_Ctl::Ed_Slices, &o.series);
  ZR_SaveInfo request{base, kMode};
  const int32_t code = manager.RenderMprSeries(manager.ActiveMprView(), ZR_VisManager::kSeriesSave, &request);
  if (code != VR_OK) {
    std::fprintf(stderr, "lumetra-cli mpr: the series %s was not written (the log says why)\n", base.c_str());
    return code;
  }
  std::printf("%s: %d slices of view %d, %.2f mm thick, over %.2f mm\n", base.c_str(), o.series,
              manager.ActiveMprView(), static_cast<double>(thickness), static_cast<double>(range));
  return 0;
}
}  // namespace

int ZR_CliMpr::Run(const std::vector<std::string>& args) {
  Options o;
  if (!Parse(args, o)) {
    std::fprintf(stderr, "%s", kUsage);
    return ZR_CliApp::kUsageError;
  }
  ZR_CliViewer viewer("mpr", o.common.size, ZR_Panel::Mpr0, ZR_Panel::Mpr3);
  int code = viewer.Start();
  if (code != 0) return code;
  ZR_VisManager& manager = viewer.Manager();
  ZR_WinSeries writer;
  manager.SetSeriesWriter(&writer);
  code = viewer.Load(o.common.folder, o.common.first, o.common.last);
  if (code != 0) return code;
  (void)manager.ShowMprScreen();
  const int32_t active = manager.ActiveMprView();
  ZR_CliViewer::ApplyPlane(manager, o.plane);
  if (o.series > 0) return WriteSeries(manager, o);
  if (o.slabRadio >= 0) {
    // As the panel sets it: the type, the projection, the thickness.
    manager.Command(ZR_Ctl::Sbtn_Slab);
    manager.Command(ZR_Ctl::Rg_SlabMode, &o.slabRadio);
    manager.Command(ZR_Ctl::Ed_SlabSize, &o.thickness);
  }
  manager.RedrawViews(false);
  for (int32_t panel = ZR_Panel::Mpr0; panel <= ZR_Panel::Mpr3; ++panel) {
    const std::string path = o.common.out + "-" + std::to_string(panel) + ".png";
    int32_t width = 0, height = 0;
    code = viewer.WritePanel(panel, path, &width, &height);
    if (code != 0) return code;
    const float* p = manager.MprView(panel).Position();
    const float* n = manager.MprView(panel).Axis(2);
    std::printf("%s: view %d%s, %d x %d pixels, centre (%.2f, %.2f, %.2f), normal (%.3f, %.3f, %.3f)\n",
                path.c_str(), panel, panel == active ? " (active)" : "", width, height, p[0], p[1], p[2], n[0],
                n[1], n[2]);
  }
  return 0;
}
