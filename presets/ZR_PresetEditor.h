#pragma once
// The transfer-function engine: the editable description of the transfer function (five
// colour bands with opacities, a grey window and an opacity window), the tables of the one
// ZR_Lut derived from it, defaults from the volume's histogram, presets in a per-modality
// folder tree, and the reactions to the editor window's events and to mouse drags in the
// views. It works in table indices, data values and chart pixels at once.
// Sources: ZR_PresetEditor.cpp (set-up, volume, mode, chart), _Bands.cpp, _Windows.cpp,
// _Presets.cpp (files, snapshots, events).

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "presets/ZR_Lut.h"
#include "presets/ZR_PresetEditorGui.h"

class ZR_PresetEditorHost;

// Event kinds the editor window sends to HandleEditorEvent.
namespace ZR_PresetEvent {
enum : int32_t {
  OpacityPercent = 2,  // point index, percent
  EdgeValue = 3,       // edge index, data value
  EdgePixel = 4,       // edge index, chart x
  OpacityPixel = 5,    // point index, chart y (downwards)
  BandColour = 6,      // band index, red, green, blue
  Threshold = 19,      // on
  GreyWidth = 20,
  GreyLevel = 21,
  OpacityWidth = 22,
  OpacityLevel = 23,
  ChartPainted = 24,
  SavePreset = 25,  // path
  ChartReleased = 26,
  ChartReleased2 = 27,
  EditorClosed = 28,
};
}  // namespace ZR_PresetEvent

struct ZR_PresetEventData {
  int32_t nValues[4] = {0, 0, 0, 0};
  std::string sPath;
};

class ZR_PresetEditor {
 public:
  static constexpr int32_t kBins = ZR_Lut::kDefaultEntryCount;
  static constexpr int32_t kBandCount = ZR_Lut::kBandCount;
  static constexpr int32_t kEdgeCount = ZR_Lut::kInnerEdgeCount;
  static constexpr int32_t kPointCount = ZR_Lut::kNodeCount;
  static constexpr int32_t kBandMode = 0;
  static constexpr int32_t kWindowMode = 1;

  // Creates the engine (attached to `gui`, which must outlive it); VR_PRESET_NO_MEMORY when
  // its arrays cannot be allocated.
  [[nodiscard]] static int32_t Create(ZR_PresetEditorGui* gui, ZR_PresetEditorHost* host,
                                      ZR_Lut* lut, std::unique_ptr<ZR_PresetEditor>& engine);
  ZR_PresetEditor(ZR_PresetEditorGui* gui, ZR_PresetEditorHost* host, ZR_Lut* lut);
  ZR_PresetEditor(const ZR_PresetEditor&) = delete;
  ZR_PresetEditor& operator=(const ZR_PresetEditor&) = delete;

  // --- Set-up ---------------------------------------------------------------------------------
  // The folder holding CT/ and MR/ (the program's "Presets" folder), with a trailing separator.
  void SetBasePath(const std::string& path);
  // After every volume load, followed by ResetBands and ResetWindows. `histogram` has
  // kBins counters, one per stored value.
  void InitialiseForVolume(const uint32_t* histogram, uint64_t voxelCount, float slope,
                           int32_t intercept, int32_t rawMinimum, int32_t rawMaximum,
                           uint16_t indexScale, int32_t presetClass);
  void SetMode(int32_t windowMode);

  // --- Defaults --------------------------------------------------------------------------------
  void ResetBands();
  void ResetWindows();
  void ResetToDefault();

  // --- Presets -----------------------------------------------------------------------------------
  // Both report whether a file was taken / written; a preset of the other class or a damaged
  // file changes nothing and shows no message.
  bool LoadPreset(const std::string& path, bool fromUserList);
  bool SavePreset(const std::string& path);

  // --- Interaction ---------------------------------------------------------------------------------
  void HandleEditorEvent(int32_t kind, const ZR_PresetEventData& data = {});
  void DragWindow(int32_t dx, int32_t dy);
  void DragOpacityWindow(int32_t dx, int32_t dy);
  void DragBands(int32_t dx, int32_t dy);
  // Snapshot of the window part (true) or the band part (false); restoring rebuilds its table.
  void SaveState(bool windowPart);
  void RestoreState(bool windowPart);
  void RequestRedraw();

  // --- Read access (the manager, the movie code, tests) ------------------------------------------
  int32_t WindowMode() const { return m_nWindowMode; }
  uint16_t DataExtent() const { return m_nDataExtent; }
  uint32_t HistogramMaximum() const { return m_nHistogramMax; }
  float PixelsPerIndex() const { return m_fPixelsPerIndex; }
  ZR_Window GreyWindow() const { return {m_nGreyWidth, m_nGreyLevel}; }
  ZR_Window OpacityWindow() const { return {m_nOpacityWidth, m_nOpacityLevel}; }
  bool IsThresholdOn() const { return m_bThresholdOn; }
  const uint16_t* BandEdges() const { return m_aBandEdges; }
  const int32_t* EdgePixels() const { return m_aEdgePixels; }
  const ZR_ChartPoint* ControlPoints() const { return m_aPoints; }
  const float* BandColour(int32_t band) const { return m_aBandColours[band]; }
  const uint8_t* BandColourBytes(int32_t band) const { return m_aBandColourBytes[band]; }
  const uint8_t* BinColours() const { return m_pBinColours->data(); }
  const std::string& PresetDirectory() const { return m_sPresetDir; }
  const std::string& UserDirectory() const { return m_sUserDir; }
  bool IsPresetSelected() const { return m_bPresetSelected; }

