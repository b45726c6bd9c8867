#pragma once
// Test double of the preset editor window: logs every slot call as "Slot(args)" and keeps
// what the engine last showed (box values, enabled and visible controls, colours, chart).

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "presets/ZR_PresetEditorGui.h"

class ZR_RecordingPresetEditorGui : public ZR_PresetEditorGui {
 public:
  explicit ZR_RecordingPresetEditorGui(int32_t chartWidth = 512, int32_t chartHeight = 200)
      : chartWidth(chartWidth), chartHeight(chartHeight) {}

  // --- The record ---------------------------------------------------------------------------
  std::vector<std::string> calls;
  std::function<void(const std::string&)> onCall;

  // --- What the window holds ----------------------------------------------------------------
  int32_t chartWidth;
  int32_t chartHeight;
  bool visible = true;
  ZR_PresetEditor* engine = nullptr;
  int32_t mode = -1;
  std::map<int32_t, float> numberValues;
  std::map<int32_t, int32_t> numberMins, numberMaxes;
  std::map<int32_t, bool> enabled, shown, checked;
  std::vector<int32_t> histogram;  // the bins of the last SetHistogram
  uint32_t histogramMaximum = 0;
  const uint8_t* binColours = nullptr;
  uint8_t bandColours[kBandCount][4] = {};
  std::string presetDir, userDir, basePath;

  void Clear() { calls.clear(); }
  bool Has(const std::string& call) const;
  std::vector<std::string> CallsTo(const std::string& slot) const;

  // --- The contract -------------------------------------------------------------------------
  void ShowMode(int32_t windowMode) override;
  void SetHistogram(int32_t bandCount, const int32_t* bins, int32_t extent,
                    uint32_t maximum) override;
  void SetBinColours(const uint8_t* rgb) override;
  void SetBandColours(const uint8_t colours[kBandCount][4]) override;
  void DrawBands(const int32_t edgeX[kEdgeCount], const ZR_ChartPoint points[kPointCount]) override;
  void DrawOpacityRamp(int32_t xLow, int32_t yLow, int32_t xHigh, int32_t yHigh) override;
  void GetChartSize(int32_t& width, int32_t& height) override;
  void GetChartOrigin(int32_t& left, int32_t& top) override;
  void DrawWindowMarkers(float indexLow, float indexHigh) override;
  void ApplyBinColours() override;
  void ClearListSelection() override;
  void SetListDirectories(const std::string& presetDir, const std::string& userDir) override;
  void StoreBasePath(const std::string& path) override;
  void Unused13() override;
  void SetChecked(int32_t control, bool checked) override;
  void Unused15() override;
  void Unused16() override;
  void Unused17() override;
  void Unused18() override;
  void Unused19() override;
  void Unused20() override;
  void SetNumberMin(int32_t control, int32_t value) override;
  void SetNumberMax(int32_t control, int32_t value) override;
  void SetNumberValue(int32_t control, float value) override;
  void Unused24(const std::string& text) override;
  void EnableControl(int32_t control, bool on) override;
  void ShowControl(int32_t control, bool visible) override;
  void ShowEditor(bool show) override;
  void Unused28(const std::string& text) override;
  void CloseEditor() override;
  void Unused30() override;
  void AttachEngine(ZR_PresetEditor* engine) override;
  bool IsVisible() override;

 private:
  void Record(std::string call);
};
