#include "dicom/ZR_DcmAttribute.h"

#include "dicom/ZR_DcmDataSet.h"
#include "dicom/ZR_DcmError.h"
#include "dicom/ZR_DcmValueCodec.h"
#include "dicom/ZR_DcmVr.h"

ZR_DcmAttribute::ZR_DcmAttribute(const ZR_DcmDataSet& set, uint16_t group, uint16_t element)
    : m_pSet(&set), m_nGroup(group), m_nElement(element) {}

bool ZR_DcmAttribute::Exists() const { return m_pSet->Has(ZR_DcmDataSet::Tag(m_nGroup, m_nElement)); }

ZR_DcmValue ZR_DcmAttribute::Value() const {
  const uint32_t tag = ZR_DcmDataSet::Tag(m_nGroup, m_nElement);
  const ZR_DcmDataSet::Element* e = m_pSet->Find(tag);
  if (!e) throw ZR_DcmError("element " + ZR_DcmDataSet::TagName(tag) + " is missing");
  return ZR_DcmValueCodec::Decode(*m_pSet, *e);
}

std::string ZR_DcmAttribute::Vr() const {
  const ZR_DcmDataSet::Element* e = m_pSet->Find(ZR_DcmDataSet::Tag(m_nGroup, m_nElement));
  return e ? ZR_DcmVr::Name(e->vr) : std::string();
}
