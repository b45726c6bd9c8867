#pragma once
// lumetra-cli info FILE: what the viewer reads from one DICOM file.

#include <string>
#include <vector>

class ZR_CliInfo {
 public:
  static int Run(const std::vector<std::string>& args);
};
