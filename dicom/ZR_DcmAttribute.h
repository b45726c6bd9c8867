#pragma once
// One element of an image's data set, asked for by tag: the answer exists whether or not the
// element is present; reading the value of an absent element raises ZR_DcmError.

#include <cstdint>
#include <string>

#include "dicom/ZR_DcmValue.h"

class ZR_DcmDataSet;

class ZR_DcmAttribute {
 public:
  ZR_DcmAttribute(const ZR_DcmDataSet& set, uint16_t group, uint16_t element);

  bool Exists() const;
  ZR_DcmValue Value() const;
  // The two-letter representation, "" when absent.
  std::string Vr() const;
  uint16_t Group() const { return m_nGroup; }
  uint16_t Element() const { return m_nElement; }

 private:
  const ZR_DcmDataSet* m_pSet;
  uint16_t m_nGroup;
  uint16_t m_nElement;
};
