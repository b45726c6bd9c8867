#pragma once
// The MPR screen's layout: the view records of every panel, which view is active and which
// one panel 8 shows, the grabbed crosshair line, the MPR tool and the flags that say when the
// layout is reset.

#include <cstdint>

#include "core/ZR_Ids.h"
#include "core/ZR_Vocabulary.h"
#include "mpr/MprViewInfo.h"
#include "mpr/ZR_StandardOrientations.h"

struct ZR_MprLayout {
  MprViewInfo aViews[ZR_Panel::kPanelCount];
  ZR_OrthoViews oOrthoViews;
  int32_t nActiveView = ZR_Panel::Mpr2;  // the view the controls and keys act on (4..7)
  int32_t nMainView = ZR_Panel::Mpr2;    // the view whose plane panel 8 shows
  int32_t nViewLimit = ZR_Panel::None;
  int32_t nMaximisedSlot = 5;
  int32_t nMeasureView = ZR_Panel::None;
  int32_t nCrosshairDrag = 0;            // crosshair line under or held by the pointer
  // Where the orthogonal panes' slice lines are (ZR_OrthoSliceLines codes 1..6, index code - 1).
  int32_t aSliceLines[6] = {0, 0, 0, 0, 0, 0};
  ZR_MprTool nTool = ZR_MprTool::WindowLevel;
  ZR_MprTool nRememberedTool = ZR_MprTool::WindowLevel;  // what Restore gives back
  bool bLockActiveView = false;
  bool bCrosshair = true;
  bool bGray = true;          // grey MPR views (the window), not coloured by the table
  bool bMprDisplay = false;   // panel 8 follows a plane while it is dragged
  bool bResetOn3D = false;    // the next switch to the 3D screen resets the layout
  bool bResetOnMpr = false;   // the next switch to the MPR screen resets the layout

  MprViewInfo& Active() { return aViews[nActiveView]; }
  const MprViewInfo& Active() const { return aViews[nActiveView]; }
  MprViewInfo& Main() { return aViews[nMainView]; }
  // While Lock Active View holds, only the active view steers panel 8.
  bool Steers(int32_t panel) const { return !bLockActiveView || panel == nActiveView; }

  // The four MPR views at their standard planes, view 6 active and shown by panel 8.
  void ResetPlanes() {
    for (int32_t panel : {ZR_Panel::Mpr2, ZR_Panel::Mpr0, ZR_Panel::Mpr1, ZR_Panel::Mpr3}) {
      aViews[panel].Reset();
      ZR_StandardOrientations::LayoutPlane(panel, aViews[panel].Orientation());
    }
    nActiveView = ZR_Panel::Mpr2;
    nMainView = ZR_Panel::Mpr2;
  }

  // Restore takes the remembered tool back; a measurement is stored as it is; any other tool
  // is remembered first. False when nothing changed (a number outside the tools); `released`
  // tells whether the measurement button lets go.
  bool SelectTool(ZR_MprTool tool, bool* released) {
    *released = false;
    if (tool == ZR_MprTool::Restore) {
      nTool = nRememberedTool;
      return true;
    }
    if (!IsValid(tool)) return false;
    if (!IsMeasurementTool(tool)) {
      nRememberedTool = nTool;
      *released = true;
    }
    nTool = tool;
    return true;
  }
};
