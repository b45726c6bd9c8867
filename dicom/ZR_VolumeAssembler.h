#pragma once
// Turns the chosen slice range of a study into voxels. Each stored value v (0..R, R = largest
// - smallest file value of the study) becomes the table index round(v x 4095 / R), written
// x 16 so that its top 12 bits index the 4096-entry tables, and is counted in the histogram
// under that index. For R = 4095 the index is the stored value itself; wider ranges (16-bit
// data, padded CT of -2048..3071) are scaled into the table instead of wrapping past it, and
// the lookup table's index-to-value mapping (smallest + R x index / 4095) stays true for all.
// The raw slices keep their full precision for the software path and the pixel values.

#include <cstdint>

class ZR_DicomVolume;

// What the voxel buffer holds: nWidth x nHeight x nDepth values taken from every nFactor-th
// value, row and slice, starting at slice nFirst of the study.
struct ZR_VolumeGeometry {
  int32_t nWidth = 0, nHeight = 0, nDepth = 0;
  int32_t nFactor = 1;
  int32_t nFirst = 0;
  uint64_t Voxels() const { return uint64_t(nWidth) * uint64_t(nHeight) * uint64_t(nDepth); }
};

class ZR_VolumeAssembler {
 public:
  static constexpr int32_t kIndexScale = 4095;
  static constexpr int32_t kHistogramSize = 4096;

  // The volume's slices first..last, sub-sampled by `subsample` (1 or less: not at all): the
  // width, height and slice count divided by the factor (integer division). Sub-sampling
  // takes exactly that many slices: first, first + f, ... (never one more than the buffer holds).
  static ZR_VolumeGeometry Geometry(const ZR_DicomVolume& volume, int32_t subsample);

  // The table index of stored value `v` for a value range `range` >= 1 (values beyond it take
  // the last index; an empty range gives 0).
  static uint16_t Index(int32_t v, int32_t range);

  // Writes the voxels (geometry.Voxels() values, x fastest, then y, then slice) and sets the
  // histogram (4096 counters, cleared first, each saturating at 2^32 - 1), on `threads`
  // threads (0: the machine's cores, at most 4). Returns the number of voxels counted, 0
  // (nothing written) when the geometry does not lie inside the volume's slices.
  static uint64_t Fill(const ZR_DicomVolume& volume, const ZR_VolumeGeometry& geometry, uint16_t* voxels,
                       uint32_t* histogram, int32_t threads = 0);
};
