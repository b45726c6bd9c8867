#pragma once
// How an MPR pane shows its plane: the square [-E/2, E/2] x [-E/2, E/2] of the plane (E the
// box extent), with the right direction across the pane and the up direction down it (image
// row 0 at the top, as the renderer draws it), stretched over the pane's pixels.

#include <cstdint>

struct ZR_MprPane {
  float fExtent = 0;
  int32_t nWidth = 0;
  int32_t nHeight = 0;

  bool Valid() const { return fExtent > 0 && nWidth > 0 && nHeight > 0; }
  // Plane coordinates (u along right, v along up, box units from the view's position) to pane
  // pixels, and a pointer displacement in pixels to plane coordinates.
  float PixelX(float u) const { return (u + fExtent / 2) / fExtent * static_cast<float>(nWidth); }
  float PixelY(float v) const { return (v + fExtent / 2) / fExtent * static_cast<float>(nHeight); }
  float UnitsX(float dx) const { return dx / static_cast<float>(nWidth) * fExtent; }
  float UnitsY(float dy) const { return dy / static_cast<float>(nHeight) * fExtent; }
};
