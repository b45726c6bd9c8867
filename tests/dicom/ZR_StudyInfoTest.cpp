// Study information: the lines of an MR and a CT study, their places in the view's corners, the
// messages for missing elements (through the GUI contract) and the study summary text.
#include <gtest/gtest.h>

#include "dicom/ZR_DcmError.h"
#include "dicom/ZR_StudyInfo.h"
#include "tests/dicom/ZR_DicomFixtures.h"
#include "tests/support/ZR_RecordingVisGui.h"
#include "tests/support/ZR_TestData.h"

namespace fs = std::filesystem;

namespace {
constexpr float c = ZR_StudyInfo::kCharWidth;

std::vector<std::string> Texts(const ZR_StudyInfo& info) {
  std::vector<std::string> texts;
  for (const ZR_StudyAttribute& a : info.Attributes()) texts.push_back(a.text);
  return texts;
}

// A study file with every element the lines use; `drop` lists elements to leave out.
fs::path StudyFile(const std::string& name, const std::string& modality,
                   std::vector<std::pair<uint16_t, uint16_t>> drop = {}) {
  ZR_DcmImage image = ZR_DicomFixtures::Image({.values = std::vector<int32_t>(16, 0)});
  ZR_DcmElements a = image.Attributes();
  image.SetName("Doe^Jane");
  a.Add(0x0010, 0x0040, "F");
  image.SetStudyDescription("Head");
  a.Add(0x0008, 0x0020, ZR_DcmValue(ZR_DcmValue::Date{2010, 6, 28}));
  a.Add(0x0008, 0x0080, "General Hospital");
  a.Add(0x0008, 0x0070, "Maker");
  a.Add(0x0008, 0x1090, "Model 7");
  a.Add(0x0008, 0x0060, modality);
  a.Add(0x0018, 0x0024, "SE2D");
  a.Add(0x0018, 0x0080, 4000);
  a.Add(0x0018, 0x0081, 12.5);
  a.Add(0x0018, 0x1314, 90);
  a.Add(0x0018, 0x0087, 1.5);
  a.Add(0x0018, 0x0060, 120);
  a.Add(0x0018, 0x1151, 250);
  a.Add(0x0010, 0x1010, "042Y");
  for (auto [g, e] : drop) a.Remove(g, e);
  const fs::path path = ZR_TestData::ScratchDir("study_" + name) / "study.dcm";
  image.WriteFile(path.string());
  return path;
}
}  // namespace

TEST(ZR_StudyInfo, MrStudyFillsThreeCorners) {
  ZR_RecordingVisGui gui;
  const ZR_StudyInfo info = ZR_StudyInfo::CreateStudyInfo(StudyFile("mr", "MR").string(), gui);
  EXPECT_EQ(Texts(info), (std::vector<std::string>{"Doe^Jane", "F", "Head", "2010-06-28", "General Hospital", "Maker",
                                                   "Model 7", "SE2D", "RT: 4000.00", "ET: 12.50", "FA: 90.00",
                                                   "FS: 1.50"}));
  EXPECT_TRUE(gui.Messages().empty());
  ASSERT_EQ(info.Count(), 12);
  // Top left, top right (right-aligned), bottom left.
  EXPECT_FLOAT_EQ(info.Item(0).x, c);
  EXPECT_FLOAT_EQ(info.Item(0).y, 1.0f - 0.03f);
  EXPECT_FLOAT_EQ(info.Item(3).y, 1.0f - 3 * 0.02f - 0.03f);
  EXPECT_FLOAT_EQ(info.Item(4).x, 1.0f - c - c * 16);  // "General Hospital"
  EXPECT_FLOAT_EQ(info.Item(4).y, 1.0f - 0.03f);
  EXPECT_FLOAT_EQ(info.Item(7).y, 1.0f - 3 * 0.02f - 0.03f);
  EXPECT_FLOAT_EQ(info.Item(8).x, c);
  EXPECT_FLOAT_EQ(info.Item(8).y, 0.03f);
  EXPECT_FLOAT_EQ(info.Item(11).y, 3 * 0.02f + 0.03f);
}

TEST(ZR_StudyInfo, CtStudyGivesEightLinesAndNothingAtTheBottom) {
  ZR_RecordingVisGui gui;
  const ZR_StudyInfo info = ZR_StudyInfo::CreateStudyInfo(StudyFile("ct", "CT").string(), gui);
  ASSERT_EQ(info.Count(), 8);
  EXPECT_EQ(info.Item(7).text, "120KVP, 250mA");
  EXPECT_FLOAT_EQ(info.Item(7).x, 1.0f - c - c * 13);
  for (const ZR_StudyAttribute& a : info.Attributes()) EXPECT_GT(a.y, 0.5f);
  EXPECT_TRUE(gui.Messages().empty());
}

