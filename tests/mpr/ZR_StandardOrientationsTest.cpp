// The fixed orientations and the snapping of the 3D view's rotation to the axes.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "mpr/ZR_StandardOrientations.h"
#include "render/ZR_Matrix4.h"
#include "tests/support/ZR_MprTestMatrices.h"

namespace {
using ZR_MprTestMatrices::IsRotation;

// Every element 0, +1 or -1, exactly one non-zero per row and column, determinant +1.
::testing::AssertionResult IsSignedPermutation(const float m[16]) {
  for (int r = 0; r < 3; ++r) {
    int rowCount = 0, columnCount = 0;
    for (int c = 0; c < 3; ++c) {
      const float v = m[4 * c + r];
      if (v != 0 && v != 1 && v != -1) return ::testing::AssertionFailure() << "element " << v;
      rowCount += v != 0;
      columnCount += m[4 * r + c] != 0;
    }
    if (rowCount != 1 || columnCount != 1) return ::testing::AssertionFailure() << "row or column " << r;
  }
  return IsRotation(m, 0);
}

void FromRows(const float rows[3][3], float out[16]) {
  ZR_Matrix4().ToFloats(out);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) out[4 * c + r] = rows[r][c];
}

TEST(AlignToAxes, TwoRowsNearestTheSameAxisNoLongerCollapseTheVolume) {
  // Both rows have their largest component in column 1; the second must take another axis.
  const float rows[3][3] = {{0.5f, 0.7071f, 0.5f}, {0.5f, -0.7071f, 0.5f}, {-0.7071f, 0, 0.7071f}};
  float in[16], out[16];
  FromRows(rows, in);
  ZR_StandardOrientations::AlignToAxes(in, out);
  EXPECT_TRUE(IsSignedPermutation(out));
  // Row 0 keeps column 1; row 1 ties between columns 0 and 2 and takes the later one.
  EXPECT_EQ(out[4], 1);
  EXPECT_EQ(out[9], 1);
  EXPECT_EQ(out[2], 1);
}

TEST(AlignToAxes, EveryRotationSnapsToASignedPermutation) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> angle(-180, 180), component(-1, 1);
  for (int trial = 0; trial < 2000; ++trial) {
    const ZR_Matrix4 r = ZR_Matrix4::Rotation(angle(random), component(random), component(random), component(random)) *
                         ZR_Matrix4::Rotation(angle(random), component(random), component(random), component(random));
    float in[16], out[16];
    r.ToFloats(in);
    ZR_StandardOrientations::AlignToAxes(in, out);
    ASSERT_TRUE(IsSignedPermutation(out)) << "trial " << trial;
  }
  // Exact ties and a rotation that is already aligned.
  const float ties[3][3] = {{0.6f, -0.6f, 0.6f}, {0.6f, 0.6f, -0.6f}, {0, 0, 1}};
  float in[16], out[16];
  FromRows(ties, in);
  ZR_StandardOrientations::AlignToAxes(in, out);
  EXPECT_TRUE(IsSignedPermutation(out));
  ZR_Matrix4::Rotation(90, 0, 0, 1).ToFloats(in);
  ZR_StandardOrientations::AlignToAxes(in, out);
  for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(out[i], std::round(in[i])) << i;
}

TEST(StandardOrientations, PlanesAndViewRotationsAreRotationsForTheirLetters) {
  const char* letters = "LRAPIS";
  for (int32_t code = 0; code < ZR_StandardOrientations::kCount; ++code) {
    EXPECT_EQ(ZR_StandardOrientations::CodeOfLetter(letters[code]), code);
    float plane[16], view[16];
    ASSERT_TRUE(ZR_StandardOrientations::PlaneOrientation(code, plane));
    ASSERT_TRUE(ZR_StandardOrientations::ViewRotation(code, view));
    EXPECT_TRUE(IsRotation(plane)) << letters[code];
    EXPECT_TRUE(IsRotation(view)) << letters[code];
  }
  EXPECT_EQ(ZR_StandardOrientations::CodeOfLetter('X'), -1);
  EXPECT_EQ(ZR_StandardOrientations::CodeOfLetter('l'), -1);  // keys arrive upper-case
  float out[16];
  EXPECT_FALSE(ZR_StandardOrientations::PlaneOrientation(6, out));
  // L looks at the volume from the left like the sagittal view; I from below: 180 degrees
  // about y; S is the identity.
  float sagittal[16];
  ZR_StandardOrientations::LayoutPlane(4, sagittal);
  (void)ZR_StandardOrientations::PlaneOrientation(0, out);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(out[i], sagittal[i]);
  (void)ZR_StandardOrientations::ViewRotation(4, out);
  EXPECT_NEAR(out[0], -1, 1e-6);
  EXPECT_NEAR(out[5], 1, 1e-6);
  EXPECT_NEAR(out[10], -1, 1e-6);
  (void)ZR_StandardOrientations::ViewRotation(5, out);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(out[i], i % 5 == 0 ? 1 : 0);
}

}  // namespace
