#pragma once
// One view record per panel index; records 4..7 are the MPR planes. The plane and what
// drawing needs of it (layout, step offset, software picture) are the oblique view the
// renderers take; the rest is the view's own state: slab and series settings, the crosshair
// lines drawn in it, its curve and how many annotations it holds.

#include <cstdint>

#include "render/ZR_ViewRecords.h"

struct MprViewInfo {
  // MPR types (the layout of the oblique view) and slab modes.
  static constexpr int32_t kSingle = 0;
  static constexpr int32_t kMulti = 1;
  static constexpr int32_t kSlab = 2;
  static constexpr int32_t kMpvr = 0;
  static constexpr int32_t kMinIp = 1;
  static constexpr int32_t kMip = 2;
  static constexpr int32_t kLineSlots = 9;

  // Position (box units from the centre), orientation (columns right, up, normal), MPR type,
  // stepping flag and step offset.
  ZR_ObliqueView oView;
  int32_t nSlabMode = kMip;
  float fSliceSpacing = 0;    // of a multi-MPR series: normalised, and in mm
  float fSliceSpacingMm = 0;
  float fSlabExtent = 0;      // slab thickness: normalised (mm / P), and in mm
  float fSlabExtentMm = 0;
  int32_t nSliceCount = 10;
  // End points (x1, y1, x2, y2, pane pixels) of the crosshair lines drawn in this view; all
  // zero for a line that is not drawn. Slots: plane lines of views 6, 5, 4; then the slab
  // boundaries (+, -) of 6, of 5 and of 4.
  int32_t aLineRects[kLineSlots][4] = {};
  bool bChanged = true;       // the plane moved since the renderer last took it
  bool bCurveMode = false;    // this view is in curved-MPR mode
  bool bHasCurve = false;     // its curve has been drawn (the curved-MPR panel has something to show)
  // The counts of the view's four annotation lists (pixel values, rulers, angles, ROIs); the
  // manager keeps their entries. Zero counts are empty lists.
  int32_t aMeasurement[4] = {0, 0, 0, 0};

  float* Position() { return oView.oPlane.afPosition; }
  const float* Position() const { return oView.oPlane.afPosition; }
  float* Orientation() { return oView.oPlane.afRotation; }
  const float* Orientation() const { return oView.oPlane.afRotation; }
  // Column c of the orientation: 0 right, 1 up, 2 normal.
  const float* Axis(int32_t c) const { return oView.oPlane.afRotation + 4 * c; }
  int32_t Type() const { return oView.nLayout; }
  bool Slabbed() const { return oView.nLayout == kMulti || oView.nLayout == kSlab; }

  // Back to the centre, unturned, a series of 10, no curve, marked changed. The type and the
  // slab settings stay.
  void Reset();
  // The plane moved: it is changed, its software picture is stale and its annotations, which
  // measured the old plane, are gone.
  void MarkMoved();
  void ClearLineRects();
};
