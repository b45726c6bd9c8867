// The pictures written: DICOM secondary captures checked by the standard's validator and
// dumped by an independent toolkit, read back pixel for pixel; JPEG and BMP files decoded by
// an independent decoder and by a reading of the BMP layout; names, numbers and UIDs of a
// series; and a write that cannot happen leaving what was there.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "core/ZR_Result.h"
#include "dicom/ZR_DcmImage.h"
#include "dicom/ZR_DcmImages.h"
#include "dicom/ZR_DcmUid.h"
#include "output/ZR_Image.h"
#include "output/ZR_ImageWriter.h"
#include "output/ZR_WinSeries.h"
#include "tests/dicom/ZR_DicomSeries.h"
#include "tests/support/ZR_ExternalTool.h"
#include "tests/support/ZR_TestData.h"

namespace fs = std::filesystem;

namespace {
using Run = ZR_ExternalTool::Run;
Run Execute(const std::string& command) { return ZR_ExternalTool::Execute(command); }

// A source study file with CT identity (patient, study, intercept -1024, slope 1).
std::string SourceFile(const std::string& name) {
  return ZR_DicomSeries::Write(name, 1, ZR_DicomSeries::Flat(1000))[0];
}

// An RGB capture as OpenGL reads it back: B, G, R, bottom row first. Pixel (x, y) counted
// from the top has R = 10 x + 1, G = 20 y + 2, B = x + y + 3.
ZR_Image Capture(int32_t width, int32_t height) {
  std::vector<uint8_t> bgr(static_cast<size_t>(width) * height * 3);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      uint8_t* p = &bgr[(static_cast<size_t>(height - 1 - y) * width + x) * 3];
      p[2] = static_cast<uint8_t>(10 * x + 1);
      p[1] = static_cast<uint8_t>(20 * y + 2);
      p[0] = static_cast<uint8_t>(x + y + 3);
    }
  ZR_Image image(true, width, height, std::move(bgr), ZR_Image::kRgb24, 8);
  image.m_fPixelSpacing = 0.70710676908493f;
  return image;
}

std::vector<std::string> ValidatorErrors(const std::string& file) { return ZR_ExternalTool::ValidatorErrors(file); }

std::string Dump(const std::string& file) { return Execute("dcmdump '" + file + "'").output; }

// The value dcmdump shows for a tag, as "[text]" or the number; "" when absent.
std::string Dumped(const std::string& dump, const std::string& tag) {
  const std::regex line("\\(" + tag + "\\) [A-Z][A-Z] ([^#]*)#");
  std::smatch m;
  if (!std::regex_search(dump, m, line)) return "";
  std::string v = m[1].str();
  while (!v.empty() && v.back() == ' ') v.pop_back();
  return v == "(no value available)" ? "" : v;
}

TEST(ImageWriter, ARgbCaptureIsAValidSecondaryCaptureWithUprightRgbPixels) {
  const fs::path dir = ZR_TestData::ScratchDir("writer-rgb");
  const std::string source = SourceFile("writer-rgb-source");
  const std::string out = (dir / "capture.dcm").string();
  const ZR_Image image = Capture(8, 4);
  ZR_ImageWriter::Series series;
  series.nSeriesNumber = 1001;
  series.nInstanceNumber = 3;
  std::string error;
  ASSERT_EQ(ZR_ImageWriter::WriteDicomImage(source, out, image, ZR_ImageWriter::kDicomRgb, series, &error), VR_OK)
      << error;

  // Read back by the component: top row first, R, G, B.
  ZR_DcmImages back;
  back.ReadFile(out);
  ZR_DcmImage* d = back.Item(1);
  ASSERT_NE(d, nullptr);
  const auto* px = static_cast<const uint8_t*>(d->PixelAddress());
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 8; ++x) {
      const uint8_t* p = px + (y * 8 + x) * 3;
      EXPECT_EQ(p[0], 10 * x + 1) << x << "," << y;
      EXPECT_EQ(p[1], 20 * y + 2) << x << "," << y;
      EXPECT_EQ(p[2], x + y + 3) << x << "," << y;
    }

  // The identity of the source study, a series of its own.
  ZR_DcmImages src;
  src.ReadFile(source);
  EXPECT_EQ(d->StudyUID(), src.Item(1)->StudyUID());
  EXPECT_NE(d->SeriesUID(), src.Item(1)->SeriesUID());
  EXPECT_EQ(d->PatientID(), src.Item(1)->PatientID());

  LMX_REQUIRE_TOOL("dcmdump");
  const std::string dump = Dump(out);
  EXPECT_EQ(Dumped(dump, "0008,0016"), "=SecondaryCaptureImageStorage") << dump;
  EXPECT_EQ(Dumped(dump, "0028,0004"), "[RGB]");
  EXPECT_EQ(Dumped(dump, "0028,0006"), "0");       // planar configuration
  EXPECT_EQ(Dumped(dump, "0020,0011"), "[1001]");  // series number
  EXPECT_EQ(Dumped(dump, "0020,0013"), "[3]");     // instance number
  EXPECT_EQ(Dumped(dump, "0028,0030"), "[0.70710676908493\\0.70710676908493]");
  EXPECT_EQ(Dumped(dump, "0008,0064"), "[WSD]");
  EXPECT_EQ(Dumped(dump, "0028,1052"), "");  // no rescale for colour samples
  EXPECT_EQ(Dumped(dump, "0008,0020"), Dumped(Dump(source), "0008,0020"));  // the study's date
  LMX_REQUIRE_TOOL("dciodvfy");
  EXPECT_TRUE(ValidatorErrors(out).empty()) << Execute("dciodvfy '" + out + "'").output;
}

