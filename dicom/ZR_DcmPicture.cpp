#include "dicom/ZR_DcmPicture.h"

#include <turbojpeg.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "dicom/ZR_DcmError.h"

namespace {
uint8_t Clamp8(double v) { return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L)); }

void PutLe(std::string& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xff);
}
}  // namespace

ZR_DcmPicture::Raster ZR_DcmPicture::FromPixels(const void* frame, const ZR_DcmPixelFormat& f) {
  Raster r;
  r.width = static_cast<int32_t>(f.columns);
  r.height = static_cast<int32_t>(f.rows);
  const size_t count = size_t{f.rows} * f.columns;
  const uint8_t* bytes = static_cast<const uint8_t*>(frame);

  if (f.samples == 3 && f.bitsAllocated == 8) {
    r.channels = 3;
    r.pixels.resize(count * 3);
    for (size_t i = 0; i < count; ++i)
      for (int c = 0; c < 3; ++c)
        r.pixels[i * 3 + c] = f.planar == 1 ? bytes[c * count + i] : bytes[i * 3 + c];
    if (f.photometric == "YBR_FULL") {
      for (size_t i = 0; i < count; ++i) {
        uint8_t* p = &r.pixels[i * 3];
        const double y = p[0], cb = p[1] - 128.0, cr = p[2] - 128.0;
        p[0] = Clamp8(y + 1.402 * cr);
        p[1] = Clamp8(y - 0.344136 * cb - 0.714136 * cr);
        p[2] = Clamp8(y + 1.772 * cb);
      }
    } else if (f.photometric != "RGB") {
      throw ZR_DcmError("a picture cannot be made of " + f.photometric + " pixels");
    }
    return r;
  }
  if (f.samples != 1 || (f.bitsAllocated != 8 && f.bitsAllocated != 16))
    throw ZR_DcmError("a picture cannot be made of " + std::to_string(f.samples) + " samples of " +
                      std::to_string(f.bitsAllocated) + " bits");
  if (f.photometric == "PALETTE COLOR") throw ZR_DcmError("a picture cannot be made of palette colour pixels");

  r.channels = 1;
  r.pixels.resize(count);
  const int shift = std::max(0, f.bitsStored - 8);
  const bool isSigned = f.pixelRepresentation == 1;
  for (size_t i = 0; i < count; ++i) {
    int32_t v = 0;
    if (f.bitsAllocated == 8) {
      v = isSigned ? static_cast<int8_t>(bytes[i]) : bytes[i];
    } else {
      uint16_t raw;
      std::memcpy(&raw, bytes + 2 * i, 2);
      v = isSigned ? static_cast<int16_t>(raw) : raw;
    }
    // Signed values move up by half the range so that the smallest one is black.
    if (isSigned) v += 1 << (f.bitsStored - 1);
    r.pixels[i] = static_cast<uint8_t>(std::clamp(v >> shift, 0, 255));
  }
  if (f.photometric == "MONOCHROME1")
    for (uint8_t& p : r.pixels) p = static_cast<uint8_t>(255 - p);
  return r;
}

std::string ZR_DcmPicture::EncodeBmp(const Raster& r) {
  // 24 bits per pixel, rows bottom-up and padded to four bytes, as every viewer reads.
  const uint32_t rowBytes = (static_cast<uint32_t>(r.width) * 3 + 3) & ~3u;
  const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(r.height);
  std::string out;
  out.reserve(54 + imageBytes);
  out += "BM";
  PutLe(out, 54 + imageBytes, 4);
  PutLe(out, 0, 4);
  PutLe(out, 54, 4);
  PutLe(out, 40, 4);
  PutLe(out, static_cast<uint32_t>(r.width), 4);
  PutLe(out, static_cast<uint32_t>(r.height), 4);
  PutLe(out, 1, 2);
  PutLe(out, 24, 2);
  PutLe(out, 0, 4);
  PutLe(out, imageBytes, 4);
  PutLe(out, 2835, 4);  // 72 dpi
  PutLe(out, 2835, 4);
  PutLe(out, 0, 4);
  PutLe(out, 0, 4);
  for (int32_t y = r.height - 1; y >= 0; --y) {
    const size_t rowStart = out.size();
    for (int32_t x = 0; x < r.width; ++x) {
      const size_t i = static_cast<size_t>(y) * r.width + x;
      if (r.channels == 3) {
        out += static_cast<char>(r.pixels[i * 3 + 2]);
        out += static_cast<char>(r.pixels[i * 3 + 1]);
        out += static_cast<char>(r.pixels[i * 3 + 0]);
      } else {
        out.append(3, static_cast<char>(r.pixels[i]));
      }
    }
    out.append(rowBytes - (out.size() - rowStart), '\0');
  }
  return out;
}

std::string ZR_DcmPicture::EncodeJpeg(const Raster& r, int32_t quality) {
  tjhandle handle = tjInitCompress();
  if (!handle) throw ZR_DcmError("the JPEG encoder cannot start");
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  const bool colour = r.channels == 3;
  const int rc = tjCompress2(handle, r.pixels.data(), r.width, 0, r.height, colour ? TJPF_RGB : TJPF_GRAY,
                             &jpeg, &size, colour ? TJSAMP_444 : TJSAMP_GRAY, std::clamp(quality, 1, 100),
                             TJFLAG_ACCURATEDCT);
  std::string out;
  if (rc == 0) out.assign(reinterpret_cast<const char*>(jpeg), size);
  const std::string reason = rc == 0 ? "" : tjGetErrorStr2(handle);
  tjFree(jpeg);
  tjDestroy(handle);
  if (rc != 0) throw ZR_DcmError("JPEG encoding failed: " + reason);
  return out;
}
