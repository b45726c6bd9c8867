#pragma once
// What a 3D view must show, computed from the geometry alone: for every pixel of a panel,
// whether its viewing ray meets one of a set of boxes (in extent units, centred on the
// volume as the renderer centres it). The renderer's rotation takes the volume to the eye
// and the view window maps the eye to the pixels; a ray runs along the eye's z.

#include <cstdint>
#include <vector>

class RenderShared;

class ZR_RayProjection {
 public:
  struct Box {
    double afLow[3];
    double afHigh[3];
  };
  enum : uint8_t { kMiss = 0, kHit = 1, kEdge = 2 };

  // Per pixel (rows top first): kHit when the ray meets a box even shrunk by `margin`
  // pixels, kMiss when it misses it even grown by that much, kEdge between.
  static std::vector<uint8_t> Project(const RenderShared& shared, int32_t width, int32_t height,
                                      const std::vector<Box>& boxes, double margin = 1.5);
  // The whole volume's box (the current extents, centred).
  static Box VolumeBox(const RenderShared& shared);
};
