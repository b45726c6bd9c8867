#pragma once
// The screen shown and how its 3D view is drawn: the render mode and 3D tool, the quality
// levels, the last 3D frame still on screen, snapshot mode, the 3D trackball, and the cut
// plane and MIP threshold choices.

#include <cstdint>

#include "core/ZR_Vocabulary.h"
#include "edit3d/ZR_VoiOutline.h"
#include "render/RenderState.h"
#include "render/ZR_ViewRecords.h"

struct ZR_ScreenState {
  ZR_Screen nScreen = ZR_Screen::Mpr;
  ZR_RenderMode nRenderMode = ZR_RenderMode::Colour;
  ZR_Tool3d nTool3d = ZR_Tool3d::Rotate;
  bool bShading = false;
  int32_t nRenderQuality = 0;
  int32_t nStillQuality = 3;
  int32_t nRepaintQuality = 3;
  int32_t nFinalMethod = 2;
  bool bAutoQuality = true;
  // The 3D panel the last 3D frame was drawn into, for which view (the renderer's change
  // count), at which quality and size: while they hold, its buffer still holds that picture,
  // so a repaint of it (an expose, a layout pass) shows it again.
  struct LastFrame {
    int32_t nPanel = -1;
    int64_t nChanges = -1;
    bool bReduced = false;
    int32_t nReduction = 1;
    float fRate = 0;
    int32_t aSize[2] = {0, 0};
  };
  LastFrame oLastFrame;
  bool bSnapshotMode = false;
  int32_t nSavedCursor = 0;  // panel 0's cursor while snapshot mode shows its own
  ZR_TrackballView oTrackball{1024, 768, 512.0};
  bool bCutView = false;
  bool bCutaway = false;  // cutaway correlation: panel 8 is cut by the main MPR view's plane
  CutPlaneSettings oCutPlaneDisplay;
  // Where the orthogonal panes (1..3) last drew the VOI outline, for picking its edges.
  ZR_VoiOutline::Edges aVoiEdges[3];
  bool bMipThreshold = false;
  int32_t nMipThresholdIndex = 0;

  bool IsMpr() const { return nScreen == ZR_Screen::Mpr; }
  bool Is3d() const { return nScreen == ZR_Screen::View3d; }
  bool IsColour() const { return nRenderMode == ZR_RenderMode::Colour; }
  // The window tools have no meaning for the modes that do not use that window.
  static bool ModeDropsTool(ZR_RenderMode mode, ZR_Tool3d tool) {
    const bool opacity = tool == ZR_Tool3d::OpacityWindowLevel;
    if (mode == ZR_RenderMode::Colour) return opacity || tool == ZR_Tool3d::WindowLevel;
    return mode == ZR_RenderMode::Mip && opacity;
  }
};
