#include "core/ZR_SystemInfo.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(SystemInfo, ApplicationDirectoryIsTheProgramsFolderWithATrailingSlash) {
  const std::string dir = ZR_SystemInfo::ApplicationDirectory();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), '/');
  EXPECT_TRUE(std::filesystem::exists(dir + "test_core"));
}

TEST(SystemInfo, PhysicalMemoryCanBePinnedForTests) {
  const uint64_t real = ZR_SystemInfo::PhysicalMemoryBytes();
  EXPECT_GT(real, 0u);
  ZR_SystemInfo::SetPhysicalMemoryForTesting(2ull << 30);
  EXPECT_EQ(ZR_SystemInfo::PhysicalMemoryBytes(), 2ull << 30);
  ZR_SystemInfo::SetPhysicalMemoryForTesting(0);
  EXPECT_EQ(ZR_SystemInfo::PhysicalMemoryBytes(), real);
}
