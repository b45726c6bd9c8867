#include "dicom/ZR_DcmParser.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "dicom/ZR_DcmError.h"
#include "dicom/ZR_DcmLimits.h"
#include "dicom/ZR_DcmVr.h"

namespace {
using Element = ZR_DcmDataSet::Element;

constexpr uint32_t kItem = 0xFFFEE000;
constexpr uint32_t kItemEnd = 0xFFFEE00D;
constexpr uint32_t kSequenceEnd = 0xFFFEE0DD;
constexpr uint32_t kPixelData = ZR_DcmDataSet::kPixelData;
constexpr uint32_t kUndefined = ZR_DcmDataSet::kUndefinedLength;

struct Encoding {
  bool explicitVr = true;
  bool bigEndian = false;
  bool operator==(const Encoding&) const = default;
};

std::string Trimmed(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.remove_suffix(1);
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  return std::string(text);
}

// One pass over a buffer with one encoding. Throws ZR_DcmError at the first inconsistency.
class Reader {
 public:
  Reader(const uint8_t* base, size_t size, std::shared_ptr<const void> storage, Encoding enc)
      : m_pBase(base), m_nSize(size), m_pStorage(std::move(storage)), m_oEnc(enc) {}

  // Reads elements from pos until end (or until an item delimiter when `inItem`).
  // `strict`: top-level tags must ascend (used when the encoding was guessed).
  void DataSet(size_t& pos, size_t end, bool inItem, bool topLevel, ZR_DcmDataSet& out,
               bool strict = false) {
    if (++m_nDepth > ZR_DcmLimits::kMaxDepth) Fail(pos, "sequences nested too deeply");
    uint32_t previous = 0;
    while (pos < end) {
      if (end - pos < 8) {
        if (topLevel && AllZero(pos, end)) break;
        Fail(pos, "the data ends inside an element header");
      }
      const uint32_t tag = Tag(pos);
      if (topLevel && (tag >> 16) == 0) {
        // Zero padding after the last element (seen in real files): the data set ends here.
        if (AllZero(pos, std::min(end, pos + 8))) break;
        Fail(pos, "element of group 0000 in a stored file");
      }
      if (tag == kItemEnd) {
        if (!inItem) Fail(pos, "item delimiter outside an item");
        pos += 8;
        --m_nDepth;
        return;
      }
      if ((tag >> 16) == 0xFFFE) Fail(pos, "unexpected item tag " + ZR_DcmDataSet::TagName(tag));
      if (strict && tag <= previous)
        Fail(pos, "elements out of order at " + ZR_DcmDataSet::TagName(tag));
      previous = tag;
      out.Append(ElementAt(pos, end, tag));
    }
    if (inItem) Fail(pos, "item without its delimiter");
    --m_nDepth;
  }

 private:
  [[noreturn]] void Fail(size_t pos, const std::string& what) const {
    throw ZR_DcmError(what + " (at byte " + std::to_string(pos) + ")");
  }

