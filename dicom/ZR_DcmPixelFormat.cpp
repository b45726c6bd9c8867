#include "dicom/ZR_DcmPixelFormat.h"

#include "dicom/ZR_DcmAttribute.h"
#include "dicom/ZR_DcmDataSet.h"
#include "dicom/ZR_DcmError.h"
#include "dicom/ZR_DcmLimits.h"

namespace {
double Number(const ZR_DcmDataSet& set, uint16_t group, uint16_t element, const char* name,
              double fallback, bool required) {
  ZR_DcmAttribute a(set, group, element);
  if (!a.Exists() || a.Value().IsEmpty()) {
    if (required) throw ZR_DcmError(std::string(name) + " " + ZR_DcmDataSet::TagName(ZR_DcmDataSet::Tag(group, element)) + " is missing");
    return fallback;
  }
  return a.Value().AsNumber();
}
}  // namespace

ZR_DcmPixelFormat ZR_DcmPixelFormat::FromDataSet(const ZR_DcmDataSet& set) {
  ZR_DcmPixelFormat f;
  const double rows = Number(set, 0x0028, 0x0010, "Rows", 0, true);
  const double columns = Number(set, 0x0028, 0x0011, "Columns", 0, true);
  const double allocated = Number(set, 0x0028, 0x0100, "Bits Allocated", 0, true);
  const double stored = Number(set, 0x0028, 0x0101, "Bits Stored", allocated, false);
  const double high = Number(set, 0x0028, 0x0102, "High Bit", stored - 1, false);
  const double representation = Number(set, 0x0028, 0x0103, "Pixel Representation", 0, false);
  const double samples = Number(set, 0x0028, 0x0002, "Samples per Pixel", 1, false);
  const double planar = Number(set, 0x0028, 0x0006, "Planar Configuration", 0, false);
  const double frames = Number(set, 0x0028, 0x0008, "Number of Frames", 1, false);

  auto check = [](bool ok, const std::string& what) {
    if (!ok) throw ZR_DcmError(what);
  };
  check(rows >= 1 && rows <= 65535 && columns >= 1 && columns <= 65535,
        "the image size " + std::to_string(static_cast<long long>(columns)) + " x " +
            std::to_string(static_cast<long long>(rows)) + " is not usable");
  check(allocated == 1 || allocated == 8 || allocated == 12 || allocated == 16 || allocated == 32 ||
            allocated == 64,
        "Bits Allocated " + std::to_string(static_cast<long long>(allocated)) + " is not supported");
  check(stored >= 1 && stored <= allocated && high >= stored - 1 && high < allocated,
        "Bits Stored / High Bit do not fit Bits Allocated");
  check(representation == 0 || representation == 1, "Pixel Representation must be 0 or 1");
  check(samples == 1 || samples == 3 || samples == 4, "Samples per Pixel must be 1, 3 or 4");
  check(frames >= 1 && frames <= 1e6, "Number of Frames is not usable");
  f.rows = static_cast<uint32_t>(rows);
  f.columns = static_cast<uint32_t>(columns);
  f.frames = static_cast<uint32_t>(frames);
  f.bitsAllocated = static_cast<uint16_t>(allocated);
  f.bitsStored = static_cast<uint16_t>(stored);
  f.highBit = static_cast<uint16_t>(high);
  f.pixelRepresentation = static_cast<uint16_t>(representation);
  f.samples = static_cast<uint16_t>(samples);
  f.planar = planar == 1 ? 1 : 0;
  ZR_DcmAttribute pi(set, 0x0028, 0x0004);
  if (pi.Exists() && !pi.Value().AsText().empty())
    f.photometric = pi.Value().AsText();
  else if (f.samples == 3)
    f.photometric = "RGB";
  if (f.TotalBytes() > ZR_DcmLimits::MaxPixelBytes())
    throw ZR_DcmError("the pixel data would take " + std::to_string(f.TotalBytes()) +
                      " bytes, more than this program handles");
  return f;
}

size_t ZR_DcmPixelFormat::FrameBytes() const {
  const size_t values = size_t{rows} * columns * samples;
  return (values * bitsAllocated + 7) / 8;
}