TEST(ImageWriter, GreyCapturesCarryTheirOwnRescaleAndBitDepth) {
  const fs::path dir = ZR_TestData::ScratchDir("writer-grey");
  const std::string source = SourceFile("writer-grey-source");
  // 12-bit samples, stored 0 meaning -1024 HU (the smallest value of the volume), slope 1.
  std::vector<uint8_t> raw(4 * 4 * 2);
  for (int32_t k = 0; k < 16; ++k) {
    const uint16_t v = static_cast<uint16_t>(k * 250);
    raw[2 * k] = static_cast<uint8_t>(v & 0xFF);
    raw[2 * k + 1] = static_cast<uint8_t>(v >> 8);
  }
  ZR_Image image(true, 4, 4, raw, ZR_Image::kGrey16, 12);
  image.m_bHasRescale = true;
  image.m_dRescaleIntercept = -1024;
  image.m_bHasPosition = image.m_bHasOrientation = true;
  image.m_afPosition = {-120.5f, 33.25f, 7};
  image.m_afOrientation = {0, 1, 0, 0, 0, -1};
  image.m_dWindowWidth = 400;
  image.m_dWindowCentre = 40;
  const std::string wide = (dir / "raw16.dcm").string(), narrow = (dir / "raw8.dcm").string();
  ASSERT_EQ(ZR_ImageWriter::WriteDicomImage(source, wide, image, ZR_ImageWriter::kDicomGrey16, {}), VR_OK);
  // 8-bit samples written in the 8-bit mode: one byte a sample.
  std::vector<uint8_t> bytes(16);
  for (int32_t k = 0; k < 16; ++k) bytes[static_cast<size_t>(k)] = static_cast<uint8_t>(k * 16);
  ZR_Image small(false, 4, 4, bytes, ZR_Image::kGrey8, 8);
  ASSERT_EQ(ZR_ImageWriter::WriteDicomImage(source, narrow, small, ZR_ImageWriter::kDicomGrey8, {}), VR_OK);

  ZR_DcmImages back;
  back.ReadFile(wide);
  const auto* v = static_cast<const uint16_t*>(back.Item(1)->PixelAddress());
  for (int32_t k = 0; k < 16; ++k) EXPECT_EQ(v[k], k * 250);
  ZR_DcmImages back8;
  back8.ReadFile(narrow);
  EXPECT_EQ(back8.Item(1)->FrameBytes(), 16u);

  LMX_REQUIRE_TOOL("dcmdump");
  const std::string dump = Dump(wide);
  EXPECT_EQ(Dumped(dump, "0028,0100"), "16");
  EXPECT_EQ(Dumped(dump, "0028,0101"), "12");
  EXPECT_EQ(Dumped(dump, "0028,0102"), "11");
  EXPECT_EQ(Dumped(dump, "0028,0004"), "[MONOCHROME2]");
  EXPECT_EQ(Dumped(dump, "0028,1052"), "[-1024]");
  EXPECT_EQ(Dumped(dump, "0028,1054"), "[HU]");
  EXPECT_EQ(Dumped(dump, "0020,0032"), "[-120.5\\33.25\\7]");
  EXPECT_EQ(Dumped(dump, "0020,0037"), "[0\\1\\0\\0\\0\\-1]");
  EXPECT_EQ(Dumped(Dump(narrow), "0028,0100"), "8");
  LMX_REQUIRE_TOOL("dciodvfy");
  for (const std::string& file : {wide, narrow})
    EXPECT_TRUE(ValidatorErrors(file).empty()) << Execute("dciodvfy '" + file + "'").output;
}

