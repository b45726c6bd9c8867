#include "tests/support/ZR_RecordingVolumePreviewGui.h"

void ZR_RecordingCanvas::StretchGrey(const uint8_t* source, int32_t columns, int32_t rows, int32_t w, int32_t h) {
  width = w;
  height = h;
  pixels.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
  ++draws;
  if (!source || columns <= 0 || rows <= 0) return;
  for (int32_t y = 0; y < h; ++y) {
    // The source's rows come bottom first.
    const int64_t row = rows - 1 - int64_t{y} * rows / h;
    for (int32_t x = 0; x < w; ++x)
      pixels[static_cast<size_t>(y) * w + x] = source[row * columns + int64_t{x} * columns / w];
  }
}

ZR_Canvas* ZR_RecordingVolumePreviewGui::GetImageDC(int32_t id) {
  ZR_RecordingVisGui::GetImageDC(id);
  return id == kFirstImage ? static_cast<ZR_Canvas*>(&first) : &last;
}
