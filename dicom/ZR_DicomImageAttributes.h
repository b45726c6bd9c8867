#pragma once
// The geometry of one file of a series, with the identifiers that tell whether files belong
// together. All fields start at 0 (empty).

#include <cstdint>
#include <string>

struct ZR_DicomImageAttributes {
  int32_t columns = 0;     // (0028,0011)
  int32_t rows = 0;        // (0028,0010)
  int32_t bitsStored = 0;  // (0028,0101)
  double pixelSpacing[2] = {0, 0};    // (0028,0030) in file order: row spacing, column spacing
  double imagePosition[3] = {0, 0, 0};  // (0020,0032)
  double imageOrientation[6] = {0, 0, 0, 0, 0, 0};  // (0020,0037) row then column direction
  std::string seriesUid;    // (0020,000E), "" when absent
  std::string instanceUid;  // (0008,0018), "" when absent
};
