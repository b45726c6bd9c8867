// Volume hand-over, the window table and showing a view's picture.
#include "render/ZR_SoftwareRenderer.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "core/ZR_Log.h"
#include "core/ZR_Result.h"
#include "core/ZR_TableIndex.h"
#include "render/ZR_GlFunctions.h"
#include "render/ZR_RowWorkers.h"

ZR_SoftwareRenderer::ZR_SoftwareRenderer(RenderShared& shared)
    : ZR_VolumeRenderer(kSoftwareKind, shared) {}

ZR_SoftwareRenderer::~ZR_SoftwareRenderer() { Release(); }

void ZR_SoftwareRenderer::Init() {
  const ZR_GlFunctions* gl = m_oShared.Gl();
  if (!gl) return;
  gl->ClearColor(0, 0, 0, 0);
  gl->Disable(GL_DITHER);
  gl->Disable(GL_LIGHTING);
  // The active frame is drawn as the texture renderer draws it.
  gl->LineWidth(1.2f);
  gl->Enable(GL_LINE_SMOOTH);
  gl->MatrixMode(GL_MODELVIEW);
}

int32_t ZR_SoftwareRenderer::LoadVolume() {
  Release();
  int32_t dims[3];
  m_oShared.GetFullDimensions(dims);
  const ZR_SliceStack& stack = m_oShared.SliceStack();
  if (!stack.Covers(dims)) {
    ZR_Log::Entry("ZR_SoftwareRenderer::LoadVolume(): the slices do not hold the volume");
    return VR_LD_INVALID_VOLUME;
  }
  const size_t count = static_cast<size_t>(dims[0]) * static_cast<size_t>(dims[1]);
  m_pRaw.reset(new (std::nothrow) uint16_t[count]());
  m_pImage.reset(new (std::nothrow) uint8_t[count]());
  if (!m_pRaw || !m_pImage) {
    Release();
    return VR_NO_MEMORY;
  }
  m_nWidth = dims[0];
  m_nHeight = dims[1];
  std::copy_n(dims, 3, m_aDims);
  m_oShared.GetVoxelScale(m_aScale);
  for (int i = 0; i < 3; ++i) m_aExtents[i] = static_cast<float>(dims[i]) * m_aScale[i];
  // As the shared state chooses it: the floored extent of the largest axis.
  float largest = 0;
  for (float extent : m_aExtents)
    if (std::fabs(std::floor(extent)) >= std::fabs(largest)) largest = std::floor(extent);
  m_fLargest = largest;
  m_apSlices.resize(static_cast<size_t>(dims[2]));
  for (int32_t z = 0; z < dims[2]; ++z) m_apSlices[static_cast<size_t>(z)] = stack.LoadedSlice(z);
  m_oStack = stack;
  m_nColumnStride = stack.nSubsample;
  m_nRowStride = int64_t{stack.nWidth} * stack.nSubsample;
  BuildSliceOffsets();
  m_pFreshView = nullptr;
  m_bLoaded = true;
  Invalidate();
  return VR_OK;
}

void ZR_SoftwareRenderer::Release() {
  m_pRaw.reset();
  m_pImage.reset();
  m_nWidth = m_nHeight = 0;
  m_apSlices.clear();
  m_aSliceOffsets.clear();
  m_pFreshView = nullptr;
  m_bLoaded = false;
}

void ZR_SoftwareRenderer::SetReducedResolution(bool on, int32_t factor) {
  m_bReduced = on;
  m_nReduction = on ? std::max(factor, 1) : 1;
  m_bNeedsRender = true;  // another quality of the same view
}

void ZR_SoftwareRenderer::GetImageSize(int32_t* width, int32_t* height) const {
  if (width) *width = m_nWidth;
  if (height) *height = m_nHeight;
}

void ZR_SoftwareRenderer::SetThreadCount(int32_t threads) {
  m_nThreads = threads;
  m_pWorkers.reset();
}

ZR_RowWorkers& ZR_SoftwareRenderer::Workers() {
  if (!m_pWorkers) m_pWorkers = std::make_unique<ZR_RowWorkers>(m_nThreads);
  return *m_pWorkers;
}

void ZR_SoftwareRenderer::BuildWindowTable() {
  // Stored value v reaches the GPU as the voxel (table index of v) * 16 and picks the
  // grey-table entry floor(voxel / 65535 * entries); its red component, in 8 bits, is what the
  // panel shows. The table covers every stored value of the study's range.
  const ZR_Lut& lut = m_oShared.GetLut();
  const float* grey = lut.GreyTable();
  const int64_t entries = lut.EntryCount();
  const int32_t range = std::max(lut.RawMaximum() - lut.RawMinimum(), 0);
  const size_t size = static_cast<size_t>(std::clamp(range, ZR_TableIndex::kScale, 65535)) + 1;
  if (m_aWindowTable.size() != size) m_aWindowTable.assign(size, 0);
  for (size_t v = 0; v < size; ++v) {
    // Without a known range the stored value is the index itself, as in a 12-bit study.
    const int64_t voxel =
        16 * int64_t{range > 0 ? ZR_TableIndex::OfStoredValue(static_cast<int32_t>(v), range)
                               : std::min<int64_t>(v, ZR_TableIndex::kScale)};
    const int64_t index = std::min(entries - 1, voxel * entries / 65535);
    const float red = std::clamp(grey[4 * index], 0.0f, 1.0f);
    m_aWindowTable[v] = static_cast<uint8_t>(std::lround(red * 255.0f));
  }
}

