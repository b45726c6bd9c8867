#pragma once
// lumetra-cli render DIR --out FILE.png [--mode colour|grey|mip] [--shading] [--size N]
// [--first I --last J]: the viewer's own path without a window. LoadStudy reads the folder,
// the subset preview accepts the range (the whole study unless given), LoadVolume assembles
// and uploads it, the 3D screen renders panel 0 at full quality and ReadPanel reads it back.
// A study that cannot be loaded prints its result code's message and exits with that code.

#include <string>
#include <vector>

class ZR_CliRender {
 public:
  static constexpr int kDefaultSize = 512;
  static constexpr int kMinimumSize = 16;
  static constexpr int kMaximumSize = 4096;

  static int Run(const std::vector<std::string>& args);
};
