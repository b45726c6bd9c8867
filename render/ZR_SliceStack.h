#pragma once
// The study's raw slices as the software renderer samples them, and what places a sample in
// the patient. The loader fills it from the volume record before the software renderer takes
// the volume; the slices stay owned by the record.
//
// Voxel (x, y, z) of the loaded volume is column x * f, row y * f of study slice
// first + z * f (f the sub-sampling factor). Its patient position is that of the column and
// row in the original, unpadded image of that slice: the padding moves the image by
// (pad column, pad row) inside the slice.

#include <array>
#include <cstdint>
#include <vector>

struct ZR_SliceStack {
  // One pointer per study slice (stored values, width x height each), slice order.
  std::vector<const uint16_t*> apSlices;
  int32_t nWidth = 0;   // slice size after padding
  int32_t nHeight = 0;
  int32_t nFirst = 0;   // first slice of the loaded range
  int32_t nSubsample = 1;
  int32_t nPadColumn = 0;  // where the original image starts inside the padded slice
  int32_t nPadRow = 0;

  // Geometry from the files: the position of the first study slice, the unit row and column
  // directions of the images (as read, before any snapping for display), the direction from
  // the first slice to the second, the pixel spacing along a row and down a column, and the
  // slice distance: along the slice direction when the slices follow their normal, else
  // along the axis they advance in most (a sheared stack).
  std::array<double, 3> afOrigin{};
  std::array<double, 3> afRow{1, 0, 0};
  std::array<double, 3> afColumn{0, 1, 0};
  std::array<double, 3> afSliceDirection{0, 0, 1};
  double fSpacingX = 1;
  double fSpacingY = 1;
  double fSliceDistance = 1;
  // Optional: the position of every study slice. When present it places the slices exactly
  // (a series whose slice distances vary); otherwise they are taken as evenly spaced.
  std::vector<std::array<double, 3>> aSlicePositions;

  // Every voxel of a loaded volume of `dims` (x, y, z) maps into an existing slice.
  bool Covers(const int32_t dims[3]) const;
  // Slice z of the loaded volume (null when it does not exist).
  const uint16_t* LoadedSlice(int32_t z) const;
  // Patient position (mm) of a point given in voxels of the loaded volume.
  std::array<double, 3> PatientPosition(const double voxel[3]) const;
  // The patient displacement (mm) of a step given in voxels of the loaded volume.
  std::array<double, 3> PatientStep(const double voxelStep[3]) const;

 private:
  // Displacement from one study slice to the next.
  std::array<double, 3> SliceStep() const;
  std::array<double, 3> SlicePosition(double slice) const;
};
