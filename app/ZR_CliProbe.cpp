#include "app/ZR_CliProbe.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

#include "app/ZR_CliApp.h"
#include "core/ZR_Log.h"
#include "core/ZR_Result.h"
#include "headless/ZR_ConsoleGui.h"
#include "manager/ZR_VisManager.h"
#include "render/ZR_EglContext.h"
#include "render/ZR_EglPlatform.h"
#include "render/ZR_FramebufferSurface.h"

namespace {
constexpr int32_t kPanelSize = 64;

// The process's context, made once and never destroyed: terminating the display unloads the
// driver, and the leak checker at exit could then no longer tell the driver's allocations
// (which it is told to ignore) from ours.
ZR_EglContext& Context() {
  static ZR_EglContext* context = new ZR_EglContext;
  return *context;
}

// Starts the manager on headless panels; the log is closed when this returns.
[[nodiscard]] int32_t StartUp(const std::filesystem::path& dir, bool* software) {
  ZR_EglContext& context = Context();
  ZR_ConsoleGui gui;
  ZR_VisManager manager(&gui);
  manager.OpenLog(dir.string());
  // Headless panels are framebuffers of the context, so it comes first; a failure shows in
  // the log and again as the start-up's result.
  (void)context.Create();
  ZR_EglPlatform platform(context);
  std::vector<std::unique_ptr<ZR_FramebufferSurface>> panels;
  ZR_ViewportTable table;
  for (int32_t panel = 0; panel < ZR_ViewportTable::kSurfaceCount; ++panel) {
    panels.push_back(std::make_unique<ZR_FramebufferSurface>(context, kPanelSize, kPanelSize));
    (void)panels.back()->Create();
    table.aSurfaces[panel] = panels.back().get();
    table.SetSize(panel, kPanelSize, kPanelSize);
  }
  manager.SetRenderPlatform(&platform);
  const int32_t result = manager.OnCreate(&table);
  *software = manager.IsSoftwareRendering();
  return result;
}
}  // namespace

int ZR_CliProbe::Run(const std::vector<std::string>& args) {
  if (args.size() > 1) {
    std::fprintf(stderr, "usage: lumetra-cli probe [LOGDIR]\n");
    return ZR_CliApp::kUsageError;
  }
  std::error_code error;
  const std::filesystem::path dir =
      args.empty() ? std::filesystem::temp_directory_path(error) / "lumetra-probe" : std::filesystem::path(args[0]);
  std::filesystem::create_directories(dir, error);
  bool software = false;
  const int32_t result = StartUp(dir, &software);

  std::ifstream log(dir / ZR_Log::kFileName);
  for (std::string line; std::getline(log, line);) std::printf("%s\n", line.c_str());
  if (result == VR_OK && !software)
    std::printf("decision: hardware rendering\n");
  else if (result == VR_OK)
    std::printf("decision: software rendering (the MPR views on the CPU, no 3D view)\n");
  else
    std::printf("decision: refused (result %d: %s)\n", result, ZR_Result::DisplayText(result).c_str());
  return result;
}
