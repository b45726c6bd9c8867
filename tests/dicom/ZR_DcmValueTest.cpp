// Values in and out of elements: conversions between kinds and the bytes each representation
// gets, checked through a write and a read so that both directions meet.
#include <gtest/gtest.h>

#include "dicom/ZR_DcmDataSet.h"
#include "dicom/ZR_DcmError.h"
#include "dicom/ZR_DcmImages.h"
#include "dicom/ZR_DcmValue.h"
#include "dicom/ZR_DcmValueCodec.h"
#include "tests/dicom/ZR_DicomFixtures.h"

namespace {
using Kind = ZR_DcmValue::Kind;

ZR_DcmImage RoundTrip(ZR_DcmImage& image, ZR_DcmImage::Syntax syntax = ZR_DcmImage::Syntax::ExplicitLittle) {
  const std::vector<uint8_t> bytes = image.Encode(syntax);
  ZR_DcmImages images;
  images.ReadBuffer(bytes.data(), bytes.size(), "round trip");
  return *images.Item(1);
}
}  // namespace

TEST(ZR_DcmValue, ConvertsBetweenKindsLikeAVariant) {
  EXPECT_EQ(ZR_DcmValue(120.0).AsText(), "120");
  EXPECT_EQ(ZR_DcmValue(0.9570312).AsText(), "0.9570312");
  EXPECT_EQ(ZR_DcmValue(std::vector<double>{0.5, 0.8}).AsText(), "0.5\\0.8");
  EXPECT_DOUBLE_EQ(ZR_DcmValue(" 4000 ").AsNumber(), 4000.0);
  EXPECT_EQ(ZR_DcmValue("0.5\\0.8").AsNumbers(), (std::vector<double>{0.5, 0.8}));
  EXPECT_EQ(ZR_DcmValue(ZR_DcmValue::Date{2010, 6, 28}).AsText(), "2010-06-28");
  EXPECT_EQ(ZR_DcmValue("20100628").AsDate(), (ZR_DcmValue::Date{2010, 6, 28}));
  EXPECT_EQ(ZR_DcmValue("2010.06.28").AsDate(), (ZR_DcmValue::Date{2010, 6, 28}));
  EXPECT_EQ(ZR_DcmValue("143005.25").AsTime(), (ZR_DcmValue::Time{14, 30, 5, 250000}));
}

TEST(ZR_DcmValue, ImpossibleConversionsRaiseNamingTheElement) {
  ZR_DcmValue text("1A");
  text.SetOrigin("(0028,0008)");
  try {
    (void)text.AsNumber();
    FAIL() << "no error";
  } catch (const ZR_DcmError& e) {
    EXPECT_STREQ(e.what(), "(0028,0008): value '1A' is not a number");
  }
  EXPECT_THROW((void)ZR_DcmValue().AsNumber(), ZR_DcmError);
  EXPECT_THROW((void)ZR_DcmValue(std::vector<double>{1, 2}).AsNumber(), ZR_DcmError);
  EXPECT_THROW((void)ZR_DcmValue("2010-13-01").AsDate(), ZR_DcmError);
}

