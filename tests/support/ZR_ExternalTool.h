#pragma once
// The independent programs the tests check written files with (dciodvfy, dcmdump, ffprobe,
// djpeg): running one, and skipping a check when it is not installed.

#include <string>
#include <vector>

#include <gtest/gtest.h>

struct ZR_ExternalTool {
  // What a program prints (stdout and stderr), and whether it ran at all.
  struct Run {
    bool ran = false;
    int status = -1;
    std::string output;
  };
  static Run Execute(const std::string& command);
  static bool Have(const char* tool);
  // The errors dciodvfy reports for a file (its warnings are not failures).
  static std::vector<std::string> ValidatorErrors(const std::string& file);
};

#define LMX_REQUIRE_TOOL(tool)                                                                        \
  if (!ZR_ExternalTool::Have(tool))                                                                   \
  GTEST_SKIP() << tool << " is not installed (scripts/setup installs it): the check is skipped"
