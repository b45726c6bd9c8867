// The software reslice of one MPR plane (full quality and the fast path) for the real head CT
// series ct-head-108 (256 x 256 x 108, 1.5 mm slices of 0.957 mm pixels; a phantom of that
// size when the test data is absent) and a 512 x 512 x 400 phantom, beside the plain
// per-pixel loop measured in the same run. Each kernel case also reports how many pixels
// differ from the plain loop by more than 1.
//
//   build/release/bench/bench_reslice --benchmark_repetitions=5
//                                     --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <memory>
#include <vector>

#include "core/ZR_Result.h"
#include "dicom/ZR_DicomReader.h"
#include "render/ZR_Matrix4.h"
#include "render/ZR_SoftwareRenderer.h"
#include "tests/support/ZR_ResliceReference.h"
#include "tests/support/ZR_TestVolume.h"

namespace {

enum Volume { kHead = 0, kLarge = 1 };
// Axial; double oblique (30 degrees about x, -20 about y, 10 about z: every row crosses a
// slice every three pixels); oblique about x alone (30 degrees: rows stay in their slice).
enum Plane { kAxial = 0, kOblique = 1, kTilted = 2 };

struct Scene {
  ZR_DicomVolume study;  // the real series, when read
  std::vector<uint16_t> stored;
  RenderShared shared;
  std::unique_ptr<ZR_SoftwareRenderer> renderer;
  int32_t dims[3] = {0, 0, 0};
};

// The folder of the real series, as the tests find it; empty when there is none.
std::filesystem::path HeadSeries() {
  std::vector<std::filesystem::path> roots;
  if (const char* env = std::getenv("LMX_TEST_DATA")) roots.emplace_back(env);
  roots.emplace_back(std::filesystem::path(LMX_SOURCE_DIR) / "../shared/data");
  roots.emplace_back(std::filesystem::path(LMX_SOURCE_DIR) / "build/testdata");
  for (const auto& root : roots)
    if (std::filesystem::is_directory(root / "series/ct-head-108")) return root / "series/ct-head-108";
  return {};
}

bool ReadHead(Scene& scene) {
  const std::filesystem::path dir = HeadSeries();
  if (dir.empty()) return false;
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  ZR_DicomReader reader;
  if (reader.ReadSeries(files, scene.study) != VR_OK) return false;
  ZR_SliceStack stack;
  for (int32_t k = 0; k < scene.study.m_nSliceCount; ++k) stack.apSlices.push_back(scene.study.Slice(k));
  stack.nWidth = scene.study.m_nWidth;
  stack.nHeight = scene.study.m_nHeight;
  scene.dims[0] = scene.study.m_nWidth;
  scene.dims[1] = scene.study.m_nHeight;
  scene.dims[2] = scene.study.m_nSliceCount;
  scene.shared.SetVoxelScale(1, 1, scene.study.m_fSliceDistance / scene.study.m_fPixelSpacingX);
  scene.shared.SetSliceStack(stack);
  std::printf("head: %s, %d x %d x %d\n", dir.string().c_str(), scene.dims[0], scene.dims[1], scene.dims[2]);
  return true;
}

Scene& Get(Volume volume) {
  static std::map<Volume, std::unique_ptr<Scene>> scenes;
  std::unique_ptr<Scene>& scene = scenes[volume];
  if (scene) return *scene;
  scene = std::make_unique<Scene>();
  const int32_t head[3] = {256, 256, 108};
  const int32_t large[3] = {512, 512, 400};
  const int32_t* d = volume == kHead ? head : large;
  if (volume != kHead || !ReadHead(*scene)) {
    if (volume == kHead) std::printf("head: no ct-head-108 found, a phantom of its size\n");
    std::copy_n(d, 3, scene->dims);
    scene->stored = ZR_TestVolume::Phantom(d);
    const float zScale = volume == kHead ? 1.5f / 0.957f : 1.0f;
    scene->shared.SetVoxelScale(1, 1, zScale);
    scene->shared.SetSliceStack(ZR_TestVolume::Stack(scene->stored, d));
  }
  scene->shared.SetFullDimensions(scene->dims[0], scene->dims[1], scene->dims[2]);
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
  if (plane == kTilted) ZR_Matrix4::Rotation(30, 1, 0, 0).ToFloats(view.oPlane.afRotation);
  return view;
}

// Arguments: volume, plane, step (1 full, 2 fast), threads.
void BM_Kernel(benchmark::State& state) {
  Scene& scene = Get(static_cast<Volume>(state.range(0)));
  const ZR_ObliqueView view = View(static_cast<Plane>(state.range(1)));
  const auto step = static_cast<int32_t>(state.range(2));
  scene.renderer->SetThreadCount(static_cast<int32_t>(state.range(3)));
  scene.renderer->Reslice(view, step, nullptr, nullptr);  // wake the threads once
  for (auto _ : state) {
    scene.renderer->Reslice(view, step, nullptr, nullptr);
    benchmark::DoNotOptimize(scene.renderer->Raw());
  }
  const ZR_ResliceReference::Result reference = ZR_ResliceReference::Reslice(
      scene.shared.SliceStack(), scene.dims, scene.renderer->SetUpPlane(view), scene.dims[0],
      scene.dims[1], step);
  int32_t largest = 0;
  state.counters["beyond_1"] =
      static_cast<double>(ZR_ResliceReference::Mismatches(reference, scene.renderer->Raw(), 1, &largest));
  state.counters["largest_diff"] = largest;
  state.SetItemsProcessed(state.iterations() * scene.dims[0] * scene.dims[1]);
}

void BM_PlainLoop(benchmark::State& state) {
  Scene& scene = Get(static_cast<Volume>(state.range(0)));
  const ZR_ObliqueView view = View(static_cast<Plane>(state.range(1)));
  const auto step = static_cast<int32_t>(state.range(2));
  const ZR_SoftwareRenderer::Plane plane = scene.renderer->SetUpPlane(view);
  for (auto _ : state) {
    auto result = ZR_ResliceReference::Reslice(scene.shared.SliceStack(), scene.dims, plane,
                                               scene.dims[0], scene.dims[1], step, false);
    benchmark::DoNotOptimize(result.aValues.data());
  }
  state.SetItemsProcessed(state.iterations() * scene.dims[0] * scene.dims[1]);
}

void Cases(benchmark::internal::Benchmark* b, bool threads) {
  for (int volume : {kHead, kLarge})
    for (int plane : {kAxial, kOblique, kTilted})
      for (int step : {1, 2}) {
        if (threads) {
          b->Args({volume, plane, step, 1});
          b->Args({volume, plane, step, 2});
        } else {
          b->Args({volume, plane, step, 1});
        }
      }
  b->ArgNames({"volume", "plane", "step", "threads"})->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_Kernel)->Apply([](benchmark::internal::Benchmark* b) { Cases(b, true); });
BENCHMARK(BM_PlainLoop)->Apply([](benchmark::internal::Benchmark* b) { Cases(b, false); });

}  // namespace

BENCHMARK_MAIN();
