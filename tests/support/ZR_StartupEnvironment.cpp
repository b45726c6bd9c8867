#include "tests/support/ZR_StartupEnvironment.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "core/ZR_Log.h"
#include "core/ZR_SystemInfo.h"
#include "tests/support/ZR_TestData.h"

namespace {
std::time_t FixedClock() { return ZR_StartupEnvironment::kClock; }
}  // namespace

ZR_StartupEnvironment::ZR_StartupEnvironment() {
  setenv("TZ", "UTC", 1);
  tzset();
  ZR_Log::SetClockForTesting(&FixedClock);
  ZR_SystemInfo::SetPhysicalMemoryForTesting(8ull << 30);
  m_oDir = ZR_TestData::ScratchDir(::testing::UnitTest::GetInstance()->current_test_info()->name());
}

ZR_StartupEnvironment::~ZR_StartupEnvironment() {
  ZR_Log::SetClockForTesting(nullptr);
  ZR_SystemInfo::SetPhysicalMemoryForTesting(0);
  ZR_Log::Instance().Close();
}

std::string ZR_StartupEnvironment::Log() const { return ZR_TestData::ReadText(m_oDir / ZR_Log::kFileName); }
