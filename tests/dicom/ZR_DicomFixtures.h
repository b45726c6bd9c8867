#pragma once
// Small DICOM files made for exact expectations: grey images with chosen values written by the
// component itself, and compressed twins made by GDCM's own encoders and writer (a second,
// independent producer).

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "dicom/ZR_DcmImage.h"

// Readable test failures for values.
inline void PrintTo(const ZR_DcmValue& value, std::ostream* os) {
  *os << "kind " << static_cast<int>(value.GetKind()) << " '" << value.AsText() << "'";
}

class ZR_DicomFixtures {
 public:
  struct Grey {
    int32_t rows = 4, columns = 4;
    int32_t bitsAllocated = 16, bitsStored = 16;
    bool isSigned = false;
    std::vector<int32_t> values;  // rows x columns, row by row
  };

  // A CT-like image: identity, geometry (axial, 1 mm pixels, at z) and the values.
  static ZR_DcmImage Image(const Grey& grey, double z = 0.0);
  // The same values as host-order bytes of the allocated width.
  static std::vector<uint8_t> Bytes(const Grey& grey);
  // The values read back from an image's frame 1 (as the given layout).
  static std::vector<int32_t> Values(ZR_DcmImage& image);

  // `grey` encoded with a compressed transfer syntax by GDCM, as a whole file.
  static std::vector<uint8_t> GdcmFile(const Grey& grey, const std::string& syntax);

  // A whole file (well formed, such as the component writes) re-encoded by GDCM in a compressed
  // transfer syntax, every other element kept.
  static std::vector<uint8_t> GdcmTranscode(const std::vector<uint8_t>& file, const std::string& syntax);
  // Pixels of a file as GDCM's own reader decodes them (host order), for cross-checks.
  static std::vector<uint8_t> GdcmPixels(const std::vector<uint8_t>& file);

  static void Save(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
  static std::vector<uint8_t> Load(const std::filesystem::path& path);
};
