#pragma once
// lumetra-cli mpr DIR --out PREFIX [--orientation L|R|A|P|I|S] [--rotate-x DEG] [--rotate-y DEG]
// [--offset MM] [--size N] [--first I --last J]: the study loaded as the viewer loads it, the
// MPR screen shown, the active view (the axial one) given the standard orientation, turned
// about its own right (x) and up (y) directions and moved along its normal, in that order;
// then the four MPR views are drawn as the window draws them (crosshair lines included) and
// written as PREFIX-4.png .. PREFIX-7.png (sagittal, coronal, axial, oblique).

#include <string>
#include <vector>

class ZR_CliMpr {
 public:
  static constexpr int kDefaultSize = 256;
  static constexpr int kMinimumSize = 16;
  static constexpr int kMaximumSize = 4096;

  static int Run(const std::vector<std::string>& args);
};