  bool AllZero(size_t from, size_t to) const {
    for (size_t i = from; i < to; ++i)
      if (m_pBase[i] != 0) return false;
    return true;
  }
  uint16_t U16(size_t pos) const {
    const uint8_t* p = m_pBase + pos;
    return m_oEnc.bigEndian ? static_cast<uint16_t>(p[0] << 8 | p[1])
                            : static_cast<uint16_t>(p[1] << 8 | p[0]);
  }
  uint32_t U32(size_t pos) const {
    const uint8_t* p = m_pBase + pos;
    return m_oEnc.bigEndian ? (uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3])
                            : (uint32_t{p[3]} << 24 | uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0]);
  }
  uint32_t Tag(size_t pos) const { return uint32_t{U16(pos)} << 16 | U16(pos + 2); }

  Element ElementAt(size_t& pos, size_t end, uint32_t tag) {
    Element e;
    e.tag = tag;
    e.storage = m_pStorage;
    size_t header = 8;
    uint32_t length = 0;
    bool implicitSequence = false;  // contents in implicit little endian (UN of unknown length)
    if (m_oEnc.explicitVr) {
      e.vr = ZR_DcmVr::Code(static_cast<char>(m_pBase[pos + 4]), static_cast<char>(m_pBase[pos + 5]));
      if (!ZR_DcmVr::IsKnown(e.vr))
        Fail(pos, "invalid value representation in " + ZR_DcmDataSet::TagName(tag));
      if (ZR_DcmVr::HasLongLength(e.vr)) {
        if (end - pos < 12) Fail(pos, "the data ends inside an element header");
        length = U32(pos + 8);
        header = 12;
      } else {
        length = U16(pos + 6);
      }
    } else {
      e.vr = ZR_DcmVr::ForTag(tag);
      length = U32(pos + 4);
    }
    pos += header;

    if (length == kUndefined) {
      const bool pixelVr = !m_oEnc.explicitVr || e.vr == ZR_DcmVr::OB || e.vr == ZR_DcmVr::OW ||
                           e.vr == ZR_DcmVr::UN;
      if (tag == kPixelData && pixelVr) {
        e.encapsulated = true;
        Fragments(pos, end, e);
        return e;
      }
      if (e.vr == ZR_DcmVr::UN || (!m_oEnc.explicitVr && e.vr != ZR_DcmVr::SQ)) {
        implicitSequence = m_oEnc.explicitVr;
      } else if (e.vr != ZR_DcmVr::SQ) {
        Fail(pos, "undefined length for " + ZR_DcmVr::Name(e.vr) + " in " + ZR_DcmDataSet::TagName(tag));
      }
      e.vr = ZR_DcmVr::SQ;
      if (implicitSequence) {
        Reader inner(m_pBase, m_nSize, m_pStorage, Encoding{false, false});
        inner.m_nDepth = m_nDepth;
        inner.Items(pos, end, true, e);
      } else {
        Items(pos, end, true, e);
      }
      return e;
    }

    if (length > end - pos)
      Fail(pos, ZR_DcmDataSet::TagName(tag) + " declares " + std::to_string(length) +
                    " bytes but only " + std::to_string(end - pos) + " remain");
    if (e.vr == ZR_DcmVr::SQ) {
      Items(pos, pos + length, false, e);
      return e;
    }
    e.bytes = std::span<const uint8_t>(m_pBase + pos, length);
    pos += length;
    return e;
  }

  // Items of a sequence: up to `end` (defined length) or to the sequence delimiter.
  void Items(size_t& pos, size_t end, bool undefined, Element& sequence) {
    if (++m_nDepth > ZR_DcmLimits::kMaxDepth) Fail(pos, "sequences nested too deeply");
    while (true) {
      if (!undefined && pos == end) break;
      if (end - pos < 8) Fail(pos, "sequence " + ZR_DcmDataSet::TagName(sequence.tag) + " is cut short");
      const uint32_t tag = Tag(pos);
      const uint32_t length = U32(pos + 4);
      pos += 8;
      if (tag == kSequenceEnd) {
        if (!undefined) Fail(pos, "sequence delimiter in a sequence of defined length");
        break;
      }
      if (tag != kItem) Fail(pos, "expected an item in " + ZR_DcmDataSet::TagName(sequence.tag));
      ZR_DcmDataSet item;
      if (length == kUndefined) {
        DataSet(pos, end, true, false, item);
      } else {
        if (length > end - pos)
          Fail(pos, "an item of " + ZR_DcmDataSet::TagName(sequence.tag) + " declares " +
                        std::to_string(length) + " bytes but only " + std::to_string(end - pos) +
                        " remain");
        size_t itemPos = pos;
        DataSet(itemPos, pos + length, false, false, item);
        pos += length;
      }
      item.Finish();
      sequence.items.push_back(std::move(item));
    }
    --m_nDepth;
  }

  void Fragments(size_t& pos, size_t end, Element& e) {
    while (true) {
      if (end - pos < 8) Fail(pos, "encapsulated pixel data is cut short");
      const uint32_t tag = Tag(pos);
      const uint32_t length = U32(pos + 4);
      pos += 8;
      if (tag == kSequenceEnd) break;
      if (tag != kItem || length == kUndefined) Fail(pos, "malformed encapsulated pixel data");
      if (length > end - pos)
        Fail(pos, "a pixel data fragment declares " + std::to_string(length) +
                      " bytes but only " + std::to_string(end - pos) + " remain");
      e.fragments.emplace_back(m_pBase + pos, length);
      pos += length;
    }
    if (e.fragments.empty()) Fail(pos, "encapsulated pixel data without its offset table");
  }

  const uint8_t* m_pBase;
  size_t m_nSize;
  std::shared_ptr<const void> m_pStorage;
  Encoding m_oEnc;
  int m_nDepth = 0;
};

// --- after a successful pass ------------------------------------------------------------

