#pragma once
// The command-line tool: a table of subcommands, each running a real engine path headless.
// Exit status: 0 success, 1 usage error, otherwise the engine's result code.

#include <string>
#include <vector>

class ZR_CliApp {
 public:
  static constexpr int kUsageError = 1;

  struct Command {
    const char* name;
    const char* usage;    // arguments after the name
    const char* summary;  // one line for --help
    int (*run)(const std::vector<std::string>& args);
  };

  // Every subcommand the tool knows, in --help order.
  static const std::vector<Command>& Commands();

  static int Main(int argc, char** argv);
  static void PrintHelp();
  static void PrintVersion();
};
