// The bounding box, the cut and VOI clip planes and the cut-plane squares.
#include <algorithm>

#include "render/ZR_GlFunctions.h"
#include "render/ZR_Matrix4.h"
#include "render/ZR_VolumeRenderer.h"

void ZR_VolumeRenderer::BuildBoundingBox() {
  const ZR_GlFunctions* gl = m_oShared.Gl();
  if (!gl) return;
  if (m_oShared.BoxLineList()) gl->DeleteLists(m_oShared.BoxLineList(), 1);
  if (m_oShared.BoxDepthList()) gl->DeleteLists(m_oShared.BoxDepthList(), 1);
  const float* extent = m_oShared.Extents();
  float scale[3];
  m_oShared.GetVoxelScale(scale);
  const float hx = extent[0] * 0.5f + scale[0];
  const float hy = extent[1] * 0.5f + scale[1];
  const float hz = extent[2] * 0.5f + scale[2];
  const bool corrected = m_oShared.Corrected();

  const GLuint lines = gl->GenLists(1);
  gl->NewList(lines, GL_COMPILE);
  gl->PushAttrib(GL_CURRENT_BIT);
  gl->PushMatrix();
  if (corrected) gl->MultMatrixd(m_oShared.BoxOrientation());
  gl->Begin(GL_LINES);
  auto edge = [&](float r, float g, float b, float x0, float y0, float z0, float x1, float y1,
                  float z1) {
    gl->Color3f(r, g, b);
    gl->Vertex3f(x0, y0, z0);
    gl->Vertex3f(x1, y1, z1);
  };
  // The three edges at the (-, -, -) corner name the axes: x red, y yellow, z magenta.
  edge(0.6f, 0, 0, -hx, -hy, -hz, hx, -hy, -hz);
  edge(0.6f, 0.6f, 0, -hx, -hy, -hz, -hx, hy, -hz);
  edge(0.6f, 0, 0.6f, -hx, -hy, -hz, -hx, -hy, hz);
  const float g = 0.6f;
  edge(0, g, 0, hx, -hy, -hz, hx, hy, -hz);
  edge(0, g, 0, hx, -hy, -hz, hx, -hy, hz);
  edge(0, g, 0, -hx, hy, -hz, hx, hy, -hz);
  edge(0, g, 0, -hx, hy, -hz, -hx, hy, hz);
  edge(0, g, 0, -hx, -hy, hz, hx, -hy, hz);
  edge(0, g, 0, -hx, -hy, hz, -hx, hy, hz);
  edge(0, g, 0, hx, hy, hz, -hx, hy, hz);
  edge(0, g, 0, hx, hy, hz, hx, -hy, hz);
  edge(0, g, 0, hx, hy, hz, hx, hy, -hz);
  gl->End();
  gl->PopMatrix();
  gl->PopAttrib();
  gl->EndList();

  const GLuint depth = gl->GenLists(1);
  gl->NewList(depth, GL_COMPILE);
  gl->PushMatrix();
  gl->Scalef(0.99f, 0.99f, 0.99f);
  if (corrected) gl->MultMatrixd(m_oShared.BoxOrientation());
  gl->Disable(GL_CULL_FACE);
  gl->Begin(GL_QUADS);
  const float faces[6][4][3] = {
      {{-hx, -hy, -hz}, {hx, -hy, -hz}, {hx, hy, -hz}, {-hx, hy, -hz}},
      {{-hx, -hy, hz}, {hx, -hy, hz}, {hx, hy, hz}, {-hx, hy, hz}},
      {{-hx, -hy, -hz}, {hx, -hy, -hz}, {hx, -hy, hz}, {-hx, -hy, hz}},
      {{-hx, hy, -hz}, {hx, hy, -hz}, {hx, hy, hz}, {-hx, hy, hz}},
      {{-hx, -hy, -hz}, {-hx, hy, -hz}, {-hx, hy, hz}, {-hx, -hy, hz}},
      {{hx, -hy, -hz}, {hx, hy, -hz}, {hx, hy, hz}, {hx, -hy, hz}},
  };
  for (const auto& face : faces)
    for (const auto& corner : face) gl->Vertex3f(corner[0], corner[1], corner[2]);
  gl->End();
  gl->PopMatrix();
  gl->EndList();
  m_oShared.SetBoxLists(lines, depth);
}

