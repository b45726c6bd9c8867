#include "dicom/ZR_DcmElements.h"

#include <memory>

#include "dicom/ZR_DcmDataSet.h"
#include "dicom/ZR_DcmError.h"
#include "dicom/ZR_DcmValueCodec.h"
#include "dicom/ZR_DcmVr.h"

ZR_DcmAttribute ZR_DcmElements::Item(uint16_t group, uint16_t element) const {
  return ZR_DcmAttribute(*m_pSet, group, element);
}

void ZR_DcmElements::Add(uint16_t group, uint16_t element, const ZR_DcmValue& value) {
  const uint32_t tag = ZR_DcmDataSet::Tag(group, element);
  if (group == 0x0002) throw ZR_DcmError("file meta elements are written by the component itself");
  if (group == 0x7FE0 && element == 0x0010)
    throw ZR_DcmError("pixel data is set through AllocatePixelSpace and CopyPixelBuffer");
  ZR_DcmDataSet::Element encoded = ZR_DcmValueCodec::Encode(tag, value);
  if (tag == ZR_DcmDataSet::Tag(0x0008, 0x0005)) {
    // The text already held keeps its meaning: it is turned into UTF-8 before the character
    // set it was written in is replaced.
    for (ZR_DcmDataSet::Element& e : m_pSet->MutableElements()) {
      if (e.utf8 || !ZR_DcmVr::UsesCharset(e.vr) || e.bytes.empty()) continue;
      e = ZR_DcmValueCodec::Make(e.tag, e.vr, m_pSet->TextOf(e), true);
    }
    m_pSet->SetCharset(std::make_shared<ZR_DcmCharset>(value.AsText()));
  }
  m_pSet->Set(std::move(encoded));
}

void ZR_DcmElements::Remove(uint16_t group, uint16_t element) {
  m_pSet->Remove(ZR_DcmDataSet::Tag(group, element));
}

int32_t ZR_DcmElements::Count() const { return static_cast<int32_t>(m_pSet->Elements().size()); }
