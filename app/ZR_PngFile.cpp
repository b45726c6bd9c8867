#include "app/ZR_PngFile.h"

#include <png.h>

#include <memory>
#include <string_view>

#include "core/ZR_TextFile.h"

bool ZR_PngFile::WriteRgb(const std::string& path, const uint8_t* rgb, int32_t width, int32_t height) {
  if (!rgb || width <= 0 || height <= 0) return false;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGB;
  // A negative stride starts at the last row: the picture comes bottom row first.
  const png_int_32 stride = -static_cast<png_int_32>(PNG_IMAGE_ROW_STRIDE(image));
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, rgb, stride, nullptr)) return false;
  std::unique_ptr<uint8_t[]> bytes(new uint8_t[size]);
  if (!png_image_write_to_memory(&image, bytes.get(), &size, 0, rgb, stride, nullptr)) return false;
  return ZR_TextFile::WriteReplacing(path, std::string_view(reinterpret_cast<const char*>(bytes.get()), size));
}
