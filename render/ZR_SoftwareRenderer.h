#pragma once
// The CPU renderer: reslices an MPR plane out of the study's raw slices, turns the samples
// into 8-bit grey through the lookup table's grey table and shows them as one 2D texture per
// view. It renders no 3D view. The manager also uses it for the raw samples of a plane
// (export with position and orientation, the pixel-value tool), whatever the rendering mode.
//
// Geometry is taken from the full-resolution copy when the volume is loaded, so a reduced
// copy selected for the 3D view never changes what a plane samples.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "render/ZR_VolumeRenderer.h"

class ZR_RowWorkers;

class ZR_SoftwareRenderer : public ZR_VolumeRenderer {
 public:
  // A plane in voxels of the loaded volume: the point of pixel (0, 0) at the fast path's
  // sampling (full quality samples one row step further), the step to the next column and
  // the step to the next row.
  struct Plane {
    double adStart[3] = {0, 0, 0};
    double adRowStep[3] = {0, 0, 0};
    double adColumnStep[3] = {0, 0, 0};
    float afRight[3] = {1, 0, 0};  // the rotation's first two columns, for the caller
    float afUp[3] = {0, 1, 0};
    // Voxels the plane moves per unit of offset along its normal (ZR_ObliqueView::fOffset).
    double adNormalStep[3] = {0, 0, 0};
  };

  explicit ZR_SoftwareRenderer(RenderShared& shared = RenderShared::Instance());
  ~ZR_SoftwareRenderer() override;

  // --- Slots of the base ---------------------------------------------------------------------
  void Init() override;
  // Takes the geometry of the full copy and the slice stack and allocates both images. 0, or
  // VR_LD_INVALID_VOLUME when the slice stack does not hold the volume's voxels, or
  // VR_NO_MEMORY; the renderer is then not loaded.
  [[nodiscard]] int32_t LoadVolume() override;
  void Release() override;
  [[nodiscard]] int32_t Render(float, float, float, float, float) override { return 0; }
  void SetReducedResolution(bool on, int32_t factor) override;
  bool DrawOrthoSlice(int32_t, int32_t, const ZR_OrthoViews&) override { return true; }

  // --- Planes ----------------------------------------------------------------------------------
  // The plane of a view in voxels (the orientation correction and the view's step offset
  // applied).
  Plane SetUpPlane(const ZR_ObliqueView& view) const;
  // Samples the plane into the raw image: step 1 at full quality (trilinear), 2 or more the
  // fast path (nearest voxel, step x step blocks). `position` receives the patient position
  // (mm) of pixel (0, 0)'s sample, `orientation` the unit patient directions of the image's
  // rows and columns (6 floats).
  void Reslice(const ZR_ObliqueView& view, int32_t step, float* position, float* orientation);
  // Shows the raw image of the view (window table, texture, quad, red frame when highlighted);
  // returns 1.
  int32_t DrawView(ZR_ObliqueView& view, bool highlight);
  // Full quality when the view's picture is older than its plane, then DrawView.
  int32_t RenderView(ZR_ObliqueView& view, bool highlight, float* position, float* orientation);
  // The fast path, then DrawView.
  int32_t RenderViewFast(ZR_ObliqueView& view, bool highlight);
  // Full quality with the outputs; the samples stay valid until the next reslice.
  const uint16_t* GetRawImage(const ZR_ObliqueView& view, float* position, float* orientation);
  // The full-quality sample under (fx, fy), fractions of the image's width and height
  // (0 outside the image).
  uint16_t SampleAt(const ZR_ObliqueView& view, float fx, float fy);
  void GetImageSize(int32_t* width, int32_t* height) const;

