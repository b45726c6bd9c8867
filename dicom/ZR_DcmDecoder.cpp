#include "dicom/ZR_DcmDecoder.h"

#include <gdcmDataElement.h>
#include <gdcmFragment.h>
#include <gdcmImage.h>
#include <gdcmPhotometricInterpretation.h>
#include <gdcmPixelFormat.h>
#include <gdcmSequenceOfFragments.h>
#include <gdcmTrace.h>
#include <gdcmTransferSyntax.h>
#include <gdcmUIDs.h>

#include <mutex>

#include "dicom/ZR_DcmError.h"
#include "dicom/ZR_DcmLimits.h"

namespace {
void QuietGdcm() {
  static std::once_flag once;
  std::call_once(once, [] {
    gdcm::Trace::SetDebug(false);
    gdcm::Trace::SetWarning(false);
    gdcm::Trace::SetError(false);
  });
}

gdcm::TransferSyntax::TSType SyntaxType(const std::string& syntax) {
  return gdcm::TransferSyntax::GetTSType(syntax.c_str());
}
}  // namespace

bool ZR_DcmDecoder::Supports(const std::string& syntax) {
  return SyntaxType(syntax) != gdcm::TransferSyntax::TS_END;
}

std::string ZR_DcmDecoder::SyntaxName(const std::string& syntax) {
  gdcm::UIDs uid;
  if (uid.SetFromUID(syntax.c_str()) && uid.GetName()) return uid.GetName();
  return syntax;
}

std::vector<uint8_t> ZR_DcmDecoder::Decode(const std::string& syntax, bool encapsulated,
                                           const std::vector<std::span<const uint8_t>>& fragments,
                                           ZR_DcmPixelFormat& format) {
  QuietGdcm();
  const gdcm::TransferSyntax::TSType type =
      encapsulated ? SyntaxType(syntax) : gdcm::TransferSyntax::ExplicitVRLittleEndian;
  if (type == gdcm::TransferSyntax::TS_END || (encapsulated && !gdcm::TransferSyntax(type).IsEncapsulated()))
    throw ZR_DcmError("the transfer syntax " + syntax + " cannot be decoded");
  if (fragments.empty()) throw ZR_DcmError("there is no pixel data");

  gdcm::Image image;
  image.SetNumberOfDimensions(format.frames > 1 ? 3 : 2);
  image.SetDimension(0, format.columns);
  image.SetDimension(1, format.rows);
  if (format.frames > 1) image.SetDimension(2, format.frames);
  image.SetPixelFormat(gdcm::PixelFormat(format.samples, format.bitsAllocated, format.bitsStored,
                                         format.highBit, format.pixelRepresentation));
  gdcm::PhotometricInterpretation::PIType pi =
      gdcm::PhotometricInterpretation::GetPIType(format.photometric.c_str());
  // The codecs assert that the interpretation fits the sample count: keep the two consistent.
  const bool grey = pi == gdcm::PhotometricInterpretation::MONOCHROME1 ||
                    pi == gdcm::PhotometricInterpretation::MONOCHROME2 ||
                    pi == gdcm::PhotometricInterpretation::PALETTE_COLOR;
  if (pi == gdcm::PhotometricInterpretation::UNKNOWN || pi == gdcm::PhotometricInterpretation::PI_END ||
      grey != (format.samples == 1) || format.samples == 4)
    pi = format.samples == 1 ? gdcm::PhotometricInterpretation::MONOCHROME2
                             : gdcm::PhotometricInterpretation::RGB;
  if (format.samples == 4) throw ZR_DcmError("pixel data of four samples cannot be decoded");
  image.SetPhotometricInterpretation(pi);
  image.SetPlanarConfiguration(format.samples > 1 ? format.planar : 0);
  image.SetTransferSyntax(gdcm::TransferSyntax(type));

  gdcm::DataElement pixels(gdcm::Tag(0x7fe0, 0x0010));
  if (encapsulated) {
    gdcm::SmartPointer<gdcm::SequenceOfFragments> sequence = new gdcm::SequenceOfFragments;
    const std::span<const uint8_t> table = fragments[0];
    sequence->GetTable().SetByteValue(reinterpret_cast<const char*>(table.data()),
                                      static_cast<uint32_t>(table.size()));
    for (size_t i = 1; i < fragments.size(); ++i) {
      gdcm::Fragment fragment;
      fragment.SetByteValue(reinterpret_cast<const char*>(fragments[i].data()),
                            static_cast<uint32_t>(fragments[i].size()));
      sequence->AddFragment(fragment);
    }
    if (sequence->GetNumberOfFragments() == 0) throw ZR_DcmError("the encapsulated pixel data holds no fragment");
    pixels.SetValue(*sequence);
    pixels.SetVR(gdcm::VR::OB);
  } else {
    pixels.SetByteValue(reinterpret_cast<const char*>(fragments[0].data()),
                        static_cast<uint32_t>(fragments[0].size()));
    pixels.SetVR(format.bitsAllocated > 8 ? gdcm::VR::OW : gdcm::VR::OB);
  }
  image.SetDataElement(pixels);

  const size_t length = image.GetBufferLength();
  if (length == 0 || length > ZR_DcmLimits::MaxPixelBytes())
    throw ZR_DcmError("the decoded pixel data would take " + std::to_string(length) + " bytes");
  std::vector<uint8_t> out(length);
  bool ok = false;
  try {
    ok = image.GetBuffer(reinterpret_cast<char*>(out.data()));
  } catch (const std::exception& e) {
    throw ZR_DcmError(std::string("the pixel data cannot be decoded: ") + e.what());
  } catch (...) {
    throw ZR_DcmError("the pixel data cannot be decoded (" + SyntaxName(syntax) + ")");
  }
  if (!ok) throw ZR_DcmError("the pixel data cannot be decoded (" + SyntaxName(syntax) + ")");

  // The codec may have changed what the pixels are (YBR to RGB, a corrected representation).
  const gdcm::PixelFormat& pf = image.GetPixelFormat();
  format.samples = pf.GetSamplesPerPixel();
  format.bitsAllocated = pf.GetBitsAllocated();
  format.bitsStored = pf.GetBitsStored();
  format.highBit = pf.GetHighBit();
  format.pixelRepresentation = pf.GetPixelRepresentation();
  format.planar = static_cast<uint16_t>(image.GetPlanarConfiguration());
  if (const char* name = gdcm::PhotometricInterpretation::GetPIString(image.GetPhotometricInterpretation())) {
    format.photometric = name;
    while (!format.photometric.empty() && format.photometric.back() == ' ') format.photometric.pop_back();
  }
  if (format.TotalBytes() != out.size()) out.resize(std::min(out.size(), format.TotalBytes()));
  return out;
}
