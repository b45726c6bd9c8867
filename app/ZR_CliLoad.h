#pragma once
// lumetra-cli load DIR_OR_FILES...: the series reader on the files, and the volume it builds.

#include <string>
#include <vector>

class ZR_CliLoad {
 public:
  static int Run(const std::vector<std::string>& args);
};
