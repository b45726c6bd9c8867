#pragma once
// The drawing surface of a dialog's picture control, as a dialog contract hands it out
// (ZR_VisGui slot 28). The engine only ever draws grey pictures onto it; the window side
// stretches them to the size asked for and shows them when the control is refreshed.

#include <cstdint>

class ZR_Canvas {
 public:
  // Draws `pixels` (columns x rows bytes, grey levels 0..255, the bottom row first) stretched
  // over the rectangle (0, 0)..(width, height) of the canvas.
  virtual void StretchGrey(const uint8_t* pixels, int32_t columns, int32_t rows, int32_t width,
                           int32_t height) = 0;
  virtual ~ZR_Canvas() = default;

 protected:
  ZR_Canvas() = default;
  ZR_Canvas(const ZR_Canvas&) = delete;
  ZR_Canvas& operator=(const ZR_Canvas&) = delete;
};
