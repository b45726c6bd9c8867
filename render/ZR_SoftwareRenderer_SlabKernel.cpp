// The slab's inner loops: trilinear samples along one sub-plane's row, 16 at a time, folded
// into the pixels' accumulators.
//
// A slab samples every pixel once per sub-plane, so the sample itself is the whole cost. The
// 16 coordinates of a pass step as 32-bit integer parts and fractions with an explicit carry
// (exactly the 32.32 sums of the scalar row), and the blend is the scalar blend's own
// operations in its order, so every sample equals the plane reslice's. Three ways to the
// voxels: rows along x read whole runs of values and permute each lane's pair out of them;
// axial stacks of sub-planes also share each slice's blend between the two sub-planes around
// it; any other row reads its pairs lane by lane. The file is built without contracting
// multiplies and adds into fused ones, which would change the samples.
#include <algorithm>
#include <cstring>

#include "render/ZR_SoftwareRenderer_Rows.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define ZR_SLAB_VECTORS 1
#endif

namespace ZR_SoftwareRows {

void CombineSamples(int32_t mode, const uint16_t* samples, int64_t count, uint32_t* acc, uint32_t* counts) {
  switch (mode) {
    case kSlabMean:
      for (int64_t k = 0; k < count; ++k) {
        acc[k] += samples[k];
        ++counts[k];
      }
      break;
    case kSlabMinimum:
      for (int64_t k = 0; k < count; ++k) acc[k] = std::min<uint32_t>(acc[k], samples[k]);
      break;
    default:
      for (int64_t k = 0; k < count; ++k) acc[k] = std::max<uint32_t>(acc[k], samples[k]);
      break;
  }
}

SlabLanes MakeSlabLanes(const int64_t d[3]) {
  SlabLanes lanes{};
  for (int axis = 0; axis < 3; ++axis) {
    for (int j = 0; j < 16; ++j) {
      const auto value = static_cast<uint64_t>(d[axis] * j);
      lanes.laneHigh[axis][j] = static_cast<int32_t>(value >> 32);
      lanes.laneLow[axis][j] = static_cast<uint32_t>(value);
    }
    const auto pass = static_cast<uint64_t>(d[axis] * 16);
    lanes.passHigh[axis] = static_cast<int32_t>(pass >> 32);
    lanes.passLow[axis] = static_cast<uint32_t>(pass);
  }
  return lanes;
}

#ifdef ZR_SLAB_VECTORS

bool SlabVectorsAvailable() {
  static const bool available = __builtin_cpu_supports("avx512f");
  return available;
}

namespace {

// GCC 12's own intrinsics start some results from a deliberately undefined register and then
// warn about it where they are inlined.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"

#define ZR_AVX512 __attribute__((target("avx512f")))

// One axis's 16 coordinates: integer parts and fractions of 32.32 values.
struct Axis {
  __m512i high;
  __m512i low;
};

ZR_AVX512 inline Axis Start(int64_t a, const int32_t* laneHigh, const uint32_t* laneLow) {
  const auto bits = static_cast<uint64_t>(a);
  const __m512i offsetLow = _mm512_loadu_si512(laneLow);
  Axis axis;
  axis.low = _mm512_add_epi32(_mm512_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(bits))), offsetLow);
  const __mmask16 carry = _mm512_cmplt_epu32_mask(axis.low, offsetLow);
  axis.high = _mm512_add_epi32(_mm512_set1_epi32(static_cast<int32_t>(bits >> 32)), _mm512_loadu_si512(laneHigh));
  axis.high = _mm512_mask_sub_epi32(axis.high, carry, axis.high, _mm512_set1_epi32(-1));
  return axis;
}

ZR_AVX512 inline void Advance(Axis& axis, __m512i passHigh, __m512i passLow) {
  axis.low = _mm512_add_epi32(axis.low, passLow);
  const __mmask16 carry = _mm512_cmplt_epu32_mask(axis.low, passLow);
  axis.high = _mm512_add_epi32(axis.high, passHigh);
  axis.high = _mm512_mask_sub_epi32(axis.high, carry, axis.high, _mm512_set1_epi32(-1));
}

// The fraction's top 24 bits as a weight, as the scalar blend takes it.
ZR_AVX512 inline __m512 Weight(__m512i low) {
  return _mm512_mul_ps(_mm512_cvtepi32_ps(_mm512_srli_epi32(low, 8)), _mm512_set1_ps(1.0f / 16777216.0f));
}

