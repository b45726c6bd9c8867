#include "core/ZR_Log.h"

#include <cinttypes>

namespace {
std::time_t (*g_clock)() = nullptr;
}

ZR_Log& ZR_Log::Instance() {
  static ZR_Log log;
  return log;
}

ZR_Log::~ZR_Log() { Close(); }

bool ZR_Log::Open(const std::string& path) {
  Close();
  m_pFile = std::fopen(path.c_str(), "w");
  return m_pFile != nullptr;
}

void ZR_Log::Close() {
  if (m_pFile) std::fclose(m_pFile);
  m_pFile = nullptr;
}

ZR_Log& ZR_Log::Write(std::string_view text) {
  if (m_pFile) std::fwrite(text.data(), 1, text.size(), m_pFile);
  return *this;
}

ZR_Log& ZR_Log::Write(int64_t number) {
  if (m_pFile) std::fprintf(m_pFile, "%" PRId64, number);
  return *this;
}

void ZR_Log::EndEntry() {
  if (!m_pFile) return;
  std::fputc('\n', m_pFile);
  std::fflush(m_pFile);
}

void ZR_Log::Entry(std::string_view text) { Instance().Write(text).EndEntry(); }

void ZR_Log::Entry(std::string_view text, int64_t number) {
  Instance().Write(text).Write(number).EndEntry();
}

void ZR_Log::Entry(std::string_view text, std::string_view value) {
  Instance().Write(text).Write(value).EndEntry();
}

std::string ZR_Log::FormatDate(std::time_t when) {
  static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::tm t{};
  localtime_r(&when, &t);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%s %s %2d %02d:%02d:%02d %04d", kDays[t.tm_wday % 7],
                kMonths[t.tm_mon % 12], t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec,
                t.tm_year + 1900);
  return buffer;
}

std::time_t ZR_Log::Now() { return g_clock ? g_clock() : std::time(nullptr); }

void ZR_Log::SetClockForTesting(std::time_t (*clock)()) { g_clock = clock; }