void ZR_VolumeRenderer::DrawBoundingBox() {
  const ZR_GlFunctions* gl = m_oShared.Gl();
  if (!gl || !m_oShared.ShowBox() || m_oShared.VoiEnabled()) return;
  gl->Disable(GL_BLEND);
  gl->Clear(GL_DEPTH_BUFFER_BIT);
  gl->Enable(GL_DEPTH_TEST);
  gl->DepthFunc(GL_ALWAYS);
  gl->ColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
  gl->LineWidth(1.2f);
  gl->Enable(GL_LINE_SMOOTH);
  // The slightly shrunk faces write depth only, so they hide the box's back edges.
  if (m_oShared.BoxDepthList()) gl->CallList(m_oShared.BoxDepthList());
  gl->ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  gl->DepthFunc(GL_LESS);
  if (m_oShared.BoxLineList()) gl->CallList(m_oShared.BoxLineList());
  gl->Disable(GL_DEPTH_TEST);
}

void ZR_VolumeRenderer::SetCutPlaneTransform(const ZR_MprPlane& plane) {
  const double f = m_nReduction > 0 ? m_nReduction : 1;
  const ZR_Matrix4 matrix =
      ZR_Matrix4::Translation(plane.afPosition[0] / f, plane.afPosition[1] / f,
                              plane.afPosition[2] / f) *
      ZR_Matrix4::FromFloats(plane.afRotation);
  matrix.ToFloats(m_oShared.Cut().afMatrix);
  if (const ZR_GlFunctions* gl = m_oShared.Gl()) gl->MatrixMode(GL_TEXTURE);
}

void ZR_VolumeRenderer::ApplyVoiPlanes() {
  const ZR_GlFunctions* gl = m_oShared.Gl();
  if (!gl) return;
  if (!m_oShared.VoiEnabled()) {
    if (!m_oShared.Cut().bOn) gl->Disable(GL_CLIP_PLANE0);
    for (int32_t i = 1; i < 6; ++i) gl->Disable(GL_CLIP_PLANE0 + i);
    return;
  }
  float v[3];
  m_oShared.GetVoxelScale(v);
  int32_t full[3];
  m_oShared.GetFullDimensions(full);
  const ZR_Box& box = m_oShared.GetVoi();
  double c[3], s[3], e[3];
  for (int32_t i = 0; i < 3; ++i) {
    c[i] = static_cast<double>(box.GetPosition()[i]) * v[i];
    s[i] = static_cast<double>(box.GetSize()[i]) * v[i];
    e[i] = static_cast<double>(full[i]) * v[i];
  }
  const double f = m_nReduction > 0 ? m_nReduction : 1;
  // Planes 0/1 bound z, 2/3 x, 4/5 y: lower face kept above, upper face kept below.
  const int32_t axes[3] = {2, 0, 1};
  for (int32_t pair = 0; pair < 3; ++pair) {
    const int32_t k = axes[pair];
    GLdouble lower[4] = {0, 0, 0, (e[k] / 2 - c[k] + s[k] / 2) / f};
    GLdouble upper[4] = {0, 0, 0, -(e[k] / 2 - c[k] - s[k] / 2) / f};
    lower[k] = 1;
    upper[k] = -1;
    if (pair != 0 || !m_oShared.Cut().bOn) {
      gl->ClipPlane(GL_CLIP_PLANE0 + 2 * pair, lower);
      gl->Enable(GL_CLIP_PLANE0 + 2 * pair);
    }
    gl->ClipPlane(GL_CLIP_PLANE0 + 2 * pair + 1, upper);
    gl->Enable(GL_CLIP_PLANE0 + 2 * pair + 1);
  }
}

