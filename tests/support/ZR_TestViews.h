#pragma once
// Oblique views for the reslice tests: a plane turned by a rotation and placed at a box point,
// and the double-oblique turn (30 degrees about x, -20 about y, 10 about z) whose rows cross a
// slice every few pixels.

#include "render/ZR_Matrix4.h"
#include "render/ZR_ViewRecords.h"

namespace ZR_TestViews {
inline ZR_ObliqueView View(const ZR_Matrix4& rotation, float x = 0, float y = 0, float z = 0) {
  ZR_ObliqueView view;
  rotation.ToFloats(view.oPlane.afRotation);
  view.oPlane.afPosition[0] = x;
  view.oPlane.afPosition[1] = y;
  view.oPlane.afPosition[2] = z;
  return view;
}

inline ZR_Matrix4 DoubleOblique() {
  return ZR_Matrix4::Rotation(30, 1, 0, 0) * ZR_Matrix4::Rotation(-20, 0, 1, 0) * ZR_Matrix4::Rotation(10, 0, 0, 1);
}
}  // namespace ZR_TestViews