 private:
  struct BandSnapshot {
    bool bTaken = false;
    uint16_t aBandEdges[kEdgeCount];
    int32_t aEdgePixels[kEdgeCount];
    float aNormalisedEdges[kEdgeCount];
    float aBandColours[kBandCount][4];
    uint8_t aBandColourBytes[kBandCount][4];
    ZR_ChartPoint aPoints[kPointCount];
    uint16_t nDataExtent;
    int32_t nBandSpan, nBandOffset;
    float fBandSpan, fBandOffset;
  };
  struct WindowSnapshot {
    bool bTaken = false;
    int32_t nGreyWidth, nGreyLevel, nOpacityWidth, nOpacityLevel;
    float fGreyWidth, fGreyLevel, fOpacityWidth, fOpacityLevel;
  };

  // Bands (ZR_PresetEditor_Bands.cpp).
  void DefaultBandLayout();
  void Sync(bool edgesMoved);
  void BuildColours();
  void ComputeNormalisedEdges();
  void EditEdge(int32_t edge, int32_t x, bool typed);
  void EditOpacity(int32_t point, int32_t percent);
  void EditColour(int32_t band, int32_t red, int32_t green, int32_t blue);
  void ApplyBandPreset();
  // Windows (ZR_PresetEditor_Windows.cpp).
  void DefaultWindows();
  void ShowWindows();
  void TypedWindow(int32_t control, int32_t value);
  void SetThreshold(bool on);
  // Width and level bounds of a window in data units.
  int32_t WidthLimit() const;
  int32_t LevelMinimum() const;
  int32_t LevelMaximum() const;
  void SetGreyWidth(int32_t width);
  // Chart (ZR_PresetEditor.cpp).
  void Recolour();
  void DrawOverlay();
  void ClearHighlight();
  void Redraw(int32_t quality);
  int32_t IndexToPixel(float index) const;

  ZR_PresetEditorHost* m_pManager;
  ZR_PresetEditorGui* m_pGui;
  ZR_Lut* m_pLut;
  std::unique_ptr<std::array<uint32_t, kBins>> m_pHistogram;
  std::unique_ptr<std::array<int32_t, kBins>> m_pPlottedHistogram;
  uint16_t m_nBandCount = kBandCount;
  int32_t m_nBinCount = kBins;
  uint32_t m_nHistogramMax = 0;
  uint16_t m_nDataExtent = kBins - 1;
  std::unique_ptr<std::array<uint8_t, kBins * 3>> m_pBinColours;
  uint8_t m_aBandColourBytes[kBandCount][4] = {};
  float m_aBandColours[kBandCount][4] = {};
  ZR_ChartPoint m_aPoints[kPointCount];
  int32_t m_aEdgePixels[kEdgeCount] = {};
  uint16_t m_aBandEdges[kEdgeCount] = {};
  float m_aNormalisedEdges[kEdgeCount] = {};
  int32_t m_nChartWidth = 1;
  int32_t m_nChartHeight = 1;
  int32_t m_nChartLeft = 0;
  int32_t m_nChartTop = 0;
  bool m_bPresetSelected = false;
  bool m_bLoading = false;
  bool m_bThresholdEvents = true;
  int32_t m_nWindowMode = kWindowMode;
  bool m_bThresholdOn = false;
  float m_fPixelsPerIndex = 1.0f;
  float m_fUnitsPerIndex = 1.0f;
  // 32-bit: unsigned 16-bit data would wrap in 16 bits.
  int32_t m_nRawMin = 0;
  int32_t m_nRawMax = kBins - 1;
  int32_t m_nGreyWidth = 0;
  int32_t m_nGreyLevel = 0;
  int32_t m_nWidthBeforeThreshold = 0;
  float m_fGreyLevel = 0.0f;
  float m_fGreyWidth = 0.0f;
  int32_t m_nIntercept = 0;
  float m_fSlope = 1.0f;
  int32_t m_nPresetClass = 0;
  float m_fWindowGain = 0.5f;
  float m_fBandGain = 1.0f;
  std::string m_sBasePath;
  std::string m_sUserDir;
  std::string m_sPresetDir;
  int32_t m_nOpacityWidth = 0;
  int32_t m_nOpacityLevel = 0;
  float m_fOpacityWidth = 0.0f;
  float m_fOpacityLevel = 0.0f;
  int32_t m_nBandSpan = 0;
  int32_t m_nBandOffset = 0;
  float m_fBandSpan = 0.0f;
  float m_fBandOffset = 0.0f;
  BandSnapshot m_oBandSnapshot;
  WindowSnapshot m_oWindowSnapshot;
};
