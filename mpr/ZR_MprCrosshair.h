#pragma once
// The crosshair lines of the MPR views: where the other planes (and their slab boundaries)
// cut a view, the codes of the lines a pointer can grab, and the hover test over the end
// points a view stored when it was drawn. Pane 4 shows the lines of planes 6 and 5, pane 5
// those of 4 and 6, pane 6 those of 4 and 5; pane 7 shows none.

#include <cstdint>
#include <vector>

#include "mpr/MprViewInfo.h"
#include "mpr/ZR_MprPane.h"

class ZR_MprCrosshair {
 public:
  // Grab codes: a plane line of view 4, 5, 6; both plane lines at once (their crossing) in
  // view 4, 5, 6; the slab boundaries of view 4, 5, 6 at +extent/2 and -extent/2.
  static constexpr int32_t kNone = 0;
  static constexpr int32_t kPlane4 = 12;
  static constexpr int32_t kCrossing4 = 15;
  static constexpr int32_t kBoundary4Plus = 18;
  static constexpr int32_t kLast = 23;
  // Plane line end points closer than this (length squared in pixels) cannot be grabbed.
  static constexpr int32_t kShortestGrab = 12;
  // Determinants of the plane intersection at or below this mean parallel planes.
  static constexpr float kParallel = 0.001f;

  struct Line {
    int32_t nSlot = 0;   // line rectangle slot (MprViewInfo::aLineRects)
    int32_t nPlane = 0;  // the view (4..6) whose plane it is
    int32_t nSide = 0;   // 0 the plane itself; +1, -1 its slab boundary at +, - extent/2
    float afFrom[2] = {0, 0};  // (u, v) plane coordinates of the pane, box units
    float afTo[2] = {0, 0};
    int32_t aPixels[4] = {0, 0, 0, 0};  // x1, y1, x2, y2
  };

  // The lines view `panel` shows of the other planes, drawn across the whole square; none
  // for a plane parallel to the view. `views` is indexed by panel (12 records).
  static std::vector<Line> Lines(const MprViewInfo views[], int32_t panel, const ZR_MprPane& pane);
  // The end points of `lines` into the view's rectangles; every other slot is cleared.
  static void StoreRects(MprViewInfo& view, const std::vector<Line>& lines);
  // The code of the line under the pointer from the view's stored rectangles (0 for none):
  // plane lines first (both: the crossing), then the slab boundaries of 6, 5 and 4.
  static int32_t HitTest(const MprViewInfo& view, int32_t panel, int32_t x, int32_t y, int32_t tolerance);

  // The views a code moves (up to two, -1 where none), and whether it is a slab boundary
  // (`side` +1 or -1) or a plane line (0).
  static void Grabbed(int32_t code, int32_t planes[2], int32_t* side);
  // The view whose plane the 3D view shows while `code` is grabbed in `panel`: the owner of
  // a single plane line or boundary, otherwise the panel itself.
  static int32_t TargetOfCode(int32_t code, int32_t panel);
  // Whether a line is drawn as grabbed or hovered while `code` is the grabbed code.
  static bool Highlighted(const Line& line, int32_t code);

  static int32_t PlaneSlot(int32_t plane) { return ByPlane(plane, 2, 1, 0); }
  static int32_t BoundarySlot(int32_t plane, int32_t side) {
    return ByPlane(plane, 7, 5, 3) + (side < 0 ? 1 : 0);
  }
  static int32_t PlaneCode(int32_t plane) { return kPlane4 + plane - 4; }
  static int32_t BoundaryCode(int32_t plane, int32_t side) {
    return kBoundary4Plus + 2 * (plane - 4) + (side < 0 ? 1 : 0);
  }
  // The two planes whose lines view `panel` shows (-1 for pane 7 and other panels).
  static void ShownPlanes(int32_t panel, int32_t out[2]);

  // Where two planes n1 . x = c1 and n2 . x = c2 meet: a point (its coordinate along the
  // direction's largest component 0) and the direction n1 x n2; false when they are parallel.
  static bool Intersect(const float n1[3], float c1, const float n2[3], float c2, float point[3], float direction[3]);

 private:
  static int32_t ByPlane(int32_t plane, int32_t of4, int32_t of5, int32_t of6) {
    return plane == 4 ? of4 : plane == 5 ? of5 : of6;
  }
};
