// ZR_DcmImage: writing DICOM files and exporting pictures.
#include <algorithm>
#include <cctype>

#include <cerrno>
#include <cstring>

#include "core/ZR_TextFile.h"
#include "dicom/ZR_DcmError.h"
#include "dicom/ZR_DcmImage.h"
#include "dicom/ZR_DcmPicture.h"
#include "dicom/ZR_DcmUid.h"
#include "dicom/ZR_DcmWriter.h"

namespace {
constexpr uint32_t kPixelData = ZR_DcmDataSet::kPixelData;
}

std::vector<uint8_t> ZR_DcmImage::Encode(Syntax syntax) {
  if (InstanceUID().empty()) SetInstanceUID(ZR_DcmUid::Generate());
  const ZR_DcmDataSet::Element* element = m_oData.Find(kPixelData);
  // Compressed pixels are decoded first: what is written is always native.
  if (element && element->encapsulated) DecompressAll();

  ZR_DcmWriter::Pixels pixels;
  const ZR_DcmWriter::Pixels* given = nullptr;
  if (m_bDecoded) {
    const ZR_DcmAttribute allocated = Attributes().Item(0x0028, 0x0100);
    pixels.data = Pixels();
    pixels.size = m_bAllocated ? m_nPixelBytes : std::min(m_nPixelBytes, m_oFormat.TotalBytes());
    pixels.words = allocated.Exists() && allocated.Value().AsNumber() > 8;
    given = &pixels;
  }
  std::string bytes;
  try {
    bytes = ZR_DcmWriter::Encode(m_oData, given, syntax);
  } catch (const ZR_DcmError& e) {
    Fail(std::string("cannot write: ") + e.what());
  }
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

namespace {
// Complete or not at all: the bytes replace `path` only once they are on disk.
void WriteWhole(const std::string& path, std::string_view bytes) {
  errno = 0;
  if (!ZR_TextFile::WriteReplacing(path, bytes))
    throw ZR_DcmError("cannot write '" + path + "'" + (errno ? std::string(": ") + std::strerror(errno) : ""));
}
}  // namespace

void ZR_DcmImage::WriteFile(const std::string& path, Syntax syntax) {
  const std::vector<uint8_t> bytes = Encode(syntax);
  WriteWhole(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void ZR_DcmImage::FileExport(const std::string& path, const std::string& format, int32_t quality) {
  std::string kind = format;
  std::transform(kind.begin(), kind.end(), kind.begin(), [](unsigned char c) { return std::toupper(c); });
  if (kind != "BMP" && kind != "JPEG" && kind != "JPG") Fail("cannot export as '" + format + "'");
  const void* frame = PixelAddress();
  const ZR_DcmPixelFormat& layout = Format();
  std::string bytes;
  try {
    const ZR_DcmPicture::Raster raster = ZR_DcmPicture::FromPixels(frame, layout);
    bytes = kind == "BMP" ? ZR_DcmPicture::EncodeBmp(raster) : ZR_DcmPicture::EncodeJpeg(raster, quality);
  } catch (const ZR_DcmError& e) {
    Fail(e.what());
  }
  WriteWhole(path, bytes);
}
