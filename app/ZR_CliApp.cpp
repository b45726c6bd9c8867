#include "app/ZR_CliApp.h"

#include <cstdio>
#include <cstring>

#include "app/ZR_CliCapture.h"
#include "app/ZR_CliInfo.h"
#include "app/ZR_CliLoad.h"
#include "app/ZR_CliMovie.h"
#include "app/ZR_CliMpr.h"
#include "app/ZR_CliProbe.h"
#include "app/ZR_CliRadial.h"
#include "app/ZR_CliRender.h"
#include "app/ZR_CliSample.h"
#include "core/ZR_Log.h"

const std::vector<ZR_CliApp::Command>& ZR_CliApp::Commands() {
  static const std::vector<Command> commands = {
      {"capture", "DIR --view 0|4..7 --mode bmp|jpeg|dicom-rgb|dicom-8|dicom-16 --out FILE [--size N]",
       "load a series as the viewer does and capture a view into a picture or DICOM file", &ZR_CliCapture::Run},
      {"info", "FILE", "study lines, transfer syntax and pixel layout of one DICOM file", &ZR_CliInfo::Run},
      {"load", "[--threads N] DIR_OR_FILES...", "read a series into a volume and print its record", &ZR_CliLoad::Run},
      {"movie", "DIR --turn DEG --frames N --out FILE.avi [--size N]",
       "record a turn of the 3D view as drags and make the movie from them, as the window does", &ZR_CliMovie::Run},
      {"mpr", "DIR --out PREFIX [--orientation L|R|A|P|I|S] [--rotate-x DEG] [--rotate-y DEG] [--offset MM]",
       "load a series as the viewer does and write its four MPR views as PNG pictures", &ZR_CliMpr::Run},
      {"probe", "[LOGDIR]", "start the rendering back end headless and print the start-up log", &ZR_CliProbe::Run},
      {"radial", "DIR --frames N --out PREFIX|FILE.avi [--step DEG] [--start DEG] [--axis x|y|z] [--size N]",
       "turn the MIP about an axis in steps and write the frames as a DICOM series or a movie",
       &ZR_CliRadial::Run},
      {"render", "DIR --out FILE.png [--mode colour|grey|mip] [--shading] [--size N] [--first I --last J]",
       "load a series as the viewer does and write its 3D view as a PNG picture", &ZR_CliRender::Run},
      {"sample", "PROJECT_DIR OUT_DIR", "write an unpacked head-CT example project as a DICOM series",
       &ZR_CliSample::Run},
  };
  return commands;
}

void ZR_CliApp::PrintVersion() {
  std::printf("lumetra-cli %s (%s)\n", LMX_VERSION, ZR_Log::kVersionLine);
}

void ZR_CliApp::PrintHelp() {
  std::printf(
      "Lumetra command-line tool: runs the viewer's engine without a window.\n\n"
      "usage: lumetra-cli --help | --version | COMMAND [ARGS...]\n\n");
  if (!Commands().empty()) {
    std::printf("commands:\n");
    for (const Command& c : Commands()) std::printf("  %s %s\n      %s\n", c.name, c.usage, c.summary);
    std::printf("\n");
  }
  std::printf(
      "exit status: 0 on success, 1 on a usage error, otherwise the engine's result code\n"
      "(for example 4: the files do not form a valid volume).\n");
}

int ZR_CliApp::Main(int argc, char** argv) {
  if (argc < 2) {
    PrintHelp();
    return kUsageError;
  }
  const std::string first = argv[1];
  if (first == "--help" || first == "-h") {
    PrintHelp();
    return 0;
  }
  if (first == "--version") {
    PrintVersion();
    return 0;
  }
  for (const Command& c : Commands()) {
    if (first == c.name) return c.run(std::vector<std::string>(argv + 2, argv + argc));
  }
  std::fprintf(stderr, "lumetra-cli: unknown command or option '%s' (try --help)\n", first.c_str());
  return kUsageError;
}
