#include "output/ZR_ImageWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "core/ZR_Result.h"
#include "dicom/ZR_DcmError.h"
#include "dicom/ZR_DcmImage.h"
#include "dicom/ZR_DcmImages.h"
#include "dicom/ZR_DcmUid.h"
#include "output/ZR_Image.h"

namespace {
constexpr const char* kSecondaryCapture = "1.2.840.10008.5.1.4.1.1.7";
constexpr const char* kManufacturer = "Orvane";
constexpr const char* kModelName = "Lumetra 1.9";

// The pixels as the file holds them: top row first, R, G, B for colour; grey narrowed to the
// bytes a sample of the mode has.
std::vector<uint8_t> FilePixels(const ZR_Image& image, int32_t mode) {
  const size_t w = static_cast<size_t>(image.m_nWidth), h = static_cast<size_t>(image.m_nHeight);
  std::vector<uint8_t> out;
  if (mode <= ZR_ImageWriter::kDicomRgb) {
    out.resize(w * h * 3);
    for (size_t row = 0; row < h; ++row) {
      const size_t from = h - 1 - row;  // bottom row first in the capture
      for (size_t col = 0; col < w; ++col) {
        uint8_t* d = &out[(row * w + col) * 3];
        if (image.m_eFormat == ZR_Image::kRgb24) {
          const uint8_t* s = &image.m_aPixels[(from * w + col) * 3];
          d[0] = s[2];
          d[1] = s[1];
          d[2] = s[0];
        } else {
          // A grey capture as colour: each sample's high byte on all three.
          const size_t bpp = static_cast<size_t>(image.BytesPerPixel());
          const uint8_t* s = &image.m_aPixels[(from * w + col) * bpp];
          const uint8_t grey = bpp == 1 ? s[0] : static_cast<uint8_t>((s[0] | (s[1] << 8)) >> (image.m_nBitsStored > 8 ? image.m_nBitsStored - 8 : 0));
          d[0] = d[1] = d[2] = grey;
        }
      }
    }
    return out;
  }
  const bool wide = mode == ZR_ImageWriter::kDicomGrey16;
  out.resize(w * h * (wide ? 2 : 1));
  const size_t bpp = static_cast<size_t>(image.BytesPerPixel());
  for (size_t k = 0; k < w * h; ++k) {
    uint32_t v = 0;
    if (image.m_eFormat == ZR_Image::kRgb24) {
      const uint8_t* s = &image.m_aPixels[k * 3];
      v = (static_cast<uint32_t>(s[0]) + s[1] + s[2]) / 3;
    } else {
      const uint8_t* s = &image.m_aPixels[k * bpp];
      v = bpp == 1 ? s[0] : static_cast<uint32_t>(s[0] | (s[1] << 8));
    }
    if (wide) {
      out[2 * k] = static_cast<uint8_t>(v & 0xFF);
      out[2 * k + 1] = static_cast<uint8_t>(v >> 8);
    } else {
      out[k] = static_cast<uint8_t>(v > 255 ? 255 : v);
    }
  }
  return out;
}

std::string Joined(const float* values, int32_t count) {
  std::string text;
  for (int32_t i = 0; i < count; ++i) {
    if (i) text += '\\';
    text += ZR_ImageWriter::DecimalString(values[i]);
  }
  return text;
}

// A value of the source, or an empty one (a Type 2 attribute is written even when empty).
ZR_DcmValue Copied(ZR_DcmElements& source, uint16_t group, uint16_t element) {
  const ZR_DcmAttribute a = source.Item(group, element);
  return a.Exists() ? a.Value() : ZR_DcmValue();
}

int32_t Fail(std::string* error, const std::string& why) {
  if (error) *error = why;
  return VR_WRITE_FAILED;
}
}  // namespace

const char* ZR_ImageWriter::Extension(int32_t mode) {
  switch (mode) {
    case kBmp: return ".bmp";
    case kJpeg: return ".jpg";
    case kDicomRgb:
    case kDicomGrey8:
    case kDicomGrey16: return ".dcm";
    default: return "";
  }
}

std::string ZR_ImageWriter::DecimalString(double value) {
  if (!std::isfinite(value)) value = 0;
  // The most significant digits that fit 16 characters; "%g" ignores the locale's separator
  // only in the C locale, so the text is made without it.
  for (int precision = 15; precision > 0; --precision) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*g", precision, value);
    std::string text(buffer);
    for (char& c : text)
      if (c == ',') c = '.';
    if (text.size() <= 16) return text;
  }
  return "0";
}