// low + (high - low) * w of a pair of neighbours along x.
ZR_AVX512 inline __m512 AlongX(__m512i pair, __m512 wx) {
  const __m512 first = _mm512_cvtepi32_ps(_mm512_and_si512(pair, _mm512_set1_epi32(0xFFFF)));
  const __m512 second = _mm512_cvtepi32_ps(_mm512_srli_epi32(pair, 16));
  return _mm512_add_ps(first, _mm512_mul_ps(_mm512_sub_ps(second, first), wx));
}

ZR_AVX512 inline __m512 Lerp(__m512 a, __m512 b, __m512 w) {
  return _mm512_add_ps(a, _mm512_mul_ps(_mm512_sub_ps(b, a), w));
}

// The 16 samples into their pixels' accumulators.
template <int32_t kMode>
ZR_AVX512 inline void Fold(__m512i value, __mmask16 mask, uint32_t* acc, uint32_t* counts) {
  const __m512i old = _mm512_maskz_loadu_epi32(mask, acc);
  if constexpr (kMode == kSlabMean) {
    _mm512_mask_storeu_epi32(acc, mask, _mm512_add_epi32(old, value));
    const __m512i seen = _mm512_maskz_loadu_epi32(mask, counts);
    _mm512_mask_storeu_epi32(counts, mask, _mm512_add_epi32(seen, _mm512_set1_epi32(1)));
  } else if constexpr (kMode == kSlabMinimum) {
    _mm512_mask_storeu_epi32(acc, mask, _mm512_min_epu32(old, value));
  } else {
    _mm512_mask_storeu_epi32(acc, mask, _mm512_max_epu32(old, value));
  }
}

// The slice offsets of slices z and z + 1 for the 16 lanes. Along one pass z takes few values,
// so they come out of a 32-entry window of the table by two permutes; a pass that climbs
// through more slices than that gathers them.
ZR_AVX512 inline void SliceOffsets(const int32_t* table, __m512i z, int32_t zFirst, int32_t zLast, __mmask16 mask,
                                   __m512i& slice0, __m512i& slice1) {
  const int32_t low = std::min(zFirst, zLast);
  if (std::max(zFirst, zLast) - low < 31) {
    const __m512i windowLow = _mm512_loadu_si512(table + low);
    const __m512i windowHigh = _mm512_loadu_si512(table + low + 16);
    const __m512i at = _mm512_sub_epi32(z, _mm512_set1_epi32(low));
    slice0 = _mm512_permutex2var_epi32(windowLow, at, windowHigh);
    slice1 = _mm512_permutex2var_epi32(windowLow, _mm512_add_epi32(at, _mm512_set1_epi32(1)), windowHigh);
  } else {
    slice0 = _mm512_mask_i32gather_epi32(_mm512_setzero_si512(), mask, z, table, 4);
    slice1 = _mm512_mask_i32gather_epi32(_mm512_setzero_si512(), mask, z, table + 1, 4);
  }
}

