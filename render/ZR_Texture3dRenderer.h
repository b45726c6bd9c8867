#pragma once
// The hardware renderer: the volume as one 16-bit luminance 3D texture (plus a reduced copy
// for interaction) and the colour table as a one-row float texture; every picture is drawn
// as textured polygons through the dependent lookup of the fragment programs.
//
// Upload buffers: the manager writes the voxels straight into the mapped pixel-unpack
// buffer of the current copy, so that the volume exists once in main memory:
//   SetReducedResolution(false, 1), AllocateUploadBuffer, MapUploadBuffer(GL_READ_WRITE),
//   write, [SetReducedResolution(true, f), AllocateUploadBuffer,
//   MapUploadBuffer(GL_WRITE_ONLY), BuildReducedCopy, UnmapUploadBuffer,
//   SetReducedResolution(false, 1)], UnmapUploadBuffer, LoadVolume,
//   [SetReducedResolution(true, f), Load3dTexture].
// (The shared copy selection, SelectCopy, must follow each SetReducedResolution.) Without
// buffer objects the upload buffers live in main memory and behave the same.

#include <cstdint>
#include <memory>

#include "render/ZR_GlFunctions.h"
#include "render/ZR_Matrix4.h"
#include "render/ZR_VolumeRenderer.h"

class ZR_Texture3dRenderer : public ZR_VolumeRenderer {
 public:
  static constexpr int32_t kSkipVoxelCount = 1 << 26;

  explicit ZR_Texture3dRenderer(RenderShared& shared = RenderShared::Instance());
  ~ZR_Texture3dRenderer() override;

  // Slots of the base.
  void Init() override;
  [[nodiscard]] int32_t LoadVolume() override;
  void Release() override { m_bTextureLoaded = false; }
  [[nodiscard]] int32_t Render(float panX, float panY, float spare1, float spare2, float zoom) override;
  void SetReducedResolution(bool on, int32_t factor) override;
  void SetLut(const float* table) override;
  bool DrawOrthoSlice(int32_t axis, int32_t panel, const ZR_OrthoViews& views) override;
  void SetBlendMode(int32_t mode) override;
  bool IsLoaded() const override { return m_bTextureLoaded; }

  // --- Upload buffers -----------------------------------------------------------------------
  // Sizes the current copy's buffer to x * y * z * 2 bytes of the current dimensions.
  [[nodiscard]] bool AllocateUploadBuffer();
  // The write pointer of the current copy's buffer (GL_READ_WRITE, GL_WRITE_ONLY), or null.
  uint16_t* MapUploadBuffer(GLenum access);
  // Unmaps and unbinds it; the OpenGL error code (GL_INVALID_OPERATION when the driver
  // lost the contents while mapped).
  GLenum UnmapUploadBuffer();
  // reduced (x, y, z) := full (f x, f y, f z), f the current reduction; false (nothing
  // written) when a reduced voxel would read outside the full volume.
  [[nodiscard]] bool BuildReducedCopy(const uint16_t* full, const int32_t fullDimensions[3],
                                      uint16_t* reduced, const int32_t reducedDimensions[3]) const;
  // Uploads the current buffer into the current volume texture.
  [[nodiscard]] bool Load3dTexture();
  // Uploads the current table of the lookup table into the colour-table texture.
  void UploadLut();

  // --- Slices ---------------------------------------------------------------------------------
  // One MPR view; returns the residency of the full volume texture.
  bool DrawObliqueSlice(const ZR_ObliqueView& view, bool highlight);
  void DrawCrosshair(int32_t axis, int32_t panel, const ZR_OrthoViews& views);
  void DrawActiveFrame();

  // --- Settings -------------------------------------------------------------------------------
  void SetShowCrosshair(bool on) { m_bShowCrosshair = on; }
  void SetSamplingRate(float rate);
  void SetBrightness(float value) { m_fBrightness = value; }
  void SetContrast(float value) { m_fContrast = value; }
  void SetGloss(float value) { m_fGloss = value; }
  float SamplingRate() const { return m_fSamplingRate; }

  // --- Geometry, for the tests and the benchmark ---------------------------------------------
  // Slices per frame: B = trunc(rate / reduction * sqrt(3) * X); the window's width over the
  // largest extent, at least 0.5, divides it. `base` receives B.
  static int32_t SliceCount(float rate, int32_t reduction, float extentX, float windowWidth,
                            float largestExtent, int32_t* base = nullptr);
  // The texture matrix of the 3D view for a rotation.
  ZR_Matrix4 TextureMatrix(const float rotation[16]) const;
  // Emits the view-aligned slices of one frame back to front, each cut to the volume's box,
  // as triangles (inside glBegin(GL_TRIANGLES)).
  void EmitSlices(int32_t count, bool skipBackHalf) const;
  // Frames drawn since construction (Render calls that drew).
  int64_t FramesDrawn() const { return m_nFramesDrawn; }
  // Last frame's slice count.
  int32_t LastSliceCount() const { return m_nLastSliceCount; }
  uint32_t VolumeTexture() const { return m_aTextures[m_bReduced ? 1 : 0]; }
  uint32_t FullTexture() const { return m_aTextures[0]; }
  uint32_t LutTexture() const { return m_nLutTexture; }
  const int32_t* TextureDimensions() const { return m_aTextureDimensions; }
  float ZPadded() const { return m_fZPadded; }
  const float* Crosshair(int32_t axis) const { return m_aCrosshair[axis]; }

  // Deletes the textures and buffers (the context must be current); the destructor calls it.
  void DeleteGlObjects();

 private:
  struct UploadBuffer {
    uint32_t nName = 0;                      // buffer object, 0 when in main memory
    int64_t nBytes = 0;
    std::unique_ptr<uint16_t[]> pHost;       // main-memory buffer without buffer objects
    bool bMapped = false;
  };

  int32_t Current() const { return m_bReduced ? 1 : 0; }
  void ApplyBlendEquation();
  void SetVolumeTextureParameters();
  void SetSliceProjection();
  // Texture coordinates are given in units of the x extent, so that every axis has the same
  // scale, and centred on the volume: these take them from there into the texture (the
  // aspects divided out again) and from the texture to the centre.
  ZR_Matrix4 FromEvenUnits() const;
  ZR_Matrix4 FromCentre() const;
  void DrawSlices();
  bool FullResident();

  float m_afTexExtent[3] = {1, 1, 1};
  float m_fZPadded = 1;
  float m_fZPad = 0;
  float m_afRangeLow[3] = {0, 0, 0};
  float m_afRangeHigh[3] = {1, 1, 1};
  float m_fSamplingRate = 2.0f;
  bool m_bShowCrosshair = true;
  float m_fBrightness = 0;
  float m_fContrast = 0;
  float m_fGloss = 0;
  float m_aCrosshair[3][2] = {};

  bool m_bCreated = false;
  uint32_t m_aTextures[2] = {0, 0};  // full, reduced
  uint32_t m_nLutTexture = 0;
  UploadBuffer m_aBuffers[2];
  int32_t m_aTextureDimensions[3] = {0, 0, 0};
  int32_t m_aPreviousFullUpload[3] = {0, 0, 0};
  bool m_bTextureLoaded = false;
  int32_t m_nLastSliceCount = 0;
  int64_t m_nFramesDrawn = 0;
};
