#pragma once
// The files a command-line argument stands for: a folder is all the regular files in it, in
// name order (as "Select All" in the file dialog), anything else is itself.

#include <string>
#include <vector>

class ZR_CliFiles {
 public:
  // Appends the files of `arg`; false (with a message on stderr) when a folder cannot be listed.
  static bool Collect(const std::string& arg, std::vector<std::string>& files);
};
