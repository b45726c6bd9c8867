#pragma once
// 4 x 4 matrix, column-major as OpenGL takes it (element [c * 4 + r] is row r, column c).
// The products follow OpenGL's stack: A * B applies B first, so glTranslate then glRotate is
// Translation(...) * Rotation(...).

#include <array>

class ZR_Matrix4 {
 public:
  ZR_Matrix4() : m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1} {}
  static ZR_Matrix4 FromFloats(const float* values);
  static ZR_Matrix4 FromDoubles(const double* values);

  static ZR_Matrix4 Translation(double x, double y, double z);
  static ZR_Matrix4 Scaling(double x, double y, double z);
  // glRotate: `degrees` about the axis (x, y, z), which need not be of unit length.
  static ZR_Matrix4 Rotation(double degrees, double x, double y, double z);

  ZR_Matrix4 operator*(const ZR_Matrix4& other) const;
  ZR_Matrix4 Transposed() const;
  // The upper-left 3 x 3 only; translation and projection parts become the identity's.
  ZR_Matrix4 UpperLeft3x3() const;

  double& operator[](int index) { return m[index]; }
  double operator[](int index) const { return m[index]; }
  double At(int row, int column) const { return m[column * 4 + row]; }
  const double* Data() const { return m.data(); }
  void ToFloats(float* out) const;
  void ToDoubles(double* out) const;
  // Transforms the point (x, y, z, 1); w is dropped.
  std::array<double, 3> TransformPoint(double x, double y, double z) const;

 private:
  std::array<double, 16> m;
};
