#include "tests/support/ZR_TestVolume.h"

#include <chrono>
#include <cmath>

std::vector<uint16_t> ZR_TestVolume::Make(const int32_t dims[3], const VoxelFunction& value) {
  std::vector<uint16_t> voxels(size_t(dims[0]) * dims[1] * dims[2]);
  size_t i = 0;
  for (int32_t z = 0; z < dims[2]; ++z)
    for (int32_t y = 0; y < dims[1]; ++y)
      for (int32_t x = 0; x < dims[0]; ++x) voxels[i++] = value(x, y, z);
  return voxels;
}

std::vector<uint16_t> ZR_TestVolume::Phantom(const int32_t d[3]) {
  return Make(d, [d](int32_t x, int32_t y, int32_t z) -> uint16_t {
    const double u = (x - d[0] / 2.0) / (0.40 * d[0]);
    const double v = (y - d[1] / 2.0) / (0.46 * d[1]);
    const double w = (z - d[2] / 2.0) / (0.48 * d[2]);
    const double r = std::sqrt(u * u + v * v + w * w);
    if (r < 0.90) return static_cast<uint16_t>(1040 + (x * 7 + y * 13 + z * 5) % 60);
    if (r < 1.0) return 2200;
    return 0;
  });
}

std::string ZR_TestVolume::Upload(RenderShared& shared, ZR_Texture3dRenderer& renderer,
                                  const int32_t dims[3], const float scale[3],
                                  const std::vector<uint16_t>& stored, int32_t reduction,
                                  double* uploadSeconds) {
  const size_t count = size_t(dims[0]) * dims[1] * dims[2];
  if (stored.size() != count) return "wrong voxel count";
  if (!shared.Gl()) return "no OpenGL";
  shared.SetVoxelScale(scale[0], scale[1], scale[2]);
  shared.SetFullDimensions(dims[0], dims[1], dims[2]);
  int32_t small[3];
  for (int i = 0; i < 3; ++i)
    small[i] = static_cast<int32_t>(std::floor(double(dims[i]) / reduction + 0.5));
  shared.SetReducedDimensions(small[0], small[1], small[2]);

  renderer.SetReducedResolution(false, 1);
  shared.SelectCopy(false);
  if (!renderer.AllocateUploadBuffer()) return "full buffer not allocated";
  uint16_t* full = renderer.MapUploadBuffer(GL_READ_WRITE);
  if (!full) return "full buffer not mapped";
  for (size_t i = 0; i < count; ++i) full[i] = static_cast<uint16_t>(stored[i] * 16);

  renderer.SetReducedResolution(true, reduction);
  shared.SelectCopy(true);
  if (!renderer.AllocateUploadBuffer()) return "reduced buffer not allocated";
  uint16_t* reduced = renderer.MapUploadBuffer(GL_WRITE_ONLY);
  if (!reduced) return "reduced buffer not mapped";
  shared.SetVoxelBuffers(full, reduced);
  if (!renderer.BuildReducedCopy(full, dims, reduced, small)) return "reduced copy refused";
  if (renderer.UnmapUploadBuffer() != GL_NO_ERROR) return "reduced buffer not unmapped";
  renderer.SetReducedResolution(false, 1);
  shared.SelectCopy(false);
  if (renderer.UnmapUploadBuffer() != GL_NO_ERROR) return "full buffer not unmapped";
  shared.SetVoxelBuffers(nullptr, nullptr);

  const ZR_GlFunctions& gl = *shared.Gl();
  gl.Finish();
  const auto start = std::chrono::steady_clock::now();
  if (renderer.LoadVolume() != 0) return "LoadVolume failed";
  gl.Finish();
  if (uploadSeconds)
    *uploadSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  renderer.SetReducedResolution(true, reduction);
  shared.SelectCopy(true);
  if (!renderer.Load3dTexture()) return "reduced texture not uploaded";
  renderer.SetReducedResolution(false, 1);
  shared.SelectCopy(false);
  renderer.UploadLut();
  return "";
}

ZR_SliceStack ZR_TestVolume::Stack(const std::vector<uint16_t>& stored, const int32_t dims[3]) {
  ZR_SliceStack stack;
  const size_t slice = size_t(dims[0]) * dims[1];
  for (int32_t z = 0; z < dims[2]; ++z) stack.apSlices.push_back(stored.data() + slice * z);
  stack.nWidth = dims[0];
  stack.nHeight = dims[1];
  return stack;
}
