#pragma once
// lumetra-cli movie DIR --turn DEG --frames N --out FILE.avi [--size N] [--first I --last J]:
// the study loaded as the viewer loads it, movie capture switched on in the 3D view, N
// horizontal drags recorded that turn the view by DEG degrees in all, and the movie made from
// them as the window makes it (with its study text beside it).

#include <string>
#include <vector>

class ZR_CliMovie {
 public:
  static constexpr int kDefaultSize = 256;
  static constexpr int kMinimumSize = 16;
  static constexpr int kMaximumSize = 4096;

  static int Run(const std::vector<std::string>& args);
};
