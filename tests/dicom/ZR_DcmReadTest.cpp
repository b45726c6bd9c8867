// Reading files: every encoding the component writes reads back identically, pixels come out in
// host byte order, files without preamble or meta information are read, and bad input of every
// kind raises ZR_DcmError with a readable reason and adds nothing.
#include <gtest/gtest.h>

#include <cstring>

#include "dicom/ZR_DcmError.h"
#include "dicom/ZR_DcmImages.h"
#include "tests/dicom/ZR_DicomFixtures.h"
#include "tests/support/ZR_TestData.h"

namespace {
using Syntax = ZR_DcmImage::Syntax;
using Grey = ZR_DicomFixtures::Grey;

ZR_DcmImage Read(const std::vector<uint8_t>& bytes) {
  ZR_DcmImages images;
  images.ReadBuffer(bytes.data(), bytes.size(), "fixture");
  if (!images.Item(1)) throw ZR_DcmError("fixture: no image");
  return *images.Item(1);
}

// What reading `bytes` raises ("" when it does not).
std::string ErrorOf(const std::vector<uint8_t>& bytes, bool decode = true) {
  ZR_DcmImages images;
  try {
    images.ReadBuffer(bytes.data(), bytes.size(), "bad");
    if (decode && images.Item(1)) images.Item(1)->DecompressAll();
  } catch (const ZR_DcmError& e) {
    return e.what();
  }
  return "";
}

size_t MetaEnd(const std::vector<uint8_t>& file) {
  uint32_t groupLength = 0;
  std::memcpy(&groupLength, file.data() + 132 + 8, 4);
  return 132 + 12 + groupLength;
}

Grey Sample(int bitsStored, bool isSigned, std::vector<int32_t> values) {
  Grey g;
  g.rows = 2;
  g.columns = static_cast<int32_t>(values.size() / 2);
  g.bitsStored = bitsStored;
  g.isSigned = isSigned;
  g.values = std::move(values);
  return g;
}
}  // namespace

TEST(ZR_DcmRead, EveryWrittenEncodingReadsBackIdentically) {
  const Grey grey = Sample(12, true, {-1024, -1, 0, 1, 258, 2047});
  for (Syntax syntax : {Syntax::ExplicitLittle, Syntax::ImplicitLittle, Syntax::ExplicitBig, Syntax::Deflated}) {
    SCOPED_TRACE(static_cast<int>(syntax));
    ZR_DcmImage image = ZR_DicomFixtures::Image(grey, 12.5);
    ZR_DcmImage back = Read(image.Encode(syntax));
    EXPECT_EQ(ZR_DicomFixtures::Values(back), grey.values);
    EXPECT_EQ(back.Name(), "Test^Patient");
    EXPECT_EQ(back.Attributes().Item(0x0020, 0x0032).Value().AsNumbers(), (std::vector<double>{0, 0, 12.5}));
    EXPECT_EQ(back.Attributes().Item(0x0028, 0x0010).Value().AsNumber(), 2);
  }
}

// A big-endian file and its little-endian twin give the same values: pixels are in host order.
TEST(ZR_DcmRead, BigAndLittleEndianTwinsGiveTheSameValues) {
  const Grey cases[] = {
      Sample(12, false, {0, 1, 258, 2048, 4000, 4095}),
      Sample(12, true, {-2048, -2, -1, 0, 258, 2047}),
      Sample(16, false, {0, 258, 513, 32000, 35000, 65535}),
      Sample(16, true, {-32768, -1024, -2, 0, 258, 32767}),
  };
  for (const Grey& grey : cases) {
    SCOPED_TRACE(std::to_string(grey.bitsStored) + (grey.isSigned ? " signed" : " unsigned"));
    ZR_DcmImage image = ZR_DicomFixtures::Image(grey);
    const std::vector<uint8_t> little = image.Encode(Syntax::ExplicitLittle);
    const std::vector<uint8_t> big = image.Encode(Syntax::ExplicitBig);
    ZR_DcmImage fromLittle = Read(little), fromBig = Read(big);
    EXPECT_EQ(fromBig.ReceivedSyntax(), "1.2.840.10008.1.2.2");
    EXPECT_EQ(ZR_DicomFixtures::Values(fromLittle), grey.values);
    EXPECT_EQ(ZR_DicomFixtures::Values(fromBig), grey.values);
    // The big-endian file really holds 258 as 01 02, and GDCM reads it as we do.
    const uint8_t be258[] = {0x01, 0x02};
    EXPECT_NE(std::search(big.end() - 12, big.end(), be258, be258 + 2), big.end());
    const std::vector<uint8_t> ours(static_cast<const uint8_t*>(fromBig.PixelAddress()),
                                    static_cast<const uint8_t*>(fromBig.PixelAddress()) + fromBig.FrameBytes());
    EXPECT_EQ(ZR_DicomFixtures::GdcmPixels(big), ours);
  }
}

