// ZR_DcmImage: decoding and filling pixels.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "dicom/ZR_DcmCodestream.h"
#include "dicom/ZR_DcmDecoder.h"
#include "dicom/ZR_DcmError.h"
#include "dicom/ZR_DcmImage.h"
#include "dicom/ZR_DcmLimits.h"
#include "dicom/ZR_DcmParser.h"
#include "dicom/ZR_DcmRle.h"
#include "dicom/ZR_DcmValueCodec.h"

namespace {
constexpr uint32_t kPixelData = ZR_DcmDataSet::kPixelData;
constexpr bool kHostLittle = std::endian::native == std::endian::little;

// Values of `bits` bits stored with their top bit at `high`: what lies outside (overlay bits,
// garbage) is removed and signed values are sign-extended, as every decoder does.
template <typename T>
struct BitLayout {
  using S = std::make_signed_t<T>;
  int shift;
  T mask;
  bool isSigned;
  int bits;

  BitLayout(int bitsStored, int highBit, bool signedValues)
      : shift(highBit + 1 - bitsStored),
        mask(static_cast<T>(bitsStored >= int(sizeof(T) * 8) ? T(~T(0)) : T((T(1) << bitsStored) - 1))),
        isSigned(signedValues),
        bits(bitsStored) {}

  T Clean(T raw) const {
    T v = static_cast<T>((raw >> shift) & mask);
    if (isSigned && bits < int(sizeof(T) * 8) && (v >> (bits - 1)) & 1) v = static_cast<T>(v | ~mask);
    return v;
  }
  bool IsClean(const T* values, size_t count) const {
    if (shift == 0 && bits == int(sizeof(T) * 8)) return true;
    if (shift == 0) {
      // Clean exactly when within the stored range: one pass of min/max, which vectorises
      // (this runs over every native slice a series is read from).
      if (!isSigned) {
        T high = 0;
        for (size_t i = 0; i < count; ++i) high = std::max(high, values[i]);
        return high <= mask;
      }
      const S* s = reinterpret_cast<const S*>(values);
      S low = 0, high = 0;
      for (size_t i = 0; i < count; ++i) {
        low = std::min(low, s[i]);
        high = std::max(high, s[i]);
      }
      const int64_t limit = int64_t{1} << (bits - 1);
      return low >= -limit && high < limit;
    }
    for (size_t i = 0; i < count; ++i)
      if (Clean(values[i]) != values[i]) return false;
    return true;
  }
};

template <typename T>
bool Inspect(const uint8_t* data, size_t count, const ZR_DcmPixelFormat& f) {
  BitLayout<T> layout(f.bitsStored, f.highBit, f.pixelRepresentation == 1 && f.samples == 1);
  return layout.IsClean(reinterpret_cast<const T*>(data), count);
}

template <typename T>
void CleanInPlace(uint8_t* data, size_t count, const ZR_DcmPixelFormat& f) {
  BitLayout<T> layout(f.bitsStored, f.highBit, f.pixelRepresentation == 1 && f.samples == 1);
  T* values = reinterpret_cast<T*>(data);
  for (size_t i = 0; i < count; ++i) values[i] = layout.Clean(values[i]);
}

// Removes what lies outside the stored bits, in place, when anything does.
void CleanBits(std::vector<uint8_t>& pixels, const ZR_DcmPixelFormat& f) {
  if (f.bitsAllocated == 16) {
    const size_t count = pixels.size() / 2;
    if (!Inspect<uint16_t>(pixels.data(), count, f)) CleanInPlace<uint16_t>(pixels.data(), count, f);
  } else if (f.bitsAllocated == 8) {
    if (!Inspect<uint8_t>(pixels.data(), pixels.size(), f)) CleanInPlace<uint8_t>(pixels.data(), pixels.size(), f);
  }
}

void SwapUnits(uint8_t* data, size_t bytes, size_t unit) {
  for (size_t i = 0; i + unit <= bytes; i += unit) std::reverse(data + i, data + i + unit);
}
}  // namespace

