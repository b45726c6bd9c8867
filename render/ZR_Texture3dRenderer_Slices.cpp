// Single textured slices: the orthogonal slices of the 3D screen and the MPR views.
#include <algorithm>

#include "render/ZR_GpuPrograms.h"
#include "render/ZR_SliceClipper.h"
#include "render/ZR_Texture3dRenderer.h"

namespace {
// A quad whose corner (i, j) in {-1, 1}^2 lies at (i * hx, j * hy) and carries the texture
// coordinate low + (i + 1) / 2 * (high - low) per component of the horizontal (s) and the
// vertical (t) direction; `fixed` names the coordinate held constant.
struct SliceQuad {
  float hx, hy;
  float h0[3], h1[3];  // texture coordinate at the left and right edge (horizontal part)
  float v0[3], v1[3];  // at the top (y = -hy) and the bottom (y = +hy) edge (vertical part)
  float fixed[3];
};

// Draws the part of the quad that lies inside the volume (through `texture`, the texture
// matrix loaded for it); outside it nothing is drawn, so the panel keeps its clear colour.
void EmitQuad(const ZR_GlFunctions& gl, const SliceQuad& q, const ZR_Matrix4& texture) {
  const int corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
  ZR_ClipVertex quad[4];
  for (int k = 0; k < 4; ++k) {
    const int* c = corners[k];
    const float* h = c[0] < 0 ? q.h0 : q.h1;
    const float* v = c[1] < 0 ? q.v0 : q.v1;
    // In float first, as the whole quad was given to OpenGL.
    quad[k].afTexture = {static_cast<float>(h[0] + v[0] + q.fixed[0]), static_cast<float>(h[1] + v[1] + q.fixed[1]),
                         static_cast<float>(h[2] + v[2] + q.fixed[2])};
    quad[k].afPosition = {static_cast<float>(static_cast<float>(c[0]) * q.hx),
                          static_cast<float>(static_cast<float>(c[1]) * q.hy), 0.0};
  }
  ZR_ClipVertex cut[ZR_SliceClipper::kMaxVertices];
  const int32_t n = ZR_SliceClipper(texture).Clip(quad, 4, cut);
  if (n < 3) return;
  gl.Begin(GL_POLYGON);
  for (int32_t k = 0; k < n; ++k) {
    const ZR_ClipVertex& p = cut[k];
    gl.TexCoord3f(static_cast<float>(p.afTexture[0]), static_cast<float>(p.afTexture[1]),
                  static_cast<float>(p.afTexture[2]));
    gl.Vertex3f(static_cast<float>(p.afPosition[0]), static_cast<float>(p.afPosition[1]), 0);
  }
  gl.End();
}
}  // namespace

void ZR_Texture3dRenderer::SetSliceProjection() {
  const ZR_GlFunctions& gl = *m_oShared.Gl();
  const double half = m_oShared.LargestExtent() / 2;
  gl.MatrixMode(GL_PROJECTION);
  gl.LoadIdentity();
  gl.Ortho(-half, half, half, -half, -5000, 5000);  // image row 0 at the top
  gl.MatrixMode(GL_MODELVIEW);
}

