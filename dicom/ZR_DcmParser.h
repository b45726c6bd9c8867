#pragma once
// Reads the bytes of one DICOM file into data sets. Every declared length is checked against
// the bytes that remain before anything is kept, nesting is bounded, and nothing is copied:
// values point into the file's buffer (big-endian values are turned round in place). Files
// with or without preamble and file meta information are read; when the encoding is not
// declared (or the declared one does not fit the data) the plausible ones are tried in turn.
// Raises ZR_DcmError with a readable reason.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dicom/ZR_DcmDataSet.h"

class ZR_DcmParser {
 public:
  struct Result {
    ZR_DcmDataSet meta;  // group 0002, empty when the file has none
    ZR_DcmDataSet data;
    std::string syntax;  // transfer syntax UID the data set was read with
  };

  // `file` holds `size` bytes; it is byte-swapped in place when the data set is big endian.
  static Result Parse(std::shared_ptr<uint8_t[]> file, size_t size);

  // Transfer syntax UIDs the component knows by name.
  static constexpr const char* kImplicitLittle = "1.2.840.10008.1.2";
  static constexpr const char* kExplicitLittle = "1.2.840.10008.1.2.1";
  static constexpr const char* kExplicitBig = "1.2.840.10008.1.2.2";
  static constexpr const char* kDeflated = "1.2.840.10008.1.2.1.99";
};
