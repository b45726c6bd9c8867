#pragma once
// Synthetic volumes of stored values (0..4095, x fastest, then y, then z) for the rendering
// tests and benchmarks, and the upload of one into the texture renderer the way the loader
// does it (upload buffers, reduced copy, textures).

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "render/RenderShared.h"
#include "render/ZR_SliceStack.h"
#include "render/ZR_Texture3dRenderer.h"

class ZR_TestVolume {
 public:
  using VoxelFunction = std::function<uint16_t(int32_t x, int32_t y, int32_t z)>;

  static std::vector<uint16_t> Make(const int32_t dims[3], const VoxelFunction& value);
  // A head-like phantom: air, an ellipsoid of soft tissue with some texture, a bone shell.
  static std::vector<uint16_t> Phantom(const int32_t dims[3]);

  // Hands the volume to `shared` and `renderer`; the reduced copy uses `reduction`. Returns
  // the first failure as text, empty on success; `uploadSeconds` gets the time of the full
  // copy's first upload.
  static std::string Upload(RenderShared& shared, ZR_Texture3dRenderer& renderer,
                            const int32_t dims[3], const float scale[3],
                            const std::vector<uint16_t>& stored, int32_t reduction,
                            double* uploadSeconds = nullptr);

  // A slice stack over `stored` (which must outlive it): slice z is the z-th slab of
  // dims[0] x dims[1] values, an axial stack of unit spacing at the origin unless changed.
  static ZR_SliceStack Stack(const std::vector<uint16_t>& stored, const int32_t dims[3]);
};
