#pragma once
// What the drawing operations read from the views that the MPR subsystem owns: the plane of
// a view, the oblique view around it, and the three orthogonal slices of the 3D screen.
// The view classes fill these; the renderer never sees the classes themselves.

#include <cstdint>
#include <string>

// A plane through the volume: a point of it (extent units, from the volume centre) and its
// orientation, column-major, columns right, up and normal.
struct ZR_MprPlane {
  float afPosition[3] = {0, 0, 0};
  float afRotation[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
};

// One MPR view as DrawObliqueSlice draws it.
struct ZR_ObliqueView {
  ZR_MprPlane oPlane;
  int32_t nLayout = 0;      // 0 single slice, 1 multi-slice series, 2 slab
  bool bOffset = false;     // a slab or series step is being drawn
  float fOffset = 0;        // that step's offset along the normal
  // Software rendering: the view's picture is older than its plane, and the 2D texture that
  // shows it (0 = none yet).
  bool bNeedsReslice = true;
  uint32_t nTexture = 0;
};

// A slab of an MPR view as the software renderer computes it: nPlanes parallel sub-planes,
// sub-plane k at fCentre + (k - (nPlanes - 1) / 2) * fStep along the view's normal (the units
// of ZR_ObliqueView::fOffset, whatever the view's own offset), combined per pixel over the
// samples that lie inside the volume.
struct ZR_SlabSpec {
  int32_t nPlanes = 1;
  float fCentre = 0;
  float fStep = 0;
  int32_t nMode = 2;  // as the view's slab mode: 0 mean, 1 minimum, 2 maximum
};

// The three orthogonal slices of the 3D screen (axis 0 sagittal, 1 coronal, 2 axial).
struct ZR_OrthoViews {
  // Slice positions: x and y as offsets from the centre in texture units (-0.5..0.5), z as
  // the fraction of the padded z range from its centre (-0.5..0.5).
  float afSlice[3] = {0, 0, 0};
  // Which slices get their crosshair, and one axis that never does (-1: none).
  bool abCrosshair[3] = {true, true, true};
  int32_t nExcludedAxis = -1;
};

// One line of study information: where it starts (x and y in units of the view's width and
// height from its lower-left corner) and its text.
struct ZR_StudyLine {
  float x = 0;
  float y = 0;
  std::string text;
};

// The panel a trackball drag happens in.
struct ZR_TrackballView {
  int32_t nWidth = 0;
  int32_t nHeight = 0;
  double dRadius = 0;
};
