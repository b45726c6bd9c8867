#include "mpr/ZR_MprCrosshair.h"

#include <cmath>

namespace {
float Dot(const float a[3], const float b[3]) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// Squared length and the distance of (x, y) from the infinite line through a rectangle's
// end points.
bool NearLine(const int32_t rect[4], int32_t x, int32_t y, int32_t tolerance) {
  const double dx = rect[2] - rect[0], dy = rect[3] - rect[1];
  const double lengthSquared = dx * dx + dy * dy;
  if (lengthSquared <= ZR_MprCrosshair::kShortestGrab) return false;
  const double cross = (x - rect[0]) * dy - (y - rect[1]) * dx;
  return std::fabs(cross) / std::sqrt(lengthSquared) < tolerance;
}
}  // namespace

void ZR_MprCrosshair::ShownPlanes(int32_t panel, int32_t out[2]) {
  out[0] = out[1] = -1;
  switch (panel) {
    case 4:
      out[0] = 6;
      out[1] = 5;
      break;
    case 5:
      out[0] = 4;
      out[1] = 6;
      break;
    case 6:
      out[0] = 4;
      out[1] = 5;
      break;
    default:
      break;
  }
}

bool ZR_MprCrosshair::Intersect(const float n1[3], float c1, const float n2[3], float c2, float point[3],
                                float direction[3]) {
  direction[0] = n1[1] * n2[2] - n1[2] * n2[1];
  direction[1] = n1[2] * n2[0] - n1[0] * n2[2];
  direction[2] = n1[0] * n2[1] - n1[1] * n2[0];
  int k = 0;
  for (int i = 1; i < 3; ++i)
    if (std::fabs(direction[i]) > std::fabs(direction[k])) k = i;
  // With the coordinate k set to 0 the two equations in the others have the determinant
  // direction[k] (a, b follow k cyclically).
  const int a = (k + 1) % 3, b = (k + 2) % 3;
  const float det = n1[a] * n2[b] - n1[b] * n2[a];
  if (!(std::fabs(det) > kParallel)) return false;
  point[k] = 0;
  point[a] = (c1 * n2[b] - n1[b] * c2) / det;
  point[b] = (n1[a] * c2 - c1 * n2[a]) / det;
  return true;
}

std::vector<ZR_MprCrosshair::Line> ZR_MprCrosshair::Lines(const MprViewInfo views[], int32_t panel,
                                                         const ZR_MprPane& pane) {
  std::vector<Line> lines;
  int32_t shown[2];
  ShownPlanes(panel, shown);
  if (shown[0] < 0 || !pane.Valid()) return lines;
  const MprViewInfo& self = views[panel];
  const float* p = self.Position();
  const float* right = self.Axis(0);
  const float* up = self.Axis(1);
  const float* normal = self.Axis(2);
  const float half = pane.fExtent / 2;
  for (int32_t other : shown) {
    const MprViewInfo& view = views[other];
    const float* n = view.Axis(2);
    const float extent = view.fSlabExtent * pane.fExtent;
    for (int32_t side : {0, 1, -1}) {
      if (side != 0 && !view.Slabbed()) break;
      float x[3], d[3];
      if (!Intersect(n, Dot(n, view.Position()) + static_cast<float>(side) * extent / 2, normal, Dot(normal, p), x, d))
        break;  // parallel: neither the plane nor its boundaries cut this view
      const float w[3] = {x[0] - p[0], x[1] - p[1], x[2] - p[2]};
      const float u0 = Dot(w, right), v0 = Dot(w, up);
      const float du = Dot(d, right), dv = Dot(d, up);
      Line line;
      line.nPlane = other;
      line.nSide = side;
      line.nSlot = side == 0 ? PlaneSlot(other) : BoundarySlot(other, side);
      if (std::fabs(du) >= std::fabs(dv)) {
        line.afFrom[0] = -half;
        line.afTo[0] = half;
        line.afFrom[1] = v0 + (-half - u0) * dv / du;
        line.afTo[1] = v0 + (half - u0) * dv / du;
      } else {
        line.afFrom[1] = -half;
        line.afTo[1] = half;
        line.afFrom[0] = u0 + (-half - v0) * du / dv;
        line.afTo[0] = u0 + (half - v0) * du / dv;
      }
      line.aPixels[0] = static_cast<int32_t>(pane.PixelX(line.afFrom[0]));
      line.aPixels[1] = static_cast<int32_t>(pane.PixelY(line.afFrom[1]));
      line.aPixels[2] = static_cast<int32_t>(pane.PixelX(line.afTo[0]));
      line.aPixels[3] = static_cast<int32_t>(pane.PixelY(line.afTo[1]));
      lines.push_back(line);
    }
  }
  return lines;
}

void ZR_MprCrosshair::StoreRects(MprViewInfo& view, const std::vector<Line>& lines) {
  view.ClearLineRects();
  for (const Line& line : lines)
    for (int i = 0; i < 4; ++i) view.aLineRects[line.nSlot][i] = line.aPixels[i];
}

int32_t ZR_MprCrosshair::HitTest(const MprViewInfo& view, int32_t panel, int32_t x, int32_t y,
                                 int32_t tolerance) {
  int32_t shown[2];
  ShownPlanes(panel, shown);
  if (shown[0] < 0) return kNone;
  const bool first = NearLine(view.aLineRects[PlaneSlot(shown[0])], x, y, tolerance);
  const bool second = NearLine(view.aLineRects[PlaneSlot(shown[1])], x, y, tolerance);
  if (first && second) return kCrossing4 + panel - 4;
  if (first) return PlaneCode(shown[0]);
  if (second) return PlaneCode(shown[1]);
  for (int32_t plane : {6, 5, 4})
    for (int32_t side : {1, -1})
      if (NearLine(view.aLineRects[BoundarySlot(plane, side)], x, y, tolerance)) return BoundaryCode(plane, side);
  return kNone;
}

void ZR_MprCrosshair::Grabbed(int32_t code, int32_t planes[2], int32_t* side) {
  planes[0] = planes[1] = -1;
  *side = 0;
  if (code >= kPlane4 && code < kCrossing4) {
    planes[0] = 4 + code - kPlane4;
  } else if (code >= kCrossing4 && code < kBoundary4Plus) {
    ShownPlanes(4 + code - kCrossing4, planes);
  } else if (code >= kBoundary4Plus && code <= kLast) {
    planes[0] = 4 + (code - kBoundary4Plus) / 2;
    *side = (code - kBoundary4Plus) % 2 == 0 ? 1 : -1;
  }
}

int32_t ZR_MprCrosshair::TargetOfCode(int32_t code, int32_t panel) {
  int32_t planes[2], side = 0;
  Grabbed(code, planes, &side);
  return planes[0] >= 0 && planes[1] < 0 ? planes[0] : panel;
}

bool ZR_MprCrosshair::Highlighted(const Line& line, int32_t code) {
  int32_t planes[2], side = 0;
  Grabbed(code, planes, &side);
  return side == line.nSide && (planes[0] == line.nPlane || planes[1] == line.nPlane);
}
