#include "dicom/ZR_DcmRle.h"

#include <bit>
#include <cstring>
#include <string>

#include "dicom/ZR_DcmError.h"

namespace {
uint32_t Le32(const uint8_t* p) { return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24; }

// Unpacks one PackBits segment into `out`, one byte every `step` bytes, `count` bytes in all.
void Unpack(std::span<const uint8_t> in, uint8_t* out, size_t count, size_t step) {
  size_t done = 0, pos = 0;
  while (done < count) {
    if (pos >= in.size()) throw ZR_DcmError("an RLE segment ends early");
    const int8_t n = static_cast<int8_t>(in[pos++]);
    if (n >= 0) {
      const size_t run = static_cast<size_t>(n) + 1;
      if (pos + run > in.size() || done + run > count) throw ZR_DcmError("an RLE literal run overflows its segment");
      for (size_t k = 0; k < run; ++k) out[(done + k) * step] = in[pos + k];
      pos += run;
      done += run;
    } else if (n != -128) {
      const size_t run = static_cast<size_t>(1 - n);
      if (pos >= in.size() || done + run > count) throw ZR_DcmError("an RLE repeat run overflows its segment");
      const uint8_t value = in[pos++];
      for (size_t k = 0; k < run; ++k) out[(done + k) * step] = value;
      done += run;
    }
  }
}
}  // namespace

std::vector<uint8_t> ZR_DcmRle::Decode(std::span<const std::span<const uint8_t>> fragments, ZR_DcmPixelFormat& f) {
  if (f.bitsAllocated % 8 != 0 || f.bitsAllocated == 0 || f.bitsAllocated > 32)
    throw ZR_DcmError("RLE pixel data of " + std::to_string(f.bitsAllocated) + " bits is not supported");
  if (fragments.size() != f.frames)
    throw ZR_DcmError("the RLE pixel data holds " + std::to_string(fragments.size()) + " fragments for " +
                      std::to_string(f.frames) + " frames");
  const size_t bytesPerSample = f.bitsAllocated / 8;
  const size_t pixels = size_t{f.rows} * f.columns;
  const size_t segments = f.samples * bytesPerSample;
  if (segments > 15) throw ZR_DcmError("RLE pixel data needs more than 15 segments");
  const size_t frameBytes = pixels * segments;
  std::vector<uint8_t> out(frameBytes * f.frames);
  const bool hostLittle = std::endian::native == std::endian::little;

  for (size_t frame = 0; frame < fragments.size(); ++frame) {
    const std::span<const uint8_t> data = fragments[frame];
    if (data.size() < 64) throw ZR_DcmError("an RLE fragment is shorter than its header");
    if (Le32(data.data()) != segments)
      throw ZR_DcmError("the RLE header gives " + std::to_string(Le32(data.data())) + " segments, the image needs " +
                        std::to_string(segments));
    uint8_t* base = out.data() + frame * frameBytes;
    for (size_t s = 0; s < segments; ++s) {
      const size_t start = Le32(data.data() + 4 + 4 * s);
      const size_t end = s + 1 < segments ? Le32(data.data() + 8 + 4 * s) : data.size();
      if (start < 64 || start > end || end > data.size()) throw ZR_DcmError("an RLE segment offset lies outside its fragment");
      // Segments run from the most significant byte of sample 0 to the least of the last.
      const size_t sample = s / bytesPerSample;
      const size_t significance = s % bytesPerSample;  // 0 = most significant
      const size_t byteInValue = hostLittle ? bytesPerSample - 1 - significance : significance;
      Unpack(data.subspan(start, end - start), base + sample * bytesPerSample + byteInValue, pixels, segments);
    }
  }
  f.planar = 0;
  return out;
}
