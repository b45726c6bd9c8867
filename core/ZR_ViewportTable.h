#pragma once
// The main window's table of drawing surfaces and panel sizes, read by the engine.
// Entries 0..11 are surface handles and are pointer-sized (a 64-bit handle must survive);
// the sizes stay 32-bit. Entries 12..35 are the (width, height) pairs of panels 0..9 and of
// the two radial-MIP preview windows, so size entry i belongs to panel (i - 12) / 2.

#include <cstdint>

class ZR_DrawSurface;

struct ZR_ViewportTable {
  static constexpr int32_t kSurfaceCount = 12;
  static constexpr int32_t kEntryCount = 36;

  ZR_DrawSurface* aSurfaces[kSurfaceCount] = {};
  int32_t aSizes[2 * kSurfaceCount] = {};

  int32_t Width(int32_t panel) const { return aSizes[2 * panel]; }
  int32_t Height(int32_t panel) const { return aSizes[2 * panel + 1]; }
  void SetSize(int32_t panel, int32_t width, int32_t height) {
    aSizes[2 * panel] = width;
    aSizes[2 * panel + 1] = height;
  }
};