// Each representation: what a caller adds comes back as the kind a reader expects, in every
// encoding the component writes (big endian swaps the binary ones).
TEST(ZR_DcmValue, AddedValuesComeBackInEveryEncoding) {
  struct Case {
    uint16_t group, element;
    ZR_DcmValue added;
    ZR_DcmValue expected;
  };
  const Case cases[] = {
      {0x0028, 0x0010, ZR_DcmValue(512), ZR_DcmValue(512)},                       // US
      {0x0028, 0x0106, ZR_DcmValue(5), ZR_DcmValue(5)},                           // US or SS
      {0x0018, 0x0050, ZR_DcmValue("1.25"), ZR_DcmValue(1.25)},                   // DS from text
      {0x0028, 0x0030, ZR_DcmValue(std::vector<double>{0.5, 0.8}), ZR_DcmValue(std::vector<double>{0.5, 0.8})},
      {0x0018, 0x1151, ZR_DcmValue(250.4), ZR_DcmValue(250)},                     // IS rounds
      {0x0018, 0x9087, ZR_DcmValue(1000.5), ZR_DcmValue(1000.5)},                 // FD
      {0x0008, 0x0020, ZR_DcmValue(ZR_DcmValue::Date{2010, 6, 28}), ZR_DcmValue(ZR_DcmValue::Date{2010, 6, 28})},
      {0x0008, 0x0030, ZR_DcmValue(ZR_DcmValue::Time{14, 3, 55, 0}), ZR_DcmValue("140355.000000")},
      {0x0010, 0x0010, ZR_DcmValue("Müller^Jörg"), ZR_DcmValue("Müller^Jörg")},
      {0x0008, 0x0008, ZR_DcmValue("DERIVED\\SECONDARY\\MPR"), ZR_DcmValue("DERIVED\\SECONDARY\\MPR")},
      {0x0020, 0x0010, ZR_DcmValue(), ZR_DcmValue()},                              // empty
  };
  for (auto syntax : {ZR_DcmImage::Syntax::ExplicitLittle, ZR_DcmImage::Syntax::ImplicitLittle,
                      ZR_DcmImage::Syntax::ExplicitBig, ZR_DcmImage::Syntax::Deflated}) {
    ZR_DcmImage image = ZR_DicomFixtures::Image({.values = std::vector<int32_t>(16, 7)});
    for (const Case& c : cases) image.Attributes().Add(c.group, c.element, c.added);
    ZR_DcmImage back = RoundTrip(image, syntax);
    for (const Case& c : cases) {
      SCOPED_TRACE(ZR_DcmDataSet::TagName(ZR_DcmDataSet::Tag(c.group, c.element)) + " syntax " +
                   std::to_string(static_cast<int>(syntax)));
      ASSERT_TRUE(back.Attributes().Item(c.group, c.element).Exists());
      EXPECT_EQ(back.Attributes().Item(c.group, c.element).Value(), c.expected);
    }
  }
}

TEST(ZR_DcmValue, ValuesARepresentationCannotHoldRaise) {
  ZR_DcmImage image;
  EXPECT_THROW(image.Attributes().Add(0x0028, 0x0010, 70000), ZR_DcmError);   // US
  EXPECT_THROW(image.Attributes().Add(0x0028, 0x0010, "many"), ZR_DcmError);  // not a number
  EXPECT_THROW(image.Attributes().Add(0x0002, 0x0010, "1.2"), ZR_DcmError);   // meta is ours
  EXPECT_FALSE(image.Attributes().Item(0x0028, 0x0010).Exists());
}

TEST(ZR_DcmValue, AbsentElementsExistNotAndRaiseOnValue) {
  ZR_DcmImage image;
  const ZR_DcmAttribute a = image.Attributes().Item(0x0018, 0x1314);
  EXPECT_FALSE(a.Exists());
  try {
    (void)a.Value();
    FAIL() << "no error";
  } catch (const ZR_DcmError& e) {
    EXPECT_STREQ(e.what(), "element (0018,1314) is missing");
  }
}

TEST(ZR_DcmValue, LongDecimalsAreShortenedToSixteenCharacters) {
  ZR_DcmImage image = ZR_DicomFixtures::Image({.values = std::vector<int32_t>(16, 0)});
  image.Attributes().Add(0x0018, 0x0050, 1.0 / 3.0);
  const ZR_DcmDataSet::Element* e = image.DataSet().Find(ZR_DcmDataSet::Tag(0x0018, 0x0050));
  ASSERT_NE(e, nullptr);
  EXPECT_LE(e->bytes.size(), 16u);
  EXPECT_NEAR(RoundTrip(image).Attributes().Item(0x0018, 0x0050).Value().AsNumber(), 1.0 / 3.0, 1e-12);
}
