#pragma once
// The rendering state both renderers share: the loaded volume's geometry and buffers, the
// lookup table, the histogram, the view window and rotation, the orientation correction,
// the cut-plane and VOI state and the bounding box. One per process (Instance()); tests make
// their own. The manager writes it through the setters and reads it back through getters.

#include <cstdint>
#include <memory>
#include <utility>

#include "presets/ZR_Lut.h"
#include "render/RenderState.h"
#include "render/ZR_Box.h"
#include "render/ZR_SliceStack.h"
#include "render/ZR_ViewRecords.h"

class ZR_VolumeRenderer;
class ZR_GpuPrograms;
class ZR_DicomVolume;
struct ZR_GlFunctions;

// The cut plane of the 3D view.
struct ZR_CutState {
  float afMatrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  float afColour[4] = {0, 0, 0, 0};
  double dPosition = 0;
  int32_t nAxis = 0;  // the axis of the plane's frame that is its normal
  bool bOn = false;
  bool bSlabCut = false;
  bool bMprSlab = false;
  float fSlabThickness = 1;  // never below 1
  bool bShowCutPlane = false;
};

class RenderShared {
 public:
  static constexpr int32_t kHistogramSize = 4096;

  static RenderShared& Instance();
  RenderShared();
  ~RenderShared();
  RenderShared(const RenderShared&) = delete;
  RenderShared& operator=(const RenderShared&) = delete;

  // --- OpenGL: the entry-point table and the fragment programs (set once detection ran) ---
  void AttachGl(ZR_GlFunctions* gl, ZR_GpuPrograms* programs);
  ZR_GlFunctions* Gl() const { return m_pGl; }
  ZR_GpuPrograms* Programs() const { return m_pPrograms; }

  // --- Volume source ---------------------------------------------------------------------------
  void SetVolume(const ZR_DicomVolume* volume) { m_pVolume = volume; }
  const ZR_DicomVolume* Volume() const { return m_pVolume; }
  // Millimetres per voxel along x, y and z (z: the slice distance); with the full
  // dimensions they give the inverse physical length.
  void SetPixelSpacing(float x, float y, float z);
  void SetFullDimensions(int32_t x, int32_t y, int32_t z);
  void SetReducedDimensions(int32_t x, int32_t y, int32_t z);
  void GetFullDimensions(int32_t out[3]) const;
  void GetReducedDimensions(int32_t out[3]) const;
  // Voxels are x fastest, then y, then z; each is the stored value x 16.
  void SetVoxelBuffers(uint16_t* full, uint16_t* reduced);
  uint16_t* FullVoxels() const { return m_pFullVoxels; }
  uint16_t* ReducedVoxels() const { return m_pReducedVoxels; }
  void SetSliceCopies(uint16_t** savedSlices, uint16_t** savedRawSlices);
  uint16_t** SavedSlices() const { return m_ppSavedSlices; }
  uint16_t** SavedRawSlices() const { return m_ppSavedRawSlices; }
  void SetMask(uint8_t* bits) { m_pMask = bits; }
  uint8_t* Mask() const { return m_pMask; }
  // The study's raw slices and their patient geometry, which the software renderer samples.
  void SetSliceStack(ZR_SliceStack stack) { m_oSliceStack = std::move(stack); }
  const ZR_SliceStack& SliceStack() const { return m_oSliceStack; }

  void SetVoxelScale(float x, float y, float z);
  void GetVoxelScale(float out[3]) const;

  // --- Current copy ------------------------------------------------------------------------------
  // Makes the full or the reduced copy current and recomputes the geometry; returns the
  // axis of the largest (floored) extent, later axes winning ties.
  int32_t SelectCopy(bool reduced);
  bool ReducedCopyCurrent() const { return m_bReducedCurrent; }
  const int32_t* CurrentDimensions() const { return m_aCurrent; }
  uint16_t* CurrentVoxels() const { return m_pCurrentVoxels; }
  int32_t RowLength() const { return m_nRowLength; }
  int32_t SliceSize() const { return m_nSliceSize; }
  void GetExtents(float out[3]) const;
  const float* Extents() const { return m_aExtent; }
  float LargestExtent() const { return m_fLargestExtent; }
  int32_t LargestAxis() const { return m_nLargestAxis; }
  float InversePhysicalLength() const { return m_fInversePhysicalLength; }
  void SetZAspect(float aspect) { m_fZAspect = aspect; }
  float ZAspect() const { return m_fZAspect; }
  // Y extent over X extent: rows and columns of different spacing (a sagittal or coronal
  // series) keep their shape.
  void SetYAspect(float aspect) { m_fYAspect = aspect; }
  float YAspect() const { return m_fYAspect; }

