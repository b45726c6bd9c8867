#include "tests/support/ZR_ExternalTool.h"

#include <cstdio>
#include <sstream>

ZR_ExternalTool::Run ZR_ExternalTool::Execute(const std::string& command) {
  Run r;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return r;
  char buffer[4096];
  size_t n = 0;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) r.output.append(buffer, n);
  r.status = pclose(pipe);
  r.ran = true;
  return r;
}

bool ZR_ExternalTool::Have(const char* tool) { return Execute(std::string("command -v ") + tool).status == 0; }

std::vector<std::string> ZR_ExternalTool::ValidatorErrors(const std::string& file) {
  const Run r = Execute("dciodvfy '" + file + "'");
  std::vector<std::string> errors;
  std::istringstream lines(r.output);
  for (std::string line; std::getline(lines, line);)
    if (line.rfind("Error", 0) == 0) errors.push_back(line);
  return errors;
}
