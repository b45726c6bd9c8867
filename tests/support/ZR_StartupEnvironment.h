#pragma once
// What a start-up test pins so that the log comes out the same on every machine: the time
// zone and clock of the log's date line, the physical memory, and an empty folder for the
// log. Put back when the object goes.

#include <ctime>
#include <filesystem>
#include <string>

class ZR_StartupEnvironment {
 public:
  // Mon Jun 28 14:03:55 2010 UTC.
  static constexpr std::time_t kClock = 1277733835;

  // The folder is named after the running test.
  ZR_StartupEnvironment();
  ~ZR_StartupEnvironment();
  ZR_StartupEnvironment(const ZR_StartupEnvironment&) = delete;
  ZR_StartupEnvironment& operator=(const ZR_StartupEnvironment&) = delete;

  const std::filesystem::path& Dir() const { return m_oDir; }
  // The log's text so far.
  std::string Log() const;

 private:
  std::filesystem::path m_oDir;
};
