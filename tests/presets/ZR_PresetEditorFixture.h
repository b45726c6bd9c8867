#pragma once
// A preset engine on a recording window and manager, with a CT and an MR volume to load.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "presets/ZR_Lut.h"
#include "presets/ZR_PresetEditor.h"
#include "tests/support/ZR_RecordingPresetEditorGui.h"
#include "tests/support/ZR_RecordingPresetEditorHost.h"

class PresetEditorTest : public ::testing::Test {
 protected:
  static constexpr int kWidth = 512;
  static constexpr int kHeight = 200;

  void SetUp() override {
    ASSERT_EQ(ZR_PresetEditor::Create(&gui, &host, &lut, engine), 0);
  }

  // CT of -1024..3071 HU (raw 0..4095, intercept -1024), one million voxels: air in the
  // cleared lowest bins, soft tissue at 40 HU, a few lung voxels, bone up to 2000 HU
  // (index 3024, exactly the extent threshold of 100 voxels) and a stray bin above it.
  void LoadCt() {
    std::vector<uint32_t> h(4096, 0);
    for (int i = 0; i < 16; ++i) h[i] = 30000;
    h[200] = 50;
    h[1064] = 300000;
    h[1500] = 20000;
    h[3024] = 100;
    h[3500] = 99;
    engine->InitialiseForVolume(h.data(), 1000000, 1.0f, -1024, 0, 4095, 4095, 0);
    engine->ResetBands();
    engine->ResetWindows();
  }

  // MR of raw 0..1000 (a short range: one index is 0.244 units), preset class 1.
  void LoadMr() {
    std::vector<uint32_t> h(4096, 0);
    for (int i = 16; i < 4000; ++i) h[i] = 250;
    engine->InitialiseForVolume(h.data(), 1000000, 1.0f, 0, 0, 1000, 4095, 1);
    engine->ResetBands();
    engine->ResetWindows();
  }

  // Table entry of a stored value, as the volume loader indexes it.
  const float* ColourAt(int stored, int range) const {
    return lut.ColourTable() + 4 * static_cast<int>(std::lround(stored * 4095.0 / range));
  }
  const float* GreyAt(int stored, int range) const {
    return lut.GreyTable() + 4 * static_cast<int>(std::lround(stored * 4095.0 / range));
  }

  std::vector<float> Colours() const {
    return {lut.ColourTable(), lut.ColourTable() + 4096 * 4};
  }
  std::vector<float> Greys() const { return {lut.GreyTable(), lut.GreyTable() + 4096 * 4}; }

  ZR_RecordingPresetEditorGui gui{kWidth, kHeight};
  ZR_RecordingPresetEditorHost host;
  ZR_Lut lut;
  std::unique_ptr<ZR_PresetEditor> engine;
};

inline ZR_PresetEventData Values(int32_t a, int32_t b = 0, int32_t c = 0, int32_t d = 0) {
  ZR_PresetEventData data;
  data.nValues[0] = a;
  data.nValues[1] = b;
  data.nValues[2] = c;
  data.nValues[3] = d;
  return data;
}
