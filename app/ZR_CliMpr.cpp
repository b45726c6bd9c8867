#include "app/ZR_CliMpr.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/ZR_CliApp.h"
#include "app/ZR_CliViewer.h"
#include "core/ZR_Ids.h"
#include "core/ZR_Keys.h"
#include "mpr/ZR_StandardOrientations.h"

namespace {
const char kUsage[] =
    "usage: lumetra-cli mpr DIR --out PREFIX [--orientation L|R|A|P|I|S] [--rotate-x DEG] [--rotate-y DEG]\n"
    "                       [--offset MM] [--size N] [--first I --last J]\n";

// Larger turns than this are typing errors, not views.
constexpr float kMaximumDegrees = 3600;
constexpr float kMaximumOffsetMm = 10000;

struct Options {
  ZR_CliViewer::Options common{"", "", ZR_CliMpr::kDefaultSize};
  int32_t orientation = -1;
  float rotateX = 0, rotateY = 0, offset = 0;
};

bool Decimal(const std::string& text, float limit, float& value) {
  char* end = nullptr;
  const float v = std::strtof(text.c_str(), &end);
  if (text.empty() || *end != '\0' || !std::isfinite(v) || std::fabs(v) > limit) return false;
  value = v;
  return true;
}

bool Parse(const std::vector<std::string>& args, Options& o) {
  for (size_t i = 0; i < args.size(); ++i) {
    const int taken = ZR_CliViewer::TakeCommon(args, i, o.common, ZR_CliMpr::kMinimumSize, ZR_CliMpr::kMaximumSize);
    if (taken < 0) return false;
    if (taken > 0) continue;
    const std::string& a = args[i];
    if (i + 1 >= args.size()) return false;  // each of the others has a value
    if (a == "--orientation") {
      const std::string& letter = args[++i];
      if (letter.size() != 1) return false;
      o.orientation = ZR_StandardOrientations::CodeOfLetter(ZR_Key::Letter(letter[0]));
      if (o.orientation < 0) return false;
    } else if (a == "--rotate-x") {
      if (!Decimal(args[++i], kMaximumDegrees, o.rotateX)) return false;
    } else if (a == "--rotate-y") {
      if (!Decimal(args[++i], kMaximumDegrees, o.rotateY)) return false;
    } else if (a == "--offset") {
      if (!Decimal(args[++i], kMaximumOffsetMm, o.offset)) return false;
    } else {
      return false;
    }
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
  if (o.orientation >= 0) manager.ShowStandardOrientation(o.orientation);
  if (o.rotateX != 0 || o.rotateY != 0) manager.TurnMprView(active, o.rotateX, o.rotateY);
  if (o.offset != 0) manager.MoveMprView(active, o.offset);
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
