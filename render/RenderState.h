#pragma once
// The snapshot of the 3D view taken when the 3D screen is left and put back on return.

#include "render/ZR_Box.h"
#include "settings/ZR_Vis3DSettings.h"

struct RenderState {
  float afRotation[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  float afWindow[4] = {0, 0, 0, 0};  // left, right, bottom, top
  float afCutPlaneMatrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  double dCutPosition = 0;
  bool bCutOn = false;
  bool bVoiOn = false;
  CutPlaneSettings oCutPlaneDisplay;
  ZR_Box oVoi;
};