void ZR_DcmImage::DecompressAll() {
  if (m_bDecoded) return;
  const ZR_DcmDataSet::Element* pixels = m_oData.Find(kPixelData);
  if (!pixels) Fail("the image has no pixel data");
  try {
    m_oFormat = ZR_DcmPixelFormat::FromDataSet(m_oData);
  } catch (const ZR_DcmError& e) {
    Fail(e.what());
  }

  if (pixels->encapsulated) {
    try {
      if (m_sReceivedSyntax == ZR_DcmRle::kSyntax) {
        m_aPixels = ZR_DcmRle::Decode(std::span(pixels->fragments).subspan(1), m_oFormat);
        CleanBits(m_aPixels, m_oFormat);
      } else {
        ZR_DcmCodestream::Check(m_sReceivedSyntax, std::span(pixels->fragments).subspan(1), m_oFormat);
        m_aPixels = ZR_DcmDecoder::Decode(m_sReceivedSyntax, true, pixels->fragments, m_oFormat);
      }
    } catch (const ZR_DcmError& e) {
      Fail(e.what());
    }
    m_pKeep.reset();
    m_nPixelBytes = m_aPixels.size();
    // What the decoder delivered is what the attributes now describe (no more `pixels` use).
    ZR_DcmElements a = Attributes();
    a.Add(0x0028, 0x0002, m_oFormat.samples);
    a.Add(0x0028, 0x0004, m_oFormat.photometric);
    a.Add(0x0028, 0x0100, m_oFormat.bitsAllocated);
    a.Add(0x0028, 0x0101, m_oFormat.bitsStored);
    a.Add(0x0028, 0x0102, m_oFormat.highBit);
    a.Add(0x0028, 0x0103, m_oFormat.pixelRepresentation);
    if (m_oFormat.samples > 1) a.Add(0x0028, 0x0006, m_oFormat.planar);
  } else {
    DecodeNative(*pixels);
  }
  if (m_nPixelBytes < m_oFormat.FrameBytes()) Fail("the decoded pixel data is shorter than one frame");
  m_bDecoded = true;
}

void ZR_DcmImage::DecodeNative(const ZR_DcmDataSet::Element& pixels) {
  const ZR_DcmPixelFormat& f = m_oFormat;
  // Native 4:2:2 colour stores two samples per pixel; GDCM's raw codec expands it.
  const bool subsampled = f.samples == 3 && f.bitsAllocated == 8 &&
                          (f.photometric == "YBR_FULL_422" || f.photometric == "YBR_PARTIAL_422");
  if (subsampled) {
    if (f.columns % 2 != 0) Fail("4:2:2 colour needs an even number of columns");
    const size_t stored = size_t{f.rows} * f.columns * 2 * f.frames;
    if (pixels.bytes.size() < stored)
      Fail("the pixel data holds " + std::to_string(pixels.bytes.size()) + " bytes, the image needs " +
           std::to_string(stored));
    try {
      m_aPixels = ZR_DcmDecoder::Decode(ZR_DcmParser::kExplicitLittle, false, {pixels.bytes.subspan(0, stored)},
                                        m_oFormat);
    } catch (const ZR_DcmError& e) {
      Fail(e.what());
    }
    m_pKeep.reset();
    m_nPixelBytes = m_aPixels.size();
    if (m_oFormat.photometric == "YBR_FULL_422") {
      m_oFormat.photometric = "YBR_FULL";  // what the expanded samples are
      Attributes().Add(0x0028, 0x0004, m_oFormat.photometric);
    }
    return;
  }
  const size_t total = f.TotalBytes();
  if (pixels.bytes.size() < total)
    Fail("the pixel data holds " + std::to_string(pixels.bytes.size()) + " bytes, the image needs " +
         std::to_string(total));
  const int ba = f.bitsAllocated;
  if (ba == 1 || ba == 12) {
    // Packed layouts: GDCM's raw codec unpacks them (12 bits become 16).
    try {
      m_aPixels = ZR_DcmDecoder::Decode(ZR_DcmParser::kExplicitLittle, false,
                                        {pixels.bytes.subspan(0, total)}, m_oFormat);
    } catch (const ZR_DcmError& e) {
      Fail(e.what());
    }
    m_pKeep.reset();
    m_nPixelBytes = m_aPixels.size();
    return;
  }

  const size_t unit = static_cast<size_t>(ba / 8);
  const size_t count = total / unit;
  // The file's own bytes are handed out when nothing needs changing: little-endian host,
  // values aligned for their width (an odd-length element before them shifts them), clean.
  const bool aligned = reinterpret_cast<uintptr_t>(pixels.bytes.data()) % unit == 0;
  if (kHostLittle && aligned) {
    bool clean = true;
    if (ba == 8) clean = Inspect<uint8_t>(pixels.bytes.data(), count, f);
    if (ba == 16) clean = Inspect<uint16_t>(pixels.bytes.data(), count, f);
    if (ba == 32) clean = Inspect<uint32_t>(pixels.bytes.data(), count, f);
    if (clean) {
      m_aPixels.clear();
      m_pKeep = pixels.storage;
      m_pPixels = pixels.bytes.data();
      m_nPixelBytes = total;
      return;
    }
  }
  m_aPixels.assign(pixels.bytes.begin(), pixels.bytes.begin() + static_cast<std::ptrdiff_t>(total));
  if (!kHostLittle && unit > 1) SwapUnits(m_aPixels.data(), total, unit);
  if (ba == 32) {
    if (!Inspect<uint32_t>(m_aPixels.data(), count, f)) CleanInPlace<uint32_t>(m_aPixels.data(), count, f);
  } else {
    CleanBits(m_aPixels, f);
  }
  m_pKeep.reset();
  m_nPixelBytes = total;
}

