#pragma once
// What pointer motion and the wheel do to the MPR planes: a grabbed crosshair line moves the
// other plane along its normal, a grabbed slab boundary widens or narrows that view's slab,
// the wheel steps the target plane along its normal, and the middle button of the 3D pane
// changes the target's slab extent.

#include <cstdint>

#include "mpr/MprViewInfo.h"
#include "mpr/ZR_MprPane.h"

class ZR_MprDrag {
 public:
  // The box-space displacement of a pointer motion of (dx, dy) pixels (dy downwards) in a
  // pane: dx/W x E along its right and dy/H x E along its up direction.
  static void DragVector(const MprViewInfo& view, float dx, float dy, const ZR_MprPane& pane, float out[3]);

  // Applies a drag of the grabbed `code` by (dx, dy) pixels in `panel`: a plane line moves
  // its plane by (d . n) along its normal n (both planes for a crossing); a slab boundary
  // changes that view's extent in mm by 2 (d . n) P / E, widening for the + boundaries and
  // narrowing for the - ones, never below 0. `physicalLength` is P, the largest side in mm.
  // Returns the views changed as a bit mask (1 << panel); 0 for no code.
  static uint32_t DragLine(MprViewInfo views[], int32_t panel, int32_t code, float dx, float dy,
                           const ZR_MprPane& pane, float physicalLength);

  // The wheel's step along the normal, signed like `delta`: 0.05 D with Ctrl, 0.1 with Shift,
  // otherwise min(2, 0.025 D); D is the third box extent. 0 for a delta of 0.
  static float WheelStep(int32_t delta, bool ctrl, bool shift, float depth);
  // Moves a plane along its normal.
  static void MoveAlongNormal(MprViewInfo& view, float distance);

  // The slab extent (mm) grows by dx x slice distance while it stays above one slice distance
  // and below `largestCount` slice distances; false (nothing changed) otherwise.
  static bool ChangeSlabExtent(MprViewInfo& view, int32_t dx, float sliceDistance, int32_t largestCount,
                               float physicalLength);
  // Sets the extent in mm and its normalised value (mm / P).
  static void SetSlabExtent(MprViewInfo& view, float millimetres, float physicalLength);
};
