#include "app/ZR_CliFiles.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

bool ZR_CliFiles::Collect(const std::string& arg, std::vector<std::string>& files) {
  std::error_code error;
  if (!fs::is_directory(arg, error)) {
    files.push_back(arg);
    return true;
  }
  std::vector<std::string> inside;
  for (const fs::directory_entry& entry : fs::directory_iterator(arg, error))
    if (entry.is_regular_file(error)) inside.push_back(entry.path().string());
  if (error) {
    std::fprintf(stderr, "lumetra-cli: cannot list %s: %s\n", arg.c_str(), error.message().c_str());
    return false;
  }
  std::sort(inside.begin(), inside.end());
  files.insert(files.end(), inside.begin(), inside.end());
  return true;
}
