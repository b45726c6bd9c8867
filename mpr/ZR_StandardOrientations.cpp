#include "mpr/ZR_StandardOrientations.h"

#include <algorithm>
#include <cmath>

#include "core/ZR_Ids.h"
#include "render/ZR_Matrix4.h"

namespace {
// Columns right, up, normal.
using Frame = float[3][3];

const Frame kPlanes[ZR_StandardOrientations::kCount] = {
    {{0, 1, 0}, {0, 0, -1}, {-1, 0, 0}},   // L
    {{0, -1, 0}, {0, 0, -1}, {1, 0, 0}},   // R
    {{1, 0, 0}, {0, 0, -1}, {0, 1, 0}},    // A
    {{-1, 0, 0}, {0, 0, -1}, {0, -1, 0}},  // P
    {{-1, 0, 0}, {0, 1, 0}, {0, 0, -1}},   // I
    {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}},     // S
};

void Identity(float out[16]) {
  std::fill_n(out, 16, 0.0f);
  for (int i = 0; i < 4; ++i) out[5 * i] = 1.0f;
}

void FromFrame(const Frame& frame, float out[16]) {
  Identity(out);
  for (int c = 0; c < 3; ++c)
    for (int r = 0; r < 3; ++r) out[4 * c + r] = frame[c][r];
}

// The column of the largest magnitude among the allowed ones; later columns win ties.
int LargestColumn(const float row[3], const bool allowed[3]) {
  int best = -1;
  for (int c = 0; c < 3; ++c) {
    if (!allowed[c]) continue;
    if (best < 0 || std::fabs(row[c]) >= std::fabs(row[best])) best = c;
  }
  return best;
}
}  // namespace

void ZR_StandardOrientations::LayoutPlane(int32_t panel, float out[16]) {
  switch (panel) {
    case ZR_Panel::Mpr0:  // sagittal
      FromFrame(kPlanes[0], out);
      break;
    case ZR_Panel::Mpr1:  // coronal
      FromFrame(kPlanes[2], out);
      break;
    default:  // axial, double oblique and every other record
      Identity(out);
      break;
  }
}

bool ZR_StandardOrientations::PlaneOrientation(int32_t code, float out[16]) {
  if (code < 0 || code >= kCount) {
    Identity(out);
    return false;
  }
  FromFrame(kPlanes[code], out);
  return true;
}

bool ZR_StandardOrientations::ViewRotation(int32_t code, float out[16]) {
  ZR_Matrix4 rotation;
  switch (code) {
    case 0:
      rotation = ZR_Matrix4::Rotation(-90, 0, 1, 0) * ZR_Matrix4::Rotation(-90, 1, 0, 0);
      break;
    case 1:
      rotation = ZR_Matrix4::Rotation(90, 0, 1, 0) * ZR_Matrix4::Rotation(90, -1, 0, 0);
      break;
    case 2:
      rotation = ZR_Matrix4::Rotation(-90, 1, 0, 0);
      break;
    case 3:
      rotation = ZR_Matrix4::Rotation(180, 0, 1, 0) * ZR_Matrix4::Rotation(90, -1, 0, 0);
      break;
    case 4:
      rotation = ZR_Matrix4::Rotation(180, 0, 1, 0);
      break;
    case 5:
      break;
    default:
      Identity(out);
      return false;
  }
  rotation.ToFloats(out);
  return true;
}

int32_t ZR_StandardOrientations::CodeOfLetter(int32_t key) {
  static const char kLetters[kCount + 1] = "LRAPIS";
  for (int32_t code = 0; code < kCount; ++code)
    if (key == kLetters[code]) return code;
  return -1;
}

void ZR_StandardOrientations::AlignToAxes(const float in[16], float out[16]) {
  float rows[3][3];
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 3; ++c) rows[r][c] = in[4 * c + r];
  bool allowed[3] = {true, true, true};
  for (int r = 0; r < 2; ++r) {
    const int c = LargestColumn(rows[r], allowed);
    const float sign = rows[r][c] < 0 ? -1.0f : 1.0f;
    std::fill_n(rows[r], 3, 0.0f);
    rows[r][c] = sign;
    // The second row may not take the first row's axis: two rows on one axis would make
    // the matrix singular and the volume collapse.
    allowed[c] = false;
  }
  rows[2][0] = rows[0][1] * rows[1][2] - rows[0][2] * rows[1][1];
  rows[2][1] = rows[0][2] * rows[1][0] - rows[0][0] * rows[1][2];
  rows[2][2] = rows[0][0] * rows[1][1] - rows[0][1] * rows[1][0];
  Identity(out);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) out[4 * c + r] = rows[r][c];
}
