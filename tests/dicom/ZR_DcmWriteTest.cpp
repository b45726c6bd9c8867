// Writing: secondary captures as a caller builds them, read back by us and by GDCM; files are
// complete or absent; pictures as BMP and JPEG.
#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <cstring>

#include "dicom/ZR_DcmError.h"
#include "dicom/ZR_DcmImages.h"
#include "tests/dicom/ZR_DicomFixtures.h"
#include "tests/support/ZR_TestData.h"

namespace fs = std::filesystem;

namespace {
// A secondary capture as the image writer builds it: RGB (or grey) pixels, no geometry.
ZR_DcmImage Capture(int32_t width, int32_t height, int32_t samples, int32_t bitsAllocated, int32_t bitsStored) {
  ZR_DcmImage image;
  image.SetSOPClass("1.2.840.10008.5.1.4.1.1.7");
  ZR_DcmElements a = image.Attributes();
  a.Add(0x0018, 0x1012, ZR_DcmValue::Today());
  a.Add(0x0018, 0x1014, ZR_DcmValue::Now());
  a.Add(0x0008, 0x0008, "DERIVED\\SECONDARY\\3D");
  image.SetPatientID("P1");
  image.SetName("Capture^Test");
  image.SetDateOfBirth(ZR_DcmValue(ZR_DcmValue::Date{1970, 1, 2}));
  image.SetStudyUID("1.2.3");
  image.SetSeriesUID("1.2.3.4");
  a.Add(0x0028, 0x0002, samples);
  a.Add(0x0028, 0x0004, samples == 3 ? "RGB" : "MONOCHROME2");
  a.Add(0x0028, 0x0010, height);
  a.Add(0x0028, 0x0011, width);
  a.Add(0x0028, 0x0100, bitsAllocated);
  a.Add(0x0028, 0x0101, bitsStored);
  a.Add(0x0028, 0x0102, bitsStored - 1);
  a.Add(0x0028, 0x0103, 0);
  a.Add(0x0028, 0x0030, "0.5\\0.5");
  a.Add(0x0008, 0x0060, "OT");
  a.Add(0x0008, 0x0005, "ISO_IR 100");
  return image;
}

ZR_DcmImage ReadBack(const fs::path& path) {
  ZR_DcmImages images;
  images.ReadFile(path.string());
  return *images.Item(1);
}

std::vector<uint8_t> FrameOf(ZR_DcmImage& image) {
  const uint8_t* p = static_cast<const uint8_t*>(image.PixelAddress());
  return std::vector<uint8_t>(p, p + image.FrameBytes());
}

bool HasTemporaryFiles(const fs::path& dir) {
  for (const auto& entry : fs::directory_iterator(dir))
    if (entry.path().filename().string().find(".tmp") != std::string::npos) return true;
  return false;
}
}  // namespace

// A bottom-up capture copied with a negative row step: its last stored row is the first row
// of the file.
TEST(ZR_DcmWrite, BottomUpRgbCaptureIsWrittenTopDown) {
  const fs::path dir = ZR_TestData::ScratchDir("dcm_write_rgb");
  // 4 x 2 pixels, stored bottom row first: row 0 in memory is the picture's lower row.
  const uint8_t stored[2][12] = {{1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4}, {5, 5, 5, 6, 6, 6, 7, 7, 7, 8, 8, 8}};
  ZR_DcmImage image = Capture(4, 2, 3, 8, 8);
  image.AllocatePixelSpace(sizeof stored);
  image.CopyPixelBuffer(&stored[1][0], 1, 3, -12);
  image.WriteFile((dir / "rgb.dcm").string());

  ZR_DcmImage back = ReadBack(dir / "rgb.dcm");
  const std::vector<uint8_t> pixels = FrameOf(back);
  EXPECT_EQ(std::vector<uint8_t>(pixels.begin(), pixels.begin() + 12), std::vector<uint8_t>(stored[1], stored[1] + 12));
  EXPECT_EQ(std::vector<uint8_t>(pixels.begin() + 12, pixels.end()), std::vector<uint8_t>(stored[0], stored[0] + 12));
  EXPECT_EQ(back.ReceivedSyntax(), "1.2.840.10008.1.2.1");
  EXPECT_EQ(back.SOPClass(), "1.2.840.10008.5.1.4.1.1.7");
  EXPECT_FALSE(back.InstanceUID().empty());  // made when the caller set none
  EXPECT_EQ(back.DateOfBirth(), ZR_DcmValue(ZR_DcmValue::Date{1970, 1, 2}));
  EXPECT_EQ(ZR_DicomFixtures::GdcmPixels(ZR_DicomFixtures::Load(dir / "rgb.dcm")), pixels);
}

