#include "core/ZR_Log.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/support/ZR_TestData.h"

namespace {
std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class LogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("TZ", "UTC", 1);
    tzset();
  }
  void TearDown() override { ZR_Log::Instance().Close(); }
};
}  // namespace

TEST_F(LogTest, DateHasTheFixed24CharacterFormWithASpacePaddedDay) {
  // 2010-06-28 14:03:55 UTC and 2021-03-07 09:05:01 UTC
  EXPECT_EQ(ZR_Log::FormatDate(1277733835), "Mon Jun 28 14:03:55 2010");
  EXPECT_EQ(ZR_Log::FormatDate(1615107901), "Sun Mar  7 09:05:01 2021");
  EXPECT_EQ(ZR_Log::FormatDate(1615107901).size(), 24u);
}

TEST_F(LogTest, EveryEntryIsOneFlushedLine) {
  const auto dir = ZR_TestData::ScratchDir("log_flush");
  ASSERT_TRUE(ZR_Log::Instance().Open((dir / "lmx_log.txt").string()));
  ZR_Log::Entry("LoadVolume(): Volume Dimensions = ", 512);
  ZR_Log::Entry("CreateOpenGlViewports(): Renderer = ", std::string_view("llvmpipe"));
  ZR_Log::Instance().Write("a").Write(-3).Write(" b").EndEntry();
  // Read while the file is still open: nothing may wait in a buffer.
  EXPECT_EQ(ReadFile(dir / "lmx_log.txt"),
            "LoadVolume(): Volume Dimensions = 512\n"
            "CreateOpenGlViewports(): Renderer = llvmpipe\n"
            "a-3 b\n");
}

TEST_F(LogTest, ALogThatCannotBeOpenedSwallowsWrites) {
  // A path below a regular file cannot be created, even by root.
  EXPECT_FALSE(ZR_Log::Instance().Open("/dev/null/lmx/lmx_log.txt"));
  EXPECT_FALSE(ZR_Log::Instance().IsOpen());
  ZR_Log::Entry("ignored");
  ZR_Log::Entry("ignored ", 1);
  ZR_Log::Instance().EndEntry();
}
