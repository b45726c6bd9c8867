#pragma once
// Every picture the program saves leaves through here: a ZR_Image becomes a DICOM secondary
// capture with the patient and study of the loaded study, written as a DICOM file or
// exported as a JPEG or BMP picture. Files appear complete or not at all.

#include <cstdint>
#include <string>

class ZR_Image;

class ZR_ImageWriter {
 public:
  // Write modes.
  enum Mode : int32_t { kBmp = 0, kJpeg = 1, kDicomRgb = 2, kDicomGrey8 = 3, kDicomGrey16 = 4 };

  // Which series a written image belongs to and where in it.
  struct Series {
    std::string sSeriesUid;  // empty: a new one
    int32_t nSeriesNumber = 1;
    int32_t nInstanceNumber = 1;
  };

  static bool IsValidMode(int32_t mode) { return mode >= kBmp && mode <= kDicomGrey16; }
  static const char* Extension(int32_t mode);
  // Decimal text of at most 16 characters in the C locale (a DICOM DS value).
  static std::string DecimalString(double value);

  // VR_OK, VR_WRITE_FAILED (with the reason in `error`, the previous file under that name
  // left as it was), or VR_WRITE_FAILED for an image or mode that cannot be written.
  [[nodiscard]] static int32_t WriteDicomImage(const std::string& sourceFile, const std::string& outputFile,
                                               const ZR_Image& image, int32_t mode, const Series& series,
                                               std::string* error = nullptr);
};
