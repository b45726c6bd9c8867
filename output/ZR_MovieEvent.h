#pragma once
// One recorded drag of the 3D view: where it went, the buttons and the tool at the time, and
// what the view showed (cut, cut plane, VOI). A movie replays one frame per event.

#include <cstdint>

struct ZR_MovieEvent {
  int32_t nFromX = 0;
  int32_t nFromY = 0;
  int32_t nToX = 0;
  int32_t nToY = 0;
  bool bLeftDown = false;
  bool bMiddleDown = false;
  bool bRightDown = false;
  int32_t nInteractionMode = 0;  // the 3D tool
  bool bCutOn = false;
  bool bShowCutPlane = false;
  bool bVoiOn = false;
};
