#pragma once
// Encodes an image's data set as the bytes of a DICOM file: preamble, file meta information,
// then the data set in the chosen encoding. Text is written in the data set's Specific
// Character Set when every value can be, otherwise in UTF-8 (and the set says ISO_IR 192).

#include <cstddef>
#include <cstdint>
#include <string>

#include "dicom/ZR_DcmDataSet.h"
#include "dicom/ZR_DcmImage.h"

class ZR_DcmWriter {
 public:
  // Pixels in host byte order, written as Pixel Data in place of the data set's own element.
  struct Pixels {
    const uint8_t* data = nullptr;
    size_t size = 0;
    bool words = false;  // OW (16-bit units) rather than OB
  };

  // Needs SOP Class and SOP Instance UID in the data set. Raises ZR_DcmError.
  static std::string Encode(const ZR_DcmDataSet& data, const Pixels* pixels, ZR_DcmImage::Syntax syntax);
};
