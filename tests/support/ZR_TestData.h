#pragma once
// Where the real DICOM test data lives: $LMX_TEST_DATA, the data folder beside the
// checkout (../shared/data) or the one the setup script fetched into build/testdata.
// Tests that need it skip with a message when none is present.

#include <filesystem>
#include <optional>
#include <string>

class ZR_TestData {
 public:
  static std::optional<std::filesystem::path> Root();
  // Root() / relative when that exists.
  static std::optional<std::filesystem::path> Find(const std::string& relative);
  static std::string MissingMessage(const std::string& relative);
  // A fresh, empty scratch folder inside the running test's own one (removed by the next call
  // with that name in that test).
  static std::filesystem::path ScratchDir(const std::string& name);
  // A whole file as bytes ("" when it cannot be read), and a file written from bytes.
  static std::string ReadText(const std::filesystem::path& path);
  static void WriteText(const std::filesystem::path& path, const std::string& text);
};

// Skips the current test when a data path is missing, saying which and why.
#define LMX_REQUIRE_DATA(var, relative)                                      \
  auto var##_opt = ZR_TestData::Find(relative);                              \
  if (!var##_opt) GTEST_SKIP() << ZR_TestData::MissingMessage(relative);     \
  const std::filesystem::path var = *var##_opt
