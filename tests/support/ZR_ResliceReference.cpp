#include "tests/support/ZR_ResliceReference.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
constexpr double kRounding = 1e-6;

uint16_t Voxel(const ZR_SliceStack& stack, int64_t x, int64_t y, int64_t z) {
  const uint16_t* slice = stack.LoadedSlice(static_cast<int32_t>(z));
  const int64_t f = stack.nSubsample;
  return slice[y * f * stack.nWidth + x * f];
}

bool NearInteger(double v) { return std::fabs(v - std::round(v)) < kRounding; }
}  // namespace

float ZR_ResliceReference::Trilinear(const ZR_SliceStack& stack, const int32_t dims[3], double x,
                                     double y, double z) {
  const double point[3] = {x, y, z};
  for (int a = 0; a < 3; ++a)
    if (!(point[a] >= 1) || !(point[a] < dims[a] - 1)) return 0;
  const auto i = static_cast<int64_t>(x), j = static_cast<int64_t>(y), k = static_cast<int64_t>(z);
  const float fx = static_cast<float>(x - i), fy = static_cast<float>(y - j), fz = static_cast<float>(z - k);
  const int64_t f = stack.nSubsample;
  const uint16_t* slices[2] = {stack.LoadedSlice(static_cast<int32_t>(k)), stack.LoadedSlice(static_cast<int32_t>(k + 1))};
  float sum = 0;
  for (int dz = 0; dz < 2; ++dz)
    for (int dy = 0; dy < 2; ++dy)
      for (int dx = 0; dx < 2; ++dx) {
        const float w = (dx ? fx : 1 - fx) * (dy ? fy : 1 - fy) * (dz ? fz : 1 - fz);
        sum += w * static_cast<float>(slices[dz][(j + dy) * f * stack.nWidth + (i + dx) * f]);
      }
  return sum;
}

uint16_t ZR_ResliceReference::Nearest(const ZR_SliceStack& stack, const int32_t dims[3], double x,
                                      double y, double z) {
  const double point[3] = {std::floor(x), std::floor(y), std::floor(z)};
  for (int a = 0; a < 3; ++a)
    if (point[a] < 0 || point[a] > dims[a] - 1) return 0;
  return Voxel(stack, static_cast<int64_t>(point[0]), static_cast<int64_t>(point[1]),
               static_cast<int64_t>(point[2]));
}

ZR_ResliceReference::Result ZR_ResliceReference::Reslice(const ZR_SliceStack& stack,
                                                         const int32_t dims[3],
                                                         const ZR_SoftwareRenderer::Plane& plane,
                                                         int32_t width, int32_t height, int32_t step,
                                                         bool markAmbiguous) {
  Result result;
  result.nWidth = width;
  result.nHeight = height;
  result.aValues.assign(size_t(width) * height, 0);
  if (markAmbiguous) result.aAmbiguous.assign(size_t(width) * height, 0);
  const bool full = step < 2;
  const int32_t s = full ? 1 : step;
  for (int32_t i = 0; i < height; i += s) {
    for (int32_t j = 0; j < width; j += s) {
      const double along = full ? j + 1 : j;
      double p[3];
      for (int a = 0; a < 3; ++a) p[a] = plane.adStart[a] + plane.adRowStep[a] * along + plane.adColumnStep[a] * i;
      uint16_t value = 0;
      bool ambiguous = false;
      if (full) {
        value = static_cast<uint16_t>(Trilinear(stack, dims, p[0], p[1], p[2]));
        for (int a = 0; markAmbiguous && a < 3; ++a)
          ambiguous = ambiguous || std::fabs(p[a] - 1) < kRounding || std::fabs(p[a] - (dims[a] - 1)) < kRounding;
      } else {
        value = Nearest(stack, dims, p[0], p[1], p[2]);
        for (int a = 0; markAmbiguous && a < 3; ++a) ambiguous = ambiguous || NearInteger(p[a]);
      }
      for (int32_t bi = i; bi < std::min(height, i + s); ++bi)
        for (int32_t bj = j; bj < std::min(width, j + s); ++bj) {
          result.aValues[size_t(bi) * width + bj] = value;
          if (markAmbiguous) result.aAmbiguous[size_t(bi) * width + bj] = ambiguous ? 1 : 0;
        }
    }
  }
  return result;
}

int64_t ZR_ResliceReference::Mismatches(const Result& reference, const uint16_t* actual,
                                        int32_t tolerance, int32_t* largest) {
  int64_t count = 0;
  int32_t worst = 0;
  for (size_t k = 0; k < reference.aValues.size(); ++k) {
    if (!reference.aAmbiguous.empty() && reference.aAmbiguous[k]) continue;
    const int32_t difference = std::abs(int32_t{reference.aValues[k]} - int32_t{actual[k]});
    if (difference > tolerance) {
      ++count;
      worst = std::max(worst, difference);
    }
  }
  if (largest) *largest = worst;
  return count;
}
