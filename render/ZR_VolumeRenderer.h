#pragma once
// The abstract base of the two renderers. The objects are thin: almost all state is in the
// shared render state. Every operation that draws expects the shared context to be current.

#include <cstdint>

#include "render/RenderShared.h"
#include "render/ZR_ViewRecords.h"

class ZR_VolumeRenderer {
 public:
  static constexpr int32_t kTextureKind = 0;
  static constexpr int32_t kSoftwareKind = 2;

  // The first renderer constructed allocates the shared histogram.
  explicit ZR_VolumeRenderer(int32_t kind, RenderShared& shared = RenderShared::Instance());
  // Slot 0: the last renderer destroyed frees the histogram.
  virtual ~ZR_VolumeRenderer();
  ZR_VolumeRenderer(const ZR_VolumeRenderer&) = delete;
  ZR_VolumeRenderer& operator=(const ZR_VolumeRenderer&) = delete;

  // Slots 1..5.
  virtual void Init() = 0;
  [[nodiscard]] virtual int32_t LoadVolume() = 0;
  virtual void Release() = 0;
  [[nodiscard]] virtual int32_t Render(float panX, float panY, float spare1, float spare2, float zoom) = 0;
  virtual void SetReducedResolution(bool on, int32_t factor) = 0;
  // Slots 6..23.
  virtual void Reserved() {}
  virtual void SelectLutTable(bool colour);
  // Invalidates, then copies 4096 RGBA float entries into the current table.
  virtual void SetLut(const float* table);
  virtual bool DrawOrthoSlice(int32_t axis, int32_t panel, const ZR_OrthoViews& views);
  virtual void BuildBoundingBox();
  virtual void DrawBoundingBox();
  virtual void DrawCutPlanes(bool outline);
  virtual void ApplyCutPlanes();
  // Cut-plane matrix := translate(position / reduction) * rotation; leaves OpenGL in
  // texture-matrix mode.
  virtual void SetCutPlaneTransform(const ZR_MprPlane& plane);
  virtual void GetDimensions(int32_t out[3]) const;
  virtual void SetFlag(uint8_t flag) { m_nFlag = flag; }
  virtual void Mark() { m_bMarked = true; }
  virtual void Invalidate() {
    m_bNeedsRender = true;
    ++m_nChanges;
  }
  // How often the picture has been invalidated by a change of what it shows; switching the
  // copy or the sampling rate (the quality) is not counted: the view itself stays the same.
  int64_t Changes() const { return m_nChanges; }
  virtual bool NeedsRender() const { return m_bNeedsRender; }
  [[nodiscard]] virtual int32_t RenderDefault() { return Render(0, 0, 0, 0, 0); }
  virtual int32_t GetBlendMode() const { return m_oShared.BlendMode(); }
  virtual void SetBlendMode(int32_t mode) { m_oShared.SetBlendMode(mode); }
  virtual bool IsLoaded() const { return m_bLoaded; }

  // The VOI clip planes 0..5 (called with the volume rotation in the model-view matrix).
  void ApplyVoiPlanes();

  int32_t Kind() const { return m_nKind; }
  bool IsReduced() const { return m_bReduced; }
  int32_t Reduction() const { return m_nReduction; }
  bool IsMarked() const { return m_bMarked; }
  void SetNeedsRender(bool needed) { m_bNeedsRender = needed; }
  RenderShared& Shared() { return m_oShared; }
  const RenderShared& Shared() const { return m_oShared; }

 protected:
  // One clip plane of the cut, for ApplyCutPlanes: in the plane's frame, normal along
  // its cut axis, facing front (+1) or back (-1).
  void CutPlane(int32_t plane, double constant, int32_t side);
  void PlaneSquare(double position, double offset, bool border);

  int32_t m_nKind;
  bool m_bLoaded = false;
  bool m_bNeedsRender = true;
  bool m_bMarked = false;
  bool m_bReduced = false;
  int32_t m_nReduction = 1;
  int64_t m_nChanges = 0;
  uint8_t m_nFlag = 0;
  RenderShared& m_oShared;
};
