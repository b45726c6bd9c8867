#pragma once
// What is running now, which keeps input and redraws out: a long operation (pointer input
// waits), a panel being drawn (redraw requests that arrive meanwhile are dropped), drawing
// held by a script setting a view up, and the captures that replay into files.

struct ZR_RunState {
  bool bBusy = false;
  bool bDrawing = false;
  bool bDrawingHeld = false;
  bool bMovieRecording = false;
  bool bRadialSeries = false;
  bool bMultiCutSeries = false;

  // A capture loop draws its frames itself: nothing else may draw meanwhile.
  bool CaptureRunning() const { return bMovieRecording || bRadialSeries || bMultiCutSeries; }
};
