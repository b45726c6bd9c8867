#pragma once
// A preset editor without a window, for the command-line tool, the benchmarks and the desktop
// program (whose editor window is still to come): the engine's calls go nowhere; its chart has
// the size of the editor's chart, so that the transfer function it derives is the one the
// window would show.

#include "presets/ZR_PresetEditorGui.h"

class ZR_WindowlessPresetEditorGui : public ZR_PresetEditorGui {
 public:
  static constexpr int32_t kChartWidth = 512;
  static constexpr int32_t kChartHeight = 200;

  // Whether the engine is told the window is open (then it updates the chart it cannot see).
  explicit ZR_WindowlessPresetEditorGui(bool visible = false) : m_bVisible(visible) {}

  void ShowMode(int32_t) override {}
  void SetHistogram(int32_t, const int32_t*, int32_t, uint32_t) override {}
  void SetBinColours(const uint8_t*) override {}
  void SetBandColours(const uint8_t[kBandCount][4]) override {}
  void DrawBands(const int32_t[kEdgeCount], const ZR_ChartPoint[kPointCount]) override {}
  void DrawOpacityRamp(int32_t, int32_t, int32_t, int32_t) override {}
  void GetChartSize(int32_t& width, int32_t& height) override {
    width = kChartWidth;
    height = kChartHeight;
  }
  void GetChartOrigin(int32_t& left, int32_t& top) override { left = top = 0; }
  void DrawWindowMarkers(float, float) override {}
  void ApplyBinColours() override {}
  void ClearListSelection() override {}
  void SetListDirectories(const std::string&, const std::string&) override {}
  void StoreBasePath(const std::string&) override {}
  void SetNumberMin(int32_t, int32_t) override {}
  void SetNumberMax(int32_t, int32_t) override {}
  void SetNumberValue(int32_t, float) override {}
  void EnableControl(int32_t, bool) override {}
  void ShowControl(int32_t, bool) override {}
  void ShowEditor(bool) override {}
  void CloseEditor() override {}
  void AttachEngine(ZR_PresetEditor*) override {}
  bool IsVisible() override { return m_bVisible; }

 private:
  bool m_bVisible;
};
