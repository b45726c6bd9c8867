#include "measure/ZR_MeasureText.h"

#include <algorithm>
#include <cmath>

int64_t ZR_MeasureText::Whole(double value) {
  if (!std::isfinite(value)) return 0;
  // Beyond what an int64 holds nothing is left to round.
  constexpr double kLimit = 9.0e18;
  return static_cast<int64_t>(std::floor(std::clamp(value, -kLimit, kLimit) + 0.5));
}

std::string ZR_MeasureText::WholeText(double value) { return std::to_string(Whole(value)); }

std::string ZR_MeasureText::PixelValue(double value) { return WholeText(value); }

std::string ZR_MeasureText::Length(double millimetres) { return WholeText(millimetres) + " mm"; }

std::string ZR_MeasureText::Angle(double degrees) { return WholeText(degrees) + "deg"; }

std::string ZR_MeasureText::Range(double minimum, double maximum) {
  return "[" + WholeText(minimum) + ", " + WholeText(maximum) + "]";
}

std::string ZR_MeasureText::MeanAndDeviation(double mean, double deviation) {
  return "avg " + WholeText(mean) + " std " + WholeText(deviation);
}