template <int32_t kMode>
ZR_AVX512 void CombineRow(const SlabVolume& volume, const SlabLanes& lanes, const int64_t a[3], const int64_t d[3],
                          int64_t count, uint32_t* acc, uint32_t* counts) {
  Axis axes[3];
  __m512i passHigh[3], passLow[3];
  for (int k = 0; k < 3; ++k) {
    axes[k] = Start(a[k], lanes.laneHigh[k], lanes.laneLow[k]);
    passHigh[k] = _mm512_set1_epi32(lanes.passHigh[k]);
    passLow[k] = _mm512_set1_epi32(static_cast<int32_t>(lanes.passLow[k]));
  }
  const __m512i rowStride = _mm512_set1_epi32(volume.rowStride);
  const uint16_t* base = volume.base;
  const int64_t rs = volume.rowStride;
  // The voxel pairs are read one lane at a time: on the processors at hand that is faster
  // than gathering them (a gather takes about two cycles a lane).
  alignas(64) int32_t at0[16], at1[16];
  alignas(64) uint32_t pairs[4][16];
  for (int64_t done = 0; done < count; done += 16) {
    const int64_t left = count - done;
    const int32_t n = left >= 16 ? 16 : static_cast<int32_t>(left);
    const auto mask = static_cast<__mmask16>(n == 16 ? 0xFFFFu : (1u << n) - 1u);
    const int64_t z = a[2] + done * d[2];
    __m512i slice0, slice1;
    SliceOffsets(volume.sliceOffsets, axes[2].high, static_cast<int32_t>(z >> 32),
                 static_cast<int32_t>((z + (n - 1) * d[2]) >> 32), mask, slice0, slice1);
    const __m512i inSlice = _mm512_add_epi32(_mm512_mullo_epi32(axes[1].high, rowStride), axes[0].high);
    _mm512_store_si512(at0, _mm512_add_epi32(slice0, inSlice));
    _mm512_store_si512(at1, _mm512_add_epi32(slice1, inSlice));
    // Kept in memory: built lane by lane in registers instead, the same reads take about a
    // third more instructions.
    asm volatile("" : : "r"(pairs), "r"(at0), "r"(at1) : "memory");
    for (int32_t l = 0; l < n; ++l) {
      const uint16_t* p0 = base + at0[l];
      const uint16_t* p1 = base + at1[l];
      std::memcpy(&pairs[0][l], p0, 4);
      std::memcpy(&pairs[1][l], p0 + rs, 4);
      std::memcpy(&pairs[2][l], p1, 4);
      std::memcpy(&pairs[3][l], p1 + rs, 4);
    }
    asm volatile("" : : "r"(pairs), "r"(at0), "r"(at1) : "memory");
    const __m512 wx = Weight(axes[0].low);
    const __m512 wy = Weight(axes[1].low);
    const __m512 wz = Weight(axes[2].low);
    const __m512 c0 = Lerp(AlongX(_mm512_load_si512(pairs[0]), wx), AlongX(_mm512_load_si512(pairs[1]), wx), wy);
    const __m512 c1 = Lerp(AlongX(_mm512_load_si512(pairs[2]), wx), AlongX(_mm512_load_si512(pairs[3]), wx), wy);
    const __m512i value = _mm512_cvttps_epi32(Lerp(c0, c1, wz));

    Fold<kMode>(value, mask, acc + done, counts + done);
    for (int k = 0; k < 3; ++k) Advance(axes[k], passHigh[k], passLow[k]);
  }
}

#define ZR_AVX512BW __attribute__((target("avx512f,avx512bw")))

// A row that runs along x (the axial and coronal planes): its samples share their rows and
// slices and step through one run of adjacent values, so the four runs are read whole and
// every lane's pair is picked out of them by a permute, with no read per sample.
template <int32_t kMode>
ZR_AVX512BW void CombineAlongX(const SlabVolume& volume, const SlabLanes& lanes, const int64_t a[3], int64_t dx,
                               int64_t count, uint32_t* acc, uint32_t* counts) {
  const auto y = static_cast<int32_t>(a[1] >> 32), z = static_cast<int32_t>(a[2] >> 32);
  const int64_t rs = volume.rowStride;
  const uint16_t* row0 = volume.base + volume.sliceOffsets[z] + int64_t{y} * rs;
  const uint16_t* row1 = volume.base + volume.sliceOffsets[z + 1] + int64_t{y} * rs;
  const uint16_t* rows[4] = {row0, row0 + rs, row1, row1 + rs};
  const __m512 wy = Weight(_mm512_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(a[1]))));
  const __m512 wz = Weight(_mm512_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(a[2]))));
  Axis axis = Start(a[0], lanes.laneHigh[0], lanes.laneLow[0]);
  const __m512i passHigh = _mm512_set1_epi32(lanes.passHigh[0]);
  const __m512i passLow = _mm512_set1_epi32(static_cast<int32_t>(lanes.passLow[0]));
  const __m512i one = _mm512_set1_epi32(1);
  for (int64_t done = 0; done < count; done += 16) {
    const int64_t left = count - done;
    const int32_t n = left >= 16 ? 16 : static_cast<int32_t>(left);
    const auto mask = static_cast<__mmask16>(n == 16 ? 0xFFFFu : (1u << n) - 1u);
    const int64_t first = a[0] + done * dx, last = first + (n - 1) * dx;
    const auto from = static_cast<int32_t>(std::min(first, last) >> 32);
    const auto span = static_cast<int32_t>(std::max(first, last) >> 32) - from + 1;  // values needed - 1
    // Only the values the lanes need are read: the run may end at the last value of a slice.
    const auto needed = static_cast<__mmask32>(span >= 31 ? 0xFFFFFFFFu : (2u << span) - 1u);
    const __m512i at = _mm512_sub_epi32(axis.high, _mm512_set1_epi32(from));
    const __m512i pick = _mm512_or_si512(at, _mm512_slli_epi32(_mm512_add_epi32(at, one), 16));
    __m512i pairs[4];
    for (int r = 0; r < 4; ++r)
      pairs[r] = _mm512_permutexvar_epi16(pick, _mm512_maskz_loadu_epi16(needed, rows[r] + from));
    const __m512 wx = Weight(axis.low);
    const __m512 c0 = Lerp(AlongX(pairs[0], wx), AlongX(pairs[1], wx), wy);
    const __m512 c1 = Lerp(AlongX(pairs[2], wx), AlongX(pairs[3], wx), wy);
    const __m512i value = _mm512_cvttps_epi32(Lerp(c0, c1, wz));
    Fold<kMode>(value, mask, acc + done, counts + done);
    Advance(axis, passHigh, passLow);
  }
}

