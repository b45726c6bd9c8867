#include "app/ZR_CliRender.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/ZR_CliApp.h"
#include "app/ZR_CliViewer.h"
#include "core/ZR_Result.h"
#include "dicom/ZR_DicomVolume.h"

namespace {
const char kUsage[] =
    "usage: lumetra-cli render DIR --out FILE.png [--mode colour|grey|mip] [--shading] [--size N]\n"
    "                          [--first I --last J] [--timings]\n"
    "                          [--voi [CX,CY,CZ,SX,SY,SZ]]\n"
    "                          [--cut-view [--orientation L|R|A|P|I|S] [--rotate-x DEG] [--rotate-y DEG] [--offset MM]]\n"
    "  --voi: the volume of interest, centre and size in voxels (the centre from the first voxel\n"
    "         corner); without values the central half of the volume\n"
    "  --cut-view: the 3D view cut by the plane of the active MPR view, set up as lumetra-cli mpr does\n";

struct Options {
  ZR_CliViewer::Options common{"", "", ZR_CliRender::kDefaultSize};
  int32_t mode = 1;  // the render modes: 0 grey, 1 colour, 2 MIP
  bool shading = false;
  bool timings = false;
  bool voi = false;
  bool voiGiven = false;  // with values
  float voiValues[6] = {0, 0, 0, 0, 0, 0};
  bool cutView = false;
  ZR_CliViewer::PlaneOptions plane;
};

// Six comma-separated numbers: centre, then size (each size positive).
bool VoiValues(const std::string& text, float values[6]) {
  size_t begin = 0;
  for (int32_t k = 0; k < 6; ++k) {
    const size_t end = k < 5 ? text.find(',', begin) : text.size();
    if (end == std::string::npos) return false;
    if (!ZR_CliViewer::Decimal(text.substr(begin, end - begin), 1e6f, values[k])) return false;
    begin = end + 1;
  }
  return values[3] > 0 && values[4] > 0 && values[5] > 0;
}

bool Parse(const std::vector<std::string>& args, Options& o) {
  for (size_t i = 0; i < args.size(); ++i) {
    const int taken =
        ZR_CliViewer::TakeCommon(args, i, o.common, ZR_CliRender::kMinimumSize, ZR_CliRender::kMaximumSize);
    if (taken < 0) return false;
    if (taken > 0) continue;
    const std::string& a = args[i];
    if (a == "--mode" && i + 1 < args.size()) {
      const std::string& m = args[++i];
      if (m == "grey") o.mode = 0;
      else if (m == "colour") o.mode = 1;
      else if (m == "mip") o.mode = 2;
      else return false;
    } else if (a == "--shading") {
      o.shading = true;
    } else if (a == "--timings") {
      o.timings = true;
    } else if (a == "--voi") {
      o.voi = true;
      // The values are optional: a following option or the folder is not one.
      if (i + 1 < args.size() && args[i + 1].find(',') != std::string::npos) {
        if (!VoiValues(args[++i], o.voiValues)) return false;
        o.voiGiven = true;
      }
    } else if (a == "--cut-view") {
      o.cutView = true;
    } else if (ZR_CliViewer::TakePlane(args, i, o.plane) <= 0) {
      return false;
    }
  }
  // The plane options say where the cut goes: alone they would do nothing.
  if (o.plane.given && !o.cutView) return false;
  return ZR_CliViewer::Complete(o.common);
}

const char* ModeName(int32_t mode) { return mode == 0 ? "grey" : mode == 1 ? "colour" : "MIP"; }
}  // namespace

int ZR_CliRender::Run(const std::vector<std::string>& args) {
  Options o;
  if (!Parse(args, o)) {
    std::fprintf(stderr, "%s", kUsage);
    return ZR_CliApp::kUsageError;
  }
  ZR_CliViewer viewer("render", o.common.size, 0, 0);
  int code = viewer.Start();
  if (code != 0) return code;
  ZR_VisManager& manager = viewer.Manager();
  if (manager.IsSoftwareRendering()) {
    std::fprintf(stderr, "lumetra-cli render: this adapter renders no 3D view (software rendering)\n");
    return VR_OG_SW_RENDER;
  }
  // Only the requested picture is drawn: the load, the screen switch and the mode would
  // each draw the views of a window that nobody sees.
  manager.HoldDrawing(true);
  code = viewer.Load(o.common.folder, o.common.first, o.common.last);
  if (code != 0) return code;
  const ZR_DicomVolume* volume = manager.GetVolume();

  if (o.cutView) {
    // The plane is set up in the MPR screen, as there; the 3D view is then cut by it.
    (void)manager.ShowMprScreen();
    ZR_CliViewer::ApplyPlane(manager, o.plane);
  }
  (void)manager.Show3DScreen();
  if (o.cutView) {
    manager.SetCutView(true);
    manager.AlignCutPlaneToMprView(manager.ActiveMprView());
  }
  if (o.voi) {
    manager.SetVoiEnabled(true);
    if (o.voiGiven &&
        !manager.SetVoi({o.voiValues[3], o.voiValues[4], o.voiValues[5]}, {o.voiValues[0], o.voiValues[1], o.voiValues[2]}))
      return viewer.Failed(VR_LD_INVALID_VOLUME);
  }
  manager.SetRenderMode(static_cast<ZR_RenderMode>(o.mode), false);  // the option parser gives the number
  if (o.shading) {
    if (!manager.CanShade() || o.mode != 1) {
      std::fprintf(stderr, "lumetra-cli render: shading needs colour mode and an adapter that can shade\n");
      return viewer.Failed(VR_OG_SHADING);
    }
    manager.SetShading(true, false);
  } else {
    manager.SetShading(false, false);
  }
  manager.HoldDrawing(false);
  const int64_t framesBefore = manager.FramesDrawn();
  const auto since = std::chrono::steady_clock::now();
  manager.RenderFullQuality();
  int32_t width = 0, height = 0;
  code = viewer.WritePanel(0, o.common.out, &width, &height);  // reads back: waits for the frame
  if (code != 0) return code;
  const double frameSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
  std::printf("%s: slices %d..%d of %d (%d x %d), %s%s, %d x %d pixels\n", o.common.out.c_str(), volume->m_nFirst,
              volume->m_nLast, volume->m_nSliceCount, volume->m_nWidth, volume->m_nHeight, ModeName(o.mode),
              manager.IsShading() ? ", shaded" : "", width, height);
  if (o.voi) {
    const ZR_Box& box = manager.Voi();
    std::printf("VOI: centre (%.1f, %.1f, %.1f), size (%.1f, %.1f, %.1f) voxels\n", box.GetPosition()[0],
                box.GetPosition()[1], box.GetPosition()[2], box.GetSize()[0], box.GetSize()[1], box.GetSize()[2]);
  }
  if (o.cutView) {
    const int32_t active = manager.ActiveMprView();
    const float* n = manager.MprView(active).Axis(2);
    std::printf("cut: by the plane of view %d, normal (%.3f, %.3f, %.3f), kept on the normal's side\n", active, n[0],
                n[1], n[2]);
  }
  if (o.timings)
    std::printf("timings: read %.3f s, volume and upload %.3f s, frame %.3f s (%lld 3D frame drawn, read back "
                "included)\n",
                viewer.ReadSeconds(), viewer.VolumeSeconds(), frameSeconds,
                static_cast<long long>(manager.FramesDrawn() - framesBefore));
  return 0;
}