// Bits above High Bit (overlays, garbage) are removed and signed values sign-extended, exactly
// as GDCM's own decoding does.
TEST(ZR_DcmRead, UnusedHighBitsAreCleanedAsGdcmDoes) {
  const Grey cases[] = {
      Sample(12, false, {0xF102, 0x1FFF, 0x8000, 0x0FFF, 0x0000, 0x7123}),
      Sample(12, true, {0x0FFF, 0xF800, 0x07FF, 0x1234, 0x8001, 0x0000}),
      Sample(10, false, {0xFC00, 0x03FF, 0xFFFF, 0x0400, 0x0123, 0x8000}),
  };
  for (const Grey& grey : cases) {
    ZR_DcmImage image = ZR_DicomFixtures::Image(grey);
    const std::vector<uint8_t> file = image.Encode();
    ZR_DcmImage back = Read(file);
    const uint8_t* p = static_cast<const uint8_t*>(back.PixelAddress());
    EXPECT_EQ(std::vector<uint8_t>(p, p + back.FrameBytes()), ZR_DicomFixtures::GdcmPixels(file));
  }
  ZR_DcmImage twelve = Read(ZR_DicomFixtures::Image(cases[0]).Encode());
  EXPECT_EQ(ZR_DicomFixtures::Values(twelve)[0], 258);
  ZR_DcmImage signedTwelve = Read(ZR_DicomFixtures::Image(cases[1]).Encode());
  EXPECT_EQ(ZR_DicomFixtures::Values(signedTwelve)[0], -1);
  EXPECT_EQ(ZR_DicomFixtures::Values(signedTwelve)[1], -2048);
}

TEST(ZR_DcmRead, FilesWithoutPreambleOrMetaInformationAreRead) {
  const Grey grey = Sample(16, true, {-5, 0, 5, 258});
  for (Syntax syntax : {Syntax::ExplicitLittle, Syntax::ImplicitLittle, Syntax::ExplicitBig}) {
    SCOPED_TRACE(static_cast<int>(syntax));
    ZR_DcmImage image = ZR_DicomFixtures::Image(grey);
    const std::vector<uint8_t> file = image.Encode(syntax);
    const std::vector<uint8_t> noPreamble(file.begin() + 132, file.end());
    const std::vector<uint8_t> dataSetOnly(file.begin() + static_cast<std::ptrdiff_t>(MetaEnd(file)), file.end());
    ZR_DcmImage withoutPreamble = Read(noPreamble);
    EXPECT_EQ(ZR_DicomFixtures::Values(withoutPreamble), grey.values);
    ZR_DcmImage bare = Read(dataSetOnly);
    EXPECT_EQ(ZR_DicomFixtures::Values(bare), grey.values);
    EXPECT_EQ(bare.Name(), "Test^Patient");
  }
}

TEST(ZR_DcmRead, RealFilesWithoutMetaInformationAreRead) {
  LMX_REQUIRE_DATA(dir, "files/pydicom");
  for (const char* name : {"ExplVR_LitEndNoMeta.dcm", "ExplVR_BigEndNoMeta.dcm", "no_meta_group_length.dcm"}) {
    SCOPED_TRACE(name);
    ZR_DcmImages images;
    EXPECT_NO_THROW(images.ReadFile((dir / name).string()));
  }
}

