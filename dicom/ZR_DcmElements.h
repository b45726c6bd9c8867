#pragma once
// All data elements of one image, by tag. A view onto the image: valid while the image lives.

#include <cstdint>

#include "dicom/ZR_DcmAttribute.h"
#include "dicom/ZR_DcmValue.h"

class ZR_DcmDataSet;

class ZR_DcmElements {
 public:
  explicit ZR_DcmElements(ZR_DcmDataSet& set) : m_pSet(&set) {}

  // Always an attribute, present or not.
  ZR_DcmAttribute Item(uint16_t group, uint16_t element) const;
  // Adds or replaces; the representation comes from the data dictionary. Text is UTF-8.
  // Raises ZR_DcmError when the value cannot be held (a number too large for US, ...).
  void Add(uint16_t group, uint16_t element, const ZR_DcmValue& value);
  void Remove(uint16_t group, uint16_t element);
  int32_t Count() const;

 private:
  ZR_DcmDataSet* m_pSet;
};