// Sub-planes stacked straight along z over rows along x (the axial planes): every sub-plane
// samples the same points of each slice, so each slice's blend along x and y (what the scalar
// blend computes first for the slice below a sample and for the one above) is made once per
// row and serves the two sub-planes around it; a sample is then its blend along z.
constexpr int32_t kPrefetchSlices = 3;

template <int32_t kMode>
ZR_AVX512BW void CombineStack(const SlabVolume& volume, const SlabLanes& lanes, const int64_t a[3], int64_t dx,
                              int64_t count, const int64_t* zs, int32_t planes, uint32_t* acc, uint32_t* counts) {
  constexpr int kPasses = kSlabStackWidth / 16;
  const auto y = static_cast<int32_t>(a[1] >> 32);
  const int64_t rs = volume.rowStride;
  const __m512 wy = Weight(_mm512_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(a[1]))));
  const __m512i one = _mm512_set1_epi32(1);
  const int32_t passes = static_cast<int32_t>((count + 15) / 16);
  // What every pass picks from its runs, the same in every slice.
  __m512i pick[kPasses];
  __m512 wx[kPasses];
  int32_t from[kPasses];
  __mmask32 needed[kPasses];
  __mmask16 masks[kPasses];
  Axis axis = Start(a[0], lanes.laneHigh[0], lanes.laneLow[0]);
  const __m512i passHigh = _mm512_set1_epi32(lanes.passHigh[0]);
  const __m512i passLow = _mm512_set1_epi32(static_cast<int32_t>(lanes.passLow[0]));
  for (int32_t p = 0; p < passes; ++p) {
    const int64_t done = int64_t{p} * 16, left = count - done;
    const int32_t n = left >= 16 ? 16 : static_cast<int32_t>(left);
    masks[p] = static_cast<__mmask16>(n == 16 ? 0xFFFFu : (1u << n) - 1u);
    const int64_t first = a[0] + done * dx, last = first + (n - 1) * dx;
    from[p] = static_cast<int32_t>(std::min(first, last) >> 32);
    const auto span = static_cast<int32_t>(std::max(first, last) >> 32) - from[p] + 1;
    needed[p] = static_cast<__mmask32>(span >= 31 ? 0xFFFFFFFFu : (2u << span) - 1u);
    const __m512i at = _mm512_sub_epi32(axis.high, _mm512_set1_epi32(from[p]));
    pick[p] = _mm512_or_si512(at, _mm512_slli_epi32(_mm512_add_epi32(at, one), 16));
    wx[p] = Weight(axis.low);
    Advance(axis, passHigh, passLow);
  }
  alignas(64) float blends[2][kSlabStackWidth];
  float* below = blends[0];
  float* above = blends[1];
  // The rows of a slice a few sub-planes on are asked for while this one blends: each run is
  // short, and its slice lies far from the last one, so the processor would not guess it.
  const int32_t lastSlice = static_cast<int32_t>(zs[planes - 1] >> 32) + 1;
  const int32_t runFrom = std::min(from[0], from[passes - 1]);
  const int32_t runLength = std::max(from[0], from[passes - 1]) + 32 - runFrom;
  auto blend = [&](int32_t slice, float* out) ZR_AVX512BW {
    const uint16_t* row0 = volume.base + volume.sliceOffsets[slice] + int64_t{y} * rs;
    const uint16_t* row1 = row0 + rs;
    if (slice + kPrefetchSlices <= lastSlice) {
      const uint16_t* ahead = volume.base + volume.sliceOffsets[slice + kPrefetchSlices] + int64_t{y} * rs + runFrom;
      for (int32_t v = 0; v < runLength; v += 32) {
        __builtin_prefetch(ahead + v);
        __builtin_prefetch(ahead + rs + v);
      }
    }
    for (int32_t p = 0; p < passes; ++p) {
      const __m512i pair0 = _mm512_permutexvar_epi16(pick[p], _mm512_maskz_loadu_epi16(needed[p], row0 + from[p]));
      const __m512i pair1 = _mm512_permutexvar_epi16(pick[p], _mm512_maskz_loadu_epi16(needed[p], row1 + from[p]));
      _mm512_store_ps(out + 16 * p, Lerp(AlongX(pair0, wx[p]), AlongX(pair1, wx[p]), wy));
    }
  };
  int32_t held = -2;  // the slice whose blend `below` holds
  for (int32_t k = 0; k < planes; ++k) {
    const auto slice = static_cast<int32_t>(zs[k] >> 32);
    if (slice != held) {
      if (slice == held + 1)
        std::swap(below, above);
      else
        blend(slice, below);
      blend(slice + 1, above);
      held = slice;
    }
    const __m512 wz = Weight(_mm512_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(zs[k]))));
    for (int32_t p = 0; p < passes; ++p) {
      const __m512i value =
          _mm512_cvttps_epi32(Lerp(_mm512_load_ps(below + 16 * p), _mm512_load_ps(above + 16 * p), wz));
      Fold<kMode>(value, masks[p], acc + 16 * p, counts + 16 * p);
    }
  }
}