TEST(ZR_StudyInfo, MissingElementsShowTheirMessagesAndLeaveFewerLines) {
  const struct {
    const char* name;
    const char* modality;
    std::vector<std::pair<uint16_t, uint16_t>> drop;
    std::vector<std::string> messages;
    std::vector<std::string> lines;
  } cases[] = {
      {"flip", "MR", {{0x0018, 0x1314}}, {"Flip Angle is missing...!"},
       {"Doe^Jane", "F", "Head", "2010-06-28", "General Hospital", "Maker", "Model 7", "SE2D", "RT: 4000.00",
        "ET: 12.50", "FS: 1.50"}},
      {"mrall", "MR", {{0x0018, 0x0024}, {0x0018, 0x0080}, {0x0018, 0x0081}, {0x0018, 0x0087}},
       {"Sequence Name is missing...!", "Repetition time is missing...!", "Echo time is missing...!",
        "Magnetic Field Strength is missing...!"},
       {"Doe^Jane", "F", "Head", "2010-06-28", "General Hospital", "Maker", "Model 7", "FA: 90.00"}},
      {"institution", "CT", {{0x0008, 0x0080}}, {"Some of the tags are missing...!"},
       {"Doe^Jane", "F", "Head", "2010-06-28", "120KVP, 250mA"}},
      // Without the voltage the line holds the current alone.
      {"kvp", "CT", {{0x0018, 0x0060}}, {"Tube Voltage is missing...!"},
       {"Doe^Jane", "F", "Head", "2010-06-28", "General Hospital", "Maker", "Model 7", "250mA"}},
      {"current", "CT", {{0x0018, 0x1151}}, {"Tube Current is missing...!"},
       {"Doe^Jane", "F", "Head", "2010-06-28", "General Hospital", "Maker", "Model 7"}},
      {"both", "CT", {{0x0018, 0x0060}, {0x0018, 0x1151}}, {"Tube Voltage is missing...!", "Tube Current is missing...!"},
       {"Doe^Jane", "F", "Head", "2010-06-28", "General Hospital", "Maker", "Model 7"}},
  };
  for (const auto& t : cases) {
    SCOPED_TRACE(t.name);
    ZR_RecordingVisGui gui;
    const ZR_StudyInfo info = ZR_StudyInfo::CreateStudyInfo(StudyFile(t.name, t.modality, t.drop).string(), gui);
    EXPECT_EQ(gui.Messages(), t.messages);
    EXPECT_EQ(Texts(info), t.lines);
  }
}

// The 11-line MR: the field strength takes the flip angle's place at the bottom left.
TEST(ZR_StudyInfo, LinesMoveUpInThePlacementOrder) {
  ZR_RecordingVisGui gui;
  const ZR_StudyInfo info =
      ZR_StudyInfo::CreateStudyInfo(StudyFile("flip2", "MR", {{0x0018, 0x1314}}).string(), gui);
  ASSERT_EQ(info.Count(), 11);
  EXPECT_EQ(info.Item(10).text, "FS: 1.50");
  EXPECT_FLOAT_EQ(info.Item(10).x, c);
  EXPECT_FLOAT_EQ(info.Item(10).y, 2 * 0.02f + 0.03f);
}

TEST(ZR_StudyInfo, PlacementRuleForEachCorner) {
  std::vector<std::string> lines;
  for (int i = 0; i < 16; ++i) lines.push_back(std::string(10, static_cast<char>('a' + i)));
  const ZR_StudyInfo mr(lines, 0);
  ASSERT_EQ(mr.Count(), 16);
  EXPECT_FLOAT_EQ(mr.Item(5).x, 1.0f - 11 * c);  // a right-aligned line of 10 characters
  EXPECT_FLOAT_EQ(mr.Item(12).x, 1.0f - 11 * c);
  EXPECT_FLOAT_EQ(mr.Item(15).y, 3 * 0.02f + 0.03f);
  const ZR_StudyInfo ct(lines, 1);
  ASSERT_EQ(ct.Count(), 12);
  EXPECT_FLOAT_EQ(ct.Item(8).x, c);
  EXPECT_FLOAT_EQ(ct.Item(8).y, 0.03f);
  EXPECT_FLOAT_EQ(ct.Item(9).x, 1.0f - 11 * c);
  EXPECT_FLOAT_EQ(ct.Item(9).y, 0.03f);
  EXPECT_FLOAT_EQ(ct.Item(11).y, 2 * 0.02f + 0.03f);
  // Characters, not bytes: "Jérôme" is six wide.
  const ZR_StudyInfo accents({"0", "1", "2", "3", "Jérôme"}, 1);
  EXPECT_FLOAT_EQ(accents.Item(4).x, 1.0f - 7 * c);
}

