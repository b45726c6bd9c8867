// The 3D view: view-aligned slices through the volume texture, back to front.
#include <algorithm>
#include <cmath>

#include "render/ZR_GpuPrograms.h"
#include "render/ZR_SliceClipper.h"
#include "render/ZR_Texture3dRenderer.h"

namespace {
const double kSqrt3 = std::sqrt(3.0);
}

int32_t ZR_Texture3dRenderer::SliceCount(float rate, int32_t reduction, float extentX,
                                         float windowWidth, float largestExtent, int32_t* base) {
  const double f = reduction > 0 ? reduction : 1;
  const int32_t b = static_cast<int32_t>(rate / f * kSqrt3 * extentX);
  if (base) *base = b;
  if (largestExtent <= 0) return 0;
  double ratio = std::fabs(windowWidth) / largestExtent;
  if (ratio < 0.5) ratio = 0.5;  // zooming in adds slices up to twice the base count
  return static_cast<int32_t>(b / ratio);
}

ZR_Matrix4 ZR_Texture3dRenderer::FromEvenUnits() const {
  const double a = m_oShared.ZAspect(), b = m_oShared.YAspect();
  return ZR_Matrix4::Scaling(1, 1 / b, 1 / a) *
         ZR_Matrix4::Translation(m_afTexExtent[0] / 2, b * m_afTexExtent[1] / 2, a * m_afTexExtent[2] / 2);
}

ZR_Matrix4 ZR_Texture3dRenderer::FromCentre() const {
  const double a = m_oShared.ZAspect(), b = m_oShared.YAspect();
  return ZR_Matrix4::Translation(-m_afTexExtent[0] / 2, -b * m_afTexExtent[1] / 2, -a * m_afTexExtent[2] / 2);
}

ZR_Matrix4 ZR_Texture3dRenderer::TextureMatrix(const float rotation[16]) const {
  ZR_Matrix4 matrix = FromEvenUnits();
  if (m_oShared.Corrected()) {
    const int32_t* signs = m_oShared.AxisSigns();
    matrix = matrix * ZR_Matrix4::FromDoubles(m_oShared.TextureOrientation()) *
             ZR_Matrix4::Scaling(signs[0], signs[1], signs[2]);
  }
  return matrix * ZR_Matrix4::FromFloats(rotation).UpperLeft3x3().Transposed() * FromCentre();
}

void ZR_Texture3dRenderer::EmitSlices(int32_t count, bool skipBackHalf) const {
  if (count <= 0) return;
  const ZR_GlFunctions& gl = *m_oShared.Gl();
  const double m = m_oShared.LargestExtent();
  const double x = m_oShared.Extents()[0];
  const double a = m_oShared.ZAspect();
  const double b = m_oShared.YAspect();
  const double tz = m_afTexExtent[2];
  const double span = x > 0 ? kSqrt3 * m / x : 0;
  const int32_t axis = m_oShared.LargestAxis();
  const double depth = axis == 2 ? kSqrt3 * a : (axis == 1 ? kSqrt3 * b : kSqrt3);
  const double w = m * kSqrt3 / 2;  // half the diagonal of the bounding cube
  // The square's corners in float, as OpenGL took them: the clipped corners then lie on the
  // very plane of the square.
  const double fw = static_cast<float>(w);
  const double s0 = static_cast<float>((1 - span) / 2), s1 = static_cast<float>((span + 1) / 2);
  const double t0 = static_cast<float>((b - span) / 2), t1 = static_cast<float>((b + span) / 2);
  const ZR_SliceClipper clipper(TextureMatrix(m_oShared.Rotation()));
  ZR_ClipVertex square[4];
  ZR_ClipVertex cut[ZR_SliceClipper::kMaxVertices];
  auto emit = [&gl](const ZR_ClipVertex& v) {
    gl.TexCoord3f(static_cast<float>(v.afTexture[0]), static_cast<float>(v.afTexture[1]),
                  static_cast<float>(v.afTexture[2]));
    gl.Vertex3f(static_cast<float>(v.afPosition[0]), static_cast<float>(v.afPosition[1]),
                static_cast<float>(v.afPosition[2]));
  };
  for (int32_t i = 0; i < count; ++i) {
    if (skipBackHalf && (i & 1) && i < count / 2) continue;
    const double z = static_cast<float>(-w + i * (2 * w / count));
    const double r = static_cast<float>(static_cast<double>(i) / count * depth + (a * tz - depth) / 2);
    square[0] = {{-fw, -fw, z}, {s0, t0, r}};
    square[1] = {{fw, -fw, z}, {s1, t0, r}};
    square[2] = {{fw, fw, z}, {s1, t1, r}};
    square[3] = {{-fw, fw, z}, {s0, t1, r}};
    const int32_t n = clipper.Clip(square, 4, cut);
    for (int32_t k = 1; k + 1 < n; ++k) {  // a fan of triangles
      emit(cut[0]);
      emit(cut[k]);
      emit(cut[k + 1]);
    }
  }
}

