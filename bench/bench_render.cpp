// The 3D view, an oblique slice and the texture upload on the headless context, beside the
// least GL work of the same frame (the floor the renderer's frame is measured against).
//
//   build/release/bench/bench_render --benchmark_repetitions=5
//                                    --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <vector>

#include "render/ZR_GpuPrograms.h"
#include "render/ZR_Matrix4.h"
#include "tests/support/ZR_GlTestContext.h"
#include "tests/support/ZR_RenderScene.h"
#include "tests/support/ZR_TestVolume.h"

namespace {

constexpr int32_t kPanel = 512;

enum Volume { kHead = 0, kLarge = 1 };

struct Bench {
  std::unique_ptr<ZR_RenderScene> scene;
  double firstUploadSeconds = 0;
};

Bench& Scene(Volume volume) {
  static std::map<Volume, Bench> scenes;
  Bench& bench = scenes[volume];
  if (bench.scene) return bench;
  ZR_GlTestContext* gl = ZR_GlTestContext::Get();
  if (!gl) {
    std::fprintf(stderr, "no OpenGL context: %s\n", ZR_GlTestContext::Error().c_str());
    std::exit(1);
  }
  const int32_t head[3] = {256, 256, 108};
  const int32_t large[3] = {512, 512, 400};
  const int32_t* dims = volume == kHead ? head : large;
  const float headScale[3] = {1, 1, 1.5f / 0.957f};  // 1.5 mm slices of 0.957 mm pixels
  const float largeScale[3] = {1, 1, 1};
  bench.scene = std::make_unique<ZR_RenderScene>(*gl, kPanel, kPanel);
  ZR_RenderScene& scene = *bench.scene;
  const std::string error = scene.Load(dims, volume == kHead ? headScale : largeScale, ZR_TestVolume::Phantom(dims),
                                       dims[2] > 1024 ? 4 : 2);
  if (!error.empty()) {
    std::fprintf(stderr, "volume not loaded: %s\n", error.c_str());
    std::exit(1);
  }
  // A CT-like table: soft tissue faint, bone dense.
  scene.renderer.SelectLutTable(true);
  float* table = scene.shared.CurrentTable();
  for (int32_t k = 0; k < 4096; ++k) {
    const float a = k >= 1800 ? 0.6f : (k >= 1000 ? 0.04f : 0.0f);
    table[4 * k] = k >= 1800 ? 0.95f : 0.8f;
    table[4 * k + 1] = k >= 1800 ? 0.9f : 0.45f;
    table[4 * k + 2] = k >= 1800 ? 0.8f : 0.35f;
    table[4 * k + 3] = a;
  }
  scene.renderer.UploadLut();
  scene.renderer.SetBlendMode(0);
  scene.renderer.SetSamplingRate(3);  // final quality 2 of the settings
  scene.shared.ResetRotation(scene.renderer, true);
  bench.firstUploadSeconds = scene.fullUploadSeconds;
  return bench;
}

// The least GL work of the same frame: the renderer's slice count and depths, each slice
// only where it cuts the volume's box, through the same program and blending, and nothing
// else. The slices are found here on their own terms: the box's corners taken to the eye by
// the view's rotation, each slice the polygon through the points where its plane crosses the
// box's twelve edges, in order of their angle, with the texture coordinates of the corners.
class Floor {
 public:
  Floor(ZR_RenderScene& scene, bool interactive) : m_oScene(scene), m_fF(interactive ? 2.0f : 1.0f) {
    scene.Render();  // the renderer's own slice count for this view
    m_nSlices = scene.renderer.LastSliceCount();
    BuildSlices();
  }
  int32_t Slices() const { return m_nSlices; }

  void Draw() {
    const ZR_GlFunctions& gl = *m_oScene.shared.Gl();
    ZR_GpuPrograms& programs = *m_oScene.shared.Programs();
    const float* window = m_oScene.shared.Window();
    (void)m_oScene.MakeCurrent();
    gl.Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    gl.MatrixMode(GL_PROJECTION);
    gl.LoadIdentity();
    gl.Ortho(window[0] / m_fF, window[1] / m_fF, window[2] / m_fF, window[3] / m_fF, -5000, 5000);
    gl.MatrixMode(GL_TEXTURE);
    gl.LoadIdentity();
    gl.MatrixMode(GL_MODELVIEW);
    gl.LoadIdentity();
    gl.Enable(GL_BLEND);
    gl.BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    gl.BlendEquationEXT(GL_FUNC_ADD_EXT);
    gl.AlphaFunc(GL_GREATER, 0.05f);
    gl.Enable(GL_ALPHA_TEST);
    gl.Enable(GL_DEPTH_TEST);
    gl.DepthFunc(GL_LESS);
    programs.SetLutTexture(m_oScene.renderer.LutTexture());
    programs.SelectDrawPath(false);
    (void)programs.BindProgram(GL_TEXTURE_3D, m_oScene.renderer.VolumeTexture());
    for (const std::vector<float>& polygon : m_aPolygons) {
      gl.Begin(GL_POLYGON);
      for (size_t k = 0; k + 6 <= polygon.size(); k += 6) {
        gl.TexCoord3f(polygon[k], polygon[k + 1], polygon[k + 2]);
        gl.Vertex3f(polygon[k + 3], polygon[k + 4], polygon[k + 5]);
      }
      gl.End();
    }
    programs.ProgramOff();
    gl.Disable(GL_BLEND);
    gl.Disable(GL_ALPHA_TEST);
    gl.Disable(GL_DEPTH_TEST);
    gl.Finish();
  }

