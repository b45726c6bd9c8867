// The settings model and its file.

#include "settings/ZR_Vis3DSettings.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/ZR_GermanNumericLocale.h"
#include "tests/support/ZR_TestData.h"

namespace fs = std::filesystem;

namespace {
const char* const kDefaultFile =
    "1\n0\n0\n1\n1\n0.2\n20\n0\n1\n1\n1\n0\n100\n5\n1684633187\n1\n0\n0\n2\n1\n1\n1\n0\n2\n2.5\n"
    "16\n1000\n700\n150\n0\n";

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

// The default file with line `line` (1-based) replaced.
std::string DefaultWith(int line, const std::string& value) {
  std::vector<std::string> lines = Lines(kDefaultFile);
  lines.at(line - 1) = value;
  std::string text;
  for (const std::string& l : lines) text += l + "\n";
  return text;
}

// Every stored field away from its default.
void ChangeEverything(ZR_Vis3DSettings& s) {
  s.Display() = {false, false, false, 2, true};
  s.CutPlane() = {0.25f, 0.5f, 0.75f, 0.35f, false, true, 12.5f};
  s.Renderer() = {3, 4, 2, false, false, 1, 1.5f, 3.25f, 0.5f};
  s.Avi() = {0x64697678u, 70, 25};
  s.Performance().disableUndo = false;
  s.Performance().disableSubset = true;
  s.Region() = {500, 300, -100, true};
}
}  // namespace

TEST(Settings, DefaultFileIsTheThirtyDocumentedLines) {
  const fs::path dir = ZR_TestData::ScratchDir("settings_default");
  ZR_Vis3DSettings settings((dir / ZR_Vis3DSettings::kFileName).string());
  EXPECT_FALSE(fs::exists(dir / ZR_Vis3DSettings::kFileName));  // reading creates nothing
  EXPECT_TRUE(settings.SameValues(ZR_Vis3DSettings()));
  ASSERT_TRUE(settings.Write());
  EXPECT_EQ(ZR_TestData::ReadText(dir / ZR_Vis3DSettings::kFileName), kDefaultFile);
}

TEST(Settings, WrittenAndReadBackReproducesEveryStoredField) {
  const fs::path dir = ZR_TestData::ScratchDir("settings_round_trip");
  const std::string path = (dir / "s.stg").string();
  ZR_Vis3DSettings written(path);
  ChangeEverything(written);
  written.Performance().skipThreshold = 77;
  written.Performance().opacityThreshold = 0.5f;
  ASSERT_TRUE(written.Write());

  ZR_Vis3DSettings read(path);
  ZR_Vis3DSettings expected;
  ChangeEverything(expected);  // the two thresholds are never stored
  EXPECT_TRUE(read.SameValues(expected)) << ZR_TestData::ReadText(path);
  EXPECT_EQ(read.Performance().skipThreshold, 0);
  EXPECT_EQ(read.Performance().opacityThreshold, 0.0f);
  EXPECT_EQ(read.Text(), written.Text());
}

TEST(Settings, CompressorZeroIsStoredAsZero) {
  ZR_Vis3DSettings settings;
  settings.Avi().compressor = 0;
  EXPECT_EQ(settings.Text(), DefaultWith(15, "0"));
  ZR_Vis3DSettings read;
  read.ReadText(settings.Text());
  EXPECT_EQ(read.Avi().compressor, 0u);
}

TEST(Settings, MissingFileKeepsDefaultsAndShortFileFillsOnlyItsValues) {
  const fs::path dir = ZR_TestData::ScratchDir("settings_short");
  ZR_Vis3DSettings missing((dir / "none.stg").string());
  EXPECT_FALSE(missing.Read());
  EXPECT_TRUE(missing.SameValues(ZR_Vis3DSettings()));

  ZR_TestData::WriteText(dir / "seven.stg", "0\n1\n0.5\n0.25\n0\n0.75\n8\n");
  ZR_Vis3DSettings seven((dir / "seven.stg").string());
  ZR_Vis3DSettings expected;
  expected.CutPlane() = {0.5f, 0.25f, 0.0f, 0.75f, false, true, 8.0f};
  EXPECT_TRUE(seven.SameValues(expected));
}

