#pragma once
// What the measurement tools hold between pointer events: the ruler's and the angle's pending
// points, the ROI's anchor and far corner, and which list of which view received the last
// annotation. Points are in normalised view coordinates.

#include <cstdint>

#include "core/ZR_Ids.h"
#include "core/ZR_Vocabulary.h"
#include "measure/ZR_Annotations.h"

struct ZR_MeasureState {
  struct Point {
    float x = 0, y = 0;
  };

  // The tool the pending points belong to: another tool starts afresh.
  ZR_MprTool nTool = ZR_MprTool::WindowLevel;
  Point aRuler[2];
  int32_t nRulerPoints = 0;
  Point aAngle[3];  // first point, vertex, end
  int32_t nAnglePoints = 0;
  Point oRoiAnchor;
  Point oRoiCorner;
  bool bRoiAnchored = false;
  // None until the first measurement.
  int32_t nLastView = ZR_Panel::None;
  ZR_Annotations::List nLastList = ZR_Annotations::List::PixelValues;

  void DropPending() {
    nRulerPoints = 0;
    nAnglePoints = 0;
    bRoiAnchored = false;
  }
};
