// How the stored volume is turned or sheared so that it shows in patient orientation.
#include <algorithm>
#include <cmath>

#include "render/RenderShared.h"

namespace {
void Cross(const float a[3], const float b[3], float out[3]) {
  out[0] = a[1] * b[2] - a[2] * b[1];
  out[1] = a[2] * b[0] - a[0] * b[2];
  out[2] = a[0] * b[1] - a[1] * b[0];
}

// The nearest axis: the largest-magnitude component becomes +1 or -1 by its sign (ties go to
// the later component), the others 0.
void SnapToAxis(float v[3]) {
  int32_t largest = 0;
  for (int32_t i = 1; i < 3; ++i)
    if (std::fabs(v[i]) >= std::fabs(v[largest])) largest = i;
  const float sign = v[largest] < 0 ? -1.0f : 1.0f;
  v[0] = v[1] = v[2] = 0;
  v[largest] = sign;
}

void SetIdentity(double m[16]) {
  std::fill_n(m, 16, 0.0);
  m[0] = m[5] = m[10] = m[15] = 1.0;
}
}  // namespace

bool RenderShared::ComputeOrientation(float row[3], float column[3], const float slice[3],
                                      int32_t signs[3]) {
  float normal[3];
  Cross(row, column, normal);
  const float d[3] = {column[1], row[0], normal[2]};
  m_bSheared = false;
  m_bReoriented = false;
  bool labelsValid = true;
  SetIdentity(m_aTextureOrientation);
  SetIdentity(m_aBoxOrientation);
  std::fill_n(m_aTilt, 3, 0.0);

  for (float value : d) {
    const float magnitude = std::fabs(value);
    if (magnitude > 0 && magnitude < 1)
      m_bSheared = true;
    else if (std::fabs(value - 1.0f) > 0.01f)
      m_bReoriented = true;  // 0, -1 and values beyond 1.01
  }

  // Slices stacked along their own normal are not sheared: the cosines are only slightly
  // off an axis.
  if (m_bSheared && std::fabs(std::fabs(slice[0]) - std::fabs(normal[0])) < 0.01f &&
      std::fabs(std::fabs(slice[1]) - std::fabs(normal[1])) < 0.01f &&
      std::fabs(std::fabs(slice[2]) - std::fabs(normal[2])) < 0.01f) {
    m_bSheared = false;
    labelsValid = false;
    SnapToAxis(row);
    SnapToAxis(column);
    Cross(row, column, normal);
  }

  m_aSigns[0] = m_aSigns[1] = m_aSigns[2] = 1;
  if (m_bSheared) {
    m_aSigns[0] = row[0] > 0 ? 1 : -1;
    m_aSigns[1] = column[1] > 0 ? 1 : -1;
    m_aSigns[2] = 1;
    m_aTilt[0] = std::acos(static_cast<double>(column[1]));
    m_aTilt[1] = std::acos(static_cast<double>(row[0]));
    m_aTilt[2] = 0;
    m_bReoriented = false;
    double t[3];
    for (int32_t i = 0; i < 3; ++i) {
      double angle = m_aTilt[i];
      if (angle >= M_PI) angle -= M_PI;
      if (std::fabs(angle - M_PI / 2) <= 0.01) {
        m_bReoriented = true;
        t[i] = 0;
      } else {
        t[i] = std::tan(angle);
      }
    }
    // x' = x + t1 z, y' = y + t2 x, z' = z + t0 y; the box is sheared back.
    m_aTextureOrientation[1] = t[2];
    m_aTextureOrientation[6] = t[0];
    m_aTextureOrientation[8] = t[1];
    m_aBoxOrientation[1] = -t[2];
    m_aBoxOrientation[6] = -t[0];
    m_aBoxOrientation[8] = -t[1];
  }

  if (m_bReoriented) {
    m_aSigns[0] = m_aSigns[1] = m_aSigns[2] = 1;
    SetIdentity(m_aTextureOrientation);
    // The volume's third axis runs the way its slices advance, which need not be the image
    // normal's way (a sagittal series ordered from right to left has its normal pointing
    // left): taking the normal then would show the patient mirrored.
    const float along = slice[0] * normal[0] + slice[1] * normal[1] + slice[2] * normal[2];
    float third[3] = {normal[0], normal[1], normal[2]};
    if (along < 0)
      for (float& v : third) v = -v;
    const float* rows[3] = {row, column, third};
    for (int32_t r = 0; r < 3; ++r)
      for (int32_t c = 0; c < 3; ++c) {
        m_aTextureOrientation[c * 4 + r] = rows[r][c];
        m_aBoxOrientation[r * 4 + c] = rows[r][c];
      }
    m_aBoxOrientation[3] = m_aBoxOrientation[7] = m_aBoxOrientation[11] = 0;
    m_aBoxOrientation[12] = m_aBoxOrientation[13] = m_aBoxOrientation[14] = 0;
    m_aBoxOrientation[15] = 1;
  }

  std::copy_n(m_aSigns, 3, signs);
  return labelsValid;
}

void RenderShared::GetTextureOrientation(double out[16]) const {
  std::copy_n(m_aTextureOrientation, 16, out);
}

void RenderShared::GetBoxOrientation(double out[16]) const {
  std::copy_n(m_aBoxOrientation, 16, out);
}
