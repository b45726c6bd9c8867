// Colour and window preset files of the lookup table.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "presets/ZR_Lut.h"
#include "tests/support/ZR_GermanNumericLocale.h"
#include "tests/support/ZR_TestData.h"

namespace fs = std::filesystem;

namespace {
const float kColours[5][4] = {{0, 0, 0, 0},
                              {127 / 255.0f, 0, 25 / 255.0f, 20 / 255.0f},
                              {229 / 255.0f, 229 / 255.0f, 38 / 255.0f, 211 / 255.0f},
                              {1, 1, 0, 1},
                              {1, 1, 1, 1}};
const uint16_t kEdges[4] = {600, 1100, 1300, 2000};

// CT of -1024..3071 HU (raw 0..4095, intercept -1024), preset class 0.
void SetCt(ZR_Lut& lut) {
  lut.SetValueMapping(1.0f, -1024);
  lut.SetRawRange(0, 4095);
  lut.SetIndexScale(4095);
  lut.SetPresetClass(0);
}

// Everything a failed read must leave as it was.
struct LutState {
  std::vector<uint16_t> edges;
  std::vector<float> colours;
  ZR_Window grey, opacity;
  bool operator==(const LutState&) const = default;
};
LutState StateOf(const ZR_Lut& lut) {
  return {{lut.BandEdges(), lut.BandEdges() + 4},
          {lut.BandColours(), lut.BandColours() + 20},
          lut.GreyWindow(),
          lut.OpacityWindow()};
}

void EdgeValues(const ZR_Lut& lut, const uint16_t* edges, int32_t values[4]) {
  for (int i = 0; i < 4; ++i) values[i] = lut.RoundedValue(edges[i]);
}
}  // namespace

TEST(LutFiles, ColourPresetTextIsTheDocumentedFormat) {
  ZR_Lut lut;
  SetCt(lut);
  int32_t values[4];
  EdgeValues(lut, kEdges, values);
  EXPECT_EQ(lut.BandPresetText(values, kColours),
            "0\n5\n-424 76 276 976 \n0 0 0 0\n0.498039 0 0.0980392 0.0784314\n"
            "0.898039 0.898039 0.14902 0.827451\n1 1 0 1\n1 1 1 1\n");
  EXPECT_EQ(lut.WindowPresetText({400, 40}, {1500, -600}), "0\n400 40 1500 -600\n");
}

TEST(LutFiles, ColourPresetWrittenAndReadBackReproducesTheTable) {
  const fs::path dir = ZR_TestData::ScratchDir("lut_colour_round_trip");
  ZR_Lut saved;
  SetCt(saved);
  saved.BuildColourTable(kEdges, kColours, 3000);
  int32_t values[4];
  EdgeValues(saved, kEdges, values);
  ASSERT_TRUE(saved.WriteBandPreset((dir / "a.prs").string(), values, kColours));

  ZR_Lut loaded;
  SetCt(loaded);
  ASSERT_TRUE(loaded.ReadBandPreset((dir / "a.prs").string()));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(loaded.BandEdges()[i], kEdges[i]);
  float colours[5][4];
  std::copy_n(loaded.BandColours(), 20, &colours[0][0]);
  loaded.BuildColourTable(loaded.BandEdges(), colours, 3000);
  for (int i = 0; i < 4096 * 4; ++i)
    ASSERT_NEAR(loaded.ColourTable()[i], saved.ColourTable()[i], 1e-6) << i / 4;
}