// Big-endian binary values become little endian, in place (the buffer is the parser's own).
void SwapToLittle(ZR_DcmDataSet& set) {
  for (Element& e : set.MutableElements()) {
    for (ZR_DcmDataSet& item : e.items) SwapToLittle(item);
    const int unit = ZR_DcmVr::UnitSize(e.vr);
    if (unit <= 1 || e.encapsulated) continue;
    uint8_t* p = const_cast<uint8_t*>(e.bytes.data());
    const size_t count = e.bytes.size() / unit;
    for (size_t k = 0; k < count; ++k, p += unit) std::reverse(p, p + unit);
  }
}

// Values stored as UN take the dictionary's representation where it knows one; UN values
// are always little endian, so this comes after the swap.
void ResolveUnknown(ZR_DcmDataSet& set) {
  for (Element& e : set.MutableElements()) {
    for (ZR_DcmDataSet& item : e.items) ResolveUnknown(item);
    if (e.vr == ZR_DcmVr::UN && e.items.empty() && !e.encapsulated) {
      const uint16_t vr = ZR_DcmVr::ForTag(e.tag);
      if (vr != ZR_DcmVr::UN && vr != ZR_DcmVr::SQ) e.vr = vr;
    }
  }
}

void AssignCharsets(ZR_DcmDataSet& set, const std::shared_ptr<const ZR_DcmCharset>& inherited) {
  std::shared_ptr<const ZR_DcmCharset> own = inherited;
  if (const Element* e = set.Find(ZR_DcmDataSet::Tag(0x0008, 0x0005)))
    own = std::make_shared<ZR_DcmCharset>(e->Text());
  set.SetCharset(own);
  for (Element& e : set.MutableElements())
    for (ZR_DcmDataSet& item : e.items) AssignCharsets(item, own);
}

void ParseWith(const uint8_t* base, size_t start, size_t size, const std::shared_ptr<const void>& storage,
               Encoding enc, bool strict, ZR_DcmDataSet& out) {
  ZR_DcmDataSet data;
  size_t pos = start;
  Reader(base, size, storage, enc).DataSet(pos, size, false, true, data, strict);
  if (strict && data.Empty()) throw ZR_DcmError("no data elements found");
  data.Finish();
  if (enc.bigEndian) SwapToLittle(data);
  ResolveUnknown(data);
  AssignCharsets(data, nullptr);
  out = std::move(data);
}

std::shared_ptr<std::vector<uint8_t>> Inflate(const uint8_t* data, size_t size) {
  auto out = std::make_shared<std::vector<uint8_t>>();
  out->reserve(std::min<size_t>(size * 4, ZR_DcmLimits::MaxInflatedBytes()));
  for (int windowBits : {-MAX_WBITS, MAX_WBITS}) {  // raw, as the standard says; then zlib-wrapped
    z_stream z{};
    if (inflateInit2(&z, windowBits) != Z_OK) break;
    out->clear();
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = static_cast<uInt>(std::min<size_t>(size, UINT32_MAX));
    int rc = Z_OK;
    uint8_t chunk[65536];
    while (rc == Z_OK) {
      z.next_out = chunk;
      z.avail_out = sizeof chunk;
      rc = inflate(&z, Z_NO_FLUSH);
      out->insert(out->end(), chunk, chunk + (sizeof chunk - z.avail_out));
      if (out->size() > ZR_DcmLimits::MaxInflatedBytes()) {
        inflateEnd(&z);
        throw ZR_DcmError("the deflated data set inflates beyond " +
                          std::to_string(ZR_DcmLimits::MaxInflatedBytes()) + " bytes");
      }
      if (rc == Z_BUF_ERROR && z.avail_in == 0) break;  // input ended without a stream end
    }
    inflateEnd(&z);
    if (rc == Z_STREAM_END) return out;
  }
  throw ZR_DcmError("the deflated data set is corrupt");
}

bool IsPlausibleVr(const uint8_t* p) {
  return ZR_DcmVr::IsKnown(ZR_DcmVr::Code(static_cast<char>(p[0]), static_cast<char>(p[1])));
}

