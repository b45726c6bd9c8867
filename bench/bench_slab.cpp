// The software slab: a 40-plane slab (sub-planes one voxel apart) of a 512 x 512 pane through
// a 512 x 512 x 400 phantom, axial and double oblique, beside the plain per-sample loop (every
// pixel, every sub-plane, one trilinear sample through a function call) and a floor measured
// in the same run: one read of as many voxel bytes as the slab covers, folded by maximum into
// the pane, which no slab can beat. The kernel cases report how many pixels differ from the
// plain loop by more than 1.
//
//   build/release/bench/bench_slab --benchmark_repetitions=5
//                                  --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <vector>

#include "core/ZR_Result.h"
#include "render/ZR_Matrix4.h"
#include "render/ZR_RowWorkers.h"
#include "render/ZR_SoftwareRenderer.h"
#include "tests/support/ZR_SlabReference.h"
#include "tests/support/ZR_TestVolume.h"

namespace {

enum Plane { kAxial = 0, kOblique = 1 };
constexpr int32_t kPlanes = 40;
constexpr int32_t kDims[3] = {512, 512, 400};

struct Scene {
  std::vector<uint16_t> stored;
  RenderShared shared;
  std::unique_ptr<ZR_SoftwareRenderer> renderer;
  int32_t dims[3] = {kDims[0], kDims[1], kDims[2]};
  std::map<int, int64_t> insideSamples;  // per plane kind
};

Scene& Get() {
  static std::unique_ptr<Scene> scene;
  if (scene) return *scene;
  scene = std::make_unique<Scene>();
  scene->stored = ZR_TestVolume::Phantom(kDims);
  scene->shared.SetVoxelScale(1, 1, 1);
  scene->shared.SetSliceStack(ZR_TestVolume::Stack(scene->stored, kDims));
  scene->shared.SetFullDimensions(kDims[0], kDims[1], kDims[2]);
  scene->shared.SelectCopy(false);
  scene->renderer = std::make_unique<ZR_SoftwareRenderer>(scene->shared);
  if (scene->renderer->LoadVolume() != VR_OK) std::abort();
  return *scene;
}

ZR_ObliqueView View(Plane plane) {
  ZR_ObliqueView view;
  if (plane == kOblique)
    (ZR_Matrix4::Rotation(30, 1, 0, 0) * ZR_Matrix4::Rotation(-20, 0, 1, 0) * ZR_Matrix4::Rotation(10, 0, 0, 1))
        .ToFloats(view.oPlane.afRotation);
  return view;
}

// One voxel per sub-plane: the largest side (512 voxels) is one unit of offset.
ZR_SlabSpec Spec(int32_t mode) {
  ZR_SlabSpec spec;
  spec.nPlanes = kPlanes;
  spec.fStep = 1.0f / 512;
  spec.nMode = mode;
  return spec;
}

ZR_ResliceReference::Result PlainLoop(Scene& scene, Plane plane, int32_t mode) {
  const ZR_ObliqueView view = View(plane);
  const ZR_SoftwareRenderer::Plane centre = scene.renderer->SetUpPlane(view);
  const ZR_SlabSpec spec = Spec(mode);
  double shift[3];
  for (int k = 0; k < 3; ++k) shift[k] = centre.adNormalStep[k] * spec.fStep;
  return ZR_SlabReference::Slab(scene.shared.SliceStack(), scene.dims, centre, shift, spec.nPlanes, mode,
                                scene.dims[0], scene.dims[1], false);
}

// Samples of the slab inside the volume: the voxels it has to read at the least.
int64_t InsideSamples(Scene& scene, Plane plane) {
  auto found = scene.insideSamples.find(plane);
  if (found != scene.insideSamples.end()) return found->second;
  const ZR_SoftwareRenderer::Plane centre = scene.renderer->SetUpPlane(View(plane));
  const double step = Spec(2).fStep;
  int64_t count = 0;
  for (int32_t i = 0; i < scene.dims[1]; ++i)
    for (int32_t j = 0; j < scene.dims[0]; ++j)
      for (int32_t k = 0; k < kPlanes; ++k) {
        bool inside = true;
        for (int a = 0; a < 3; ++a) {
          const double p = centre.adStart[a] + centre.adRowStep[a] * (j + 1) + centre.adColumnStep[a] * i +
                           centre.adNormalStep[a] * step * (k - (kPlanes - 1) / 2.0);
          inside = inside && p >= 1 && p < scene.dims[a] - 1;
        }
        count += inside;
      }
  scene.insideSamples[plane] = count;
  return count;
}

// Arguments: plane, mode (0 mean, 1 minimum, 2 maximum), threads.
void BM_Slab(benchmark::State& state) {
  Scene& scene = Get();
  const auto plane = static_cast<Plane>(state.range(0));
  const auto mode = static_cast<int32_t>(state.range(1));
  const ZR_ObliqueView view = View(plane);
  const ZR_SlabSpec spec = Spec(mode);
  scene.renderer->SetThreadCount(static_cast<int32_t>(state.range(2)));
  (void)scene.renderer->GetRawSlab(view, spec, nullptr, nullptr);  // wake the threads once
  for (auto _ : state) benchmark::DoNotOptimize(scene.renderer->GetRawSlab(view, spec, nullptr, nullptr));
  const ZR_ResliceReference::Result reference = PlainLoop(scene, plane, mode);
  int32_t largest = 0;
  state.counters["beyond_1"] =
      static_cast<double>(ZR_ResliceReference::Mismatches(reference, scene.renderer->Raw(), 1, &largest));
  state.counters["largest_diff"] = largest;
  state.SetItemsProcessed(state.iterations() * scene.dims[0] * scene.dims[1] * kPlanes);
}

// Arguments: plane, mode.
void BM_PlainLoop(benchmark::State& state) {
  Scene& scene = Get();
  const auto plane = static_cast<Plane>(state.range(0));
  const auto mode = static_cast<int32_t>(state.range(1));
  for (auto _ : state) benchmark::DoNotOptimize(PlainLoop(scene, plane, mode).aValues.data());
  state.SetItemsProcessed(state.iterations() * scene.dims[0] * scene.dims[1] * kPlanes);
}

// As many voxels as the slab covers inside the volume, read once from consecutive slices and
// folded by maximum into the pane (rows shared between the threads as the slab shares tiles).
// Arguments: plane, threads.
void BM_Floor(benchmark::State& state) {
  Scene& scene = Get();
  const auto plane = static_cast<Plane>(state.range(0));
  const int64_t pane = int64_t{scene.dims[0]} * scene.dims[1];
  const int64_t voxels = InsideSamples(scene, plane);
  const int64_t full = voxels / pane, rest = voxels % pane;  // whole slices, then part of one
  ZR_RowWorkers workers(static_cast<int32_t>(state.range(1)));
  std::vector<uint16_t> out(static_cast<size_t>(pane));
  const uint16_t* voxel = scene.stored.data();
  const int32_t width = scene.dims[0];
  auto rows = [&](int32_t first, int32_t end) {
    const int64_t from = int64_t{first} * width, to = int64_t{end} * width;
    uint16_t* o = out.data();
    std::fill(o + from, o + to, uint16_t{0});
    for (int64_t z = 0; z <= full; ++z) {
      const uint16_t* slice = voxel + z * pane;
      const int64_t stop = z < full ? to : std::min(to, rest);
      for (int64_t k = from; k < stop; ++k) o[k] = std::max(o[k], slice[k]);
    }
  };
  workers.Run(scene.dims[1], 8, rows);
  for (auto _ : state) {
    workers.Run(scene.dims[1], 8, rows);
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["MB_read"] = static_cast<double>(voxels) * 2 / 1e6;
  state.SetBytesProcessed(state.iterations() * voxels * 2);
}

BENCHMARK(BM_Slab)
    ->ArgNames({"plane", "mode", "threads"})
    ->Args({kAxial, 2, 1})
    ->Args({kAxial, 2, 2})
    ->Args({kOblique, 2, 1})
    ->Args({kOblique, 2, 2})
    ->Args({kOblique, 0, 2})
    ->Args({kOblique, 1, 2})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainLoop)
    ->ArgNames({"plane", "mode"})
    ->Args({kAxial, 2})
    ->Args({kOblique, 2})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Floor)
    ->ArgNames({"plane", "threads"})
    ->Args({kAxial, 1})
    ->Args({kAxial, 2})
    ->Args({kOblique, 2})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
