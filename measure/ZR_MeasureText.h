#pragma once
// The labels of the annotations. Every number is shown as the nearest whole number, halves
// rounded up (floor(x + 0.5)), so that -0.67 shows as -1 and 2.5 as 3.

#include <cstdint>
#include <string>

class ZR_MeasureText {
 public:
  // The nearest whole number; 0 for a value that is not finite.
  static int64_t Whole(double value);
  static std::string WholeText(double value);

  static std::string PixelValue(double value);               // "1000"
  static std::string Length(double millimetres);             // "400 mm"
  static std::string Angle(double degrees);                  // "180deg"
  static std::string Range(double minimum, double maximum);  // "[-5, 20]"
  static std::string MeanAndDeviation(double mean, double deviation);  // "avg -1 std 3"
};