TEST(ZR_StudyInfo, NoFileOrNoImageGivesNothingAndNoMessage) {
  const fs::path dir = ZR_TestData::ScratchDir("study_none");
  ZR_RecordingVisGui gui;
  EXPECT_EQ(ZR_StudyInfo::CreateStudyInfo((dir / "missing.dcm").string(), gui).Count(), 0);
  ZR_DcmImage report;
  report.SetSOPClass("1.2.840.10008.5.1.4.1.1.88.11");
  report.SetName("No^Pixels");
  report.WriteFile((dir / "report.dcm").string());
  EXPECT_EQ(ZR_StudyInfo::CreateStudyInfo((dir / "report.dcm").string(), gui).Count(), 0);
  ZR_DicomFixtures::Save(dir / "junk.dcm", std::vector<uint8_t>(200, 'j'));
  EXPECT_EQ(ZR_StudyInfo::CreateStudyInfo((dir / "junk.dcm").string(), gui).Count(), 0);
  EXPECT_TRUE(gui.calls.empty());
}

TEST(ZR_StudyInfo, RealMrAndCtFiles) {
  LMX_REQUIRE_DATA(dir, "files/pydicom");
  ZR_RecordingVisGui gui;
  const ZR_StudyInfo ct = ZR_StudyInfo::CreateStudyInfo((dir / "CT_small.dcm").string(), gui);
  EXPECT_EQ(Texts(ct), (std::vector<std::string>{"CompressedSamples^CT1", "O", "e+1", "2004-01-19", "JFK IMAGING CENTER",
                                                 "GE MEDICAL SYSTEMS", "RHAPSODE", "120KVP, 170mA"}));
  EXPECT_TRUE(gui.Messages().empty());
  const ZR_StudyInfo mr = ZR_StudyInfo::CreateStudyInfo((dir / "MR_small.dcm").string(), gui);
  EXPECT_EQ(Texts(mr), (std::vector<std::string>{"CompressedSamples^MR1", "F", "", "2004-08-26", "TOSHIBA", "TOSHIBA_MEC",
                                                 "MRT50H1", "RT: 4000.00", "ET: 240.00", "FA: 90.00"}));
  EXPECT_EQ(gui.Messages(), (std::vector<std::string>{"Sequence Name is missing...!", "Magnetic Field Strength is missing...!"}));
  EXPECT_FLOAT_EQ(mr.Item(7).x, 1.0f - c - c * 11);  // "RT: 4000.00" at the top right
}

TEST(ZR_StudyInfo, StudyTextHoldsTheSevenLines) {
  const fs::path file = StudyFile("text", "CT");
  const fs::path text = file.parent_path() / "movie.txt";
  ZR_DicomFixtures::Save(text, std::vector<uint8_t>(3, 'x'));  // replaced
  ASSERT_TRUE(ZR_StudyInfo::WriteStudyText(file.string(), text.string()));
  const std::vector<uint8_t> bytes = ZR_DicomFixtures::Load(text);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
            "Patient Name: Doe^Jane\nSex: F\nAge: 042Y\nStudy Instance UID: 1.2.3.4\nSeries Instance UID: 1.2.3.4.5\n"
            "Study Description: Head\nStudy Date: 2010-06-28\n");
  // A file without an age still gets its summary, with the line empty.
  const fs::path noAge = StudyFile("text_noage", "CT", {{0x0010, 0x1010}});
  ASSERT_TRUE(ZR_StudyInfo::WriteStudyText(noAge.string(), text.string()));
  const std::vector<uint8_t> second = ZR_DicomFixtures::Load(text);
  EXPECT_NE(std::string(second.begin(), second.end()).find("\nAge: \n"), std::string::npos);
}

TEST(ZR_StudyInfo, StudyTextFailures) {
  const fs::path file = StudyFile("text_fail", "CT");
  const fs::path dir = file.parent_path();
  EXPECT_FALSE(ZR_StudyInfo::WriteStudyText((dir / "missing.dcm").string(), (dir / "a.txt").string()));
  EXPECT_FALSE(ZR_StudyInfo::WriteStudyText(file.string(), (dir / "no-folder" / "a.txt").string()));
  ZR_DicomFixtures::Save(dir / "junk.dcm", std::vector<uint8_t>(200, 'j'));
  EXPECT_THROW((void)ZR_StudyInfo::WriteStudyText((dir / "junk.dcm").string(), (dir / "b.txt").string()), ZR_DcmError);
  EXPECT_FALSE(fs::exists(dir / "a.txt"));
  EXPECT_FALSE(fs::exists(dir / "b.txt"));
}