int32_t ZR_ImageWriter::WriteDicomImage(const std::string& sourceFile, const std::string& outputFile,
                                        const ZR_Image& image, int32_t mode, const Series& series,
                                        std::string* error) {
  if (!IsValidMode(mode)) return Fail(error, "no such write mode");
  if (!image.IsComplete()) return Fail(error, "the picture is empty or incomplete");
  try {
    // A missing output folder is made; one that cannot be made fails the write below.
    const std::filesystem::path folder = std::filesystem::path(outputFile).parent_path();
    if (!folder.empty()) {
      std::error_code ignored;
      std::filesystem::create_directories(folder, ignored);
    }
    ZR_DcmImages sources;
    sources.ReadFile(sourceFile);
    ZR_DcmImage* s = sources.Item(1);
    if (!s) return Fail(error, "the study's file holds no image");
    ZR_DcmElements in = s->Attributes();

    ZR_DcmImage d;
    ZR_DcmElements out = d.Attributes();
    // The source's character set first: the names below are written in it.
    if (in.Item(0x0008, 0x0005).Exists()) out.Add(0x0008, 0x0005, in.Item(0x0008, 0x0005).Value());
    d.SetSOPClass(kSecondaryCapture);
    const ZR_DcmValue today = ZR_DcmValue::Today(), now = ZR_DcmValue::Now();
    out.Add(0x0018, 0x1012, today);
    out.Add(0x0018, 0x1014, now);
    out.Add(0x0008, 0x0008, image.m_bMpr ? "DERIVED\\SECONDARY\\MPR" : "DERIVED\\SECONDARY\\3D");
    out.Add(0x0008, 0x0021, today);
    out.Add(0x0008, 0x0031, now);
    out.Add(0x0008, 0x0032, now);
    d.SetPatientID(s->PatientID());
    d.SetName(s->Name());
    d.SetDateOfBirth(s->DateOfBirth());
    out.Add(0x0010, 0x0040, Copied(in, 0x0010, 0x0040));
    // The study is the source's: its date and time, not today's.
    out.Add(0x0008, 0x0020, Copied(in, 0x0008, 0x0020));
    out.Add(0x0008, 0x0030, Copied(in, 0x0008, 0x0030));
    out.Add(0x0008, 0x0090, Copied(in, 0x0008, 0x0090));
    out.Add(0x0020, 0x0010, Copied(in, 0x0020, 0x0010));
    d.SetStudyDescription(s->StudyDescription());
    d.SetStudyUID(s->StudyUID());
    out.Add(0x0008, 0x0050, Copied(in, 0x0008, 0x0050));

    const bool colour = mode <= kDicomRgb;
    const int32_t bitsAllocated = mode == kDicomGrey16 ? 16 : 8;
    const int32_t bitsStored =
        colour ? 8 : std::min(bitsAllocated, std::max(1, mode == kDicomGrey8 ? std::min(image.m_nBitsStored, 8) : image.m_nBitsStored));
    out.Add(0x0028, 0x0002, colour ? 3 : 1);
    out.Add(0x0028, 0x0004, colour ? "RGB" : "MONOCHROME2");
    if (colour) out.Add(0x0028, 0x0006, 0);
    out.Add(0x0028, 0x0010, image.m_nHeight);
    out.Add(0x0028, 0x0011, image.m_nWidth);
    out.Add(0x0028, 0x0100, bitsAllocated);
    out.Add(0x0028, 0x0101, bitsStored);
    out.Add(0x0028, 0x0102, bitsStored - 1);
    out.Add(0x0028, 0x0103, 0);
    if (image.m_fPixelSpacing > 0) {
      const std::string spacing = DecimalString(image.m_fPixelSpacing);
      out.Add(0x0028, 0x0030, spacing + "\\" + spacing);
    }
    // Rescaling means something for grey samples only: stored 0 is the smallest value.
    if (!colour && image.m_bHasRescale) {
      out.Add(0x0028, 0x1052, DecimalString(image.m_dRescaleIntercept));
      out.Add(0x0028, 0x1053, DecimalString(image.m_dRescaleSlope));
      const std::string modality = Copied(in, 0x0008, 0x0060).AsText();
      out.Add(0x0028, 0x1054, modality == "CT" ? "HU" : "US");
    }
    if (!colour && image.m_dWindowWidth > 0) {
      out.Add(0x0028, 0x1050, DecimalString(image.m_dWindowCentre));
      out.Add(0x0028, 0x1051, DecimalString(std::max(1.0, image.m_dWindowWidth)));
    }
    if (image.m_bHasPosition) out.Add(0x0020, 0x0032, Joined(image.m_afPosition.data(), 3));
    if (image.m_bHasOrientation) out.Add(0x0020, 0x0037, Joined(image.m_afOrientation.data(), 6));
    out.Add(0x0020, 0x0020, ZR_DcmValue());  // Patient Orientation: not known for a reformat
    d.SetSeriesUID(series.sSeriesUid.empty() ? ZR_DcmUid::Generate() : series.sSeriesUid);
    out.Add(0x0020, 0x0011, series.nSeriesNumber);
    out.Add(0x0020, 0x0013, series.nInstanceNumber);
    out.Add(0x0008, 0x0060, "OT");
    // Type 2C: the validator cannot tell whether the body part is paired; the source knows.
    out.Add(0x0020, 0x0060, Copied(in, 0x0020, 0x0060));
    d.SetInstanceUID(ZR_DcmUid::Generate());
    out.Add(0x0008, 0x0070, kManufacturer);
    out.Add(0x0008, 0x1090, kModelName);
    out.Add(0x0008, 0x0064, "WSD");

    const std::vector<uint8_t> pixels = FilePixels(image, mode);
    const int32_t bytesPerPixel = colour ? 3 : bitsAllocated / 8;
    d.AllocatePixelSpace(pixels.size());
    d.CopyPixelBuffer(pixels.data(), 1, bytesPerPixel,
                      static_cast<std::ptrdiff_t>(bytesPerPixel) * image.m_nWidth);
    if (mode == kBmp)
      d.FileExport(outputFile, "BMP");
    else if (mode == kJpeg)
      d.FileExport(outputFile, "JPEG", 100);
    else
      d.WriteFile(outputFile);
  } catch (const ZR_DcmError& e) {
    return Fail(error, e.what());
  } catch (const std::bad_alloc&) {
    return Fail(error, "out of memory");
  }
  return VR_OK;
}