const void* ZR_DcmImage::PixelAddress() {
  DecompressAll();
  return Pixels();
}

size_t ZR_DcmImage::FrameBytes() { return Format().FrameBytes(); }

const ZR_DcmPixelFormat& ZR_DcmImage::Format() {
  DecompressAll();
  if (m_bAllocated) {
    try {
      m_oFormat = ZR_DcmPixelFormat::FromDataSet(m_oData);
    } catch (const ZR_DcmError& e) {
      Fail(e.what());
    }
    if (m_oFormat.FrameBytes() > m_nPixelBytes)
      Fail("the pixel space is smaller than Rows x Columns x Samples per Pixel describe");
  }
  return m_oFormat;
}

void ZR_DcmImage::AllocatePixelSpace(size_t bytes) {
  if (bytes == 0 || bytes > ZR_DcmLimits::MaxPixelBytes())
    Fail("cannot allocate " + std::to_string(bytes) + " bytes of pixel space");
  m_aPixels.assign(bytes, 0);
  m_pKeep.reset();
  m_nPixelBytes = bytes;
  m_bDecoded = true;
  m_bAllocated = true;
  m_oData.Remove(kPixelData);  // the new pixels replace whatever the image held
  m_oFormat = ZR_DcmPixelFormat();
}

void ZR_DcmImage::CopyPixelBuffer(const void* address, int32_t frame, int32_t bytesPerPixel,
                                  std::ptrdiff_t rowStride) {
  if (!m_bAllocated || m_aPixels.empty()) Fail("no pixel space has been allocated");
  if (frame != 1) Fail("only frame 1 can be copied");
  if (!address || bytesPerPixel < 1) Fail("no pixels to copy");
  ZR_DcmElements a = Attributes();
  if (!a.Item(0x0028, 0x0010).Exists() || !a.Item(0x0028, 0x0011).Exists())
    Fail("Rows and Columns must be set before pixels are copied");
  const double rows = a.Item(0x0028, 0x0010).Value().AsNumber();
  const double columns = a.Item(0x0028, 0x0011).Value().AsNumber();
  if (rows < 1 || columns < 1) Fail("Rows and Columns must be positive");
  const size_t rowBytes = static_cast<size_t>(columns) * static_cast<size_t>(bytesPerPixel);
  const size_t need = rowBytes * static_cast<size_t>(rows);
  if (need > m_aPixels.size())
    Fail("the pixel space holds " + std::to_string(m_aPixels.size()) + " bytes, the copy needs " +
         std::to_string(need));
  const uint8_t* source = static_cast<const uint8_t*>(address);
  for (size_t r = 0; r < static_cast<size_t>(rows); ++r)
    std::memcpy(m_aPixels.data() + r * rowBytes, source + static_cast<std::ptrdiff_t>(r) * rowStride, rowBytes);
}