// Saving rounds an edge to a data value and loading rounds it back to an index; with
// truncation both ways an edge lost about 4 indices per cycle on a range of 1000.
TEST(LutFiles, SaveLoadSaveGivesIdenticalFiles) {
  const struct {
    int32_t minimum, maximum;
    float slope;
    int32_t intercept;
  } ranges[] = {{0, 1000, 1.0f, 0}, {0, 4095, 1.0f, -1024}, {100, 1100, 2.0f, -1024},
                {-2048, 2047, 0.37f, 5}, {0, 37, 1.0f, 0}};
  const uint16_t edgeSets[][4] = {{1, 1023, 2047, 4094}, {123, 1000, 2222, 3333}, {0, 0, 17, 4095}};
  for (const auto& r : ranges) {
    for (const auto& edges : edgeSets) {
      ZR_Lut lut;
      lut.SetValueMapping(r.slope, r.intercept);
      lut.SetRawRange(r.minimum, r.maximum);
      int32_t values[4];
      EdgeValues(lut, edges, values);
      const std::string first = lut.BandPresetText(values, kColours);
      ASSERT_TRUE(lut.ReadBandPresetText(first));
      EdgeValues(lut, lut.BandEdges(), values);
      float colours[5][4];
      std::copy_n(lut.BandColours(), 20, &colours[0][0]);
      EXPECT_EQ(lut.BandPresetText(values, colours), first) << r.minimum << ".." << r.maximum;
    }
  }
}

TEST(LutFiles, DamagedColourPresetsChangeNothing) {
  const struct {
    const char* why;
    const char* text;
  } cases[] = {
      {"empty", ""},
      {"other preset class", "1\n5\n0 100 200 300 \n0 0 0 0\n0 0 0 0\n0 0 0 0\n0 0 0 0\n0 0 0 0\n"},
      {"nine bands", "0\n9\n0 1 2 3 4 5 6 7 \n" "0 0 0 0\n0 0 0 0\n0 0 0 0\n0 0 0 0\n0 0 0 0\n"
                     "0 0 0 0\n0 0 0 0\n0 0 0 0\n0 0 0 0\n"},
      {"four bands", "0\n4\n0 100 200 \n0 0 0 0\n0 0 0 0\n0 0 0 0\n0 0 0 0\n"},
      {"truncated edges", "0\n5\n0 100 200"},
      {"truncated colours", "0\n5\n0 100 200 300 \n0 0 0 0\n0 0 0 0\n0 0 0 0\n0 0 0 0\n0 0 0\n"},
      {"garbage", "0\n5\n0 100 abc 300 \n0 0 0 0\n0 0 0 0\n0 0 0 0\n0 0 0 0\n0 0 0 0\n"},
      {"huge edge",
       "0\n5\n0 100 99999999999 300 \n0 0 0 0\n0 0 0 0\n0 0 0 0\n0 0 0 0\n0 0 0 0\n"},
      {"colour above one", "0\n5\n0 100 200 300 \n0 0 0 0\n0 1.5 0 0\n0 0 0 0\n0 0 0 0\n0 0 0 0\n"},
      {"negative colour", "0\n5\n0 100 200 300 \n0 0 0 0\n0 0 0 0\n0 0 -0.1 0\n0 0 0 0\n0 0 0 0\n"},
      {"not a number", "0\n5\n0 100 200 300 \n0 0 0 0\n0 0 0 0\n0 0 nan 0\n0 0 0 0\n0 0 0 0\n"},
      {"comma decimal", "0\n5\n0 100 200 300 \n0 0 0 0\n0 0,5 0 0\n0 0 0 0\n0 0 0 0\n0 0 0 0\n"},
      {"edges out of order",
       "0\n5\n0 300 200 400 \n0 0 0 0\n0 0 0 0\n0 0 0 0\n0 0 0 0\n0 0 0 0\n"},
  };
  for (const auto& c : cases) {
    ZR_Lut lut;
    SetCt(lut);
    lut.BuildColourTable(kEdges, kColours, 3000);
    const LutState before = StateOf(lut);
    const std::vector<float> table(lut.ColourTable(), lut.ColourTable() + 4096 * 4);
    EXPECT_FALSE(lut.ReadBandPresetText(c.text)) << c.why;
    EXPECT_TRUE(StateOf(lut) == before) << c.why;
    EXPECT_EQ(std::vector<float>(lut.ColourTable(), lut.ColourTable() + 4096 * 4), table) << c.why;
    EXPECT_TRUE(lut.GuardsIntact()) << c.why;
  }
}