 private:
  void BuildSlices() {
    const RenderShared& shared = m_oScene.shared;
    const float* e = shared.Extents();
    const ZR_Matrix4 rotation = ZR_Matrix4::FromFloats(shared.Rotation()).UpperLeft3x3();
    // Corner c of the box: texture coordinate (c & 1, c >> 1 & 1, c >> 2 & 1).
    std::array<double, 3> eye[8];
    for (int c = 0; c < 8; ++c) {
      const double t[3] = {double(c & 1), double(c >> 1 & 1), double(c >> 2 & 1)};
      eye[c] = rotation.TransformPoint((t[0] - 0.5) * e[0], (t[1] - 0.5) * e[1], (t[2] - 0.5) * e[2]);
    }
    const double w = shared.LargestExtent() * std::sqrt(3.0) / 2;
    for (int32_t i = 0; i < m_nSlices; ++i) {
      const double z = -w + i * (2 * w / m_nSlices);
      std::vector<std::array<double, 6>> points;  // texture, then eye position
      for (int a = 0; a < 8; ++a)
        for (int bit = 1; bit < 8; bit <<= 1) {
          const int b = a | bit;
          if (b == a) continue;
          const double za = eye[a][2], zb = eye[b][2];
          if ((za - z) * (zb - z) > 0 || za == zb) continue;
          const double t = (z - za) / (zb - za);
          std::array<double, 6> p;
          for (int k = 0; k < 3; ++k) {
            const double ta = (a >> k) & 1, tb = (b >> k) & 1;
            p[k] = ta + t * (tb - ta);
            p[3 + k] = eye[a][k] + t * (eye[b][k] - eye[a][k]);
          }
          points.push_back(p);
        }
      if (points.size() < 3) continue;
      double cx = 0, cy = 0;
      for (const auto& p : points) {
        cx += p[3];
        cy += p[4];
      }
      cx /= points.size();
      cy /= points.size();
      std::sort(points.begin(), points.end(), [&](const auto& p, const auto& q) {
        return std::atan2(p[4] - cy, p[3] - cx) < std::atan2(q[4] - cy, q[3] - cx);
      });
      std::vector<float> polygon;
      for (const auto& p : points)
        for (double v : p) polygon.push_back(static_cast<float>(v));
      m_aPolygons.push_back(std::move(polygon));
    }
  }

  ZR_RenderScene& m_oScene;
  float m_fF;
  int32_t m_nSlices = 0;
  std::vector<std::vector<float>> m_aPolygons;
};

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// The renderer's frame (the reported time) and the floor, alternating frame by frame so
// that both see the same load on the machine; floor_ms and ratio are per frame.
void Render3d(benchmark::State& state) {
  const Volume volume = static_cast<Volume>(state.range(0));
  const bool interactive = state.range(1) != 0;
  ZR_RenderScene& scene = *Scene(volume).scene;
  scene.SelectCopy(interactive);
  Floor floor(scene, interactive);
  const ZR_GlFunctions& gl = *scene.shared.Gl();
  double renderTotal = 0, floorTotal = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    scene.Render();
    gl.Finish();
    const double render = Seconds(start);
    state.SetIterationTime(render);
    renderTotal += render;
    state.PauseTiming();
    start = std::chrono::steady_clock::now();
    floor.Draw();
    floorTotal += Seconds(start);
    state.ResumeTiming();
  }
  state.counters["slices"] = scene.renderer.LastSliceCount();
  state.counters["floor_ms"] = benchmark::Counter(floorTotal * 1000, benchmark::Counter::kAvgIterations);
  state.counters["ratio"] = floorTotal > 0 ? renderTotal / floorTotal : 0;
  scene.SelectCopy(false);
}

void ObliqueSlice(benchmark::State& state) {
  ZR_RenderScene& scene = *Scene(kLarge).scene;
  ZR_ObliqueView view;
  (ZR_Matrix4::Rotation(30, 1, 0, 0) * ZR_Matrix4::Rotation(20, 0, 1, 0)).ToFloats(view.oPlane.afRotation);
  view.oPlane.afPosition[2] = 10;
  const ZR_GlFunctions& gl = *scene.shared.Gl();
  for (auto _ : state) {
    (void)scene.MakeCurrent();
    scene.renderer.DrawObliqueSlice(view, true);
    gl.Finish();
  }
}

void TextureUpload(benchmark::State& state) {
  Bench& bench = Scene(kLarge);
  ZR_RenderScene& scene = *bench.scene;
  const ZR_GlFunctions& gl = *scene.shared.Gl();
  for (auto _ : state) {
    if (!scene.renderer.Load3dTexture()) state.SkipWithError("upload failed");
    gl.Finish();
  }
  state.SetBytesProcessed(state.iterations() * int64_t{512} * 512 * 400 * 2);
  state.counters["first_upload_s"] = bench.firstUploadSeconds;
}

void VolumeArgs(benchmark::internal::Benchmark* b) {
  b->ArgNames({"volume", "interactive"});
  for (int64_t volume : {kHead, kLarge})
    for (int64_t interactive : {0, 1}) b->Args({volume, interactive});
  b->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(1.0);
}

BENCHMARK(Render3d)->Apply(VolumeArgs);
BENCHMARK(ObliqueSlice)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(TextureUpload)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
