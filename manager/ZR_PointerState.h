#pragma once
// What the pointer is doing over the drawing panels: its last position, the buttons held and
// the flags that tie a press to the moves and the release after it.

#include <cstdint>

struct ZR_PointerState {
  int32_t nLastX = 0;
  int32_t nLastY = 0;
  bool bLeftDown = false;
  bool bRightDown = false;
  bool bMiddleDown = false;
  bool bMoved = false;         // the pointer moved since the last press
  bool bSkipMove = false;      // the next move is ignored (after a double click)
  bool bReleased = false;      // a button was released; cleared by the next handled move
  bool bCapturing = false;     // a snapshot of a panel is being taken
  bool bMovieCapture = false;  // movie capture on: drags are recorded
  int32_t nLineDrag = 0;       // slice line grabbed in an orthogonal pane (1..6)
  int32_t nVoiEdge = 0;        // VOI box edge under the pointer (24..29), 0 for none
  bool bVoiEdgeHit = false;    // the last left press grabbed that edge
  int32_t nPickTolerance = 12; // how near (pixels) a line must be to be grabbed

  bool AnyButton() const { return bLeftDown || bRightDown || bMiddleDown; }
  bool At(int32_t x, int32_t y) const { return x == nLastX && y == nLastY; }
  // The position the next drag step is measured from.
  void MoveTo(int32_t x, int32_t y) {
    nLastX = x;
    nLastY = y;
  }
};
