#pragma once
// Checks on 4 x 4 column-major orientation matrices, shared by the MPR and manager tests.

#include <gtest/gtest.h>

#include <cmath>

namespace ZR_MprTestMatrices {
inline double Det3(const float m[16]) {
  return m[0] * (m[5] * m[10] - m[9] * m[6]) - m[4] * (m[1] * m[10] - m[9] * m[2]) +
         m[8] * (m[1] * m[6] - m[5] * m[2]);
}

// Orthonormal columns with determinant +1, every element finite.
inline ::testing::AssertionResult IsRotation(const float m[16], double tolerance = 1e-5) {
  for (int i = 0; i < 16; ++i)
    if (!std::isfinite(m[i])) return ::testing::AssertionFailure() << "element " << i << " is " << m[i];
  for (int a = 0; a < 3; ++a)
    for (int b = 0; b < 3; ++b) {
      double dot = 0;
      for (int i = 0; i < 3; ++i) dot += double(m[4 * a + i]) * m[4 * b + i];
      if (std::fabs(dot - (a == b ? 1 : 0)) > tolerance)
        return ::testing::AssertionFailure() << "columns " << a << " and " << b << " give " << dot;
    }
  if (std::fabs(Det3(m) - 1) > tolerance) return ::testing::AssertionFailure() << "determinant " << Det3(m);
  return ::testing::AssertionSuccess();
}
}  // namespace ZR_MprTestMatrices
