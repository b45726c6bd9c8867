#include "render/ZR_Matrix4.h"

#include <cmath>

ZR_Matrix4 ZR_Matrix4::FromFloats(const float* values) {
  ZR_Matrix4 result;
  for (int i = 0; i < 16; ++i) result.m[i] = values[i];
  return result;
}

ZR_Matrix4 ZR_Matrix4::FromDoubles(const double* values) {
  ZR_Matrix4 result;
  for (int i = 0; i < 16; ++i) result.m[i] = values[i];
  return result;
}

ZR_Matrix4 ZR_Matrix4::Translation(double x, double y, double z) {
  ZR_Matrix4 result;
  result.m[12] = x;
  result.m[13] = y;
  result.m[14] = z;
  return result;
}

ZR_Matrix4 ZR_Matrix4::Scaling(double x, double y, double z) {
  ZR_Matrix4 result;
  result.m[0] = x;
  result.m[5] = y;
  result.m[10] = z;
  return result;
}

ZR_Matrix4 ZR_Matrix4::Rotation(double degrees, double x, double y, double z) {
  ZR_Matrix4 result;
  const double length = std::sqrt(x * x + y * y + z * z);
  if (length == 0.0) return result;
  x /= length;
  y /= length;
  z /= length;
  const double radians = degrees * M_PI / 180.0;
  const double c = std::cos(radians), s = std::sin(radians), t = 1.0 - c;
  result.m[0] = x * x * t + c;
  result.m[1] = y * x * t + z * s;
  result.m[2] = x * z * t - y * s;
  result.m[4] = x * y * t - z * s;
  result.m[5] = y * y * t + c;
  result.m[6] = y * z * t + x * s;
  result.m[8] = x * z * t + y * s;
  result.m[9] = y * z * t - x * s;
  result.m[10] = z * z * t + c;
  return result;
}

ZR_Matrix4 ZR_Matrix4::operator*(const ZR_Matrix4& other) const {
  ZR_Matrix4 result;
  for (int column = 0; column < 4; ++column) {
    for (int row = 0; row < 4; ++row) {
      double sum = 0.0;
      for (int k = 0; k < 4; ++k) sum += m[k * 4 + row] * other.m[column * 4 + k];
      result.m[column * 4 + row] = sum;
    }
  }
  return result;
}

ZR_Matrix4 ZR_Matrix4::Transposed() const {
  ZR_Matrix4 result;
  for (int column = 0; column < 4; ++column)
    for (int row = 0; row < 4; ++row) result.m[column * 4 + row] = m[row * 4 + column];
  return result;
}

ZR_Matrix4 ZR_Matrix4::UpperLeft3x3() const {
  ZR_Matrix4 result;
  for (int column = 0; column < 3; ++column)
    for (int row = 0; row < 3; ++row) result.m[column * 4 + row] = m[column * 4 + row];
  return result;
}

void ZR_Matrix4::ToFloats(float* out) const {
  for (int i = 0; i < 16; ++i) out[i] = static_cast<float>(m[i]);
}

void ZR_Matrix4::ToDoubles(double* out) const {
  for (int i = 0; i < 16; ++i) out[i] = m[i];
}

std::array<double, 3> ZR_Matrix4::TransformPoint(double x, double y, double z) const {
  return {m[0] * x + m[4] * y + m[8] * z + m[12], m[1] * x + m[5] * y + m[9] * z + m[13],
          m[2] * x + m[6] * y + m[10] * z + m[14]};
}
