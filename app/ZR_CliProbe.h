#pragma once
// lumetra-cli probe [LOGDIR]: starts the rendering back end headless the way the viewer
// starts it, prints the start-up log and what was decided (hardware rendering, software
// rendering of the MPR views, or refusal), and exits with the start-up's result code.

#include <string>
#include <vector>

class ZR_CliProbe {
 public:
  static int Run(const std::vector<std::string>& args);
};
