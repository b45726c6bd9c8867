#include "mpr/ZR_MprDrag.h"

#include <algorithm>
#include <cmath>

#include "mpr/ZR_MprCrosshair.h"

namespace {
float Dot(const float a[3], const float b[3]) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
}  // namespace

void ZR_MprDrag::DragVector(const MprViewInfo& view, float dx, float dy, const ZR_MprPane& pane, float out[3]) {
  const float along = pane.UnitsX(dx), down = pane.UnitsY(dy);
  const float* right = view.Axis(0);
  const float* up = view.Axis(1);
  for (int i = 0; i < 3; ++i) out[i] = along * right[i] + down * up[i];
}

uint32_t ZR_MprDrag::DragLine(MprViewInfo views[], int32_t panel, int32_t code, float dx, float dy,
                              const ZR_MprPane& pane, float physicalLength) {
  int32_t planes[2], side = 0;
  ZR_MprCrosshair::Grabbed(code, planes, &side);
  if (planes[0] < 0 || !pane.Valid()) return 0;
  float d[3];
  DragVector(views[panel], dx, dy, pane, d);
  uint32_t moved = 0;
  for (int32_t plane : planes) {
    if (plane < 0) continue;
    MprViewInfo& view = views[plane];
    const float along = Dot(d, view.Axis(2));
    if (side == 0) {
      MoveAlongNormal(view, along);
    } else {
      // A slab cannot be thinner than nothing.
      const float change = 2 * along * physicalLength / pane.fExtent * static_cast<float>(side);
      SetSlabExtent(view, std::max(0.0f, view.fSlabExtentMm + change), physicalLength);
      view.MarkMoved();
    }
    moved |= 1u << plane;
  }
  return moved;
}

float ZR_MprDrag::WheelStep(int32_t delta, bool ctrl, bool shift, float depth) {
  if (delta == 0) return 0;
  const float step = ctrl ? 0.05f * depth : shift ? 0.1f : std::min(2.0f, 0.025f * depth);
  return delta > 0 ? step : -step;
}

void ZR_MprDrag::MoveAlongNormal(MprViewInfo& view, float distance) {
  const float* n = view.Axis(2);
  float* p = view.Position();
  for (int i = 0; i < 3; ++i) p[i] += distance * n[i];
  view.MarkMoved();
}

bool ZR_MprDrag::ChangeSlabExtent(MprViewInfo& view, int32_t dx, float sliceDistance, int32_t largestCount,
                                  float physicalLength) {
  const float extent = view.fSlabExtentMm + static_cast<float>(dx) * sliceDistance;
  if (!(extent > sliceDistance && extent < static_cast<float>(largestCount) * sliceDistance)) return false;
  SetSlabExtent(view, extent, physicalLength);
  view.MarkMoved();
  return true;
}

void ZR_MprDrag::SetSlabExtent(MprViewInfo& view, float millimetres, float physicalLength) {
  view.fSlabExtentMm = millimetres;
  view.fSlabExtent = physicalLength > 0 ? millimetres / physicalLength : 0;
}