void ZR_SoftwareRenderer::ApplyWindow() {
  BuildWindowTable();
  const uint8_t* table = m_aWindowTable.data();
  const size_t count = static_cast<size_t>(m_nWidth) * static_cast<size_t>(m_nHeight);
  const uint16_t* raw = m_pRaw.get();
  uint8_t* image = m_pImage.get();
  // Values beyond the range (not produced by the reader) show as the top entry.
  const size_t top = m_aWindowTable.size() - 1;
  for (size_t k = 0; k < count; ++k) image[k] = table[std::min<size_t>(raw[k], top)];
}

void ZR_SoftwareRenderer::UploadImage(ZR_ObliqueView& view) {
  const ZR_GlFunctions& gl = *m_oShared.Gl();
  if (!view.nTexture) {
    gl.GenTextures(1, &view.nTexture);
    m_aTextures.push_back(view.nTexture);
  }
  gl.BindTexture(GL_TEXTURE_2D, view.nTexture);
  gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  if (m_pFreshView != &view) return;
  // The one raw image holds this view's plane only right after its reslice: only then is it
  // this view's picture.
  ApplyWindow();
  GLint alignment = 4;
  gl.GetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
  gl.TexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE, m_nWidth, m_nHeight, 0, GL_LUMINANCE,
                GL_UNSIGNED_BYTE, m_pImage.get());
  gl.PixelStorei(GL_UNPACK_ALIGNMENT, alignment);
  // A fast picture still leaves the full-quality one to be made, and a slab the plane's own.
  if (m_bFreshSlab)
    view.bNeedsReslice = true;
  else if (m_nFreshStep < 2)
    view.bNeedsReslice = false;
  m_pFreshView = nullptr;
}

int32_t ZR_SoftwareRenderer::DrawView(ZR_ObliqueView& view, bool highlight) {
  return DrawPicture(view, highlight, view.nLayout != 0);
}

int32_t ZR_SoftwareRenderer::DrawPicture(ZR_ObliqueView& view, bool highlight, bool blend) {
  const ZR_GlFunctions* glp = m_oShared.Gl();
  if (!glp || !m_bLoaded) return 1;
  const ZR_GlFunctions& gl = *glp;
  gl.Disable(GL_CLIP_PLANE0);
  gl.Disable(GL_CLIP_PLANE1);
  if (blend)
    gl.Enable(GL_BLEND);
  else
    gl.Disable(GL_BLEND);
  gl.Disable(GL_TEXTURE_3D);
  gl.Enable(GL_TEXTURE_2D);

  const double h = m_fLargest / 2;
  gl.MatrixMode(GL_PROJECTION);
  gl.LoadIdentity();
  gl.Ortho(-h, h, h, -h, -5000, 5000);  // image row 0 at the top
  gl.MatrixMode(GL_MODELVIEW);

  UploadImage(view);
  gl.TexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  gl.Color3f(1, 1, 1);
  gl.LoadIdentity();
  const float e = static_cast<float>(h);
  gl.Begin(GL_QUADS);
  gl.TexCoord2f(0, 0);
  gl.Vertex2f(-e, -e);
  gl.TexCoord2f(1, 0);
  gl.Vertex2f(e, -e);
  gl.TexCoord2f(1, 1);
  gl.Vertex2f(e, e);
  gl.TexCoord2f(0, 1);
  gl.Vertex2f(-e, e);
  gl.End();
  gl.Disable(GL_TEXTURE_2D);
  gl.Disable(GL_BLEND);

  if (highlight) {
    GLfloat previous[4];
    gl.GetFloatv(GL_CURRENT_COLOR, previous);
    gl.Color3f(1, 0, 0);
    gl.Begin(GL_LINE_LOOP);
    gl.Vertex2f(1 - e, 1 - e);
    gl.Vertex2f(e - 1, 1 - e);
    gl.Vertex2f(e - 1, e - 1);
    gl.Vertex2f(1 - e, e - 1);
    gl.End();
    gl.Color4fv(previous);
  }
  return 1;
}

int32_t ZR_SoftwareRenderer::RenderView(ZR_ObliqueView& view, bool highlight, float* position,
                                        float* orientation) {
  if (view.bNeedsReslice) Reslice(view, 1, position, orientation);
  return DrawView(view, highlight);
}

int32_t ZR_SoftwareRenderer::RenderViewFast(ZR_ObliqueView& view, bool highlight) {
  Reslice(view, 2, nullptr, nullptr);
  return DrawView(view, highlight);
}

const uint16_t* ZR_SoftwareRenderer::GetRawImage(const ZR_ObliqueView& view, float* position,
                                                 float* orientation) {
  Reslice(view, 1, position, orientation);
  return m_pRaw.get();
}

void ZR_SoftwareRenderer::DeleteGlObjects() {
  const ZR_GlFunctions* gl = m_oShared.Gl();
  if (gl && !m_aTextures.empty())
    gl->DeleteTextures(static_cast<GLsizei>(m_aTextures.size()), m_aTextures.data());
  m_aTextures.clear();
}
