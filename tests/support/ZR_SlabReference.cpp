#include "tests/support/ZR_SlabReference.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kRounding = 1e-6;
}

ZR_ResliceReference::Result ZR_SlabReference::Slab(const ZR_SliceStack& stack, const int32_t dims[3],
                                                   const ZR_SoftwareRenderer::Plane& centre,
                                                   const double shift[3], int32_t planes, int32_t mode,
                                                   int32_t width, int32_t height, bool markAmbiguous) {
  ZR_ResliceReference::Result result;
  result.nWidth = width;
  result.nHeight = height;
  result.aValues.assign(size_t(width) * height, 0);
  if (markAmbiguous) result.aAmbiguous.assign(size_t(width) * height, 0);
  for (int32_t i = 0; i < height; ++i) {
    for (int32_t j = 0; j < width; ++j) {
      int64_t sum = 0, count = 0;
      int32_t low = 65536, high = -1;
      bool ambiguous = false;
      for (int32_t k = 0; k < planes; ++k) {
        const double along = k - (planes - 1) / 2.0;
        double p[3];
        bool inside = true;
        for (int a = 0; a < 3; ++a) {
          p[a] = centre.adStart[a] + centre.adRowStep[a] * (j + 1) + centre.adColumnStep[a] * i + shift[a] * along;
          inside = inside && p[a] >= 1 && p[a] < dims[a] - 1;
          ambiguous = ambiguous || std::fabs(p[a] - 1) < kRounding || std::fabs(p[a] - (dims[a] - 1)) < kRounding;
        }
        if (!inside) continue;
        const auto value = static_cast<int32_t>(ZR_ResliceReference::Trilinear(stack, dims, p[0], p[1], p[2]));
        sum += value;
        ++count;
        low = std::min(low, value);
        high = std::max(high, value);
      }
      uint16_t value = 0;
      if (count > 0) {
        if (mode == 0)
          value = static_cast<uint16_t>((2 * sum + count) / (2 * count));
        else
          value = static_cast<uint16_t>(mode == 1 ? low : high);
      }
      result.aValues[size_t(i) * width + j] = value;
      if (markAmbiguous) result.aAmbiguous[size_t(i) * width + j] = ambiguous ? 1 : 0;
    }
  }
  return result;
}
