#include "app/ZR_CliMovie.h"

#include <cmath>
#include <cstdio>

#include "app/ZR_CliApp.h"
#include "app/ZR_CliViewer.h"
#include "core/ZR_Ids.h"
#include "core/ZR_Result.h"
#include "output/ZR_WinMovie.h"
#include "render/RenderShared.h"

namespace {
const char kUsage[] =
    "usage: lumetra-cli movie DIR --turn DEG --frames N --out FILE.avi [--size N] [--first I --last J]\n";

// The smallest drag the recording takes (pixels, |dx| + |dy|).
constexpr int32_t kRecordedMove = 15;

struct Options {
  ZR_CliViewer::Options common{"", "", ZR_CliMovie::kDefaultSize};
  float turn = 0;
  int32_t frames = 0;
};

bool Parse(const std::vector<std::string>& args, Options& o) {
  for (size_t i = 0; i < args.size(); ++i) {
    const int taken = ZR_CliViewer::TakeCommon(args, i, o.common, ZR_CliMovie::kMinimumSize, ZR_CliMovie::kMaximumSize);
    if (taken < 0) return false;
    if (taken > 0) continue;
    const std::string& a = args[i];
    if (i + 1 >= args.size()) return false;
    const std::string& value = args[++i];
    if (a == "--turn") {
      if (!ZR_CliViewer::Decimal(value, 3600, o.turn) || o.turn == 0) return false;
    } else if (a == "--frames") {
      if (!ZR_CliViewer::Number(value, 1, 3600, o.frames)) return false;
    } else {
      return false;
    }
  }
  return o.frames > 0 && o.turn != 0 && ZR_CliViewer::Complete(o.common);
}

// The turn (degrees) of a horizontal drag of `length` pixels through the view's centre.
double TurnOf(const ZR_VisManager& manager, int32_t length) {
  const ZR_TrackballView& view = manager.Trackball();
  const double cx = view.nWidth / 2.0, cy = view.nHeight / 2.0;
  double axis[3], degrees = 0;
  if (!RenderShared::TrackballRotation(view, cx - length / 2.0, cy, cx + length / 2.0, cy,
                                       RenderShared::Instance().Rotation(), axis, &degrees))
    return 0;
  return std::fabs(degrees);
}
}  // namespace

int ZR_CliMovie::Run(const std::vector<std::string>& args) {
  Options o;
  if (!Parse(args, o)) {
    std::fprintf(stderr, "%s", kUsage);
    return ZR_CliApp::kUsageError;
  }
  ZR_CliViewer viewer("movie", o.common.size, 0, 0);
  int code = viewer.Start();
  if (code != 0) return code;
  ZR_VisManager& manager = viewer.Manager();
  if (manager.IsSoftwareRendering()) {
    std::fprintf(stderr, "lumetra-cli movie: this adapter renders no 3D view (software rendering)\n");
    return VR_OG_SW_RENDER;
  }
  ZR_WinMovie movie;
  manager.SetMovie(&movie);
  code = viewer.Load(o.common.folder, o.common.first, o.common.last);
  if (code != 0) return code;
  (void)manager.Show3DScreen();
  manager.RedrawPanel(ZR_Panel::View3D);
  // The drag whose turn is the step: the trackball turns more for a longer drag.
  const double step = std::fabs(o.turn) / o.frames;
  const int32_t widest = manager.Trackball().nWidth - 2;
  int32_t length = kRecordedMove;
  while (length < widest && TurnOf(manager, length) < step) ++length;
  if (TurnOf(manager, kRecordedMove) > step * 1.5 || TurnOf(manager, length) < step * 0.5) {
    std::fprintf(stderr, "lumetra-cli movie: %.2f degrees a frame cannot be dragged at this size (%.2f to %.2f)\n",
                 step, TurnOf(manager, kRecordedMove), TurnOf(manager, widest));
    return ZR_CliApp::kUsageError;
  }
  const double planned = TurnOf(manager, length);
  manager.ToggleMovie(true, "");
  const int32_t cx = manager.Trackball().nWidth / 2, cy = manager.Trackball().nHeight / 2;
  const int32_t from = o.turn > 0 ? cx - length / 2 : cx + length / 2;
  const int32_t to = o.turn > 0 ? from + length : from - length;
  for (int32_t i = 0; i < o.frames; ++i) {
    manager.LeftDown(ZR_Panel::View3D, from, cy);
    manager.PointerMove(ZR_Panel::View3D, to, cy);
    manager.LeftUp(ZR_Panel::View3D);
  }
  const int32_t recorded = manager.MovieEventCount();
  manager.ToggleMovie(false, o.common.out);
  if (!movie.LastError().empty() || recorded != o.frames) {
    std::fprintf(stderr, "lumetra-cli movie: %s was not written: %s\n", o.common.out.c_str(),
                 movie.LastError().empty() ? "the drags were not recorded" : movie.LastError().c_str());
    return VR_WRITE_FAILED;
  }
  std::printf("%s: %d frames, %.2f degrees each (drags of %d pixels)\n", o.common.out.c_str(), recorded,
              planned, length);
  return 0;
}