// Group 0002 in explicit little endian (implicit when its representations are not spelled out).
size_t ParseMeta(const uint8_t* base, size_t start, size_t size, const std::shared_ptr<const void>& storage,
                 ZR_DcmDataSet& meta) {
  size_t end = start;
  while (end + 8 <= size && base[end] == 0x02 && base[end + 1] == 0x00) {
    const bool explicitVr = IsPlausibleVr(base + end + 4);
    Reader reader(base, size, storage, Encoding{explicitVr, false});
    ZR_DcmDataSet one;
    size_t pos = end;
    // One element at a time, so that the meta group ends where its tags stop being 0002.
    size_t next = pos;
    {
      // Read exactly one element: bound the reader by the element's own header.
      uint32_t length = 0;
      size_t header = 8;
      if (explicitVr) {
        const uint16_t vr = ZR_DcmVr::Code(static_cast<char>(base[pos + 4]), static_cast<char>(base[pos + 5]));
        if (ZR_DcmVr::HasLongLength(vr)) {
          if (pos + 12 > size) throw ZR_DcmError("the file meta information is cut short");
          length = uint32_t{base[pos + 8]} | uint32_t{base[pos + 9]} << 8 | uint32_t{base[pos + 10]} << 16 |
                   uint32_t{base[pos + 11]} << 24;
          header = 12;
        } else {
          length = uint32_t{base[pos + 6]} | uint32_t{base[pos + 7]} << 8;
        }
      } else {
        length = uint32_t{base[pos + 4]} | uint32_t{base[pos + 5]} << 8 | uint32_t{base[pos + 6]} << 16 |
                 uint32_t{base[pos + 7]} << 24;
      }
      if (length == kUndefined || length > size - pos - header)
        throw ZR_DcmError("a file meta element declares " + std::to_string(length) +
                          " bytes but the file is shorter");
      next = pos + header + length;
    }
    reader.DataSet(pos, next, false, false, one);
    for (const Element& e : one.Elements()) meta.Append(e);
    end = next;
  }
  meta.Finish();
  return end;
}
}  // namespace

ZR_DcmParser::Result ZR_DcmParser::Parse(std::shared_ptr<uint8_t[]> file, size_t size) {
  if (!file && size) throw ZR_DcmError("no data");
  const uint8_t* base = file.get();
  std::shared_ptr<const void> storage = file;
  Result result;

  size_t pos = 0;
  const bool preamble = size >= 132 && std::memcmp(base + 128, "DICM", 4) == 0;
  if (preamble) pos = 132;
  if (size - pos >= 8 && base[pos] == 0x02 && base[pos + 1] == 0x00)
    pos = ParseMeta(base, pos, size, storage, result.meta);

  std::string syntax;
  if (const Element* ts = result.meta.Find(ZR_DcmDataSet::Tag(0x0002, 0x0010))) syntax = Trimmed(ts->Text());

  if (syntax == kDeflated) {
    auto inflated = Inflate(base + pos, size - pos);
    ParseWith(inflated->data(), 0, inflated->size(), inflated, Encoding{true, false}, false, result.data);
    result.syntax = syntax;
    return result;
  }

  std::vector<std::pair<Encoding, std::string>> candidates;
  const bool strict = syntax.empty();
  if (!syntax.empty()) {
    // Declared: try it first, then the other VR encoding of the same byte order (files whose
    // meta information and data set disagree exist).
    const bool big = syntax == kExplicitBig;
    const bool implicit = syntax == kImplicitLittle;
    candidates.push_back({Encoding{!implicit, big}, syntax});
    if (!big) candidates.push_back({Encoding{implicit, false}, syntax});
  } else {
    if (size - pos < 8) throw ZR_DcmError("not a DICOM file (too short)");
    const bool bigFirst = base[pos] == 0x00 && base[pos + 1] != 0x00;
    const bool explicitFirst = IsPlausibleVr(base + pos + 4);
    const Encoding guess{explicitFirst, bigFirst};
    const Encoding all[] = {guess, {true, false}, {false, false}, {true, true}};
    for (const Encoding& e : all) {
      const bool seen = std::any_of(candidates.begin(), candidates.end(),
                                    [&](const auto& c) { return c.first == e; });
      if (!seen)
        candidates.push_back({e, e.bigEndian ? kExplicitBig : e.explicitVr ? kExplicitLittle : kImplicitLittle});
    }
  }

  std::string firstError;
  for (const auto& [enc, uid] : candidates) {
    try {
      ParseWith(base, pos, size, storage, enc, strict, result.data);
      result.syntax = uid;
      return result;
    } catch (const ZR_DcmError& e) {
      if (firstError.empty()) firstError = e.what();
    }
  }
  if (strict && !preamble) throw ZR_DcmError("not a DICOM file (" + firstError + ")");
  throw ZR_DcmError(firstError);
}
