// The view: window, pan and zoom, rotation and trackball, and the saved view state.
#include <algorithm>
#include <cmath>

#include "render/RenderShared.h"
#include "render/ZR_Matrix4.h"
#include "render/ZR_VolumeRenderer.h"

void RenderShared::SetWindow(float left, float right, float bottom, float top) {
  m_aWindow[0] = left;
  m_aWindow[1] = right;
  m_aWindow[2] = bottom;
  m_aWindow[3] = top;
}

void RenderShared::ResetWindow(const ZR_VolumeRenderer& renderer) {
  SelectCopy(false);
  const int32_t r = static_cast<int32_t>(std::floor(m_fLargestExtent * std::sqrt(3.0) * 0.5));
  SetWindow(static_cast<float>(-r), static_cast<float>(r), static_cast<float>(-r),
            static_cast<float>(r));
  m_aResetWindow[0] = -r;
  m_aResetWindow[1] = r;
  m_aResetWindow[2] = -r;
  m_aResetWindow[3] = r;
  SelectCopy(renderer.IsReduced());
}

void RenderShared::FlipHorizontal() { std::swap(m_aWindow[0], m_aWindow[1]); }

void RenderShared::FlipVertical() { std::swap(m_aWindow[2], m_aWindow[3]); }

void RenderShared::SetViewport(int32_t width, int32_t height) {
  m_nViewportWidth = width;
  m_nViewportHeight = height;
}

namespace {
// The zoom step dz changes a window side from `side` to side + 2 dz; keep the side's sign
// and at least `minimum` of length.
float LimitZoom(float dz, float side, float minimum) {
  if (minimum <= 0 || side == 0) return dz;
  if (side > 0) return std::max(dz, (minimum - side) / 2);
  return std::min(dz, (-minimum - side) / 2);
}
}  // namespace

void RenderShared::PanZoom(float panX, float panY, float zoom, int32_t reduction) {
  if (m_nViewportWidth <= 0) return;
  float& left = m_aWindow[0];
  float& right = m_aWindow[1];
  float& bottom = m_aWindow[2];
  float& top = m_aWindow[3];
  const float h = (right - left) / static_cast<float>(m_nViewportWidth);
  const float dx = panX * h;
  const float dy = panY * h;
  float dz = zoom * h;
  // A zoom step above half the viewport would turn the window inside out (a mirrored view).
  const float scale = 0.01f / static_cast<float>(std::max(reduction, 1));
  dz = LimitZoom(dz, right - left, scale * static_cast<float>(m_aResetWindow[1] - m_aResetWindow[0]));
  dz = LimitZoom(dz, top - bottom, scale * static_cast<float>(m_aResetWindow[3] - m_aResetWindow[2]));
  left += -dx - dz;
  right += -dx + dz;
  bottom += dy - dz;
  top += dy + dz;
}

void RenderShared::GetRotation(float out[16]) const { std::copy_n(m_aRotation, 16, out); }

void RenderShared::SetRotation(const float rotation[16]) { std::copy_n(rotation, 16, m_aRotation); }

void RenderShared::ResetRotation(ZR_VolumeRenderer& renderer, bool invalidate) {
  const ZR_Matrix4 rotation =
      ZR_Matrix4::Rotation(15.0, 0, 1, 0) * ZR_Matrix4::Rotation(-75.0, 1, 0, 0);
  rotation.ToFloats(m_aRotation);
  renderer.SetNeedsRender(invalidate);
}

namespace {
// A pointer position on the trackball's sphere (the rim outside it), as a unit vector.
void TrackballPoint(const ZR_TrackballView& view, double x, double y, double out[3]) {
  const double u = x - view.nWidth / 2.0;
  const double v = view.nHeight / 2.0 - y;
  const double rho = std::sqrt(u * u + v * v);
  const double z = rho <= view.dRadius ? std::sqrt(view.dRadius * view.dRadius - rho * rho) : 0.0;
  const double length = std::sqrt(rho * rho + z * z);
  if (length == 0) {
    out[0] = 0;
    out[1] = 0;
    out[2] = 1;
    return;
  }
  out[0] = u / length;
  out[1] = v / length;
  out[2] = z / length;
}
}  // namespace

bool RenderShared::TrackballRotation(const ZR_TrackballView& view, double x0, double y0,
                                     double x1, double y1, const float current[16],
                                     double axis[3], double* degrees) {
  if (x0 == x1 && y0 == y1) return false;
  double a[3], b[3];
  TrackballPoint(view, x0, y0, a);
  TrackballPoint(view, x1, y1, b);
  double screen[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2],
                      a[0] * b[1] - a[1] * b[0]};
  if (screen[0] == 0 && screen[1] == 0 && screen[2] == 0) {
    screen[0] = -b[1];
    screen[1] = b[0];
    screen[2] = 0;
  }
  const double dot = a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
  const double angle = dot <= -1 ? M_PI : (dot > 1 ? 0.0 : std::acos(dot));
  *degrees = angle * 57.29577951308232;
  // The screen axis in the volume's own frame: the transpose of the current rotation.
  for (int k = 0; k < 3; ++k)
    axis[k] = current[4 * k] * screen[0] + current[4 * k + 1] * screen[1] +
              current[4 * k + 2] * screen[2];
  return true;
}

void RenderShared::Rotate(const ZR_TrackballView& view, double x0, double y0, double x1,
                          double y1, float* out) {
  double axis[3], degrees = 0;
  if (!TrackballRotation(view, x0, y0, x1, y1, m_aRotation, axis, &degrees)) return;
  const ZR_Matrix4 rotation = ZR_Matrix4::Rotation(degrees, axis[0], axis[1], axis[2]);
  if (out) {
    rotation.ToFloats(out);
    return;
  }
  (ZR_Matrix4::FromFloats(m_aRotation) * rotation).ToFloats(m_aRotation);
}

void RenderShared::SaveViewState(const CutPlaneSettings& display) {
  std::copy_n(m_aRotation, 16, m_oSaved.afRotation);
  std::copy_n(m_aWindow, 4, m_oSaved.afWindow);
  std::copy_n(m_oCut.afMatrix, 16, m_oSaved.afCutPlaneMatrix);
  m_oSaved.dCutPosition = m_oCut.dPosition;
  m_oSaved.bCutOn = m_oCut.bOn;
  m_oSaved.bVoiOn = m_bVoiOn;
  m_oSaved.oCutPlaneDisplay = display;
  m_oSaved.oVoi = m_oVoi;
}

void RenderShared::RestoreViewState(CutPlaneSettings& display) {
  std::copy_n(m_oSaved.afRotation, 16, m_aRotation);
  m_oCut.bOn = m_oSaved.bCutOn;
  m_oCut.bShowCutPlane = m_oSaved.bCutOn && m_oSaved.oCutPlaneDisplay.showCutPlane;
  m_oCut.nAxis = 1;
  std::copy_n(m_oSaved.afCutPlaneMatrix, 16, m_oCut.afMatrix);
  m_oCut.dPosition = m_oSaved.dCutPosition;
  SetSlabThickness(m_oSaved.oCutPlaneDisplay.slabWidth);
  std::copy_n(m_oSaved.afWindow, 4, m_aWindow);
  m_oVoi = m_oSaved.oVoi;
  m_bVoiOn = m_oSaved.bVoiOn;
  display = m_oSaved.oCutPlaneDisplay;
}