TEST(ZR_DcmWrite, RawTwelveBitCaptureKeepsItsLayout) {
  const fs::path dir = ZR_TestData::ScratchDir("dcm_write_grey");
  const uint16_t values[6] = {0, 1, 258, 1000, 4000, 4095};
  ZR_DcmImage image = Capture(3, 2, 1, 16, 12);
  image.AllocatePixelSpace(sizeof values);
  image.CopyPixelBuffer(values, 1, 2, 6);
  image.WriteFile((dir / "grey.dcm").string());
  ZR_DcmImage back = ReadBack(dir / "grey.dcm");
  const ZR_DcmPixelFormat& f = back.Format();
  EXPECT_EQ(f.bitsAllocated, 16);
  EXPECT_EQ(f.bitsStored, 12);
  EXPECT_EQ(f.highBit, 11);
  EXPECT_EQ(f.samples, 1);
  EXPECT_EQ(f.photometric, "MONOCHROME2");
  EXPECT_EQ(ZR_DicomFixtures::Values(back), (std::vector<int32_t>{0, 1, 258, 1000, 4000, 4095}));
}

TEST(ZR_DcmWrite, CompressedImagesAreWrittenDecoded) {
  const fs::path dir = ZR_TestData::ScratchDir("dcm_write_decoded");
  ZR_DicomFixtures::Grey grey;
  grey.bitsStored = 12;
  grey.values = {0, 1, 2, 3, 258, 4095, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  ZR_DcmImages images;
  const std::vector<uint8_t> rle = ZR_DicomFixtures::GdcmFile(grey, "1.2.840.10008.1.2.5");
  images.ReadBuffer(rle.data(), rle.size(), "rle");
  images.Item(1)->WriteFile((dir / "native.dcm").string());
  ZR_DcmImage back = ReadBack(dir / "native.dcm");
  EXPECT_EQ(back.ReceivedSyntax(), "1.2.840.10008.1.2.1");
  EXPECT_EQ(ZR_DicomFixtures::Values(back), grey.values);
}

// Nothing is ever left under the final name unless it is complete, and nothing else either.
TEST(ZR_DcmWrite, FailedWritesRaiseAndLeaveNothingBehind) {
  const fs::path dir = ZR_TestData::ScratchDir("dcm_write_fail");
  ZR_DcmImage image = Capture(2, 2, 1, 8, 8);
  image.AllocatePixelSpace(4);

  EXPECT_THROW(image.WriteFile((dir / "no-such-folder" / "a.dcm").string()), ZR_DcmError);
  fs::create_directory(dir / "taken.dcm");  // a folder already holds the name
  EXPECT_THROW(image.WriteFile((dir / "taken.dcm").string()), ZR_DcmError);
  EXPECT_TRUE(fs::is_directory(dir / "taken.dcm"));
  EXPECT_THROW(image.FileExport((dir / "taken.dcm").string(), "BMP"), ZR_DcmError);
  EXPECT_FALSE(HasTemporaryFiles(dir));

  ZR_DcmImage anonymous;  // no SOP Class: not a writable object
  anonymous.AllocatePixelSpace(4);
  try {
    anonymous.WriteFile((dir / "b.dcm").string());
    FAIL() << "no error";
  } catch (const ZR_DcmError& e) {
    EXPECT_NE(std::string(e.what()).find("SOP Class UID (0008,0016) is not set"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(fs::exists(dir / "b.dcm"));

  // An existing file survives a failed replacement untouched.
  image.WriteFile((dir / "kept.dcm").string());
  const std::vector<uint8_t> before = ZR_DicomFixtures::Load(dir / "kept.dcm");
  anonymous.SetName("changed");
  EXPECT_THROW(anonymous.WriteFile((dir / "kept.dcm").string()), ZR_DcmError);
  EXPECT_EQ(ZR_DicomFixtures::Load(dir / "kept.dcm"), before);
}

TEST(ZR_DcmWrite, CopiesThatDoNotFitRaise) {
  ZR_DcmImage image = Capture(4, 2, 3, 8, 8);
  const uint8_t pixels[24] = {};
  EXPECT_THROW(image.CopyPixelBuffer(pixels, 1, 3, 12), ZR_DcmError);  // no space yet
  image.AllocatePixelSpace(12);
  EXPECT_THROW(image.CopyPixelBuffer(pixels, 1, 3, 12), ZR_DcmError);  // space too small
  image.AllocatePixelSpace(24);
  EXPECT_THROW(image.CopyPixelBuffer(pixels, 2, 3, 12), ZR_DcmError);  // only frame 1
  EXPECT_NO_THROW(image.CopyPixelBuffer(pixels, 1, 3, 12));
}

TEST(ZR_DcmWrite, BmpExportHoldsThePixelsBottomUpInBgr) {
  const fs::path dir = ZR_TestData::ScratchDir("dcm_export_bmp");
  const uint8_t rgb[2][6] = {{10, 20, 30, 40, 50, 60}, {70, 80, 90, 100, 110, 120}};
  ZR_DcmImage image = Capture(2, 2, 3, 8, 8);
  image.AllocatePixelSpace(sizeof rgb);
  image.CopyPixelBuffer(rgb, 1, 3, 6);
  image.FileExport((dir / "p.bmp").string(), "BMP");
  const std::vector<uint8_t> bmp = ZR_DicomFixtures::Load(dir / "p.bmp");
  ASSERT_EQ(bmp.size(), 54u + 2 * 8);  // two rows of 6 bytes padded to 8
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp[1], 'M');
  int32_t width, height;
  std::memcpy(&width, &bmp[18], 4);
  std::memcpy(&height, &bmp[22], 4);
  EXPECT_EQ(width, 2);
  EXPECT_EQ(height, 2);
  EXPECT_EQ(bmp[28], 24);
  // First stored row is the picture's lower row, in blue-green-red order.
  EXPECT_EQ(std::vector<uint8_t>(bmp.begin() + 54, bmp.begin() + 60), (std::vector<uint8_t>{90, 80, 70, 120, 110, 100}));
  EXPECT_EQ(std::vector<uint8_t>(bmp.begin() + 62, bmp.begin() + 68), (std::vector<uint8_t>{30, 20, 10, 60, 50, 40}));
}

TEST(ZR_DcmWrite, JpegExportDecodesToThePicture) {
  const fs::path dir = ZR_TestData::ScratchDir("dcm_export_jpeg");
  const int w = 16, h = 8;
  std::vector<uint8_t> rgb(w * h * 3);
  for (int i = 0; i < w * h; ++i) {
    rgb[i * 3] = static_cast<uint8_t>(i * 2);
    rgb[i * 3 + 1] = 128;
    rgb[i * 3 + 2] = static_cast<uint8_t>(255 - i);
  }
  ZR_DcmImage image = Capture(w, h, 3, 8, 8);
  image.AllocatePixelSpace(rgb.size());
  image.CopyPixelBuffer(rgb.data(), 1, 3, w * 3);
  image.FileExport((dir / "p.jpg").string(), "JPEG", 100);
  std::vector<uint8_t> jpeg = ZR_DicomFixtures::Load(dir / "p.jpg");
  tjhandle handle = tjInitDecompress();
  int width = 0, height = 0, sub = 0, space = 0;
  ASSERT_EQ(tjDecompressHeader3(handle, jpeg.data(), jpeg.size(), &width, &height, &sub, &space), 0);
  EXPECT_EQ(width, w);
  EXPECT_EQ(height, h);
  std::vector<uint8_t> decoded(w * h * 3);
  ASSERT_EQ(tjDecompress2(handle, jpeg.data(), jpeg.size(), decoded.data(), w, 0, h, TJPF_RGB, 0), 0);
  tjDestroy(handle);
  for (size_t i = 0; i < decoded.size(); ++i) EXPECT_NEAR(decoded[i], rgb[i], 4) << i;
  EXPECT_THROW(image.FileExport((dir / "p.png").string(), "PNG"), ZR_DcmError);
}

TEST(ZR_DcmWrite, SixteenBitGreyExportsItsTopEightBits) {
  const fs::path dir = ZR_TestData::ScratchDir("dcm_export_grey");
  const uint16_t values[2] = {0x0FF0, 0x0100};  // 12 bits stored
  ZR_DcmImage image = Capture(2, 1, 1, 16, 12);
  image.AllocatePixelSpace(sizeof values);
  image.CopyPixelBuffer(values, 1, 2, 4);
  image.FileExport((dir / "g.bmp").string(), "BMP");
  const std::vector<uint8_t> bmp = ZR_DicomFixtures::Load(dir / "g.bmp");
  ASSERT_GE(bmp.size(), 60u);
  EXPECT_EQ(bmp[54], 0xFF);
  EXPECT_EQ(bmp[57], 0x10);
}
