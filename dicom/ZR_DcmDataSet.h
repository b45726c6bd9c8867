#pragma once
// One DICOM data set as the component keeps it: its elements in tag order, each value held as
// little-endian bytes (big-endian files are turned round when read), text as written in the
// file's character set unless marked as UTF-8 (values added in memory). Values point into
// shared storage (the file's bytes or a value's own buffer), so copies are cheap and safe.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "dicom/ZR_DcmCharset.h"

class ZR_DcmDataSet {
 public:
  struct Element {
    uint32_t tag = 0;  // group << 16 | element
    uint16_t vr = 0;   // ZR_DcmVr code
    std::span<const uint8_t> bytes;
    std::shared_ptr<const void> storage;  // keeps `bytes` (and fragments) alive
    bool utf8 = false;                    // text already UTF-8 (set in memory)
    std::vector<ZR_DcmDataSet> items;     // sequence items (VR SQ)
    // Encapsulated pixel data: the basic offset table item, then one span per fragment.
    bool encapsulated = false;
    std::vector<std::span<const uint8_t>> fragments;

    uint16_t Group() const { return static_cast<uint16_t>(tag >> 16); }
    std::string_view Text() const {
      return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
    }
  };

  static constexpr uint32_t kPixelData = 0x7FE00010;
  static constexpr uint32_t kCharacterSet = 0x00080005;
  static constexpr uint32_t kUndefinedLength = 0xFFFFFFFF;

  static constexpr uint32_t Tag(uint16_t group, uint16_t element) {
    return static_cast<uint32_t>(group) << 16 | element;
  }
  // "(0010,0010)"
  static std::string TagName(uint32_t tag);

  const Element* Find(uint32_t tag) const;
  bool Has(uint32_t tag) const { return Find(tag) != nullptr; }
  // Adds or replaces.
  void Set(Element element);
  void Remove(uint32_t tag);
  const std::vector<Element>& Elements() const { return m_aElements; }
  std::vector<Element>& MutableElements() { return m_aElements; }
  bool Empty() const { return m_aElements.empty(); }

  // For the parser: elements arrive in file order; Finish sorts them and keeps the first of
  // any repeated tag.
  void Append(Element element) { m_aElements.push_back(std::move(element)); }
  void Finish();

  // The character set of this data set's text (its own (0008,0005) or the enclosing one's).
  const ZR_DcmCharset& Charset() const;
  void SetCharset(std::shared_ptr<const ZR_DcmCharset> charset) { m_pCharset = std::move(charset); }

  // A value's text in UTF-8, trimmed of the padding DICOM allows for its representation.
  std::string TextOf(const Element& element) const;

 private:
  std::vector<Element> m_aElements;
  std::shared_ptr<const ZR_DcmCharset> m_pCharset;
};
