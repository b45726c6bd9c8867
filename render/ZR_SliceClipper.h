#pragma once
// Cuts a flat polygon to the part that lies inside the volume.
//
// Every slice the renderer draws (the view-aligned slices of the 3D view, the MPR and
// orthogonal slices) is a polygon whose texture coordinates are an affine function of its
// position; the texture matrix then takes them into the volume texture, where the volume is
// the unit cube. Outside that box there is no volume: drawing there
// would only repeat the texels of the box faces, and would cost fragments for nothing. The
// clipped polygon carries at each point the texture coordinate the whole polygon had there,
// so what is drawn inside the box does not change.

#include <array>
#include <cstdint>

#include "render/ZR_Matrix4.h"

struct ZR_ClipVertex {
  std::array<double, 3> afPosition{};
  std::array<double, 3> afTexture{};  // before the texture matrix
};

class ZR_SliceClipper {
 public:
  // A convex polygon of n vertices cut by the six faces of a box has at most n + 6.
  static constexpr int32_t kMaxVertices = 16;
  static constexpr int32_t kMaxInput = kMaxVertices - 6;

  explicit ZR_SliceClipper(const ZR_Matrix4& textureMatrix) : m_oMatrix(textureMatrix) {}

  // Clips the convex polygon `in` (count vertices, at most kMaxInput) to the unit cube of the
  // texture; writes the
  // result (0, or 3 to count + 6 vertices, same winding) to `out` and returns its count.
  int32_t Clip(const ZR_ClipVertex* in, int32_t count, ZR_ClipVertex* out) const;

  // Where a texture coordinate lands in the volume texture.
  std::array<double, 3> InTexture(const std::array<double, 3>& texture) const;

 private:
  ZR_Matrix4 m_oMatrix;
};
