#pragma once
// From the samples the renderers take (stored values: the file value less the study's
// smallest) to the study's units: value = (sample + smallest) x slope + intercept. A spread
// (a standard deviation) scales by |slope| alone.

#include <cstdint>

class ZR_ValueScale {
 public:
  ZR_ValueScale() = default;
  ZR_ValueScale(int32_t smallest, float slope, int32_t intercept)
      : m_nSmallest(smallest), m_dSlope(slope), m_nIntercept(intercept) {}

  double Value(double sample) const { return (sample + m_nSmallest) * m_dSlope + m_nIntercept; }
  double Spread(double spread) const;
  // The smallest and largest study value of samples between `low` and `high` (a negative slope
  // turns them round).
  double Lowest(double low, double high) const;
  double Highest(double low, double high) const;

 private:
  int32_t m_nSmallest = 0;
  double m_dSlope = 1;
  int32_t m_nIntercept = 0;
};