// A BMP read by its layout: 54-byte header, rows bottom-up, B, G, R, padded to 4 bytes.
std::vector<uint8_t> BmpRgbTopDown(const std::string& file, int32_t* width, int32_t* height) {
  std::ifstream in(file, std::ios::binary);
  std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return {};
  auto i32 = [&](size_t at) { return static_cast<int32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | b[at + 3] << 24); };
  const int32_t offset = i32(10), w = i32(18), h = i32(22), bits = b[28] | b[29] << 8;
  if (bits != 24) return {};
  const bool bottomUp = h > 0;
  const int32_t rows = bottomUp ? h : -h, stride = (w * 3 + 3) / 4 * 4;
  std::vector<uint8_t> rgb(static_cast<size_t>(w) * rows * 3);
  for (int32_t y = 0; y < rows; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const size_t at = static_cast<size_t>(offset + (bottomUp ? rows - 1 - y : y) * stride + x * 3);
      uint8_t* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
      p[0] = b[at + 2];
      p[1] = b[at + 1];
      p[2] = b[at];
    }
  *width = w;
  *height = rows;
  return rgb;
}

TEST(ImageWriter, JpegAndBmpPicturesShowTheCaptureUpright) {
  const fs::path dir = ZR_TestData::ScratchDir("writer-pictures");
  const std::string source = SourceFile("writer-pictures-source");
  const ZR_Image image = Capture(16, 8);
  const std::string bmp = (dir / "c.bmp").string(), jpeg = (dir / "c.jpg").string();
  ASSERT_EQ(ZR_ImageWriter::WriteDicomImage(source, bmp, image, ZR_ImageWriter::kBmp, {}), VR_OK);
  ASSERT_EQ(ZR_ImageWriter::WriteDicomImage(source, jpeg, image, ZR_ImageWriter::kJpeg, {}), VR_OK);
  int32_t w = 0, h = 0;
  const std::vector<uint8_t> rgb = BmpRgbTopDown(bmp, &w, &h);
  ASSERT_EQ(w, 16);
  ASSERT_EQ(h, 8);
  for (int32_t y = 0; y < 8; ++y)
    for (int32_t x = 0; x < 16; ++x) {
      const uint8_t* p = &rgb[(static_cast<size_t>(y) * 16 + x) * 3];
      EXPECT_EQ(p[0], 10 * x + 1);
      EXPECT_EQ(p[1], 20 * y + 2);
      EXPECT_EQ(p[2], x + y + 3);
    }
  LMX_REQUIRE_TOOL("djpeg");
  // The JPEG decoded by djpeg as a binary PPM (P6): red grows along the rows, green down.
  const fs::path ppm = dir / "c.ppm";
  ASSERT_EQ(Execute("djpeg -pnm -outfile '" + ppm.string() + "' '" + jpeg + "'").status, 0);
  std::ifstream in(ppm, std::ios::binary);
  std::string magic;
  int32_t pw = 0, ph = 0, maxval = 0;
  in >> magic >> pw >> ph >> maxval;
  in.get();
  ASSERT_EQ(magic, "P6");
  ASSERT_EQ(pw, 16);
  ASSERT_EQ(ph, 8);
  std::vector<uint8_t> decoded(static_cast<size_t>(pw) * ph * 3);
  in.read(reinterpret_cast<char*>(decoded.data()), static_cast<std::streamsize>(decoded.size()));
  int32_t worst = 0;
  for (int32_t y = 0; y < 8; ++y)
    for (int32_t x = 0; x < 16; ++x) {
      const uint8_t* p = &decoded[(static_cast<size_t>(y) * 16 + x) * 3];
      worst = std::max({worst, std::abs(p[0] - (10 * x + 1)), std::abs(p[1] - (20 * y + 2)), std::abs(p[2] - (x + y + 3))});
    }
  EXPECT_LE(worst, 12) << "quality 100 keeps the picture close";
}

TEST(ImageWriter, DecimalsFitTheSixteenCharactersOfTheirRepresentation) {
  struct Case {
    double value;
    const char* text;
  };
  for (const Case c : {Case{-0.70710676908493, "-0.7071067690849"}, Case{0.5, "0.5"}, Case{-120.5, "-120.5"},
                       Case{1e-20, "1e-20"}, Case{123456789012.25, "123456789012.25"}, Case{0, "0"}}) {
    const std::string text = ZR_ImageWriter::DecimalString(c.value);
    EXPECT_EQ(text, c.text);
    EXPECT_LE(text.size(), 16u);
  }
}

TEST(ImageWriter, UidsAreDistinctAndValid) {
  std::set<std::string> seen;
  const std::regex valid("(0|[1-9][0-9]*)(\\.(0|[1-9][0-9]*))*");
  for (int32_t i = 0; i < 1024; ++i) {
    const std::string uid = ZR_DcmUid::Generate();
    EXPECT_LE(uid.size(), 64u);
    EXPECT_TRUE(std::regex_match(uid, valid)) << uid;
    EXPECT_TRUE(seen.insert(uid).second) << uid;
  }
}

