#pragma once
// lumetra-cli capture DIR --view 0|4..7 --mode bmp|jpeg|dicom-rgb|dicom-8|dicom-16 --out FILE
// [--size N] [--first I --last J]: the study loaded as the viewer loads it, the 3D view (0)
// or an MPR view (4..7) drawn, and captured through the viewer's own path: the screen's
// picture for BMP, JPEG and DICOM RGB, the study's values for the two grey DICOM modes.

#include <string>
#include <vector>

class ZR_CliCapture {
 public:
  static constexpr int kDefaultSize = 256;
  static constexpr int kMinimumSize = 16;
  static constexpr int kMaximumSize = 4096;

  static int Run(const std::vector<std::string>& args);
};