void ZR_VolumeRenderer::CutPlane(int32_t plane, double constant, int32_t side) {
  const ZR_GlFunctions* gl = m_oShared.Gl();
  const ZR_CutState& cut = m_oShared.Cut();
  if (!cut.bOn) {
    if (!m_oShared.VoiEnabled()) gl->Disable(GL_CLIP_PLANE0 + plane);
    return;
  }
  GLdouble equation[4] = {0, 0, 0, constant};
  const int32_t k = std::clamp(cut.nAxis, 0, 2);
  equation[k] = k == 0 ? -side : side;
  gl->MatrixMode(GL_MODELVIEW);
  gl->PushMatrix();
  gl->MultMatrixf(cut.afMatrix);
  gl->ClipPlane(GL_CLIP_PLANE0 + plane, equation);
  gl->PopMatrix();
  gl->Enable(GL_CLIP_PLANE0 + plane);
}

void ZR_VolumeRenderer::ApplyCutPlanes() {
  if (!m_oShared.Gl()) return;
  const ZR_CutState& cut = m_oShared.Cut();
  const double f = m_nReduction > 0 ? m_nReduction : 1;
  const double p = cut.dPosition;
  const double t = cut.fSlabThickness;
  if (cut.bMprSlab) {
    const double a = (p - t / 2) / f;
    CutPlane(0, -a, 1);
    CutPlane(1, t / f + a, -1);
  } else {
    const double c = p / f;
    CutPlane(0, c, 1);
    if (cut.bSlabCut) CutPlane(1, t / f - c, -1);
  }
}

void ZR_VolumeRenderer::PlaneSquare(double position, double offset, bool border) {
  const ZR_GlFunctions* gl = m_oShared.Gl();
  const ZR_CutState& cut = m_oShared.Cut();
  const float h = m_oShared.LargestExtent() / 2;
  const int32_t k = std::clamp(cut.nAxis, 0, 2);
  float corners[4][3] = {};
  const float signs[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
  const int32_t a = k == 0 ? 1 : 0;
  const int32_t b = k == 2 ? 1 : 2;
  for (int32_t i = 0; i < 4; ++i) {
    corners[i][a] = signs[i][0] * h;
    corners[i][b] = signs[i][1] * h;
  }
  gl->PushAttrib(GL_CURRENT_BIT);
  gl->MatrixMode(GL_MODELVIEW);
  gl->PushMatrix();
  gl->MultMatrixf(cut.afMatrix);
  if (k == 0)
    gl->Translatef(static_cast<float>(offset - position), 0, 0);
  else if (k == 1)
    gl->Translatef(0, static_cast<float>(-position - offset), 0);
  else
    gl->Translatef(0, 0, static_cast<float>(-position - offset));
  gl->Color4fv(cut.afColour);
  gl->PolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  gl->Begin(GL_QUADS);
  for (const auto& corner : corners) gl->Vertex3f(corner[0], corner[1], corner[2]);
  gl->End();
  if (border) {
    gl->Color3f(0, 1, 1);
    gl->LineWidth(1.2f);
    gl->Enable(GL_LINE_SMOOTH);
    gl->Begin(GL_LINE_LOOP);
    for (const auto& corner : corners) gl->Vertex3f(corner[0], corner[1], corner[2]);
    gl->End();
  }
  gl->PopMatrix();
  gl->PopAttrib();
}

void ZR_VolumeRenderer::DrawCutPlanes(bool outline) {
  if (!m_oShared.Gl() || !m_oShared.Cut().bShowCutPlane) return;
  const ZR_CutState& cut = m_oShared.Cut();
  const double f = m_nReduction > 0 ? m_nReduction : 1;
  const double t = cut.fSlabThickness;
  if (cut.bMprSlab) {
    const double c = (cut.dPosition - t / 2) / f;
    PlaneSquare(c, -4, true);
    PlaneSquare(t / f + c, 4, outline);
  } else {
    const double c = cut.dPosition / f;
    PlaneSquare(c, -4, true);
    if (cut.bSlabCut) PlaneSquare(c - t / f, 4, outline);
  }
}