TEST(ImageWriter, AFolderThatCannotBeWrittenFailsAndLeavesTheFileThere) {
  if (geteuid() == 0) GTEST_SKIP() << "running as root, a read-only folder can still be written";
  const fs::path dir = ZR_TestData::ScratchDir("writer-readonly");
  const std::string source = SourceFile("writer-readonly-source");
  const std::string out = (dir / "kept.dcm").string();
  ZR_TestData::WriteText(out, "before");
  fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
  std::string error;
  EXPECT_EQ(ZR_ImageWriter::WriteDicomImage(source, out, Capture(4, 4), ZR_ImageWriter::kDicomRgb, {}, &error),
            VR_WRITE_FAILED);
  EXPECT_FALSE(error.empty());
  fs::permissions(dir, fs::perms::owner_all);
  EXPECT_EQ(ZR_TestData::ReadText(out), "before");
}

TEST(ImageWriter, AFailedWriteLeavesWhatWasThere) {
  // A name that is taken by a folder cannot become a file, for root as for anyone: the write
  // fails, says why, and the folder and its contents stay.
  const fs::path dir = ZR_TestData::ScratchDir("writer-taken");
  const std::string source = SourceFile("writer-taken-source");
  fs::create_directories(dir / "taken.dcm");
  ZR_TestData::WriteText(dir / "taken.dcm" / "inside.txt", "kept");
  std::string error;
  EXPECT_EQ(ZR_ImageWriter::WriteDicomImage(source, (dir / "taken.dcm").string(), Capture(4, 4),
                                            ZR_ImageWriter::kDicomRgb, {}, &error),
            VR_WRITE_FAILED);
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(ZR_TestData::ReadText(dir / "taken.dcm" / "inside.txt"), "kept");
  // No half-written file is left beside it.
  int32_t entries = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++entries;
  EXPECT_EQ(entries, 1);
}

TEST(ImageWriter, WhatCannotBeWrittenIsRefusedWithAReason) {
  const fs::path dir = ZR_TestData::ScratchDir("writer-refused");
  const std::string source = SourceFile("writer-refused-source");
  std::string error;
  EXPECT_EQ(ZR_ImageWriter::WriteDicomImage(source, (dir / "a.dcm").string(), Capture(4, 4), 7, {}, &error),
            VR_WRITE_FAILED);
  EXPECT_EQ(ZR_ImageWriter::WriteDicomImage(source, (dir / "b.dcm").string(), ZR_Image(), 2, {}, &error),
            VR_WRITE_FAILED);
  EXPECT_EQ(ZR_ImageWriter::WriteDicomImage((dir / "missing.dcm").string(), (dir / "c.dcm").string(), Capture(4, 4),
                                            2, {}, &error),
            VR_WRITE_FAILED);
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(fs::is_empty(dir));
  // A missing output folder is made.
  EXPECT_EQ(ZR_ImageWriter::WriteDicomImage(source, (dir / "new" / "d.dcm").string(), Capture(4, 4), 2, {}), VR_OK);
  EXPECT_TRUE(fs::exists(dir / "new" / "d.dcm"));
}

TEST(WinSeries, ASeriesIsNumberedWithOneSeriesUidAndInstancesInOrder) {
  const fs::path dir = ZR_TestData::ScratchDir("series");
  const std::string source = SourceFile("series-source");
  ZR_WinSeries writer;
  writer.SetSourceFile(source.c_str());
  for (int32_t i = 0; i < 12; ++i) writer.AddImage(Capture(4, 4));
  std::vector<std::string> names;
  std::string error;
  ASSERT_TRUE(writer.WriteSeries((dir / "B").string(), ZR_ImageWriter::kDicomRgb, &names, &error)) << error;
  ASSERT_EQ(names.size(), 12u);
  EXPECT_EQ(fs::path(names.front()).filename(), "B00.dcm");
  EXPECT_EQ(fs::path(names.back()).filename(), "B11.dcm");
  std::set<std::string> series, instances;
  for (size_t i = 0; i < names.size(); ++i) {
    ZR_DcmImages back;
    back.ReadFile(names[i]);
    series.insert(back.Item(1)->SeriesUID());
    instances.insert(back.Item(1)->InstanceUID());
    EXPECT_EQ(back.Item(1)->Attributes().Item(0x0020, 0x0013).Value().AsNumber(), static_cast<double>(i + 1));
  }
  EXPECT_EQ(series.size(), 1u);
  EXPECT_EQ(instances.size(), 12u);
  // Nine images take one digit.
  EXPECT_EQ(ZR_WinSeries::FileName("B", 0, 8, 9), "B8.bmp");
  EXPECT_EQ(ZR_WinSeries::FileName("B", 4, 0, 100), "B000.dcm");
  writer.ClearImages();
  EXPECT_EQ(writer.ImageCount(), 0);
}
}  // namespace
