// Text values come out as UTF-8 whatever the file's Specific Character Set, and are written back
// in the declared set when it can hold them.
#include <gtest/gtest.h>

#include <cstring>

#include "dicom/ZR_DcmCharset.h"
#include "dicom/ZR_DcmDataSet.h"
#include "dicom/ZR_DcmImages.h"
#include "dicom/ZR_DcmParser.h"
#include "tests/dicom/ZR_DicomFixtures.h"
#include "tests/support/ZR_TestData.h"

namespace {
std::string PatientNameOf(const std::filesystem::path& file) {
  const std::vector<uint8_t> bytes = ZR_DicomFixtures::Load(file);
  std::shared_ptr<uint8_t[]> buffer(new uint8_t[bytes.size()]);
  std::memcpy(buffer.get(), bytes.data(), bytes.size());
  const ZR_DcmParser::Result r = ZR_DcmParser::Parse(buffer, bytes.size());
  const ZR_DcmDataSet::Element* e = r.data.Find(ZR_DcmDataSet::Tag(0x0010, 0x0010));
  return e ? r.data.TextOf(*e) : "(none)";
}
}  // namespace

// The character-set files of pydicom's test data, with the names their documentation gives.
TEST(ZR_DcmCharset, RealFilesDecodeToUtf8) {
  LMX_REQUIRE_DATA(dir, "files/pydicom/charset_files");
  const struct {
    const char* file;
    const char* name;
  } cases[] = {
      {"chrFren.dcm", "Buc^Jérôme"},                                 // ISO_IR 100
      {"chrGerm.dcm", "Äneas^Rüdiger"},                              // ISO_IR 100
      {"chrX1.dcm", "Wang^XiaoDong=王^小東="},                       // ISO_IR 192
      {"chrRuss.dcm", "Люкceмбypг"},                                 // ISO_IR 144
      {"chrGreek.dcm", "Διονυσιος"},                                 // ISO_IR 126
      {"chrHbrw.dcm", "שרון^דבורה"},                                 // ISO_IR 138
      {"chrArab.dcm", "قباني^لنزار"},                                // ISO_IR 127
      {"chrX2.dcm", "Wang^XiaoDong=王^小东="},                       // GB18030
      {"chrH31.dcm", "Yamada^Tarou=山田^太郎=やまだ^たろう"},        // ISO 2022 IR 87
      {"chrH32.dcm", "ﾔﾏﾀﾞ^ﾀﾛｳ=山田^太郎=やまだ^たろう"},              // ISO 2022 IR 13 + 87
      {"chrI2.dcm", "Hong^Gildong=洪^吉洞=홍^길동"},                 // ISO 2022 IR 149
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    EXPECT_EQ(PatientNameOf(dir / c.file), c.name);
  }
}

TEST(ZR_DcmCharset, UndeclaredBytesReadAsUtf8WhenTheyFormItElseLatin1) {
  const ZR_DcmCharset none;
  EXPECT_EQ(none.ToUtf8("J\xC3\xA9r\xC3\xB4me", true), "Jérôme");
  EXPECT_EQ(none.ToUtf8("J\xE9r\xF4me", true), "Jérôme");
}

TEST(ZR_DcmCharset, EncodesIntoTheDeclaredSetOrRefuses) {
  std::string bytes;
  EXPECT_TRUE(ZR_DcmCharset("ISO_IR 100").FromUtf8("Jérôme", bytes));
  EXPECT_EQ(bytes, "J\xE9r\xF4me");
  EXPECT_FALSE(ZR_DcmCharset("ISO_IR 100").FromUtf8("王", bytes));
  EXPECT_TRUE(ZR_DcmCharset("ISO_IR 192").FromUtf8("王", bytes));
  EXPECT_EQ(bytes, "王");
}

TEST(ZR_DcmCharset, WrittenTextKeepsItsCharactersAndTheFileSaysHow) {
  struct Case {
    const char* declared;  // nullptr: none added
    const char* name;
    const char* expectedSet;
    const char* expectedBytes;
  };
  const Case cases[] = {
      {"ISO_IR 100", "Buc^Jérôme", "ISO_IR 100", "Buc^J\xE9r\xF4me"},
      {"ISO_IR 100", "Wang^王", "ISO_IR 192", "Wang^\xE7\x8E\x8B"},  // Latin-1 cannot hold it
      {nullptr, "Buc^Jérôme", "ISO_IR 192", "Buc^J\xC3\xA9r\xC3\xB4me"},
      {nullptr, "Plain^Ascii", nullptr, "Plain^Ascii"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ZR_DcmImage image = ZR_DicomFixtures::Image({.values = std::vector<int32_t>(16, 0)});
    if (c.declared) image.Attributes().Add(0x0008, 0x0005, c.declared);
    image.SetName(c.name);
    const std::vector<uint8_t> file = image.Encode();
    ZR_DcmImages images;
    images.ReadBuffer(file.data(), file.size(), "charset");
    ZR_DcmImage& back = *images.Item(1);
    EXPECT_EQ(back.Name(), c.name);
    const ZR_DcmAttribute set = back.Attributes().Item(0x0008, 0x0005);
    EXPECT_EQ(set.Exists(), c.expectedSet != nullptr);
    if (c.expectedSet) {
      EXPECT_EQ(set.Value().AsText(), c.expectedSet);
    }
    const ZR_DcmDataSet::Element* raw = back.DataSet().Find(ZR_DcmDataSet::Tag(0x0010, 0x0010));
    ASSERT_NE(raw, nullptr);
    std::string stored(raw->Text());
    while (!stored.empty() && stored.back() == ' ') stored.pop_back();
    EXPECT_EQ(stored, c.expectedBytes);
  }
}

// Declaring a new set on an image read in another keeps the text it already holds.
TEST(ZR_DcmCharset, ChangingTheSetKeepsExistingText) {
  ZR_DcmImage image = ZR_DicomFixtures::Image({.values = std::vector<int32_t>(16, 0)});
  image.Attributes().Add(0x0008, 0x0005, "ISO_IR 100");
  image.SetName("Buc^Jérôme");
  const std::vector<uint8_t> file = image.Encode();
  ZR_DcmImages images;
  images.ReadBuffer(file.data(), file.size(), "charset");
  ZR_DcmImage& back = *images.Item(1);
  back.Attributes().Add(0x0008, 0x0005, "ISO_IR 192");
  EXPECT_EQ(back.Name(), "Buc^Jérôme");
}
