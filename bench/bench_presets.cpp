// Transfer-function builds run on every mouse move of a drag: each must take well under a
// millisecond and allocate nothing. The "allocs" counter is heap allocations per build.

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "presets/ZR_WindowlessPresetEditorGui.h"
#include "presets/ZR_Lut.h"
#include "presets/ZR_PresetEditor.h"
#include "presets/ZR_PresetEditorGui.h"

namespace {
std::atomic<long> g_allocations{0};
}  // namespace

// Counting replacements of the global allocation functions; new and delete both go to
// malloc and free, which GCC cannot see across the replacement.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {
// A window that shows nothing, so that only the engine's own work is measured; the engine
// takes it as open and does all its chart work.
class SilentGui : public ZR_WindowlessPresetEditorGui {
 public:
  SilentGui() : ZR_WindowlessPresetEditorGui(true) {}
};

void SetCt(ZR_Lut& lut) {
  lut.SetValueMapping(1.0f, -1024);
  lut.SetRawRange(0, 4095);
  lut.SetIndexScale(4095);
}

template <typename Build>
void Measure(benchmark::State& state, Build build) {
  long allocations = 0;
  for (auto _ : state) {
    const long before = g_allocations.load(std::memory_order_relaxed);
    build(state.iterations());
    allocations += g_allocations.load(std::memory_order_relaxed) - before;
  }
  state.counters["allocs"] =
      benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
}

void BM_BandBuild(benchmark::State& state) {
  ZR_Lut lut;
  const float colours[5][4] = {{0, 0, 0, 0}, {0.5f, 0, 0.1f, 0.08f}, {0.9f, 0.9f, 0.15f, 0.8f},
                               {1, 1, 0, 1}, {1, 1, 1, 1}};
  Measure(state, [&](int64_t i) {
    const uint16_t shift = static_cast<uint16_t>(i & 63);
    const uint16_t edges[4] = {static_cast<uint16_t>(600 + shift), 1200, 1800,
                               static_cast<uint16_t>(2400 - shift)};
    lut.BuildColourTable(edges, colours, 3024);
    benchmark::DoNotOptimize(lut.ColourTable());
  });
}
BENCHMARK(BM_BandBuild);

void BM_GreyRampBuild(benchmark::State& state) {
  ZR_Lut lut;
  SetCt(lut);
  Measure(state, [&](int64_t i) {
    lut.BuildGreyRamp(400 + static_cast<int32_t>(i & 255), 40);
    benchmark::DoNotOptimize(lut.GreyTable());
  });
}
BENCHMARK(BM_GreyRampBuild);

void BM_OpacityRampBuild(benchmark::State& state) {
  ZR_Lut lut;
  SetCt(lut);
  Measure(state, [&](int64_t i) {
    lut.BuildOpacityRamp(400, 40 + static_cast<int32_t>(i & 255));
    benchmark::DoNotOptimize(lut.GreyTable());
  });
}
BENCHMARK(BM_OpacityRampBuild);

// One mouse move of a drag in the views, as the engine handles it: state update, table
// build and chart recolouring.
std::unique_ptr<ZR_PresetEditor> CtEngine(SilentGui& gui, ZR_Lut& lut) {
  std::vector<uint32_t> histogram(4096, 200);
  std::unique_ptr<ZR_PresetEditor> engine;
  if (ZR_PresetEditor::Create(&gui, nullptr, &lut, engine) != 0) std::abort();
  engine->InitialiseForVolume(histogram.data(), 4096 * 200, 1.0f, -1024, 0, 4095, 4095, 0);
  engine->ResetBands();
  engine->ResetWindows();
  return engine;
}

void BM_BandDrag(benchmark::State& state) {
  SilentGui gui;
  ZR_Lut lut;
  auto engine = CtEngine(gui, lut);
  engine->SetMode(ZR_PresetEditor::kBandMode);
  Measure(state, [&](int64_t i) { engine->DragBands((i & 1) ? 3 : -3, 0); });
}
BENCHMARK(BM_BandDrag);

void BM_WindowDrag(benchmark::State& state) {
  SilentGui gui;
  ZR_Lut lut;
  auto engine = CtEngine(gui, lut);
  Measure(state, [&](int64_t i) { engine->DragWindow((i & 1) ? 5 : -5, (i & 2) ? 2 : -2); });
}
BENCHMARK(BM_WindowDrag);
}  // namespace

BENCHMARK_MAIN();