// A value that is not a number ends the reading: it and every later value keep what they
// held. Any white space separates values.
TEST(Settings, UnparsableValueStopsReading) {
  ZR_Vis3DSettings changed;
  ChangeEverything(changed);
  const std::vector<std::string> changedLines = Lines(changed.Text());
  const std::vector<std::string> defaultLines = Lines(kDefaultFile);
  const struct {
    int line;
    const char* token;
  } cases[] = {{1, "abc"}, {3, "0,5"}, {8, "x"}, {13, "999999999999999999999"},
               {8, "1.5"}, {24, "nan"}, {26, "inf"}, {30, "--1"}};
  for (const auto& c : cases) {
    std::vector<std::string> lines = changedLines;
    lines[c.line - 1] = c.token;
    std::string text;
    for (const std::string& l : lines) text += l + "\t \r\n";
    ZR_Vis3DSettings read;
    read.ReadText(text);
    const std::vector<std::string> got = Lines(read.Text());
    for (int i = 0; i < ZR_Vis3DSettings::kValueCount; ++i) {
      EXPECT_EQ(got[i], i < c.line - 1 ? changedLines[i] : defaultLines[i])
          << "bad line " << c.line << " '" << c.token << "', line " << i + 1;
    }
  }
}

// A number outside its field's range keeps the field's value and reading goes on: frame
// rate 0, down-sampling 16 or final quality 99 would reach a division or a loop bound.
TEST(Settings, OutOfRangeValueKeepsItsFieldAndReadingGoesOn) {
  const ZR_Vis3DSettings defaults;
  const struct {
    int line;
    const char* value;
    std::function<bool(const ZR_Vis3DSettings&)> keptDefault;
  } cases[] = {
      {1, "2", [](const auto& s) { return s.CutPlane().showCutPlane; }},
      {3, "-0.5", [](const auto& s) { return s.CutPlane().red == 0.0f; }},
      {6, "1.5", [](const auto& s) { return s.CutPlane().opacity == 0.2f; }},
      {7, "0", [](const auto& s) { return s.CutPlane().slabWidth == 20.0f; }},
      {7, "1e30", [](const auto& s) { return s.CutPlane().slabWidth == 20.0f; }},
      {8, "7", [](const auto& s) { return s.Display().labelMode == 0; }},
      {13, "101", [](const auto& s) { return s.Avi().quality == 100; }},
      {13, "99999999999", [](const auto& s) { return s.Avi().quality == 100; }},
      {14, "0", [](const auto& s) { return s.Avi().frameRate == 5; }},
      {14, "31", [](const auto& s) { return s.Avi().frameRate == 5; }},
      {15, "-1", [](const auto& s) { return s.Avi().compressor == 1684633187u; }},
      {15, "4294967296", [](const auto& s) { return s.Avi().compressor == 1684633187u; }},
      {18, "5", [](const auto& s) { return s.Renderer().interactionQuality == 0; }},
      {19, "99", [](const auto& s) { return s.Renderer().finalQuality == 2; }},
      {20, "16", [](const auto& s) { return s.Renderer().downsampling == 1; }},
      {20, "3", [](const auto& s) { return s.Renderer().downsampling == 1; }},
      {20, "0", [](const auto& s) { return s.Renderer().downsampling == 1; }},
      {23, "2", [](const auto& s) { return s.Renderer().mprDisplayMode == 0; }},
      {24, "0.5", [](const auto& s) { return s.Renderer().brightness == 2.0f; }},
      {25, "4.5", [](const auto& s) { return s.Renderer().contrast == 2.5f; }},
      {26, "33", [](const auto& s) { return s.Renderer().glossiness == 16.0f; }},
      {27, "-1", [](const auto& s) { return s.Region().maxDifferenceFromSeed == 1000; }},
      {29, "70000", [](const auto& s) { return s.Region().minIntensity == 150; }},
  };
  for (const auto& c : cases) {
    // The last line is changed too, to see that reading went on past the bad value.
    std::string text = DefaultWith(c.line, c.value);
    text.replace(text.size() - 2, 1, "1");
    ZR_Vis3DSettings s;
    s.ReadText(text);
    EXPECT_TRUE(c.keptDefault(s)) << "line " << c.line << " = " << c.value;
    EXPECT_TRUE(s.Region().invertSelection) << "line " << c.line << " = " << c.value;
  }
  // In range, each of those fields takes the value.
  ZR_Vis3DSettings s;
  s.ReadText(DefaultWith(20, "4"));
  EXPECT_EQ(s.Renderer().downsampling, 4);
  s.ReadText(DefaultWith(14, "30"));
  EXPECT_EQ(s.Avi().frameRate, 30);
  EXPECT_TRUE(defaults.SameValues(ZR_Vis3DSettings()));
}

