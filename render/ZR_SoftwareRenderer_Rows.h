#pragma once
// Inside the software renderer: the row helpers that the plane reslice and the slab share, so
// that a slab's sub-plane samples exactly what a reslice of that plane samples. Not for use
// outside the renderer's own sources.
//
// A row is walked in 32.32 fixed point: its start rounded once, then exact integer steps.

#include <cstdint>

namespace ZR_SoftwareRows {

constexpr double kOne = 4294967296.0;  // 1.0 in 32.32
constexpr int64_t kOneFixed = int64_t{1} << 32;
// Beyond these a row cannot reach the volume (and its fixed-point values could overflow).
constexpr double kFarAway = 1.0e8;
constexpr double kHugeStep = 1.0e6;

struct Sampler {
  const uint16_t* const* slices;
  int64_t rowStride;
  int64_t columnStride;
  int32_t dims[3];
};

// Narrows [begin, end) to the j for which low <= a + j d < high.
void Clip(int64_t a, int64_t d, int64_t low, int64_t high, int64_t& begin, int64_t& end);

// The row's start and step in fixed point, and the columns of [jBegin, jEnd) whose samples
// lie in [low, dim - high) on every axis; false when none can.
bool PrepareRow(const Sampler& s, const double start[3], const double step[3], int32_t low, int32_t high,
                int32_t jBegin, int32_t jEnd, int64_t a[3], int64_t d[3], int64_t& begin, int64_t& end);

// Trilinear samples of `count` points from (x, y, z) on, stepping by d, all of them inside
// [1, dim - 1) on every axis, truncated into out. With `prefetch`, the voxels along the row
// that starts at (px, py, pz) are asked for early.
void BlendRow(const Sampler& s, int64_t x, int64_t y, int64_t z, const int64_t d[3], int64_t count,
              uint16_t* out, bool prefetch = false, int64_t px = 0, int64_t py = 0, int64_t pz = 0);

// --- Slabs ----------------------------------------------------------------------------------
// How the sub-planes of a slab combine; the numbers are the view's slab modes.
enum SlabMode : int32_t { kSlabMean = 0, kSlabMinimum = 1, kSlabMaximum = 2 };
// A minimum accumulator starts above every sample, so that "no sample" stays visible.
constexpr uint32_t kNoMinimum = 0x10000;

// Adds `count` samples into per-pixel accumulators: the largest or smallest so far, or the
// sum and the count for the mean; samples[k] belongs to acc[k] and counts[k].
void CombineSamples(int32_t mode, const uint16_t* samples, int64_t count, uint32_t* acc, uint32_t* counts);

// The volume as the vector kernel addresses it: voxel (x, y, z) at
// base[sliceOffsets[z] + y * rowStride + x] (unit column stride only).
struct SlabVolume {
  const uint16_t* base;
  const int32_t* sliceOffsets;
  int32_t rowStride;
};
// A row step split for 16 lanes: lane j starts j steps on, every pass moves 16 steps; each
// value as its integer part (high word) and fraction (low word).
struct SlabLanes {
  int32_t laneHigh[3][16];
  uint32_t laneLow[3][16];
  int32_t passHigh[3];
  uint32_t passLow[3];
};
SlabLanes MakeSlabLanes(const int64_t d[3]);
// Whether this processor runs the vector kernel.
bool SlabVectorsAvailable();
// The samples of `count` points from a (fixed point) on, all inside [1, dim - 1), added into
// the accumulators as CombineSamples adds them: the same samples as BlendRow, 16 at a time.
void CombineRowVector(int32_t mode, const SlabVolume& volume, const SlabLanes& lanes, const int64_t a[3],
                      const int64_t d[3], int64_t count, uint32_t* acc, uint32_t* counts);

// Whether this processor runs the kernel for rows along x.
bool SlabRunsAvailable();
// The same for a row along x (no step in y or z, less than two voxels a step): its samples
// picked out of whole runs of values.
void CombineAlongXVector(int32_t mode, const SlabVolume& volume, const SlabLanes& lanes, const int64_t a[3],
                         int64_t dx, int64_t count, uint32_t* acc, uint32_t* counts);

// Rows along x of sub-planes that differ in z alone: `zs` holds the z (fixed point) of the
// `planes` sub-planes to add, in increasing order, all inside the volume; a holds the x and y
// of the row's first sample. At most kSlabStackWidth samples.
constexpr int32_t kSlabStackWidth = 512;
void CombineStackVector(int32_t mode, const SlabVolume& volume, const SlabLanes& lanes, const int64_t a[3],
                        int64_t dx, int64_t count, const int64_t* zs, int32_t planes, uint32_t* acc,
                        uint32_t* counts);

}  // namespace ZR_SoftwareRows