bool ZR_Texture3dRenderer::DrawOrthoSlice(int32_t axis, int32_t panel, const ZR_OrthoViews& views) {
  const ZR_GlFunctions* glp = m_oShared.Gl();
  ZR_GpuPrograms* programs = m_oShared.Programs();
  if (!glp || !programs || !m_bCreated || axis < 0 || axis > 2) return false;
  const ZR_GlFunctions& gl = *glp;
  UploadLut();
  gl.Disable(GL_CLIP_PLANE0);
  gl.Disable(GL_CLIP_PLANE1);
  gl.Disable(GL_BLEND);

  const GLuint volume = m_aTextures[Current()];
  programs->SetLutTexture(m_nLutTexture);
  programs->SelectDrawPath(false);
  (void)programs->BindProgram(GL_TEXTURE_3D, volume);
  gl.Enable(GL_TEXTURE_3D);
  gl.AlphaFunc(GL_GREATER, 0.05f);
  gl.Enable(GL_ALPHA_TEST);
  for (int32_t i = 0; i < 6; ++i) gl.Disable(GL_CLIP_PLANE0 + i);

  SetSliceProjection();
  gl.LoadIdentity();
  gl.Clear(GL_COLOR_BUFFER_BIT);
  gl.MatrixMode(GL_TEXTURE);
  gl.LoadIdentity();
  SetVolumeTextureParameters();
  gl.Color4f(1, 1, 1, 1);

  const float a = m_oShared.ZAspect();
  const float b = m_oShared.YAspect();
  const float tx = m_afTexExtent[0], ty = m_afTexExtent[1], tz = m_afTexExtent[2];
  ZR_Matrix4 matrix = FromEvenUnits();
  if (m_oShared.Corrected()) matrix = matrix * ZR_Matrix4::FromDoubles(m_oShared.TextureOrientation());
  const float offsets[3] = {views.afSlice[0], views.afSlice[1] * b, views.afSlice[2] * a * m_fZPadded};
  ZR_Matrix4 slice = ZR_Matrix4::Translation(axis == 0 ? offsets[0] : 0, axis == 1 ? offsets[1] : 0,
                                             axis == 2 ? offsets[2] : 0);
  matrix = matrix * slice * FromCentre();
  gl.LoadMatrixd(matrix.Data());

  const float m = m_oShared.LargestExtent();
  const float* e = m_oShared.Extents();
  const int32_t* signs = m_oShared.AxisSigns();
  const float q = e[0] > 0 ? (m / e[0] - 1) / 2 : 0;
  const float span = e[0] > 0 ? m / e[0] : 0;  // the panel's width in units of the x extent
  SliceQuad quad{};
  if (axis == 2) {
    quad.hx = m / 2 * static_cast<float>(signs[0]);
    quad.hy = m / 2 * static_cast<float>(signs[1]);
    quad.h0[0] = -q;
    quad.h1[0] = tx + q;
    quad.v0[1] = (b * ty - span) / 2;
    quad.v1[1] = (b * ty + span) / 2;
    quad.fixed[2] = a * tz / 2;
  } else {
    // Sagittal: y across, coronal: x across; z upwards, the top of the image the high end.
    const int32_t across = axis == 0 ? 1 : 0;
    quad.hx = e[across] / 2 * static_cast<float>(signs[across]);
    quad.hy = m / 2 * static_cast<float>(signs[2]);
    quad.h0[across] = 0;
    quad.h1[across] = across == 1 ? b * ty : tx;
    quad.v0[2] = a * m_afRangeHigh[2];
    quad.v1[2] = a * m_afRangeLow[2];
    quad.fixed[axis] = axis == 0 ? tx / 2 : b * ty / 2;
  }
  gl.MatrixMode(GL_MODELVIEW);
  EmitQuad(gl, quad, matrix);
  gl.MatrixMode(GL_TEXTURE);
  gl.LoadIdentity();
  gl.MatrixMode(GL_MODELVIEW);

  // Where the other two slices cross this one, in this slice's drawing coordinates.
  const float sx = static_cast<float>(signs[0]), sy = static_cast<float>(signs[1]),
              sz = static_cast<float>(signs[2]);
  const float crossX = views.afSlice[0] * e[0] * sx;
  const float crossY = views.afSlice[1] * e[1] * sy;
  const float crossZ = -views.afSlice[2] * m * sz;
  m_aCrosshair[axis][0] = axis == 0 ? crossY : crossX;
  m_aCrosshair[axis][1] = axis == 2 ? crossY : crossZ;

  const bool resident = FullResident();
  gl.Disable(GL_TEXTURE_3D);
  gl.Disable(GL_TEXTURE_2D);
  gl.Disable(GL_BLEND);
  gl.Disable(GL_ALPHA_TEST);
  programs->ProgramOff();
  DrawCrosshair(axis, panel, views);
  return resident;
}

void ZR_Texture3dRenderer::DrawCrosshair(int32_t axis, int32_t, const ZR_OrthoViews& views) {
  const ZR_GlFunctions* gl = m_oShared.Gl();
  if (!gl || axis < 0 || axis > 2 || !views.abCrosshair[axis] || !m_bShowCrosshair ||
      axis == views.nExcludedAxis)
    return;
  const float* e = m_oShared.Extents();
  const float length = e[0] + e[1] + e[2];
  gl->MatrixMode(GL_MODELVIEW);
  gl->LoadIdentity();
  gl->Color3f(0, 1, 1);
  gl->Translatef(m_aCrosshair[axis][0], m_aCrosshair[axis][1], 0);
  gl->Begin(GL_LINES);
  gl->Vertex2f(-length, 0);
  gl->Vertex2f(length, 0);
  gl->Vertex2f(0, -length);
  gl->Vertex2f(0, length);
  gl->End();
  gl->LoadIdentity();
}

