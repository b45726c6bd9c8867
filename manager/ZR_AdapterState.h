#pragma once
// What the graphics adapter found at start-up can do, and what the drawing area allows.

#include <string>

struct ZR_AdapterState {
  bool bSoftwareRendering = false;  // no 3D textures: only the MPR views, on the CPU
  bool bCanShade = false;           // the adapter can do shaded volume rendering
  std::string sGlRenderer;          // the OpenGL renderer string, for start-up messages
  bool bLargeViewport = true;       // the drawing area is large enough for the study details
};