#pragma GCC diagnostic pop

}  // namespace

bool SlabRunsAvailable() {
  static const bool available = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw");
  return available;
}

void CombineAlongXVector(int32_t mode, const SlabVolume& volume, const SlabLanes& lanes, const int64_t a[3],
                         int64_t dx, int64_t count, uint32_t* acc, uint32_t* counts) {
  switch (mode) {
    case kSlabMean:
      CombineAlongX<kSlabMean>(volume, lanes, a, dx, count, acc, counts);
      break;
    case kSlabMinimum:
      CombineAlongX<kSlabMinimum>(volume, lanes, a, dx, count, acc, counts);
      break;
    default:
      CombineAlongX<kSlabMaximum>(volume, lanes, a, dx, count, acc, counts);
      break;
  }
}

void CombineStackVector(int32_t mode, const SlabVolume& volume, const SlabLanes& lanes, const int64_t a[3],
                        int64_t dx, int64_t count, const int64_t* zs, int32_t planes, uint32_t* acc,
                        uint32_t* counts) {
  switch (mode) {
    case kSlabMean:
      CombineStack<kSlabMean>(volume, lanes, a, dx, count, zs, planes, acc, counts);
      break;
    case kSlabMinimum:
      CombineStack<kSlabMinimum>(volume, lanes, a, dx, count, zs, planes, acc, counts);
      break;
    default:
      CombineStack<kSlabMaximum>(volume, lanes, a, dx, count, zs, planes, acc, counts);
      break;
  }
}

void CombineRowVector(int32_t mode, const SlabVolume& volume, const SlabLanes& lanes, const int64_t a[3],
                      const int64_t d[3], int64_t count, uint32_t* acc, uint32_t* counts) {
  switch (mode) {
    case kSlabMean:
      CombineRow<kSlabMean>(volume, lanes, a, d, count, acc, counts);
      break;
    case kSlabMinimum:
      CombineRow<kSlabMinimum>(volume, lanes, a, d, count, acc, counts);
      break;
    default:
      CombineRow<kSlabMaximum>(volume, lanes, a, d, count, acc, counts);
      break;
  }
}

#else

bool SlabVectorsAvailable() { return false; }
bool SlabRunsAvailable() { return false; }

void CombineAlongXVector(int32_t, const SlabVolume&, const SlabLanes&, const int64_t*, int64_t, int64_t, uint32_t*,
                         uint32_t*) {}
void CombineStackVector(int32_t, const SlabVolume&, const SlabLanes&, const int64_t*, int64_t, int64_t,
                        const int64_t*, int32_t, uint32_t*, uint32_t*) {}

void CombineRowVector(int32_t, const SlabVolume&, const SlabLanes&, const int64_t*, const int64_t*, int64_t,
                      uint32_t*, uint32_t*) {}

#endif

}  // namespace ZR_SoftwareRows