void ZR_Texture3dRenderer::SetVolumeTextureParameters() {
  const ZR_GlFunctions& gl = *m_oShared.Gl();
  static const GLfloat kBorder[4] = {0, 0, 0, 0};
  gl.TexParameteri(GL_TEXTURE_3D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  gl.TexParameteri(GL_TEXTURE_3D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  gl.TexParameteri(GL_TEXTURE_3D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  gl.TexParameteri(GL_TEXTURE_3D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  gl.TexParameteri(GL_TEXTURE_3D, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
  gl.TexParameterfv(GL_TEXTURE_3D, GL_TEXTURE_BORDER_COLOR, kBorder);
}

void ZR_Texture3dRenderer::DrawSlices() {
  const ZR_GlFunctions& gl = *m_oShared.Gl();
  ZR_GpuPrograms& programs = *m_oShared.Programs();
  const GLuint volume = m_aTextures[Current()];
  gl.ActiveTextureARB(GL_TEXTURE0_ARB);
  gl.BindTexture(GL_TEXTURE_3D, volume);
  gl.ActiveTextureARB(GL_TEXTURE1_ARB);
  gl.BindTexture(GL_TEXTURE_2D, m_nLutTexture);
  gl.ActiveTextureARB(GL_TEXTURE0_ARB);
  SetVolumeTextureParameters();

  gl.MatrixMode(GL_MODELVIEW);
  gl.LoadIdentity();
  gl.MatrixMode(GL_TEXTURE);
  gl.LoadMatrixd(TextureMatrix(m_oShared.Rotation()).Data());

  // Shading only on the full copy: interactive frames on the reduced copy stay unshaded.
  const bool shaded = programs.ShadingRequested() && programs.CanShade() && !m_bReduced;
  programs.SetLutTexture(m_nLutTexture);
  programs.SelectDrawPath(shaded);
  if (programs.Path() == ZR_GpuPrograms::kShaded) {
    ZR_ShadingParameters parameters;
    parameters.nVolumeTexture = volume;
    parameters.nLutTexture = m_nLutTexture;
    std::copy_n(m_aTextureDimensions, 3, parameters.aTextureDimensions);
    parameters.fBrightness = m_fBrightness;
    parameters.fContrast = m_fContrast;
    parameters.fGloss = m_fGloss;
    programs.BindShadedProgram(parameters);
  } else {
    (void)programs.BindProgram(GL_TEXTURE_3D, volume);
  }
  gl.Enable(GL_TEXTURE_3D);

  const int32_t* dims = m_oShared.CurrentDimensions();
  const bool skip = m_bReduced && int64_t{dims[0]} * dims[1] * dims[2] > kSkipVoxelCount;
  const float* window = m_oShared.Window();
  m_nLastSliceCount = SliceCount(m_fSamplingRate, m_nReduction, m_oShared.Extents()[0],
                                 window[1] - window[0], m_oShared.LargestExtent());
  if (m_nLastSliceCount > 0) {
    gl.Begin(GL_TRIANGLES);
    EmitSlices(m_nLastSliceCount, skip);
    gl.End();
  }

  gl.MatrixMode(GL_TEXTURE);
  gl.LoadIdentity();
  gl.MatrixMode(GL_MODELVIEW);
  gl.LoadMatrixf(m_oShared.Rotation());
  if (gl.BindBuffer) gl.BindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
}

int32_t ZR_Texture3dRenderer::Render(float panX, float panY, float, float, float zoom) {
  if (!m_bNeedsRender) return 0;
  m_bNeedsRender = false;
  const ZR_GlFunctions* gl = m_oShared.Gl();
  ZR_GpuPrograms* programs = m_oShared.Programs();
  if (!gl || !programs || !gl->ActiveTextureARB) return 0;
  ++m_nFramesDrawn;
  Init();

  // Compositing shows entry 0 as a faint grey while drawing; the table is given back as it
  // was, since the MPR views and the histogram chart read the same table.
  const int32_t mode = m_oShared.BlendMode();
  const bool compositing = mode != 1 && mode != 2;
  float* table = m_oShared.CurrentTable();
  float entry0[4] = {table[0], table[1], table[2], table[3]};
  if (compositing) {
    table[0] = table[1] = table[2] = 0.4f;
    table[3] = 0;
    UploadLut();
  }

  const float f = static_cast<float>(m_nReduction);
  const float* window = m_oShared.Window();
  if (m_bReduced)
    m_oShared.SetWindow(window[0] / f, window[1] / f, window[2] / f, window[3] / f);
  m_oShared.PanZoom(panX, panY, zoom, m_bReduced ? m_nReduction : 1);

  gl->MatrixMode(GL_PROJECTION);
  gl->LoadIdentity();
  gl->Ortho(window[0], window[1], window[2], window[3], -5000, 5000);
  gl->MatrixMode(GL_MODELVIEW);
  gl->LoadMatrixf(m_oShared.Rotation());

  ApplyVoiPlanes();
  ApplyCutPlanes();

  gl->Disable(GL_SCISSOR_TEST);
  gl->Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  gl->Enable(GL_BLEND);
  gl->AlphaFunc(GL_GREATER, 0.05f);
  gl->Enable(GL_ALPHA_TEST);
  gl->Enable(GL_DEPTH_TEST);
  gl->DepthFunc(GL_LESS);

  DrawSlices();

  for (GLenum unit : {GL_TEXTURE0_ARB, GL_TEXTURE1_ARB, GL_TEXTURE2_ARB}) {
    gl->ActiveTextureARB(unit);
    gl->Disable(GL_TEXTURE_2D);
    gl->Disable(GL_TEXTURE_3D);
  }
  programs->ProgramOff();
  if (programs->ShadingRequested() && programs->CanShade()) gl->UseProgramObjectARB(0);

  gl->Disable(GL_CLIP_PLANE0);
  gl->Disable(GL_CLIP_PLANE1);
  DrawCutPlanes(true);

  if (m_bReduced) {
    m_oShared.SetWindow(window[0] * f, window[1] * f, window[2] * f, window[3] * f);
    gl->MatrixMode(GL_PROJECTION);
    gl->LoadIdentity();
    gl->Ortho(window[0], window[1], window[2], window[3], -5000, 5000);
    gl->MatrixMode(GL_MODELVIEW);
  }

  gl->Disable(GL_BLEND);
  gl->Disable(GL_ALPHA_TEST);
  gl->Disable(GL_DEPTH_TEST);
  DrawBoundingBox();

  if (compositing) {
    table = m_oShared.CurrentTable();
    std::copy_n(entry0, 4, table);
    UploadLut();
  }
  return 0;
}