bool ZR_Texture3dRenderer::DrawObliqueSlice(const ZR_ObliqueView& view, bool highlight) {
  const ZR_GlFunctions* glp = m_oShared.Gl();
  ZR_GpuPrograms* programs = m_oShared.Programs();
  if (!glp || !programs || !m_bCreated) return false;
  const ZR_GlFunctions& gl = *glp;
  const bool stepping = view.nLayout != 0 && view.bOffset;
  const bool blend = (view.nLayout == 1 || view.nLayout == 2) && view.bOffset;
  if (blend)
    gl.Enable(GL_BLEND);
  else
    gl.Disable(GL_BLEND);
  for (int32_t i = 0; i < 6; ++i) gl.Disable(GL_CLIP_PLANE0 + i);
  gl.Disable(GL_DEPTH_TEST);
  SetSliceProjection();
  const GLuint volume = m_aTextures[Current()];
  programs->SetLutTexture(m_nLutTexture);
  programs->SelectDrawPath(false);
  (void)programs->BindProgram(GL_TEXTURE_3D, volume);
  gl.Enable(GL_TEXTURE_2D);
  gl.Enable(GL_TEXTURE_3D);
  gl.AlphaFunc(GL_GREATER, 0.05f);
  gl.Disable(GL_ALPHA_TEST);
  SetVolumeTextureParameters();
  gl.Color4f(1, 1, 1, 1);

  gl.MatrixMode(GL_MODELVIEW);
  gl.LoadIdentity();
  if (!blend) gl.Clear(GL_COLOR_BUFFER_BIT);

  const float a = m_oShared.ZAspect();
  const float b = m_oShared.YAspect();
  const float tx = m_afTexExtent[0], ty = m_afTexExtent[1], tz = m_afTexExtent[2];
  const float* e = m_oShared.Extents();
  const float* p = view.oPlane.afPosition;
  ZR_Matrix4 matrix = FromEvenUnits();
  if (m_oShared.Corrected()) {
    const int32_t* signs = m_oShared.AxisSigns();
    matrix = matrix * ZR_Matrix4::FromDoubles(m_oShared.TextureOrientation()) *
             ZR_Matrix4::Scaling(signs[0], signs[1], signs[2]);
  }
  matrix = matrix *
           ZR_Matrix4::Translation(e[0] > 0 ? tx * p[0] / e[0] : 0, e[1] > 0 ? b * ty * p[1] / e[1] : 0,
                                   e[2] > 0 ? a * tz * p[2] / e[2] : 0) *
           ZR_Matrix4::FromFloats(view.oPlane.afRotation);
  if (stepping) matrix = matrix * ZR_Matrix4::Translation(0, 0, view.fOffset);
  matrix = matrix * FromCentre();
  gl.MatrixMode(GL_TEXTURE);
  gl.LoadMatrixd(matrix.Data());

  const float m = m_oShared.LargestExtent();
  const float q = e[0] > 0 ? (m / e[0] - 1) / 2 : 0;
  const float span = e[0] > 0 ? m / e[0] : 0;
  SliceQuad quad{};
  quad.hx = m / 2;
  quad.hy = m / 2;
  quad.h0[0] = -q;
  quad.h1[0] = tx + q;
  quad.v0[1] = (b * ty - span) / 2;
  quad.v1[1] = (b * ty + span) / 2;
  quad.fixed[2] = a * tz / 2;
  gl.MatrixMode(GL_MODELVIEW);
  EmitQuad(gl, quad, matrix);
  gl.MatrixMode(GL_TEXTURE);
  gl.LoadIdentity();
  gl.MatrixMode(GL_MODELVIEW);

  gl.Disable(GL_TEXTURE_2D);
  gl.Disable(GL_TEXTURE_3D);
  gl.Disable(GL_BLEND);
  gl.Disable(GL_ALPHA_TEST);
  programs->ProgramOff();
  if (highlight) DrawActiveFrame();
  return FullResident();
}

void ZR_Texture3dRenderer::DrawActiveFrame() {
  const ZR_GlFunctions* gl = m_oShared.Gl();
  if (!gl) return;
  const float h = m_oShared.LargestExtent() / 2;
  gl->Disable(GL_TEXTURE_2D);
  gl->Disable(GL_TEXTURE_3D);
  GLfloat previous[4];
  gl->GetFloatv(GL_CURRENT_COLOR, previous);
  gl->Color3f(1, 0, 0);
  gl->Begin(GL_LINE_LOOP);
  gl->Vertex2f(1 - h, 1 - h);
  gl->Vertex2f(h - 1, 1 - h);
  gl->Vertex2f(h - 1, h - 1);
  gl->Vertex2f(1 - h, h - 1);
  gl->End();
  gl->Color4fv(previous);
}