// An edge of -2000 HU on a -1024 volume once became index -976, stored as 64560.
TEST(LutFiles, EdgesOutsideTheDataAreClampedToTheTable) {
  ZR_Lut lut;
  SetCt(lut);
  ASSERT_TRUE(lut.ReadBandPresetText(
      "0\n5\n-2000 -1024 3071 9000\n0 0 0 0\n0 0 0 0\n0 0 0 0\n0 0 0 0\n0 0 0 0\n"));
  EXPECT_EQ(lut.BandEdges()[0], 0);
  EXPECT_EQ(lut.BandEdges()[1], 0);
  EXPECT_EQ(lut.BandEdges()[2], 4095);
  EXPECT_EQ(lut.BandEdges()[3], 4095);
}

TEST(LutFiles, WindowPresetsRoundTripAndDamagedOnesChangeNothing) {
  const fs::path dir = ZR_TestData::ScratchDir("lut_window_presets");
  ZR_Lut lut;
  SetCt(lut);
  ASSERT_TRUE(lut.WriteWindowPreset((dir / "lung.prs").string(), {1500, -600}, {800, -300}));
  EXPECT_EQ(ZR_TestData::ReadText(dir / "lung.prs"), "0\n1500 -600 800 -300\n");
  ASSERT_TRUE(lut.ReadWindowPreset((dir / "lung.prs").string()));
  EXPECT_EQ(lut.GreyWindow(), (ZR_Window{1500, -600}));
  EXPECT_EQ(lut.OpacityWindow(), (ZR_Window{800, -300}));

  const char* damaged[] = {"",         "1\n400 40 400 40\n", "0\n400 40 400\n",
                           "0\n-5 40 400 40\n", "0\n400 40 99999999999 40\n",
                           "0\n400 40 70000 40\n", "0\n400 x 400 40\n", "0\n400.5 40 400 40\n"};
  for (const char* text : damaged) {
    const LutState before = StateOf(lut);
    EXPECT_FALSE(lut.ReadWindowPresetText(text)) << text;
    EXPECT_TRUE(StateOf(lut) == before) << text;
  }
  EXPECT_FALSE(lut.ReadWindowPreset((dir / "missing.prs").string()));
  EXPECT_FALSE(lut.ReadBandPreset((dir / "missing.prs").string()));
}

TEST(LutFiles, AFileThatCannotBeWrittenReportsFalseAndLeavesNothing) {
  const fs::path dir = ZR_TestData::ScratchDir("lut_unwritable");
  ZR_Lut lut;
  int32_t values[4] = {0, 1, 2, 3};
  EXPECT_FALSE(lut.WriteBandPreset((dir / "no" / "such" / "dir.prs").string(), values, kColours));
  EXPECT_FALSE(lut.WriteWindowPreset((dir / "no" / "w.prs").string(), {1, 1}, {1, 1}));
  // A folder in the way of the file: the rename fails and the temporary is removed.
  fs::create_directory(dir / "taken.prs");
  EXPECT_FALSE(lut.WriteWindowPreset((dir / "taken.prs").string(), {1, 1}, {1, 1}));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST(LutFiles, NumbersUseADecimalPointWhateverTheProcessLocale) {
  const fs::path dir = ZR_TestData::ScratchDir("lut_locale");
  ZR_Lut lut;
  SetCt(lut);
  int32_t values[4];
  EdgeValues(lut, kEdges, values);
  std::string written;
  {
    ZR_GermanNumericLocale german;
    if (!german.HasCLocale()) std::cout << "[ NOTE     ] " << german.kMissingMessage << "\n";
    ASSERT_TRUE(lut.WriteBandPreset((dir / "de.prs").string(), values, kColours));
    written = ZR_TestData::ReadText(dir / "de.prs");
    ZR_TestData::WriteText(dir / "point.prs", "0\n5\n0 100 200 300 \n0 0 0 0\n0.5 0.25 0.125 1\n0 0 0 0\n0 0 0 0\n0 0 0 0\n");
    ASSERT_TRUE(lut.ReadBandPreset((dir / "point.prs").string()));
  }
  EXPECT_NE(written.find("0.498039 0 0.0980392 0.0784314\n"), std::string::npos) << written;
  EXPECT_EQ(written.find(','), std::string::npos) << written;
  EXPECT_EQ(lut.BandColours()[4], 0.5f);
  EXPECT_EQ(lut.BandColours()[6], 0.125f);
}
