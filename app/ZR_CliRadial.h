#pragma once
// lumetra-cli radial DIR --frames N --out PREFIX|FILE.avi [--step DEG] [--start DEG]
// [--axis x|y|z] [--size N] [--first I --last J]: the study loaded as the viewer loads it, its
// MIP turned about the axis in N steps as the radials dialog turns it, every frame written as
// the DICOM RGB series PREFIX0.dcm.. or, for a name ending in ".avi", as a movie.

#include <string>
#include <vector>

class ZR_CliRadial {
 public:
  static constexpr int kDefaultSize = 256;
  static constexpr int kMinimumSize = 16;
  static constexpr int kMaximumSize = 4096;

  static int Run(const std::vector<std::string>& args);
};
