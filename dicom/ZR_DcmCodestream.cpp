#include "dicom/ZR_DcmCodestream.h"

#include <algorithm>
#include <cstring>

#include "dicom/ZR_DcmError.h"

namespace {
enum class Family { None, Jpeg, JpegLs, Jpeg2000 };

Family FamilyOf(const std::string& syntax) {
  static const char* const kJpeg[] = {"1.2.840.10008.1.2.4.50", "1.2.840.10008.1.2.4.51", "1.2.840.10008.1.2.4.52",
                                      "1.2.840.10008.1.2.4.53", "1.2.840.10008.1.2.4.54", "1.2.840.10008.1.2.4.55",
                                      "1.2.840.10008.1.2.4.56", "1.2.840.10008.1.2.4.57", "1.2.840.10008.1.2.4.58",
                                      "1.2.840.10008.1.2.4.59", "1.2.840.10008.1.2.4.60", "1.2.840.10008.1.2.4.61",
                                      "1.2.840.10008.1.2.4.62", "1.2.840.10008.1.2.4.63", "1.2.840.10008.1.2.4.64",
                                      "1.2.840.10008.1.2.4.65", "1.2.840.10008.1.2.4.66", "1.2.840.10008.1.2.4.70"};
  for (const char* s : kJpeg)
    if (syntax == s) return Family::Jpeg;
  if (syntax == "1.2.840.10008.1.2.4.80" || syntax == "1.2.840.10008.1.2.4.81") return Family::JpegLs;
  if (syntax == "1.2.840.10008.1.2.4.90" || syntax == "1.2.840.10008.1.2.4.91" ||
      syntax == "1.2.840.10008.1.2.4.92" || syntax == "1.2.840.10008.1.2.4.93")
    return Family::Jpeg2000;
  return Family::None;
}

[[noreturn]] void Fail(const std::string& what) { throw ZR_DcmError("the compressed frame " + what); }

uint16_t Be16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }
uint32_t Be32(const uint8_t* p) { return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3]; }

void CheckSize(uint32_t columns, uint32_t rows, uint32_t components, const ZR_DcmPixelFormat& f) {
  if (columns != f.columns || rows != f.rows)
    Fail("is " + std::to_string(columns) + " x " + std::to_string(rows) + ", the image " + std::to_string(f.columns) +
         " x " + std::to_string(f.rows));
  if (components != f.samples)
    Fail("has " + std::to_string(components) + " components, the image " + std::to_string(f.samples) + " samples");
}

// JPEG (ITU T.81) and JPEG-LS share the marker syntax; the header is walked up to the scan.
void CheckJpeg(std::span<const uint8_t> s, const ZR_DcmPixelFormat& f, bool jpegLs) {
  const size_t n = s.size();
  if (n < 4 || s[0] != 0xFF || s[1] != 0xD8) Fail("does not start with a JPEG start-of-image marker");
  size_t pos = 2;
  bool frame = false;
  while (true) {
    if (pos >= n) Fail("ends before its scan");
    // Anything but fill bytes between segments makes libjpeg warn, which GDCM does not survive.
    if (s[pos] != 0xFF) Fail("holds stray bytes between its markers");
    while (pos < n && s[pos] == 0xFF) ++pos;
    if (pos >= n) Fail("ends before its scan");
    const uint8_t marker = s[pos++];
    if (marker == 0xD8 || marker == 0xD9 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01 || marker == 0x00)
      Fail("holds a misplaced marker");
    if (pos + 2 > n) Fail("ends inside a marker segment");
    const size_t length = Be16(&s[pos]);
    if (length < 2 || pos + length > n) Fail("has a marker segment running past its end");
    const uint8_t* seg = &s[pos + 2];
    const size_t segLength = length - 2;

    if (marker == 0xDA) {
      if (!frame) Fail("has a scan before its frame header");
      return;
    }
    // Progressive frames only at 12 bits: GDCM asserts on 8-bit progressive streams.
    const bool progressive = !jpegLs && marker == 0xC2 && segLength >= 1 && seg[0] == 12;
    const bool jpegFrame = !jpegLs && (marker == 0xC0 || marker == 0xC1 || marker == 0xC3 || progressive);
    const bool lsFrame = jpegLs && marker == 0xF7;
    if (jpegFrame || lsFrame) {
      if (frame) Fail("has two frame headers");
      if (segLength < 6) Fail("has a short frame header");
      const uint32_t precision = seg[0], rows = Be16(seg + 1), columns = Be16(seg + 3), components = seg[5];
      if (segLength < 6 + 3 * components) Fail("has a short frame header");
      if (precision < 2 || precision > 16 || (marker == 0xC0 && precision != 8))
        Fail("has an unusable sample precision of " + std::to_string(precision));
      CheckSize(columns, rows, components, f);
      if (components != 1 && components != 3) Fail("has an unsupported number of components");
      for (uint32_t c = 0; c < components; ++c) {
        const uint8_t sampling = seg[6 + 3 * c + 1];
        if ((sampling >> 4) < 1 || (sampling >> 4) > 4 || (sampling & 15) < 1 || (sampling & 15) > 4)
          Fail("has invalid sampling factors");
      }
      frame = true;
    } else if (!jpegLs && marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
      Fail("uses a JPEG process this program does not decode (progressive, hierarchical or arithmetic)");
    } else if (jpegLs && marker >= 0xC0 && marker <= 0xCF) {
      Fail("mixes JPEG and JPEG-LS markers");
    } else if (marker == 0xE0 && segLength >= 6 && std::memcmp(seg, "JFIF\0", 5) == 0) {
      if (seg[5] != 1) Fail("has an unknown JFIF version");
    } else if (marker == 0xEE && segLength >= 12 && std::memcmp(seg, "Adobe", 5) == 0) {
      if (seg[11] > 1) Fail("has an unknown Adobe colour transform");
    } else if (!((marker >= 0xE0 && marker <= 0xEF) || marker == 0xFE || marker == 0xC4 || marker == 0xDB ||
                 marker == 0xDD || marker == 0xCC || (jpegLs && marker == 0xF8))) {
      Fail("holds a marker its decoder does not know");
    }
    pos += length;
  }
}

