#pragma once
// The process-wide log "lmx_log.txt": one entry per line, flushed after every entry,
// no time stamps and no levels. A log that cannot be opened swallows every write.

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>
#include <string_view>

class ZR_Log {
 public:
  static constexpr const char* kFileName = "lmx_log.txt";
  static constexpr const char* kVersionLine = "v1.9 build 20100628";

  static ZR_Log& Instance();

  // Opens (truncating) the file; false puts the stream in its failed state.
  bool Open(const std::string& path);
  void Close();
  bool IsOpen() const { return m_pFile != nullptr; }

  // Pieces of the current entry.
  ZR_Log& Write(std::string_view text);
  ZR_Log& Write(int64_t number);
  // Ends the entry: line break and flush.
  void EndEntry();

  // One whole entry.
  static void Entry(std::string_view text);
  static void Entry(std::string_view text, int64_t number);
  static void Entry(std::string_view text, std::string_view value);

  // "Mon Jun 28 14:03:55 2010": always 24 characters, English names whatever the locale.
  static std::string FormatDate(std::time_t when);
  static std::time_t Now();
  // Lets tests pin the clock; nullptr restores the system clock.
  static void SetClockForTesting(std::time_t (*clock)());

  ZR_Log(const ZR_Log&) = delete;
  ZR_Log& operator=(const ZR_Log&) = delete;

 private:
  ZR_Log() = default;
  ~ZR_Log();

  std::FILE* m_pFile = nullptr;
};
