#include "dicom/ZR_DcmDataSet.h"

#include <algorithm>
#include <cstdio>

#include "dicom/ZR_DcmVr.h"

std::string ZR_DcmDataSet::TagName(uint32_t tag) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "(%04X,%04X)", tag >> 16, tag & 0xffff);
  return buffer;
}

const ZR_DcmDataSet::Element* ZR_DcmDataSet::Find(uint32_t tag) const {
  auto it = std::lower_bound(m_aElements.begin(), m_aElements.end(), tag,
                             [](const Element& e, uint32_t t) { return e.tag < t; });
  return (it != m_aElements.end() && it->tag == tag) ? &*it : nullptr;
}

void ZR_DcmDataSet::Set(Element element) {
  auto it = std::lower_bound(m_aElements.begin(), m_aElements.end(), element.tag,
                             [](const Element& e, uint32_t t) { return e.tag < t; });
  if (it != m_aElements.end() && it->tag == element.tag)
    *it = std::move(element);
  else
    m_aElements.insert(it, std::move(element));
}

void ZR_DcmDataSet::Remove(uint32_t tag) {
  auto it = std::lower_bound(m_aElements.begin(), m_aElements.end(), tag,
                             [](const Element& e, uint32_t t) { return e.tag < t; });
  if (it != m_aElements.end() && it->tag == tag) m_aElements.erase(it);
}

void ZR_DcmDataSet::Finish() {
  std::stable_sort(m_aElements.begin(), m_aElements.end(),
                   [](const Element& a, const Element& b) { return a.tag < b.tag; });
  m_aElements.erase(std::unique(m_aElements.begin(), m_aElements.end(),
                                [](const Element& a, const Element& b) { return a.tag == b.tag; }),
                    m_aElements.end());
}

const ZR_DcmCharset& ZR_DcmDataSet::Charset() const {
  static const ZR_DcmCharset kDefault;
  return m_pCharset ? *m_pCharset : kDefault;
}

std::string ZR_DcmDataSet::TextOf(const Element& element) const {
  std::string_view text = element.Text();
  // Trailing spaces and NULs are padding everywhere; leading spaces only where the standard
  // calls them insignificant (not in the free-text representations).
  while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.remove_suffix(1);
  if (!ZR_DcmVr::IsSingleValuedText(element.vr))
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  if (element.utf8 || !ZR_DcmVr::UsesCharset(element.vr)) return std::string(text);
  return Charset().ToUtf8(text, element.vr == ZR_DcmVr::PN);
}
