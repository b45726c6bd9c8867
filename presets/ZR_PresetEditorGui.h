#pragma once
// The preset editor window as the preset engine sees it. The order of the virtual
// operations is fixed (the slot table windowing implementations and doubles follow); slots
// with an empty body are not used by the window.

#include <cstdint>
#include <string>

class ZR_PresetEditor;

// A point of the histogram chart in pixels, y upwards from the chart bottom.
struct ZR_ChartPoint {
  int32_t x = 0;
  int32_t y = 0;
  bool operator==(const ZR_ChartPoint&) const = default;
};

// Numbers under which the window registers its controls.
namespace ZR_PresetCtl {
enum : int32_t {
  EditBandPos0 = 7,  // ..10: the four band edges (data values)
  EditOpacity0 = 11,  // ..15: opacity of control points 0..4, percent
  Panel_WlControls = 16,
  Panel_LutControls = 17,
  Btn_Delete = 18,
  ChBox_threshold = 19,
  Edit_Width = 20,
  Edit_Level = 21,
  Edit_OpacityWidth = 22,
  Edit_OpacityLevel = 23,
};
}  // namespace ZR_PresetCtl

class ZR_PresetEditorGui {
 public:
  static constexpr int32_t kBandCount = 5;
  static constexpr int32_t kEdgeCount = 4;
  static constexpr int32_t kPointCount = 7;

  virtual void ShowMode(int32_t windowMode) = 0;                                       // 0
  // `bins` holds `extent` values.
  virtual void SetHistogram(int32_t bandCount, const int32_t* bins, int32_t extent,
                            uint32_t maximum) = 0;                                     // 1
  // Three bytes (RGB) per bin; the array stays valid while the engine lives.
  virtual void SetBinColours(const uint8_t* rgb) = 0;                                  // 2
  virtual void SetBandColours(const uint8_t colours[kBandCount][4]) = 0;               // 3
  virtual void DrawBands(const int32_t edgeX[kEdgeCount],
                         const ZR_ChartPoint points[kPointCount]) = 0;                 // 4
  virtual void DrawOpacityRamp(int32_t xLow, int32_t yLow, int32_t xHigh,
                               int32_t yHigh) = 0;                                     // 5
  virtual void GetChartSize(int32_t& width, int32_t& height) = 0;                      // 6
  virtual void GetChartOrigin(int32_t& left, int32_t& top) = 0;                        // 7
  virtual void DrawWindowMarkers(float indexLow, float indexHigh) = 0;                 // 8
  virtual void ApplyBinColours() = 0;                                                  // 9
  virtual void ClearListSelection() = 0;                                               // 10
  // Folders without a trailing separator.
  virtual void SetListDirectories(const std::string& presetDir,
                                  const std::string& userDir) = 0;                     // 11
  virtual void StoreBasePath(const std::string& path) = 0;                             // 12
  virtual void Unused13() {}                                                           // 13
  // The engine unchecks Threshold through this during a reset.
  virtual void SetChecked(int32_t control, bool checked) {}                            // 14
  virtual void Unused15() {}                                                           // 15
  virtual void Unused16() {}                                                           // 16
  virtual void Unused17() {}                                                           // 17
  virtual void Unused18() {}                                                           // 18
  virtual void Unused19() {}                                                           // 19
  virtual void Unused20() {}                                                           // 20
  virtual void SetNumberMin(int32_t control, int32_t value) = 0;                       // 21
  virtual void SetNumberMax(int32_t control, int32_t value) = 0;                       // 22
  virtual void SetNumberValue(int32_t control, float value) = 0;                       // 23
  virtual void Unused24(const std::string& text) {}                                    // 24
  virtual void EnableControl(int32_t control, bool on) = 0;                            // 25
  virtual void ShowControl(int32_t control, bool visible) = 0;                         // 26
  virtual void ShowEditor(bool show) = 0;                                              // 27
  virtual void Unused28(const std::string& text) {}                                    // 28
  virtual void CloseEditor() = 0;                                                      // 29
  virtual void Unused30() {}                                                           // 30
  virtual void AttachEngine(ZR_PresetEditor* engine) = 0;                              // 31
  virtual bool IsVisible() = 0;                                                        // 32
  virtual ~ZR_PresetEditorGui() = default;                                             // 33

 protected:
  ZR_PresetEditorGui() = default;
  ZR_PresetEditorGui(const ZR_PresetEditorGui&) = delete;
  ZR_PresetEditorGui& operator=(const ZR_PresetEditorGui&) = delete;
};
