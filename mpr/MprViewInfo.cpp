#include "mpr/MprViewInfo.h"

#include <algorithm>

void MprViewInfo::Reset() {
  std::fill_n(oView.oPlane.afPosition, 3, 0.0f);
  std::fill_n(oView.oPlane.afRotation, 16, 0.0f);
  for (int32_t i = 0; i < 4; ++i) oView.oPlane.afRotation[5 * i] = 1.0f;
  nSliceCount = 10;
  bHasCurve = false;
  MarkMoved();
}

void MprViewInfo::MarkMoved() {
  bChanged = true;
  oView.bNeedsReslice = true;
  std::fill_n(aMeasurement, 4, 0);
}

void MprViewInfo::ClearLineRects() {
  for (auto& rect : aLineRects) std::fill_n(rect, 4, 0);
}
