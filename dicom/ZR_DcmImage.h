#pragma once
// One DICOM image: its data set, the identity of patient and study, the pixels and the ways
// out (a DICOM file, a BMP or JPEG picture). Either read from a file (ZR_DcmImages) or created
// empty to be filled by a caller. Failures raise ZR_DcmError.
//
// Pixels are handed out in host byte order whatever the file's byte order: a big-endian file
// holding 258 reads as 258.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dicom/ZR_DcmElements.h"
#include "dicom/ZR_DcmDataSet.h"
#include "dicom/ZR_DcmPixelFormat.h"
#include "dicom/ZR_DcmValue.h"

class ZR_DcmImage {
 public:
  // Encodings WriteFile can produce; secondary captures are written as explicit little endian.
  enum class Syntax { ExplicitLittle, ImplicitLittle, ExplicitBig, Deflated };

  ZR_DcmImage();
  // An image read from a file (`name` is used in messages).
  ZR_DcmImage(ZR_DcmDataSet meta, ZR_DcmDataSet data, std::string syntax, std::string name);

  ZR_DcmElements Attributes() { return ZR_DcmElements(m_oData); }
  const ZR_DcmDataSet& DataSet() const { return m_oData; }

  // Patient and study identity; "" (an empty value for the date) when the element is absent.
  std::string Name() const;
  std::string Sex() const;
  std::string StudyDescription() const;
  std::string PatientID() const;
  ZR_DcmValue DateOfBirth() const;
  std::string StudyUID() const;
  std::string SeriesUID() const;
  std::string SOPClass() const;
  std::string InstanceUID() const;

  void SetSOPClass(const std::string& uid);
  void SetName(const std::string& name);
  void SetPatientID(const std::string& id);
  void SetDateOfBirth(const ZR_DcmValue& date);
  void SetStudyDescription(const std::string& text);
  void SetStudyUID(const std::string& uid);
  void SetSeriesUID(const std::string& uid);
  void SetInstanceUID(const std::string& uid);

  // Transfer syntax UID of the file read; "" for an image made in memory.
  const std::string& ReceivedSyntax() const { return m_sReceivedSyntax; }
  const std::string& FileName() const { return m_sName; }

  // Decodes the pixels of every frame (any transfer syntax GDCM decodes). Attributes that the
  // decoder changes (a colour JPEG becomes RGB) are updated.
  void DecompressAll();
  // The decoded pixels of frame 1, row by row (decodes first when needed). Valid until the
  // pixels change or the image goes.
  const void* PixelAddress();
  size_t FrameBytes();
  // Layout of the decoded pixels.
  const ZR_DcmPixelFormat& Format();

  // A zeroed pixel buffer of `bytes` for an image being built.
  void AllocatePixelSpace(size_t bytes);
  // Copies Rows rows of Columns x bytesPerPixel bytes from `address`, `rowStride` bytes apart
  // (negative: the source is bottom-up and `address` is its last row). Only frame 1.
  void CopyPixelBuffer(const void* address, int32_t frame, int32_t bytesPerPixel,
                       std::ptrdiff_t rowStride);

  // Writes the image as a DICOM file; nothing is left under `path` unless complete.
  void WriteFile(const std::string& path, Syntax syntax = Syntax::ExplicitLittle);
  // The file's bytes, as WriteFile would write them.
  std::vector<uint8_t> Encode(Syntax syntax = Syntax::ExplicitLittle);
  // A picture of frame 1: format "BMP" or "JPEG" (quality 1..100).
  void FileExport(const std::string& path, const std::string& format, int32_t quality = 100);

 private:
  std::string Text(uint16_t group, uint16_t element) const;
  void SetText(uint16_t group, uint16_t element, const std::string& text);
  [[noreturn]] void Fail(const std::string& what) const;
  void DecodeNative(const ZR_DcmDataSet::Element& pixels);
  // Where the decoded pixels are (a copied image keeps pointing at its own buffer).
  const uint8_t* Pixels() const { return m_pKeep ? m_pPixels : m_aPixels.data(); }

  ZR_DcmDataSet m_oMeta;
  ZR_DcmDataSet m_oData;
  std::string m_sReceivedSyntax;
  std::string m_sName;

  // Decoded pixels: either a buffer of our own or, for native data that needs no work, the
  // file's own bytes (m_pPixels, kept alive by m_pKeep).
  bool m_bDecoded = false;
  bool m_bAllocated = false;  // pixels put in by a caller, described by the attributes
  ZR_DcmPixelFormat m_oFormat;
  std::vector<uint8_t> m_aPixels;
  std::shared_ptr<const void> m_pKeep;
  const uint8_t* m_pPixels = nullptr;
  size_t m_nPixelBytes = 0;
};
