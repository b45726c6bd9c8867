#include "tests/support/ZR_TestImage.h"

#include <algorithm>

ZR_TestImage ZR_TestImage::FromBottomUp(int32_t width, int32_t height, int32_t channels,
                                        const uint8_t* pixels) {
  ZR_TestImage image;
  image.nWidth = width;
  image.nHeight = height;
  image.nChannels = channels;
  const size_t row = static_cast<size_t>(width) * channels;
  image.aPixels.resize(row * height);
  for (int32_t y = 0; y < height; ++y)
    std::copy_n(pixels + row * (height - 1 - y), row, image.aPixels.data() + row * y);
  return image;
}

ZR_TestImage ZR_TestImage::Rgb() const {
  ZR_TestImage image;
  image.nWidth = nWidth;
  image.nHeight = nHeight;
  image.nChannels = 3;
  const size_t pixels = static_cast<size_t>(nWidth) * nHeight;
  image.aPixels.resize(pixels * 3);
  for (size_t p = 0; p < pixels; ++p)
    for (size_t c = 0; c < 3; ++c)
      image.aPixels[p * 3 + c] = c < static_cast<size_t>(nChannels) ? aPixels[p * nChannels + c] : aPixels[p * nChannels];
  return image;
}
