#pragma once
// The fixed orientations: the planes the MPR views start with, the six standard plane
// orientations (L, R, A, P, I, S), the matching rotations of the 3D view, and the snapping
// of a rotation to the nearest axis-aligned one. Matrices are 4 x 4, column-major.

#include <cstdint>

class ZR_StandardOrientations {
 public:
  static constexpr int32_t kCount = 6;  // codes 0..5: left, right, anterior, posterior, inferior, superior

  // The plane orientation of an MPR view (panels 4..7) when the layout is entered; identity
  // for any other panel.
  static void LayoutPlane(int32_t panel, float out[16]);
  // The plane orientation of a standard orientation code; false (identity) for another code.
  static bool PlaneOrientation(int32_t code, float out[16]);
  // The 3D view's rotation for a standard orientation code, from identity; false (identity)
  // for another code.
  static bool ViewRotation(int32_t code, float out[16]);
  // The code of the letter (upper-case ASCII) of a standard orientation, -1 for another key.
  static int32_t CodeOfLetter(int32_t key);

  // The nearest rotation that maps every axis onto an axis: the first row keeps its component
  // of largest magnitude as +1 or -1 (ties: the later component); the second row does the
  // same among the columns the first did not take; the third is their cross product. The
  // result is always a signed permutation with determinant +1. Translation and the fourth
  // row and column become the identity's.
  static void AlignToAxes(const float in[16], float out[16]);
};
