#include "app/ZR_CliCapture.h"

#include <cstdio>

#include "app/ZR_CliApp.h"
#include "app/ZR_CliViewer.h"
#include "core/ZR_Ids.h"
#include "core/ZR_Result.h"
#include "output/ZR_ImageWriter.h"

namespace {
const char kUsage[] =
    "usage: lumetra-cli capture DIR --view 0|4..7 --mode bmp|jpeg|dicom-rgb|dicom-8|dicom-16 --out FILE\n"
    "                           [--size N] [--first I --last J]\n";

struct Options {
  ZR_CliViewer::Options common{"", "", ZR_CliCapture::kDefaultSize};
  int32_t view = -1;
  int32_t mode = -1;
};

int32_t ModeOf(const std::string& name) {
  if (name == "bmp") return ZR_ImageWriter::kBmp;
  if (name == "jpeg") return ZR_ImageWriter::kJpeg;
  if (name == "dicom-rgb") return ZR_ImageWriter::kDicomRgb;
  if (name == "dicom-8") return ZR_ImageWriter::kDicomGrey8;
  if (name == "dicom-16") return ZR_ImageWriter::kDicomGrey16;
  return -1;
}

bool Parse(const std::vector<std::string>& args, Options& o) {
  for (size_t i = 0; i < args.size(); ++i) {
    const int taken =
        ZR_CliViewer::TakeCommon(args, i, o.common, ZR_CliCapture::kMinimumSize, ZR_CliCapture::kMaximumSize);
    if (taken < 0) return false;
    if (taken > 0) continue;
    const std::string& a = args[i];
    if (i + 1 >= args.size()) return false;
    if (a == "--view") {
      if (!ZR_CliViewer::Number(args[++i], 0, ZR_Panel::Mpr3, o.view)) return false;
      if (o.view != ZR_Panel::View3D && o.view < ZR_Panel::Mpr0) return false;
    } else if (a == "--mode") {
      o.mode = ModeOf(args[++i]);
      if (o.mode < 0) return false;
    } else {
      return false;
    }
  }
  // The study's values exist for the MPR views only.
  const bool grey = o.mode == ZR_ImageWriter::kDicomGrey8 || o.mode == ZR_ImageWriter::kDicomGrey16;
  if (o.view < 0 || o.mode < 0 || (grey && o.view == ZR_Panel::View3D)) return false;
  return ZR_CliViewer::Complete(o.common);
}
}  // namespace

int ZR_CliCapture::Run(const std::vector<std::string>& args) {
  Options o;
  if (!Parse(args, o)) {
    std::fprintf(stderr, "%s", kUsage);
    return ZR_CliApp::kUsageError;
  }
  const bool view3d = o.view == ZR_Panel::View3D;
  ZR_CliViewer viewer("capture", o.common.size, view3d ? 0 : ZR_Panel::Mpr0, view3d ? 0 : ZR_Panel::Mpr3);
  int code = viewer.Start();
  if (code != 0) return code;
  ZR_VisManager& manager = viewer.Manager();
  if (view3d && manager.IsSoftwareRendering()) {
    std::fprintf(stderr, "lumetra-cli capture: this adapter renders no 3D view (software rendering)\n");
    return VR_OG_SW_RENDER;
  }
  manager.HoldDrawing(true);
  code = viewer.Load(o.common.folder, o.common.first, o.common.last);
  if (code != 0) return code;
  if (view3d)
    (void)manager.Show3DScreen();
  else
    (void)manager.ShowMprScreen();
  manager.HoldDrawing(false);
  if (view3d)
    manager.RenderFullQuality();
  else
    manager.RedrawViews(false);
  code = manager.WriteView(o.view, o.mode, o.common.out);
  if (code != VR_OK) {
    std::fprintf(stderr, "lumetra-cli capture: %s was not written (the log says why)\n", o.common.out.c_str());
    return code;
  }
  std::printf("%s: view %d captured\n", o.common.out.c_str(), o.view);
  return 0;
}
