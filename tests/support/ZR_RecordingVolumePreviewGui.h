#pragma once
// Test double of the subset preview's contract: records every slot like the general double,
// and its two picture controls are plain 8-bit canvases that keep what was drawn on them
// (stretched by nearest neighbour), so that tests can look at the thumbnails.

#include <cstdint>
#include <vector>

#include "core/ZR_Canvas.h"
#include "tests/support/ZR_RecordingVisGui.h"

class ZR_RecordingCanvas : public ZR_Canvas {
 public:
  void StretchGrey(const uint8_t* pixels, int32_t columns, int32_t rows, int32_t width, int32_t height) override;

  // What the last drawing left: width x height grey bytes, the top row first.
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> pixels;
  int32_t draws = 0;
  uint8_t At(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

class ZR_RecordingVolumePreviewGui : public ZR_RecordingVisGui {
 public:
  static constexpr int32_t kFirstImage = 5;

  ZR_RecordingVolumePreviewGui() : ZR_RecordingVisGui(12) {}

  // Image 5 is the first slice's canvas; any other id the last slice's, as in the dialog.
  ZR_Canvas* GetImageDC(int32_t id) override;

  ZR_RecordingCanvas first;
  ZR_RecordingCanvas last;
};
