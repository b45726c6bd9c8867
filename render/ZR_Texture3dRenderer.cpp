// Set-up, volume hand-over, upload buffers and textures.
#include "render/ZR_Texture3dRenderer.h"

#include <algorithm>
#include <new>

#include "core/ZR_Log.h"
#include "core/ZR_Result.h"

ZR_Texture3dRenderer::ZR_Texture3dRenderer(RenderShared& shared)
    : ZR_VolumeRenderer(kTextureKind, shared) {}

ZR_Texture3dRenderer::~ZR_Texture3dRenderer() { DeleteGlObjects(); }

void ZR_Texture3dRenderer::DeleteGlObjects() {
  const ZR_GlFunctions* gl = m_oShared.Gl();
  if (m_bCreated && gl) {
    gl->DeleteTextures(2, m_aTextures);
    gl->DeleteTextures(1, &m_nLutTexture);
    for (UploadBuffer& buffer : m_aBuffers)
      if (buffer.nName) gl->DeleteBuffers(1, &buffer.nName);
  }
  m_aTextures[0] = m_aTextures[1] = 0;
  m_nLutTexture = 0;
  for (UploadBuffer& buffer : m_aBuffers) buffer = UploadBuffer{};
  m_bCreated = false;
  m_bTextureLoaded = false;
}

void ZR_Texture3dRenderer::ApplyBlendEquation() {
  const ZR_GlFunctions* gl = m_oShared.Gl();
  if (!gl || !gl->BlendEquationEXT) return;
  switch (m_oShared.BlendMode()) {
    case 0: gl->BlendEquationEXT(GL_FUNC_ADD_EXT); break;
    case 1: gl->BlendEquationEXT(GL_MIN_EXT); break;
    case 2: gl->BlendEquationEXT(GL_MAX_EXT); break;
    default: break;  // other modes are only stored
  }
}

void ZR_Texture3dRenderer::SetBlendMode(int32_t mode) {
  ZR_VolumeRenderer::SetBlendMode(mode);
  ApplyBlendEquation();
}

void ZR_Texture3dRenderer::Init() {
  const ZR_GlFunctions* gl = m_oShared.Gl();
  if (!gl) return;
  gl->ClearColor(0, 0, 0, 0);
  gl->Color4f(1, 1, 1, 1);
  gl->Disable(GL_DITHER);
  gl->Disable(GL_LIGHTING);
  gl->BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  ApplyBlendEquation();
  gl->LineWidth(1.2f);
  gl->Enable(GL_LINE_SMOOTH);
  gl->MatrixMode(GL_MODELVIEW);
  if (m_bCreated) return;
  gl->GenTextures(2, m_aTextures);
  gl->GenTextures(1, &m_nLutTexture);
  if (gl->bBufferObjects)
    for (UploadBuffer& buffer : m_aBuffers) gl->GenBuffers(1, &buffer.nName);
  m_bCreated = true;
  m_bReduced = false;
  m_nReduction = 1;
}

int32_t ZR_Texture3dRenderer::LoadVolume() {
  Invalidate();
  Release();
  std::copy_n(m_oShared.CurrentDimensions(), 3, m_aTextureDimensions);
  const int32_t* dims = m_aTextureDimensions;
  if (dims[0] <= 0 || dims[1] <= 0 || dims[2] <= 0) {
    ZR_Log::Entry("ZR_Texture3dRenderer::LoadVolume(): no volume dimensions");
    return VR_OG_3D_TEXTURE;
  }
  float scale[3];
  m_oShared.GetVoxelScale(scale);
  const float aspect = (static_cast<float>(dims[2]) * scale[2]) / (static_cast<float>(dims[0]) * scale[0]);
  m_oShared.SetZAspect(aspect);
  const float yAspect = (static_cast<float>(dims[1]) * scale[1]) / (static_cast<float>(dims[0]) * scale[0]);
  m_oShared.SetYAspect(yAspect);
  std::fill_n(m_afTexExtent, 3, 1.0f);
  const float largest = m_oShared.LargestExtent();
  const float z = m_oShared.Extents()[2];
  m_fZPadded = z > 0 ? m_afTexExtent[2] * largest / z : m_afTexExtent[2];
  m_fZPad = (m_fZPadded - m_afTexExtent[2]) / 2;
  m_afRangeLow[0] = 0;
  m_afRangeLow[1] = 0;
  m_afRangeLow[2] = -m_fZPad;
  m_afRangeHigh[0] = m_afTexExtent[0];
  m_afRangeHigh[1] = m_afTexExtent[1];
  m_afRangeHigh[2] = m_afTexExtent[2] + m_fZPad;
  Init();
  m_oShared.ResetWindow(*this);
  m_bTextureLoaded = Load3dTexture();
  return m_bTextureLoaded ? VR_OK : VR_OG_3D_TEXTURE;
}

