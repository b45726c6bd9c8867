#include "measure/ZR_MeasureGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

double ZR_MeasureGeometry::RulerLength(double x1, double y1, double x2, double y2, double physicalLength) {
  return std::hypot(x2 - x1, y2 - y1) * physicalLength;
}

double ZR_MeasureGeometry::Angle(double x1, double y1, double x2, double y2, double x3, double y3) {
  const double ax = x1 - x2, ay = y1 - y2, bx = x3 - x2, by = y3 - y2;
  const double a = std::hypot(ax, ay), b = std::hypot(bx, by);
  if (!(a > kShortestLeg) || !(b > kShortestLeg)) return -1;
  // Rounding can take the cosine of a straight or a folded angle just beyond +-1, where acos
  // has no value.
  const double cosine = std::clamp((ax * bx + ay * by) / (a * b), -1.0, 1.0);
  return std::floor(std::acos(cosine) * 180.0 / std::numbers::pi + 0.5);
}

ZR_MeasureGeometry::Offset ZR_MeasureGeometry::LabelOffset(double fromX, double fromY, double toX, double toY) {
  return {toX > fromX ? 0.05f : -0.1f, toY > fromY ? 0.05f : -0.05f};
}