  // --- Slabs ------------------------------------------------------------------------------------
  // The slab at full quality into the raw image: every sub-plane sampled as a full-quality
  // reslice of that plane would sample it, each pixel the maximum, minimum or mean (rounded to
  // nearest) of its samples inside the volume, 0 when it has none. A plane count below 1 counts
  // as 1, above kMaxSlabPlanes as that; any other mode as the maximum. `position` and
  // `orientation` are those of the plane at fCentre, as GetRawImage reports a plane's.
  const uint16_t* GetRawSlab(const ZR_ObliqueView& view, const ZR_SlabSpec& slab, float* position,
                             float* orientation);
  // The slab, shown as DrawView shows a picture but unblended (the sub-planes are combined
  // already). The view's plane picture is left to be made again; returns 1.
  int32_t RenderSlab(ZR_ObliqueView& view, const ZR_SlabSpec& slab, bool highlight);
  // The patient plane of a picture of the view `width` x `height` pixels as the texture path
  // draws it: its pixel (c, r) from the top left stands for the point ((c + 0.5) / width,
  // (r + 0.5) / height) of the view's square, and a texture's voxel centres lie half a voxel
  // in from its faces (this renderer's own samples sit elsewhere). False before a volume.
  bool ScreenPlane(const ZR_ObliqueView& view, int32_t width, int32_t height, float* position,
                   float* orientation) const;

  // --- Window --------------------------------------------------------------------------------
  // 8-bit grey of every stored value: what the GPU shows for it through the grey table.
  void BuildWindowTable();
  const uint8_t* WindowTable() const { return m_aWindowTable.data(); }

  // --- For the tests and the benchmark ------------------------------------------------------
  const uint16_t* Raw() const { return m_pRaw.get(); }
  const uint8_t* Image() const { return m_pImage.get(); }
  // Patient millimetres per pixel along a row and down a column of the last reslice.
  const std::array<double, 2>& PixelSpacing() const { return m_aPixelSpacing; }
  // Threads that share a picture (0: one per core); the default is 0.
  void SetThreadCount(int32_t threads);
  // The GL textures this renderer made for its views (the context must be current).
  void DeleteGlObjects();

  static constexpr int32_t kTableSize = 4096;
  // A mean of this many 16-bit samples still sums in 32 bits.
  static constexpr int32_t kMaxSlabPlanes = 65536;

 private:
  void ResliceFull(const Plane& plane);
  void ResliceFast(const Plane& plane, int32_t step);
  void ReportGeometry(const Plane& plane, int32_t step, float* position, float* orientation);
  void ResliceSlab(const ZR_ObliqueView& view, const ZR_SlabSpec& slab, float* position,
                   float* orientation);
  // Where every loaded slice starts relative to slice 0, for the vector slab kernel; empty
  // when some slice lies too far off for 32-bit offsets.
  void BuildSliceOffsets();
  void ApplyWindow();
  void UploadImage(ZR_ObliqueView& view);
  int32_t DrawPicture(ZR_ObliqueView& view, bool highlight, bool blend);
  ZR_RowWorkers& Workers();

  std::unique_ptr<uint16_t[]> m_pRaw;
  std::unique_ptr<uint8_t[]> m_pImage;
  int32_t m_nWidth = 0;
  int32_t m_nHeight = 0;

  // Taken at LoadVolume from the full copy.
  int32_t m_aDims[3] = {0, 0, 0};
  float m_aExtents[3] = {0, 0, 0};
  float m_fLargest = 0;
  float m_aScale[3] = {1, 1, 1};
  ZR_SliceStack m_oStack;
  std::vector<const uint16_t*> m_apSlices;  // slice z of the loaded volume
  std::vector<int32_t> m_aSliceOffsets;     // values from slice 0 to slice z (and 32 spare)
  int64_t m_nRowStride = 0;                 // values from one loaded row to the next
  int64_t m_nColumnStride = 1;

  std::vector<uint8_t> m_aWindowTable = std::vector<uint8_t>(kTableSize, 0);
  std::array<double, 2> m_aPixelSpacing{0, 0};
  // The view whose plane the raw image holds since the last reslice, and at which step.
  const ZR_ObliqueView* m_pFreshView = nullptr;
  int32_t m_nFreshStep = 0;
  bool m_bFreshSlab = false;  // the raw image holds a slab of that view, not its plane
  std::vector<uint32_t> m_aTextures;
  int32_t m_nThreads = 0;
  std::unique_ptr<ZR_RowWorkers> m_pWorkers;
};
