#pragma once
// One view record per panel index. Drawing reads the plane (with its layout, step offset and
// software picture) and the curved-MPR state; the MPR views keep the rest of their state
// (crosshair rectangles, slab settings, the curve itself) beside it.

#include "render/ZR_ViewRecords.h"

struct MprViewInfo {
  ZR_ObliqueView oView;
  bool bCurveMode = false;  // this view is in curved-MPR mode
  bool bHasCurve = false;   // its curve has been drawn (the curved-MPR panel has something to show)
};