  // --- Lookup table ------------------------------------------------------------------------------
  ZR_Lut& GetLut() { return m_oLut; }
  // The colour table (true) or the grey table (false) is the current one.
  void SelectLutTable(bool colour) { m_bColourTable = colour; }
  bool ColourTableSelected() const { return m_bColourTable; }
  // The current table (4096 RGBA float entries); looked up each time, so it stays valid
  // when the lookup table is resized.
  float* CurrentTable();
  void SetBlendMode(int32_t mode) { m_nBlendMode = mode; }
  int32_t BlendMode() const { return m_nBlendMode; }

  // --- Histogram: 4096 counters while at least one renderer exists ---------------------------
  int32_t* GetHistogram() { return m_pHistogram.get(); }

  // --- View --------------------------------------------------------------------------------------
  // left, right, bottom, top in extent units.
  const float* Window() const { return m_aWindow; }
  void SetWindow(float left, float right, float bottom, float top);
  const int32_t* ResetWindowEdges() const { return m_aResetWindow; }
  // Encloses the bounding sphere of the full copy, then selects the renderer's copy again.
  void ResetWindow(const ZR_VolumeRenderer& renderer);
  void FlipHorizontal();
  void FlipVertical();
  // Pan and zoom by pixels of pointer motion at the current viewport. The window keeps its
  // orientation and at least 1 % of the reset window's width and height, however large the
  // step; `reduction` is the factor the window is divided by at the moment.
  void PanZoom(float panX, float panY, float zoom, int32_t reduction);
  void SetViewport(int32_t width, int32_t height);
  int32_t ViewportWidth() const { return m_nViewportWidth; }
  int32_t ViewportHeight() const { return m_nViewportHeight; }

  // The model-view rotation. Kept here rather than in OpenGL's matrix stack, so that drawing
  // another panel cannot lose it and it can be turned without a current context.
  void GetRotation(float out[16]) const;
  const float* Rotation() const { return m_aRotation; }
  void SetRotation(const float rotation[16]);
  // Identity, then 15 degrees about y, then -75 degrees about x; `invalidate` becomes the
  // renderer's needs-render flag.
  void ResetRotation(ZR_VolumeRenderer& renderer, bool invalidate);
  // Trackball rotation from pointer (x0, y0) to (x1, y1) in `view`. With `out` the rotation
  // alone is returned and the current one stays; without, it is applied to the current one.
  void Rotate(const ZR_TrackballView& view, double x0, double y0, double x1, double y1,
              float* out = nullptr);
  // The axis (in the volume's own frame) and angle in degrees of that rotation; false when
  // the two points are the same. Exposed for the cut-plane and MPR trackballs.
  static bool TrackballRotation(const ZR_TrackballView& view, double x0, double y0, double x1,
                                double y1, const float current[16], double axis[3],
                                double* degrees);

  // --- Orientation correction --------------------------------------------------------------------
  // From the row and column cosines and the slice direction: sets the sheared and reoriented
  // flags, the axis signs, the tilt and the two orientation matrices. Snapped cosines are
  // written back. Returns whether the orientation labels are valid.
  bool ComputeOrientation(float row[3], float column[3], const float slice[3], int32_t signs[3]);
  bool Sheared() const { return m_bSheared; }
  bool Reoriented() const { return m_bReoriented; }
  bool Corrected() const { return m_bSheared || m_bReoriented; }
  const int32_t* AxisSigns() const { return m_aSigns; }
  const double* Tilt() const { return m_aTilt; }
  void GetTextureOrientation(double out[16]) const;
  void GetBoxOrientation(double out[16]) const;
  const double* TextureOrientation() const { return m_aTextureOrientation; }
  const double* BoxOrientation() const { return m_aBoxOrientation; }