TEST(Settings, AssignCopiesEveryFieldButThePathAndSetDefaultsKeepsThePath) {
  ZR_Vis3DSettings source("/nonexistent/a.stg");
  ChangeEverything(source);
  source.Performance().skipThreshold = 9;
  source.Performance().opacityThreshold = 0.3f;
  ZR_Vis3DSettings target("/nonexistent/b.stg");
  target.Assign(source);
  EXPECT_TRUE(target.SameValues(source));
  EXPECT_EQ(target.Performance().skipThreshold, 9);
  EXPECT_EQ(target.Path(), "/nonexistent/b.stg");
  target.SetDefaults();
  EXPECT_TRUE(target.SameValues(ZR_Vis3DSettings()));
  EXPECT_EQ(target.Path(), "/nonexistent/b.stg");
}

// The file is replaced only once the new contents are complete: a write that fails half-way
// (here: the file size limit, as on a full disk) keeps the previous file and leaves no
// temporary behind.
TEST(Settings, FailedWriteKeepsThePreviousFile) {
  const fs::path dir = ZR_TestData::ScratchDir("settings_failed_write");
  const std::string path = (dir / ZR_Vis3DSettings::kFileName).string();
  ZR_Vis3DSettings settings(path);
  ChangeEverything(settings);
  ASSERT_TRUE(settings.Write());
  const std::string previous = ZR_TestData::ReadText(path);

  settings.SetDefaults();
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto* oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 16;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool written = settings.Write();
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_FALSE(written);
  EXPECT_EQ(ZR_TestData::ReadText(path), previous);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);

  settings.SetPath((dir / "missing" / "s.stg").string());
  EXPECT_FALSE(settings.Write());
}

TEST(Settings, FileUsesADecimalPointWhateverTheProcessLocale) {
  const fs::path dir = ZR_TestData::ScratchDir("settings_locale");
  const std::string path = (dir / "s.stg").string();
  ZR_Vis3DSettings settings(path);
  settings.CutPlane().slabWidth = 12.5f;
  ZR_Vis3DSettings read(path);
  {
    ZR_GermanNumericLocale german;
    if (!german.HasCLocale()) std::cout << "[ NOTE     ] " << german.kMissingMessage << "\n";
    ASSERT_TRUE(settings.Write());
    ASSERT_TRUE(read.Read());
  }
  EXPECT_EQ(ZR_TestData::ReadText(path), DefaultWith(7, "12.5"));
  EXPECT_EQ(read.CutPlane().opacity, 0.2f);
  EXPECT_EQ(read.CutPlane().slabWidth, 12.5f);
  EXPECT_EQ(read.Renderer().contrast, 2.5f);
}
