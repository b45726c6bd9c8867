#include "measure/ZR_EllipseStats.h"

#include <algorithm>
#include <cmath>

namespace {
// Truncated, and held where the whole-number test of Inside stays exact (NaN gives 0).
int32_t ToPixels(double value, int32_t limit) {
  if (!(std::fabs(value) <= limit)) return std::isnan(value) ? 0 : (value < 0 ? -limit : limit);
  return static_cast<int32_t>(value);
}
}  // namespace

ZR_EllipseStats::Box ZR_EllipseStats::PixelBox(float x, float y, float width, float height, int32_t imageWidth,
                                               int32_t imageHeight) {
  const double left = width < 0 ? static_cast<double>(x) + width : x;
  // The box's upper edge: the image's rows run downwards.
  const double upper = height < 0 ? y : static_cast<double>(y) + height;
  Box box;
  box.left = ToPixels(left * imageWidth, kLargestSide);
  box.top = ToPixels((1.0 - upper) * imageHeight, kLargestSide);
  // A region thinner than a pixel still covers the pixels it lies on.
  box.width = std::max(ToPixels(std::fabs(static_cast<double>(width)) * imageWidth, kLargestSide), 1);
  box.height = std::max(ToPixels(std::fabs(static_cast<double>(height)) * imageHeight, kLargestSide), 1);
  return box;
}

bool ZR_EllipseStats::Inside(const Box& box, int32_t px, int32_t py) {
  if (box.width <= 0 || box.height <= 0 || box.width > kLargestSide || box.height > kLargestSide) return false;
  if (px < box.left || px >= box.left + box.width || py < box.top || py >= box.top + box.height) return false;
  // Twice the offsets from the centre and twice the radii, all whole numbers.
  const int64_t u = 2 * int64_t{px - box.left} + 1 - box.width;
  const int64_t v = 2 * int64_t{py - box.top} + 1 - box.height;
  const int64_t a = box.width - 1, b = box.height - 1;
  return u * u * b * b + v * v * a * a <= a * a * b * b;
}

ZR_EllipseStats::Result ZR_EllipseStats::Compute(const uint16_t* image, int32_t imageWidth, int32_t imageHeight,
                                                 const Box& box) {
  Result result;
  if (!image || imageWidth <= 0 || imageHeight <= 0 || box.width <= 0 || box.height <= 0 ||
      box.width > kLargestSide || box.height > kLargestSide)
    return result;
  const int32_t x0 = std::max(box.left, 0), x1 = std::min(box.left + box.width, imageWidth);
  const int32_t y0 = std::max(box.top, 0), y1 = std::min(box.top + box.height, imageHeight);
  // Sums of the offsets from the first value: a large uniform region then sums exact zeros,
  // where plain sums of squares would cancel into rounding noise.
  double shift = 0, sum = 0, squares = 0;
  double minimum = 0, maximum = 0;
  int64_t count = 0;
  for (int32_t py = y0; py < y1; ++py) {
    const uint16_t* row = image + static_cast<size_t>(py) * static_cast<size_t>(imageWidth);
    for (int32_t px = x0; px < x1; ++px) {
      if (!Inside(box, px, py)) continue;
      const double value = row[px];
      if (count == 0) {
        shift = minimum = maximum = value;
      } else {
        minimum = std::min(minimum, value);
        maximum = std::max(maximum, value);
      }
      const double d = value - shift;
      sum += d;
      squares += d * d;
      ++count;
    }
  }
  if (count == 0) return result;
  const double n = static_cast<double>(count);
  const double offset = sum / n;
  result.count = count;
  result.minimum = minimum;
  result.maximum = maximum;
  result.mean = shift + offset;
  result.deviation = std::sqrt(std::max(0.0, squares / n - offset * offset));
  return result;
}
