#include "render/ZR_SliceStack.h"

#include <algorithm>
#include <cmath>

bool ZR_SliceStack::Covers(const int32_t dims[3]) const {
  const int64_t f = nSubsample;
  if (f < 1 || nWidth <= 0 || nHeight <= 0 || nFirst < 0) return false;
  if (dims[0] <= 0 || dims[1] <= 0 || dims[2] <= 0) return false;
  if ((dims[0] - 1) * f >= nWidth || (dims[1] - 1) * f >= nHeight) return false;
  const int64_t last = nFirst + (dims[2] - 1) * f;
  if (last >= static_cast<int64_t>(apSlices.size())) return false;
  for (int64_t k = nFirst; k <= last; k += f)
    if (!apSlices[static_cast<size_t>(k)]) return false;
  return true;
}

const uint16_t* ZR_SliceStack::LoadedSlice(int32_t z) const {
  const int64_t k = nFirst + int64_t{z} * nSubsample;
  if (z < 0 || k >= static_cast<int64_t>(apSlices.size())) return nullptr;
  return apSlices[static_cast<size_t>(k)];
}

std::array<double, 3> ZR_SliceStack::SliceStep() const {
  const std::array<double, 3> normal = {afRow[1] * afColumn[2] - afRow[2] * afColumn[1],
                                        afRow[2] * afColumn[0] - afRow[0] * afColumn[2],
                                        afRow[0] * afColumn[1] - afRow[1] * afColumn[0]};
  auto length = [](const std::array<double, 3>& v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); };
  std::array<double, 3> direction = afSliceDirection;
  double size = length(direction);
  if (!(size > 0) || !std::isfinite(size)) {
    // Without a slice direction (a volume handed over without positions) the slices follow
    // the image normal.
    direction = normal;
    size = length(direction);
    if (!(size > 0)) return {0, 0, fSliceDistance};
  }
  for (double& c : direction) c /= size;
  // Slices that follow their normal are the slice distance apart along it; a sheared stack's
  // distance is measured along the axis it advances in most.
  const double normalSize = length(normal);
  const double along = normalSize > 0 ? std::fabs(direction[0] * normal[0] + direction[1] * normal[1] +
                                                  direction[2] * normal[2]) / normalSize
                                      : 0;
  const double largest = std::max({std::fabs(direction[0]), std::fabs(direction[1]), std::fabs(direction[2])});
  const double scale = along > 0.99 ? fSliceDistance : fSliceDistance / largest;
  return {direction[0] * scale, direction[1] * scale, direction[2] * scale};
}

std::array<double, 3> ZR_SliceStack::SlicePosition(double slice) const {
  const size_t n = aSlicePositions.size();
  if (n >= 2) {
    // Between the two known slices around it (beyond the ends: along the end pair).
    const double clamped = std::clamp(std::floor(slice), 0.0, static_cast<double>(n - 2));
    const auto k = static_cast<size_t>(clamped);
    const double t = slice - clamped;
    const auto& a = aSlicePositions[k];
    const auto& b = aSlicePositions[k + 1];
    return {a[0] + t * (b[0] - a[0]), a[1] + t * (b[1] - a[1]), a[2] + t * (b[2] - a[2])};
  }
  const std::array<double, 3> step = SliceStep();
  const std::array<double, 3>& base = n == 1 ? aSlicePositions[0] : afOrigin;
  return {base[0] + slice * step[0], base[1] + slice * step[1], base[2] + slice * step[2]};
}

std::array<double, 3> ZR_SliceStack::PatientPosition(const double voxel[3]) const {
  const double f = nSubsample;
  const double column = voxel[0] * f - nPadColumn;
  const double row = voxel[1] * f - nPadRow;
  const std::array<double, 3> slice = SlicePosition(nFirst + voxel[2] * f);
  std::array<double, 3> out{};
  for (int i = 0; i < 3; ++i)
    out[i] = slice[i] + column * fSpacingX * afRow[i] + row * fSpacingY * afColumn[i];
  return out;
}

std::array<double, 3> ZR_SliceStack::PatientStep(const double voxelStep[3]) const {
  const double f = nSubsample;
  std::array<double, 3> sliceStep = SliceStep();
  const size_t n = aSlicePositions.size();
  if (n >= 2) {
    // The mean step of the known slices.
    for (int i = 0; i < 3; ++i)
      sliceStep[i] = (aSlicePositions[n - 1][i] - aSlicePositions[0][i]) / static_cast<double>(n - 1);
  }
  std::array<double, 3> out{};
  for (int i = 0; i < 3; ++i)
    out[i] = f * (voxelStep[0] * fSpacingX * afRow[i] + voxelStep[1] * fSpacingY * afColumn[i] +
                  voxelStep[2] * sliceStep[i]);
  return out;
}
