#pragma once
// Between element bytes and values: what an element's bytes mean as a ZR_DcmValue (by its
// value representation), and the element a value becomes when a caller adds it.

#include <cstdint>

#include "dicom/ZR_DcmDataSet.h"
#include "dicom/ZR_DcmValue.h"

class ZR_DcmValueCodec {
 public:
  // Text comes out in UTF-8; numeric text and binary numbers as numbers (arrays when
  // multi-valued); dates as dates; other binary values as bytes; sequences as empty.
  static ZR_DcmValue Decode(const ZR_DcmDataSet& set, const ZR_DcmDataSet::Element& element);
  // The representation comes from the dictionary (or, for tags it does not know, from the
  // kind of value). Raises ZR_DcmError when the value cannot be held by it.
  static ZR_DcmDataSet::Element Encode(uint32_t tag, const ZR_DcmValue& value);
  static ZR_DcmDataSet::Element Encode(uint32_t tag, uint16_t vr, const ZR_DcmValue& value);
  // An element holding a copy of `bytes`.
  static ZR_DcmDataSet::Element Make(uint32_t tag, uint16_t vr, std::string_view bytes, bool utf8);
};