void ZR_Texture3dRenderer::SetReducedResolution(bool on, int32_t factor) {
  if (on == m_bReduced) return;
  if (on)
    m_oShared.GetReducedDimensions(m_aTextureDimensions);
  else
    m_oShared.GetFullDimensions(m_aTextureDimensions);
  m_bReduced = on;
  m_nReduction = on ? std::max(factor, 1) : 1;
  m_bNeedsRender = true;  // another quality of the same view
}

void ZR_Texture3dRenderer::SetLut(const float* table) {
  ZR_VolumeRenderer::SetLut(table);
  if (m_bCreated) UploadLut();
}

void ZR_Texture3dRenderer::SetSamplingRate(float rate) {
  // The same rate draws the same picture: every panel drawn at a quality level sets it.
  if (rate == m_fSamplingRate) return;
  m_fSamplingRate = rate;
  m_bNeedsRender = true;  // another quality of the same view
}

bool ZR_Texture3dRenderer::AllocateUploadBuffer() {
  UploadBuffer& buffer = m_aBuffers[Current()];
  if (buffer.bMapped) return false;
  const int32_t* dims = m_oShared.CurrentDimensions();
  if (dims[0] <= 0 || dims[1] <= 0 || dims[2] <= 0) return false;
  const int64_t bytes = int64_t{dims[0]} * dims[1] * dims[2] * 2;
  const ZR_GlFunctions* gl = m_oShared.Gl();
  if (buffer.nName && gl) {
    gl->TakeError();
    gl->BindBuffer(GL_PIXEL_UNPACK_BUFFER, buffer.nName);
    gl->BufferData(GL_PIXEL_UNPACK_BUFFER, static_cast<GLsizeiptr>(bytes), nullptr, GL_STATIC_DRAW);
    gl->BindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
    const bool ok = gl->TakeError() == GL_NO_ERROR;
    buffer.nBytes = ok ? bytes : 0;
    return ok;
  }
  buffer.pHost.reset();
  buffer.nBytes = 0;
  buffer.pHost.reset(new (std::nothrow) uint16_t[static_cast<size_t>(bytes / 2)]);
  if (!buffer.pHost) return false;
  buffer.nBytes = bytes;
  return true;
}

uint16_t* ZR_Texture3dRenderer::MapUploadBuffer(GLenum access) {
  UploadBuffer& buffer = m_aBuffers[Current()];
  if (buffer.nBytes == 0) return nullptr;
  const ZR_GlFunctions* gl = m_oShared.Gl();
  if (!buffer.nName || !gl) {
    buffer.bMapped = true;
    return buffer.pHost.get();
  }
  gl->BindBuffer(GL_PIXEL_UNPACK_BUFFER, buffer.nName);
  void* pointer = gl->MapBuffer(GL_PIXEL_UNPACK_BUFFER, access);
  buffer.bMapped = pointer != nullptr;
  return static_cast<uint16_t*>(pointer);
}

GLenum ZR_Texture3dRenderer::UnmapUploadBuffer() {
  UploadBuffer& buffer = m_aBuffers[Current()];
  const ZR_GlFunctions* gl = m_oShared.Gl();
  if (!buffer.nName || !gl) {
    buffer.bMapped = false;
    return GL_NO_ERROR;
  }
  gl->BindBuffer(GL_PIXEL_UNPACK_BUFFER, buffer.nName);
  const GLboolean intact = gl->UnmapBuffer(GL_PIXEL_UNPACK_BUFFER);
  gl->BindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
  buffer.bMapped = false;
  const GLenum error = gl->TakeError();
  if (error != GL_NO_ERROR) return error;
  return intact ? GL_NO_ERROR : GL_INVALID_OPERATION;
}

