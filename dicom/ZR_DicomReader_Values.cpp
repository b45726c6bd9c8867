// ZR_DicomReader: the value range and the stored values.
#include <algorithm>
#include <cmath>

#include "dicom/ZR_DicomReader.h"
#include "dicom/ZR_ParallelSlices.h"

bool ZR_DicomReader::Normalise(std::vector<Slice>& slices, const Slice& first, ZR_DicomVolume& volume) {
  int32_t low = slices[0].minimum, high = slices[0].maximum;
  bool notCt = false;
  for (const Slice& s : slices) {
    low = std::min(low, s.minimum);
    high = std::max(high, s.maximum);
    notCt = notCt || s.notCt;
  }
  const int32_t intercept = static_cast<int32_t>(first.intercept);  // truncated, as stored
  const bool isSigned = first.pixelRepresentation == 1;

  // Stored value = file value - smallest. Signed data with an intercept drops its negative
  // values to 0 instead (scanner padding below air), and the smallest stays 0.
  int32_t smallest = 0, largest = 0, shift = 0;
  bool clampNegative = false;
  if (isSigned && intercept != 0) {
    clampNegative = true;
    largest = std::max(high, 0);
  } else if (isSigned) {
    smallest = std::min(low, 0);
    shift = smallest;
    largest = high;
  } else {
    smallest = low;
    shift = low;
    largest = high;
  }
  // An empty range (a constant series) would be divided by further on.
  if (largest <= smallest) {
    return Reject("the files hold one value only (" + std::to_string(smallest) + "): no range to show");
  }

  if (shift != 0 || clampNegative) {
    const int32_t width = volume.m_nWidth;
    const int32_t columns = first.attributes.columns, rows = first.attributes.rows;
    const int32_t x0 = (width - columns) / 2, y0 = (volume.m_nHeight - rows) / 2;
    ZR_ParallelSlices::ForEach(slices.size(), Threads(), [&](size_t k, size_t) {
      uint16_t* pixels = slices[k].pixels.get();
      for (int32_t y = 0; y < rows; ++y) {
        uint16_t* row = pixels + static_cast<size_t>(y + y0) * width + x0;
        if (isSigned) {
          int16_t* values = reinterpret_cast<int16_t*>(row);
          if (clampNegative) {
            for (int32_t x = 0; x < columns; ++x) row[x] = static_cast<uint16_t>(std::max<int32_t>(values[x], 0));
          } else {
            for (int32_t x = 0; x < columns; ++x) row[x] = static_cast<uint16_t>(values[x] - shift);
          }
        } else {
          for (int32_t x = 0; x < columns; ++x) row[x] = static_cast<uint16_t>(row[x] - shift);
        }
      }
    });
  }

  volume.m_nSmallest = smallest;
  volume.m_nLargest = largest;
  volume.m_nBitsUsed = isSigned ? 13 : first.attributes.bitsStored;
  volume.m_nNotCt = notCt ? 1 : 0;
  volume.m_fRescaleSlope = static_cast<float>(first.slope);
  volume.m_nRescaleIntercept = intercept;
  return true;
}