void CheckJpeg2000(std::span<const std::span<const uint8_t>> fragments, std::span<const uint8_t> s,
                   const ZR_DcmPixelFormat& f) {
  static const uint8_t kJp2[] = {0x00, 0x00, 0x00, 0x0C, 0x6A, 0x50, 0x20, 0x20, 0x0D, 0x0A, 0x87, 0x0A};
  if (s.size() >= sizeof kJp2 && std::memcmp(s.data(), kJp2, sizeof kJp2) == 0) {
    // A JP2 file instead of a bare codestream: find the codestream box.
    size_t pos = 0;
    bool found = false;
    while (pos + 8 <= s.size()) {
      uint64_t length = Be32(&s[pos]);
      const bool codestream = std::memcmp(&s[pos + 4], "jp2c", 4) == 0;
      size_t header = 8;
      if (length == 1) {
        if (pos + 16 > s.size()) break;
        length = uint64_t{Be32(&s[pos + 8])} << 32 | Be32(&s[pos + 12]);
        header = 16;
      } else if (length == 0) {
        length = s.size() - pos;
      }
      if (length < header || length > s.size() - pos) Fail("has a JP2 box running past its end");
      if (codestream) {
        s = s.subspan(pos + header, static_cast<size_t>(length) - header);
        found = true;
        break;
      }
      pos += static_cast<size_t>(length);
    }
    if (!found) Fail("is a JP2 file without a codestream");
  }
  if (s.size() < 4 || Be16(&s[0]) != 0xFF4F || Be16(&s[2]) != 0xFF51) Fail("does not start with a JPEG 2000 header");
  if (s.size() < 6) Fail("ends inside its size marker");
  const size_t length = Be16(&s[4]);
  if (length < 41 || 4 + length > s.size()) Fail("has a short JPEG 2000 size marker");
  const uint8_t* siz = &s[6];
  const uint32_t xsiz = Be32(siz + 2), ysiz = Be32(siz + 6), x0 = Be32(siz + 10), y0 = Be32(siz + 14);
  const uint32_t xt = Be32(siz + 18), yt = Be32(siz + 22), xt0 = Be32(siz + 26), yt0 = Be32(siz + 30);
  const uint32_t components = Be16(siz + 34);
  if (x0 >= xsiz || y0 >= ysiz || xt == 0 || yt == 0 || xt0 > x0 || yt0 > y0)
    Fail("has an inconsistent JPEG 2000 image and tile grid");
  const uint64_t tiles = ((uint64_t{xsiz} - xt0 + xt - 1) / xt) * ((uint64_t{ysiz} - yt0 + yt - 1) / yt);
  if (tiles > 65535) Fail("has too many JPEG 2000 tiles");
  CheckSize(xsiz - x0, ysiz - y0, components, f);
  if (length < 38 + 3 * components) Fail("has a short JPEG 2000 size marker");
  for (uint32_t c = 0; c < components; ++c) {
    const uint8_t* comp = siz + 36 + 3 * c;
    const uint32_t precision = (comp[0] & 0x7F) + 1u;
    if (precision > 16) Fail("has JPEG 2000 samples of " + std::to_string(precision) + " bits");
    if (comp[1] != 1 || comp[2] != 1) Fail("has subsampled JPEG 2000 components");
    if (c > 0 && comp[0] != siz[36]) Fail("has JPEG 2000 components of different precision");
  }
  // The decoder looks for the end-of-codestream marker from the end of the data backwards.
  const std::span<const uint8_t> last = fragments.back();
  if (std::find(last.begin(), last.end(), 0xD9) == last.end()) Fail("has no JPEG 2000 end marker");
}
}  // namespace

void ZR_DcmCodestream::Check(const std::string& syntax, std::span<const std::span<const uint8_t>> fragments,
                             const ZR_DcmPixelFormat& f) {
  const Family family = FamilyOf(syntax);
  if (family == Family::None) return;
  if (fragments.empty() || fragments[0].empty()) Fail("is empty");
  if (f.samples != 1 && f.samples != 3) Fail("has " + std::to_string(f.samples) + " samples per pixel");
  if (f.frames > 1 && fragments.size() != f.frames)
    Fail("count " + std::to_string(fragments.size()) + " does not match the " + std::to_string(f.frames) + " frames");
  for (size_t i = 0; i < fragments.size(); ++i) {
    // Every frame starts a fragment; the fragments after the first of a frame continue it.
    if (i > 0 && f.frames == 1) break;
    if (family == Family::Jpeg2000)
      CheckJpeg2000(f.frames > 1 ? fragments.subspan(i, 1) : fragments, fragments[i], f);
    else
      CheckJpeg(fragments[i], f, family == Family::JpegLs);
  }
}
