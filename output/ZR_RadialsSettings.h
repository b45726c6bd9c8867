#pragma once
// The parameters of a radial series: a rotation about one axis in fixed angle steps.

#include <cstdint>

struct ZR_RadialsSettings {
  int32_t nStartAngle = 0;   // degrees: the first frame's reference
  int32_t nEndAngle = 180;   // degrees: the last frame
  float fAngleStep = 6.0f;   // degrees between frames
  int32_t nFrames = 30;
  int32_t nAxis = 2;         // 0 X, 1 Y, 2 Z
  bool bFlipX = false;       // mirror left-right
  bool bFlipY = false;       // mirror top-bottom
  int32_t nOutput = 0;       // 0 images (series writer), 1 movie
};