// Damaged input of every kind: a clear error, nothing added, no unbounded allocation.
TEST(ZR_DcmRead, BadInputRaisesAReadableError) {
  ZR_DcmImage image = ZR_DicomFixtures::Image(Sample(16, false, std::vector<int32_t>(64, 7)));
  const std::vector<uint8_t> good = image.Encode();
  auto cut = [&](size_t n) { return std::vector<uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n)); };
  auto patched = [&](const std::vector<uint8_t>& from, size_t at, uint32_t value, int bytes) {
    std::vector<uint8_t> b = from;
    for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<uint8_t>(value >> (8 * i));
    return b;
  };
  // Offsets of the pixel data's length field and of the first data element's length field.
  const uint8_t pixelTag[] = {0xE0, 0x7F, 0x10, 0x00};
  const size_t pixelAt = static_cast<size_t>(std::search(good.begin(), good.end(), pixelTag, pixelTag + 4) - good.begin());
  const size_t firstAt = MetaEnd(good);

  std::vector<uint8_t> deep(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(firstAt));
  for (int i = 0; i < 200; ++i) {
    const uint8_t level[] = {0x08, 0x00, 0x15, 0x11, 'S', 'Q', 0, 0, 0xFF, 0xFF, 0xFF, 0xFF,
                             0xFE, 0xFF, 0x00, 0xE0, 0xFF, 0xFF, 0xFF, 0xFF};
    deep.insert(deep.end(), level, level + sizeof level);
  }

  const struct {
    const char* what;
    std::vector<uint8_t> bytes;
    const char* message;
  } cases[] = {
      {"empty", {}, "not a DICOM file"},
      {"text", std::vector<uint8_t>(300, 'x'), "not a DICOM file"},
      {"cut in the meta information", cut(140), "file meta element declares 4 bytes"},
      {"cut inside an element header", cut(firstAt + 5), "ends inside an element header"},
      {"cut inside the pixel data", cut(good.size() - 10), "(7FE0,0010) declares 128 bytes but only 118 remain"},
      {"absurd pixel data length", patched(good, pixelAt + 8, 0xFFFFFFF0u, 4), "declares 4294967280 bytes"},
      {"absurd short length", patched(good, firstAt + 6, 0xFFFFu, 2), "declares 65535 bytes"},
      {"absurd meta length", patched(good, 132 + 12 + 8, 0xFFFFFFF0u, 4), "file meta element declares"},
      {"nesting without end", deep, "nested too deeply"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string message = ErrorOf(c.bytes);
    EXPECT_NE(message.find(c.message), std::string::npos) << message;
    EXPECT_EQ(message.rfind("bad: ", 0), 0u) << "the message names the file: " << message;
  }
}

TEST(ZR_DcmRead, FilesThatCannotBeOpenedRaise) {
  const std::filesystem::path dir = ZR_TestData::ScratchDir("dcm_open");
  ZR_DcmImages images;
  try {
    images.ReadFile((dir / "missing.dcm").string());
    FAIL() << "no error";
  } catch (const ZR_DcmError& e) {
    EXPECT_NE(std::string(e.what()).find("missing.dcm: cannot open"), std::string::npos) << e.what();
  }
  EXPECT_THROW(images.ReadFile(dir.string()), ZR_DcmError);
  EXPECT_EQ(images.Count(), 0);
  EXPECT_EQ(images.Item(1), nullptr);
}

TEST(ZR_DcmRead, ReadableFilesWithoutPixelDataAddNoImage) {
  ZR_DcmImage image;
  image.SetSOPClass("1.2.840.10008.5.1.4.1.1.88.11");
  image.SetName("Report^Only");
  const std::vector<uint8_t> report = image.Encode();
  ZR_DcmImages images;
  images.ReadBuffer(report.data(), report.size(), "report");
  EXPECT_EQ(images.Count(), 0);
  EXPECT_EQ(images.Item(1), nullptr);
}

