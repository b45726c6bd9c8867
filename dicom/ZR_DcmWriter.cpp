#include "dicom/ZR_DcmWriter.h"

#include <zlib.h>

#include <algorithm>
#include <bit>
#include <cstring>

#include "dicom/ZR_DcmError.h"
#include "dicom/ZR_DcmParser.h"
#include "dicom/ZR_DcmUid.h"
#include "dicom/ZR_DcmVr.h"

namespace {
using Element = ZR_DcmDataSet::Element;
using V = ZR_DcmVr;
constexpr uint32_t kPixelData = ZR_DcmDataSet::kPixelData;
constexpr uint32_t kCharset = ZR_DcmDataSet::kCharacterSet;
constexpr uint32_t kUndefined = ZR_DcmDataSet::kUndefinedLength;

struct Target {
  bool explicitVr = true;
  bool bigEndian = false;
  const ZR_DcmCharset* charset = nullptr;  // what text is written in
  std::string charsetTerm;                 // value of (0008,0005) to write; "" keeps the data set's
};

void Put16(std::string& out, uint16_t v, bool big) {
  if (big) {
    out += static_cast<char>(v >> 8);
    out += static_cast<char>(v & 0xff);
  } else {
    out += static_cast<char>(v & 0xff);
    out += static_cast<char>(v >> 8);
  }
}
void Put32(std::string& out, uint32_t v, bool big) {
  if (big) {
    Put16(out, static_cast<uint16_t>(v >> 16), true);
    Put16(out, static_cast<uint16_t>(v & 0xffff), true);
  } else {
    Put16(out, static_cast<uint16_t>(v & 0xffff), false);
    Put16(out, static_cast<uint16_t>(v >> 16), false);
  }
}

void Header(std::string& out, uint32_t tag, uint16_t vr, uint32_t length, const Target& t) {
  Put16(out, static_cast<uint16_t>(tag >> 16), t.bigEndian);
  Put16(out, static_cast<uint16_t>(tag & 0xffff), t.bigEndian);
  if (!t.explicitVr) {
    Put32(out, length, t.bigEndian);
    return;
  }
  out += static_cast<char>(vr >> 8);
  out += static_cast<char>(vr & 0xff);
  if (V::HasLongLength(vr)) {
    out += '\0';
    out += '\0';
    Put32(out, length, t.bigEndian);
  } else {
    if (length > 0xFFFE)
      throw ZR_DcmError(ZR_DcmDataSet::TagName(tag) + " is too long for its representation " + V::Name(vr));
    Put16(out, static_cast<uint16_t>(length), t.bigEndian);
  }
}

// The value's bytes as they go into the file (without padding).
std::string ValueBytes(const ZR_DcmDataSet& set, const Element& e, uint16_t vr, const Target& t) {
  if (V::UsesCharset(vr) && !ZR_DcmCharset::IsAscii(e.Text())) {
    const std::string utf8 = set.TextOf(e);
    std::string bytes;
    if (!t.charset->FromUtf8(utf8, bytes))
      throw ZR_DcmError(ZR_DcmDataSet::TagName(e.tag) + " cannot be written in the character set");
    return bytes;
  }
  std::string bytes(e.Text());
  const int unit = V::UnitSize(vr);
  if (t.bigEndian && unit > 1)
    for (size_t i = 0; i + unit <= bytes.size(); i += unit) std::reverse(bytes.begin() + i, bytes.begin() + i + unit);
  return bytes;
}

uint16_t Resolve(const ZR_DcmDataSet& set, uint16_t vr) {
  if (vr != V::XS) return vr;
  const Element* rep = set.Find(ZR_DcmDataSet::Tag(0x0028, 0x0103));
  return rep && rep->bytes.size() >= 2 && rep->bytes[0] == 1 ? V::SS : V::US;
}

void WriteSet(std::string& out, const ZR_DcmDataSet& set, const ZR_DcmWriter::Pixels* pixels,
              const Target& t, bool topLevel);

void WriteElement(std::string& out, const ZR_DcmDataSet& set, const Element& e, const Target& t) {
  const uint16_t vr = Resolve(set, e.vr);
  if (vr == V::SQ) {
    Header(out, e.tag, V::SQ, kUndefined, t);
    for (const ZR_DcmDataSet& item : e.items) {
      Put16(out, 0xFFFE, t.bigEndian);
      Put16(out, 0xE000, t.bigEndian);
      Put32(out, kUndefined, t.bigEndian);
      WriteSet(out, item, nullptr, t, false);
      Put16(out, 0xFFFE, t.bigEndian);
      Put16(out, 0xE00D, t.bigEndian);
      Put32(out, 0, t.bigEndian);
    }
    Put16(out, 0xFFFE, t.bigEndian);
    Put16(out, 0xE0DD, t.bigEndian);
    Put32(out, 0, t.bigEndian);
    return;
  }
  // Compressed pixel data cannot stand in a native encoding (an icon of a compressed file).
  if (e.encapsulated) return;
  std::string bytes = e.tag == kCharset && !t.charsetTerm.empty() ? t.charsetTerm : ValueBytes(set, e, vr, t);
  if (bytes.size() & 1) bytes += (vr == V::UI || !V::IsText(vr)) ? '\0' : ' ';
  Header(out, e.tag, vr, static_cast<uint32_t>(bytes.size()), t);
  out += bytes;
}

void WritePixels(std::string& out, const ZR_DcmWriter::Pixels& p, const Target& t) {
  const uint16_t vr = p.words ? V::OW : V::OB;
  const size_t padded = p.size + (p.size & 1);
  if (padded > 0xFFFFFFFE) throw ZR_DcmError("the pixel data is too large for one DICOM element");
  Header(out, kPixelData, vr, static_cast<uint32_t>(padded), t);
  const size_t start = out.size();
  out.append(reinterpret_cast<const char*>(p.data), p.size);
  if (p.size & 1) out += '\0';
  // Host order to the target's order, one 16-bit unit at a time.
  const bool hostBig = std::endian::native == std::endian::big;
  if (p.words && hostBig != t.bigEndian)
    for (size_t i = start; i + 2 <= out.size(); i += 2) std::swap(out[i], out[i + 1]);
}

void WriteSet(std::string& out, const ZR_DcmDataSet& set, const ZR_DcmWriter::Pixels* pixels,
              const Target& t, bool topLevel) {
  bool pixelsWritten = false;
  for (const Element& e : set.Elements()) {
    if (topLevel && e.Group() == 0x0002) continue;
    if (pixels && !pixelsWritten && e.tag >= kPixelData) {
      WritePixels(out, *pixels, t);
      pixelsWritten = true;
      if (e.tag == kPixelData) continue;
    }
    WriteElement(out, set, e, t);
  }
  if (pixels && !pixelsWritten) WritePixels(out, *pixels, t);
}

// True when every text value of the set (and its items) can be written in `charset`.
bool Encodable(const ZR_DcmDataSet& set, const ZR_DcmCharset& charset) {
  std::string scratch;
  for (const Element& e : set.Elements()) {
    for (const ZR_DcmDataSet& item : e.items)
      if (!Encodable(item, charset)) return false;
    if (!V::UsesCharset(e.vr) || ZR_DcmCharset::IsAscii(e.Text())) continue;
    if (!charset.FromUtf8(set.TextOf(e), scratch)) return false;
  }
  return true;
}

void MetaText(std::string& out, uint16_t element, uint16_t vr, std::string value) {
  if (value.size() & 1) value += vr == V::UI ? '\0' : ' ';
  Header(out, ZR_DcmDataSet::Tag(0x0002, element), vr, static_cast<uint32_t>(value.size()), Target{});
  out += value;
}

std::string Deflate(const std::string& in) {
  z_stream z{};
  if (deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    throw ZR_DcmError("cannot start compressing the data set");
  std::string out(deflateBound(&z, in.size()), '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
  z.avail_in = static_cast<uInt>(in.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  const int rc = deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  if (rc != Z_STREAM_END) throw ZR_DcmError("cannot compress the data set");
  if (out.size() & 1) out += '\0';
  return out;
}
}  // namespace

std::string ZR_DcmWriter::Encode(const ZR_DcmDataSet& data, const Pixels* pixels, ZR_DcmImage::Syntax syntax) {
  const Element* sopClass = data.Find(ZR_DcmDataSet::Tag(0x0008, 0x0016));
  const Element* instance = data.Find(ZR_DcmDataSet::Tag(0x0008, 0x0018));
  if (!sopClass || data.TextOf(*sopClass).empty()) throw ZR_DcmError("the SOP Class UID (0008,0016) is not set");
  if (!instance || data.TextOf(*instance).empty()) throw ZR_DcmError("the SOP Instance UID (0008,0018) is not set");

  Target t;
  t.explicitVr = syntax != ZR_DcmImage::Syntax::ImplicitLittle;
  t.bigEndian = syntax == ZR_DcmImage::Syntax::ExplicitBig;
  const Element* charsetElement = data.Find(kCharset);
  const ZR_DcmCharset declared(charsetElement ? data.TextOf(*charsetElement) : std::string());
  const ZR_DcmCharset utf8("ISO_IR 192");
  t.charset = &declared;
  if (!Encodable(data, declared)) {
    t.charset = &utf8;
    t.charsetTerm = "ISO_IR 192";
  }

  std::string body;
  body.reserve(pixels ? pixels->size + 4096 : 4096);
  if (!t.charsetTerm.empty() && !charsetElement) {
    // No set was declared but some text needs one: the element goes first, as its tag says.
    ZR_DcmDataSet withCharset = data;
    Element e;
    e.tag = kCharset;
    e.vr = V::CS;
    withCharset.Set(e);
    WriteSet(body, withCharset, pixels, t, true);
  } else {
    WriteSet(body, data, pixels, t, true);
  }

  const char* uid = syntax == ZR_DcmImage::Syntax::ImplicitLittle ? ZR_DcmParser::kImplicitLittle
                    : syntax == ZR_DcmImage::Syntax::ExplicitBig  ? ZR_DcmParser::kExplicitBig
                    : syntax == ZR_DcmImage::Syntax::Deflated     ? ZR_DcmParser::kDeflated
                                                                  : ZR_DcmParser::kExplicitLittle;
  std::string meta;
  Header(meta, ZR_DcmDataSet::Tag(0x0002, 0x0001), V::OB, 2, Target{});
  meta += std::string("\0\1", 2);
  MetaText(meta, 0x0002, V::UI, data.TextOf(*sopClass));
  MetaText(meta, 0x0003, V::UI, data.TextOf(*instance));
  MetaText(meta, 0x0010, V::UI, uid);
  MetaText(meta, 0x0012, V::UI, ZR_DcmUid::kImplementationClass);
  MetaText(meta, 0x0013, V::SH, ZR_DcmUid::kImplementationVersion);

  std::string file(128, '\0');
  file += "DICM";
  Header(file, ZR_DcmDataSet::Tag(0x0002, 0x0000), V::UL, 4, Target{});
  Put32(file, static_cast<uint32_t>(meta.size()), false);
  file += meta;
  file += syntax == ZR_DcmImage::Syntax::Deflated ? Deflate(body) : body;
  return file;
}
