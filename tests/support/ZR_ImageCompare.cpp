#include "tests/support/ZR_ImageCompare.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>

namespace {
int ColourType(int32_t channels) {
  switch (channels) {
    case 1: return PNG_COLOR_TYPE_GRAY;
    case 2: return PNG_COLOR_TYPE_GRAY_ALPHA;
    case 3: return PNG_COLOR_TYPE_RGB;
    default: return PNG_COLOR_TYPE_RGBA;
  }
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
}  // namespace

bool ZR_ImageCompare::WritePng(const std::filesystem::path& path, const ZR_TestImage& image) {
  std::error_code ignored;
  std::filesystem::create_directories(path.parent_path(), ignored);
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file.get());
  png_set_IHDR(png, info, image.nWidth, image.nHeight, 8, ColourType(image.nChannels),
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  const size_t row = static_cast<size_t>(image.nWidth) * image.nChannels;
  for (int32_t y = 0; y < image.nHeight; ++y)
    png_write_row(png, image.aPixels.data() + row * y);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

std::optional<ZR_TestImage> ZR_ImageCompare::ReadPng(const std::filesystem::path& path) {
  png_image reader{};
  reader.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&reader, path.c_str())) return std::nullopt;
  ZR_TestImage image;
  image.nWidth = static_cast<int32_t>(reader.width);
  image.nHeight = static_cast<int32_t>(reader.height);
  const bool grey = (reader.format & PNG_FORMAT_FLAG_COLOR) == 0;
  const bool alpha = (reader.format & PNG_FORMAT_FLAG_ALPHA) != 0;
  reader.format = grey ? (alpha ? PNG_FORMAT_GA : PNG_FORMAT_GRAY)
                       : (alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB);
  image.nChannels = static_cast<int32_t>(PNG_IMAGE_PIXEL_CHANNELS(reader.format));
  image.aPixels.resize(PNG_IMAGE_SIZE(reader));
  if (!png_image_finish_read(&reader, nullptr, image.aPixels.data(), 0, nullptr)) {
    png_image_free(&reader);
    return std::nullopt;
  }
  return image;
}

int64_t ZR_ImageCompare::Differing(const ZR_TestImage& a, const ZR_TestImage& b, int32_t channel) {
  if (a.nWidth != b.nWidth || a.nHeight != b.nHeight || a.nChannels != b.nChannels) return -1;
  int64_t differing = 0;
  const size_t channels = static_cast<size_t>(a.nChannels);
  for (size_t p = 0; p < a.aPixels.size(); p += channels) {
    bool beyond = false;
    for (size_t c = 0; c < channels; ++c)
      beyond |= std::abs(int32_t{a.aPixels[p + c]} - int32_t{b.aPixels[p + c]}) > channel;
    differing += beyond;
  }
  return differing;
}

::testing::AssertionResult ZR_ImageCompare::Matches(const ZR_TestImage& actual,
                                                    const std::filesystem::path& reference,
                                                    const std::filesystem::path& outputDir,
                                                    Tolerance tolerance) {
  const std::string stem = reference.stem().string();
  const std::filesystem::path actualPath = outputDir / (stem + "-actual.png");
  const std::filesystem::path diffPath = outputDir / (stem + "-diff.png");
  const std::optional<ZR_TestImage> expected = ReadPng(reference);
  if (!expected) {
    const bool written = WritePng(reference, actual);
    return ::testing::AssertionFailure()
           << "no reference " << reference << (written ? "; written from this run, check it and commit it" : "; could not write it");
  }
  if (expected->nWidth != actual.nWidth || expected->nHeight != actual.nHeight ||
      expected->nChannels != actual.nChannels) {
    WritePng(actualPath, actual);
    return ::testing::AssertionFailure()
           << "size " << actual.nWidth << "x" << actual.nHeight << "x" << actual.nChannels
           << " differs from the reference's " << expected->nWidth << "x" << expected->nHeight
           << "x" << expected->nChannels << "; actual written to " << actualPath;
  }
  ZR_TestImage diff;
  diff.nWidth = actual.nWidth;
  diff.nHeight = actual.nHeight;
  diff.nChannels = 3;
  diff.aPixels.assign(static_cast<size_t>(actual.nWidth) * actual.nHeight * 3, 0);
  int64_t differing = 0;
  int32_t largest = 0;
  double sum = 0;
  const size_t pixels = static_cast<size_t>(actual.nWidth) * actual.nHeight;
  for (size_t p = 0; p < pixels; ++p) {
    int32_t worst = 0;
    for (int32_t c = 0; c < actual.nChannels; ++c) {
      const size_t i = p * actual.nChannels + c;
      worst = std::max(worst, std::abs(int32_t{actual.aPixels[i]} - int32_t{expected->aPixels[i]}));
    }
    largest = std::max(largest, worst);
    sum += worst;
    const bool beyond = worst > tolerance.nChannel;
    if (beyond) ++differing;
    // Beyond the tolerance in red, within it in grey scaled up so that it shows.
    uint8_t* out = &diff.aPixels[p * 3];
    const uint8_t shown = static_cast<uint8_t>(std::min(255, worst * 16));
    out[0] = beyond ? 255 : shown;
    out[1] = beyond ? 0 : shown;
    out[2] = beyond ? 0 : shown;
  }
  std::ostringstream summary;
  summary << differing << " pixels beyond " << tolerance.nChannel << " (allowed "
          << tolerance.nDiffering << "), largest difference " << largest << ", mean "
          << sum / static_cast<double>(pixels);
  if (differing <= tolerance.nDiffering) return ::testing::AssertionSuccess() << summary.str();
  WritePng(actualPath, actual);
  WritePng(diffPath, diff);
  return ::testing::AssertionFailure() << summary.str() << "; actual " << actualPath << ", difference "
                                       << diffPath;
}
