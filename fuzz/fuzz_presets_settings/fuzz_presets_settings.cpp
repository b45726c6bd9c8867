// Fuzzed bytes as a colour preset, a window preset and a settings file. Besides the
// sanitizers' own checks it aborts when a refused preset changed the table, when a taken
// one holds values the table cannot use, or when a settings value outside its range got in.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "presets/ZR_Lut.h"
#include "settings/ZR_Vis3DSettings.h"

namespace {
void Check(bool condition) {
  if (!condition) std::abort();
}

void FuzzPresets(std::string_view text, int32_t presetClass) {
  static ZR_Lut lut;
  lut.SetValueMapping(1.0f, -1024);
  lut.SetRawRange(0, 4095);
  lut.SetIndexScale(4095);
  lut.SetPresetClass(presetClass);

  uint16_t edges[4];
  float colours[5][4];
  std::memcpy(edges, lut.BandEdges(), sizeof edges);
  std::memcpy(colours, lut.BandColours(), sizeof colours);
  if (lut.ReadBandPresetText(text)) {
    for (int i = 0; i < 4; ++i) {
      Check(lut.BandEdges()[i] < lut.EntryCount());
      Check(i == 0 || lut.BandEdges()[i] >= lut.BandEdges()[i - 1]);
    }
    for (int i = 0; i < 20; ++i) Check(lut.BandColours()[i] >= 0.0f && lut.BandColours()[i] <= 1.0f);
    std::memcpy(colours, lut.BandColours(), sizeof colours);
    lut.BuildColourTable(lut.BandEdges(), colours, lut.BandEdges()[3]);
  } else {
    Check(std::memcmp(edges, lut.BandEdges(), sizeof edges) == 0);
    Check(std::memcmp(colours, lut.BandColours(), sizeof colours) == 0);
  }

  const ZR_Window grey = lut.GreyWindow();
  const ZR_Window opacity = lut.OpacityWindow();
  if (lut.ReadWindowPresetText(text)) {
    lut.BuildGreyRamp(lut.GreyWindow().nWidth, lut.GreyWindow().nLevel);
    lut.BuildOpacityRamp(lut.OpacityWindow().nWidth, lut.OpacityWindow().nLevel);
  } else {
    Check(lut.GreyWindow() == grey && lut.OpacityWindow() == opacity);
  }
  Check(lut.GuardsIntact());
}

void FuzzSettings(std::string_view text) {
  ZR_Vis3DSettings settings;
  settings.ReadText(text);
  // Every value that got in is in range, so the file it writes reads back to the same file
  // (floats are written with six digits, so the text, not the value, is the fixed point).
  const std::string written = settings.Text();
  ZR_Vis3DSettings again;
  again.ReadText(written);
  Check(again.Text() == written);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  FuzzPresets(text, 0);
  FuzzPresets(text, 1);
  FuzzSettings(text);
  return 0;
}