  // --- Cut plane and VOI -------------------------------------------------------------------------
  ZR_CutState& Cut() { return m_oCut; }
  const ZR_CutState& Cut() const { return m_oCut; }
  void SetCutColour(const float rgba[4]);
  void SetSlabThickness(float thickness);
  void SetVoiEnabled(bool on) { m_bVoiOn = on; }
  bool VoiEnabled() const { return m_bVoiOn; }
  const ZR_Box& GetVoi() const { return m_oVoi; }
  void SetVoi(const ZR_Box& box) { m_oVoi.Assign(box); }

  // --- Bounding box ------------------------------------------------------------------------------
  void SetShowBox(bool on) { m_bShowBox = on; }
  bool ShowBox() const { return m_bShowBox; }
  uint32_t BoxLineList() const { return m_nBoxLines; }
  uint32_t BoxDepthList() const { return m_nBoxDepth; }
  void SetBoxLists(uint32_t lines, uint32_t depth) {
    m_nBoxLines = lines;
    m_nBoxDepth = depth;
  }

  // --- Saved view --------------------------------------------------------------------------------
  void SaveViewState(const CutPlaneSettings& display);
  void RestoreViewState(CutPlaneSettings& display);
  const RenderState& SavedState() const { return m_oSaved; }

 private:
  friend class ZR_VolumeRenderer;
  // Renderers share the histogram: the first one constructed allocates it, the last one
  // destroyed frees it, so it is freed exactly once whatever the order.
  void AcquireHistogram();
  void ReleaseHistogram();
  void UpdatePhysicalLength();

  ZR_GlFunctions* m_pGl = nullptr;
  ZR_GpuPrograms* m_pPrograms = nullptr;

  const ZR_DicomVolume* m_pVolume = nullptr;
  int32_t m_aFull[3] = {0, 0, 0};
  int32_t m_aReduced[3] = {0, 0, 0};
  uint16_t* m_pFullVoxels = nullptr;
  uint16_t* m_pReducedVoxels = nullptr;
  uint16_t** m_ppSavedSlices = nullptr;
  uint16_t** m_ppSavedRawSlices = nullptr;
  uint8_t* m_pMask = nullptr;
  ZR_SliceStack m_oSliceStack;
  float m_aVoxelScale[3] = {1, 1, 1};
  float m_aPixelSpacing[3] = {0, 0, 0};

  bool m_bReducedCurrent = false;
  int32_t m_aCurrent[3] = {0, 0, 0};
  uint16_t* m_pCurrentVoxels = nullptr;
  int32_t m_nRowLength = 0;
  int32_t m_nSliceSize = 0;
  float m_aExtent[3] = {0, 0, 0};
  float m_fLargestExtent = 0;
  int32_t m_nLargestAxis = 2;
  float m_fInversePhysicalLength = 0;
  float m_fZAspect = 1;
  float m_fYAspect = 1;

  ZR_Lut m_oLut;
  bool m_bColourTable = true;
  int32_t m_nBlendMode = 0;

  std::unique_ptr<int32_t[]> m_pHistogram;
  int32_t m_nRenderers = 0;

  float m_aWindow[4] = {0, 0, 0, 0};
  int32_t m_aResetWindow[4] = {0, 0, 0, 0};
  int32_t m_nViewportWidth = 0;
  int32_t m_nViewportHeight = 0;
  float m_aRotation[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

  bool m_bSheared = false;
  bool m_bReoriented = false;
  int32_t m_aSigns[3] = {1, 1, 1};
  double m_aTilt[3] = {0, 0, 0};
  double m_aTextureOrientation[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  double m_aBoxOrientation[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

  ZR_CutState m_oCut;
  bool m_bVoiOn = false;
  ZR_Box m_oVoi;

  bool m_bShowBox = false;
  uint32_t m_nBoxLines = 0;
  uint32_t m_nBoxDepth = 0;

  RenderState m_oSaved;
};
