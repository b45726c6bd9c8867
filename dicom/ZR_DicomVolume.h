#pragma once
// The study as read: up to 2048 raw 16-bit slices (stored values, smallest file value at 0)
// with their geometry, value range, rescale and the chosen slice range. The value range is
// held in 32 bits inside the program (unsigned 16-bit data reaches 65535).

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class ZR_DicomVolume {
 public:
  static constexpr int32_t kMaxSlices = 2048;

  ZR_DicomVolume() = default;
  ZR_DicomVolume(const ZR_DicomVolume&) = delete;
  ZR_DicomVolume& operator=(const ZR_DicomVolume&) = delete;

  // Frees the slices and returns every field to its constructed value.
  void Clear();
  uint16_t* Slice(int32_t k) const { return m_apSlices[static_cast<size_t>(k)].get(); }
  size_t SliceValues() const { return static_cast<size_t>(m_nWidth) * static_cast<size_t>(m_nHeight); }
  // Every slice of the count has its pixels (a volume handed over by another process has none).
  bool HasAllSlices() const;

  int32_t m_nNotCt = 0;
  std::vector<std::unique_ptr<uint16_t[]>> m_apSlices;  // one per slice, slice order
  std::string m_sFileName;                              // first file of the list
  float m_fPixelSpacingX = 0.0f, m_fPixelSpacingY = 0.0f;
  float m_fSliceDistance = 0.0f;
  int32_t m_nBitsUsed = 0;
  int32_t m_nWidth = 0, m_nHeight = 0;  // after power-of-two padding
  int32_t m_nSliceCount = 0;
  int32_t m_nFirst = 0, m_nLast = 0;
  int32_t m_nSmallest = 0, m_nLargest = 0;  // smallest and largest value found in the files
  float m_fRescaleSlope = 1.0f;
  int32_t m_nRescaleIntercept = 0;
  bool m_bNonUniform = false;
  int32_t m_nNonUniformSlice = -1;  // first slice k of the uneven triple k..k+2
  bool m_bOrientationFlag = false;
  std::array<int32_t, 6> m_anAxisTable{};
  std::array<float, 3> m_afRowDirection{}, m_afColumnDirection{}, m_afSliceDirection{}, m_afOrigin{};
  // Where the files' image starts inside the padded slice, and the position (0020,0032) of
  // every slice in slice order: what places a voxel in the patient. A volume handed over by
  // another process has no positions.
  int32_t m_nPadColumn = 0, m_nPadRow = 0;
  std::vector<std::array<double, 3>> m_aSlicePositions;
};