// The damaged and unusual files of the data folder: damaged ones raise with their reason,
// unusual but sound ones read.
TEST(ZR_DcmRead, RealDamagedFilesRaiseAndUnusualOnesRead) {
  LMX_REQUIRE_DATA(root, "files");
  const struct {
    const char* file;
    const char* error;  // nullptr: reads and decodes
  } cases[] = {
      {"files/pydicom/MR_truncated.dcm", "(7FE0,0010) declares 8192 bytes but only 8130 remain"},
      {"files/pydicom/rtplan_truncated.dcm", "declares 976 bytes but only 711 remain"},
      {"files/pydicom/JPEG2000-embedded-sequence-delimiter.dcm", "has too many JPEG 2000 tiles"},
      {"files/pydicom/no_meta.dcm", "not a DICOM file"},
      {"files/pydicom/badVR.dcm", "(0028,0008): value '1A' is not a number"},
      {"files/pydicom/README.txt", "not a DICOM file"},
      {"files/pydicom/zipMR.gz", "not a DICOM file"},
      {"files/pydicom/SC_rgb_jpeg.dcm", nullptr},      // meta says explicit, data set is implicit
      {"files/pydicom/MR_small_padded.dcm", nullptr},
      {"files/dwv/gdcm-CT-MONO2-8-abdo.dcm", nullptr},  // three pixel spacing values
      {"files/dwv/dwv-test-simple.dcm", nullptr},       // odd meta length (stops GDCM's own reader)
      {"files/pydicom/rtdose_1frame.dcm", nullptr},     // (stops GDCM's own reader too)
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const std::filesystem::path path = root.parent_path() / c.file;
    if (!std::filesystem::exists(path)) continue;
    ZR_DcmImages images;
    std::string message;
    try {
      images.ReadFile(path.string());
      if (images.Item(1)) images.Item(1)->DecompressAll();
    } catch (const ZR_DcmError& e) {
      message = e.what();
    }
    if (c.error) {
      EXPECT_NE(message.find(c.error), std::string::npos) << message;
    } else {
      EXPECT_EQ(message, "");
      EXPECT_EQ(images.Count(), 1);
    }
  }
}

// Zero padding after the last element (brain_001 carries 2.5 MB of it) ends the data set.
TEST(ZR_DcmRead, TrailingZeroPaddingIsIgnored) {
  ZR_DcmImage image = ZR_DicomFixtures::Image(Sample(16, false, {1, 2, 3, 4}));
  std::vector<uint8_t> file = image.Encode();
  file.resize(file.size() + 4096, 0);
  ZR_DcmImage back = Read(file);
  EXPECT_EQ(ZR_DicomFixtures::Values(back), (std::vector<int32_t>{1, 2, 3, 4}));
}

// An odd-length element before the pixel data (it happens) leaves them at an odd offset in the
// file; what is handed out is still aligned for 16-bit values.
TEST(ZR_DcmRead, PixelsAreAlignedEvenWhenTheFileIsNot) {
  const Grey grey = Sample(16, true, {-3, 258, 1000, -1000});
  ZR_DcmImage image = ZR_DicomFixtures::Image(grey);
  std::vector<uint8_t> file = image.Encode();
  const uint8_t patientId[] = {0x10, 0x00, 0x20, 0x00, 'L', 'O', 0x02, 0x00, 'P', '1'};
  auto at = std::search(file.begin(), file.end(), patientId, patientId + sizeof patientId);
  ASSERT_NE(at, file.end());
  at[6] = 3;  // "P1" becomes the odd-length "P1x"
  file.insert(at + sizeof patientId, 'x');
  ZR_DcmImage back = Read(file);
  EXPECT_EQ(back.PatientID(), "P1x");
  EXPECT_EQ(reinterpret_cast<uintptr_t>(back.PixelAddress()) % alignof(int16_t), 0u);
  EXPECT_EQ(ZR_DicomFixtures::Values(back), grey.values);
}
