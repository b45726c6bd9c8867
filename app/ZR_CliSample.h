#pragma once
// lumetra-cli sample PROJECT_DIR OUT_DIR: writes the volume of an unpacked head-CT example
// project (main.plist describing matrix.dat, a raw signed 16-bit volume) as a DICOM CT series
// with the program's own writer: one file per slice (rows turned top down, as DICOM has
// them), stored values from 0 with the rescale intercept giving the project's values, axial,
// ascending z. The series appears under OUT_DIR only once every file is written.

#include <string>
#include <vector>

class ZR_CliSample {
 public:
  static int Run(const std::vector<std::string>& args);
};