bool ZR_Texture3dRenderer::BuildReducedCopy(const uint16_t* full, const int32_t fullDimensions[3],
                                            uint16_t* reduced,
                                            const int32_t reducedDimensions[3]) const {
  if (!full || !reduced) return false;
  const int64_t f = m_nReduction;
  for (int32_t i = 0; i < 3; ++i) {
    if (fullDimensions[i] <= 0 || reducedDimensions[i] <= 0) return false;
    if (f * (reducedDimensions[i] - 1) >= fullDimensions[i]) return false;
  }
  const int64_t fullRow = fullDimensions[0];
  const int64_t fullSlice = fullRow * fullDimensions[1];
  uint16_t* out = reduced;
  for (int64_t z = 0; z < reducedDimensions[2]; ++z) {
    for (int64_t y = 0; y < reducedDimensions[1]; ++y) {
      const uint16_t* row = full + f * z * fullSlice + f * y * fullRow;
      for (int64_t x = 0; x < reducedDimensions[0]; ++x) *out++ = row[f * x];
    }
  }
  return true;
}

bool ZR_Texture3dRenderer::Load3dTexture() {
  const ZR_GlFunctions* gl = m_oShared.Gl();
  if (!gl || !m_bCreated || !gl->TexImage3DEXT) return false;
  const UploadBuffer& buffer = m_aBuffers[Current()];
  const int32_t* dims = m_aTextureDimensions;
  if (dims[0] <= 0 || dims[1] <= 0 || dims[2] <= 0) return false;
  // Never let the upload read beyond what the buffer holds.
  const int64_t bytes = int64_t{dims[0]} * dims[1] * dims[2] * 2;
  if (buffer.bMapped || buffer.nBytes < bytes) {
    ZR_Log::Entry("Load3dTexture(): the upload buffer does not hold the volume");
    return false;
  }
  const GLuint texture = m_aTextures[Current()];
  gl->TakeError();
  gl->BindTexture(GL_TEXTURE_3D, texture);
  if (buffer.nName) gl->BindBuffer(GL_PIXEL_UNPACK_BUFFER, buffer.nName);
  const void* data = buffer.nName ? nullptr : buffer.pHost.get();
  GLint alignment = 4;
  gl->GetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  gl->PixelStorei(GL_UNPACK_ALIGNMENT, 2);  // rows of 16-bit values are never padded
  const bool reallocate = m_bReduced || !std::equal(dims, dims + 3, m_aPreviousFullUpload);
  if (reallocate)
    gl->TexImage3DEXT(GL_TEXTURE_3D, 0, GL_LUMINANCE16, dims[0], dims[1], dims[2], 0,
                      GL_LUMINANCE, GL_UNSIGNED_SHORT, data);
  else
    gl->TexSubImage3DEXT(GL_TEXTURE_3D, 0, 0, 0, 0, dims[0], dims[1], dims[2], GL_LUMINANCE,
                         GL_UNSIGNED_SHORT, data);
  GLboolean resident = GL_FALSE;
  if (gl->AreTexturesResident(1, &texture, &resident) != GL_TRUE && resident != GL_TRUE)
    ZR_Log::Entry("Load3dTexture(): the volume texture is not resident");
  gl->PixelStorei(GL_UNPACK_ALIGNMENT, alignment);
  if (buffer.nName) gl->BindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
  const bool ok = gl->TakeError() == GL_NO_ERROR;
  if (!m_bReduced) {
    if (ok)
      std::copy_n(dims, 3, m_aPreviousFullUpload);
    else
      std::fill_n(m_aPreviousFullUpload, 3, 0);  // the next upload allocates again
  }
  m_bNeedsRender = true;
  return ok;
}

void ZR_Texture3dRenderer::UploadLut() {
  const ZR_GlFunctions* gl = m_oShared.Gl();
  if (!gl || !m_bCreated) return;
  gl->BindTexture(GL_TEXTURE_2D, m_nLutTexture);
  gl->TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  gl->TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  gl->TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
  gl->TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
  gl->TexImage2D(GL_TEXTURE_2D, 0, 4, m_oShared.GetLut().EntryCount(), 1, 0, GL_RGBA, GL_FLOAT,
                 m_oShared.CurrentTable());
}

bool ZR_Texture3dRenderer::FullResident() {
  const ZR_GlFunctions* gl = m_oShared.Gl();
  if (!gl || !m_aTextures[0]) return false;
  // When all are resident the driver answers true and leaves the array alone.
  GLboolean resident = GL_FALSE;
  return gl->AreTexturesResident(1, &m_aTextures[0], &resident) == GL_TRUE || resident == GL_TRUE;
}
