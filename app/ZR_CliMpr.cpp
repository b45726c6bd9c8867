#include "app/ZR_CliMpr.h"

#include <cstdio>

#include "app/ZR_CliApp.h"
#include "app/ZR_CliViewer.h"
#include "core/ZR_Ids.h"

namespace {
const char kUsage[] =
    "usage: lumetra-cli mpr DIR --out PREFIX [--orientation L|R|A|P|I|S] [--rotate-x DEG] [--rotate-y DEG]\n"
    "                       [--offset MM] [--size N] [--first I --last J]\n";

struct Options {
  ZR_CliViewer::Options common{"", "", ZR_CliMpr::kDefaultSize};
  ZR_CliViewer::PlaneOptions plane;
};

bool Parse(const std::vector<std::string>& args, Options& o) {
  for (size_t i = 0; i < args.size(); ++i) {
    const int taken = ZR_CliViewer::TakeCommon(args, i, o.common, ZR_CliMpr::kMinimumSize, ZR_CliMpr::kMaximumSize);
    if (taken < 0) return false;
    if (taken > 0) continue;
    if (ZR_CliViewer::TakePlane(args, i, o.plane) <= 0) return false;
  }
  return ZR_CliViewer::Complete(o.common);
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
  code = viewer.Load(o.common.folder, o.common.first, o.common.last);
  if (code != 0) return code;
  ZR_VisManager& manager = viewer.Manager();
  (void)manager.ShowMprScreen();
  const int32_t active = manager.ActiveMprView();
  ZR_CliViewer::ApplyPlane(manager, o.plane);
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
