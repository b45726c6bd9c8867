#pragma once
// The one transfer function of the program: a colour table built from five colour bands and
// a grey table built from a grey window (RGB) and an opacity window (alpha). Entries are
// RGBA floats in [0, 1]; a voxel's top 12 bits index them. The table also maps table indices
// to data values (Hounsfield units for CT) and back, and owns the preset file formats, since
// a preset is a description of these tables.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct ZR_Window {
  int32_t nWidth = 0;
  int32_t nLevel = 0;
  bool operator==(const ZR_Window&) const = default;
};

class ZR_Lut {
 public:
  static constexpr int32_t kDefaultEntryCount = 4096;
  static constexpr int32_t kComponents = 4;  // red, green, blue, alpha
  static constexpr int32_t kBandCount = 5;
  static constexpr int32_t kInnerEdgeCount = kBandCount - 1;
  static constexpr int32_t kNodeCount = kBandCount + 2;
  static constexpr uint16_t kIndexScale = 4095;

  explicit ZR_Lut(int32_t entryCount = kDefaultEntryCount);
  ZR_Lut(const ZR_Lut&) = delete;
  ZR_Lut& operator=(const ZR_Lut&) = delete;

  // --- Size and value mapping ---------------------------------------------------------------
  // Reallocates the tables (2..65535 entries; other counts are brought into that range):
  // the colour table becomes all zero, the grey table the identity ramp. Table pointers
  // handed out before become invalid.
  void SetEntryCount(int32_t count);
  int32_t EntryCount() const { return m_nEntryCount; }
  // A slope that is not a positive finite number is taken as 1 (it would divide by zero).
  void SetValueMapping(float slope, int32_t intercept);
  void SetRawRange(int32_t minimum, int32_t maximum);
  void SetIndexScale(uint16_t scale) { m_nIndexScale = scale; }
  void SetPresetClass(int32_t presetClass) { m_nPresetClass = presetClass; }
  float Slope() const { return m_fSlope; }
  int32_t Intercept() const { return m_nIntercept; }
  int32_t RawMinimum() const { return m_nRawMinimum; }
  int32_t RawMaximum() const { return m_nRawMaximum; }
  uint16_t IndexScale() const { return m_nIndexScale; }
  int32_t PresetClass() const { return m_nPresetClass; }

  // index i -> float(min + (max - min) * i / scale) * slope + intercept, and its inverse.
  // With an empty raw range (or scale 0) every index means the minimum and every value
  // index 0.
  float IndexToValue(float index) const;
  float ValueToIndex(float value) const;
  // A float index truncated towards zero and clamped to 0..entry count - 1 (NaN gives 0);
  // the only safe way to turn a computed index into an array position.
  int32_t TableIndex(float index) const;
  // round(IndexToValue(index)): how an edge is written to a preset file and shown.
  int32_t RoundedValue(int32_t index) const;
  // round(ValueToIndex(value)), clamped to the table.
  int32_t RoundedIndex(float value) const;

  // --- Builds (run on every mouse move of a drag: no allocation) ------------------------------
  void BuildColourTable(const uint16_t edges[kInnerEdgeCount], const float colours[kBandCount][4],
                        uint16_t dataExtent);
  void BuildGreyRamp(int32_t width, int32_t level);
  void BuildOpacityRamp(int32_t width, int32_t level);
  // Store a window without building (the preset engine's defaults before the first build).
  void SetGreyWindow(ZR_Window window) { m_oGreyWindow = window; }
  void SetOpacityWindow(ZR_Window window) { m_oOpacityWindow = window; }

  // --- Read access ----------------------------------------------------------------------------
  float* ColourTable() { return Table(kColour); }
  float* GreyTable() { return Table(kGrey); }
  const float* ColourTable() const { return Table(kColour); }
  const float* GreyTable() const { return Table(kGrey); }
  ZR_Window GreyWindow() const { return m_oGreyWindow; }
  ZR_Window OpacityWindow() const { return m_oOpacityWindow; }
  int32_t EdgeCount() const { return m_nEdgeCount; }
  const uint16_t* BandEdges() const { return &m_aBandEdges[1]; }    // the four inner edges
  const float* BandColours() const { return m_aBandNodes[1]; }      // the five band colours

  // --- Grey table backup (the MIP threshold display) ------------------------------------------
  void SaveGreyTable();
  void RestoreGreyTable();
  // Entries first..last (clamped to the table) become (grey, grey, grey, alpha).
  void FillGreyRange(int32_t first, int32_t last, float grey, float alpha);

  // --- Preset files ---------------------------------------------------------------------------
  // A preset is taken only when the file opens, is of this table's preset class and holds
  // every value it must; otherwise false and nothing changes.
  [[nodiscard]] bool ReadBandPreset(const std::string& path);
  [[nodiscard]] bool ReadBandPresetText(std::string_view text);
  [[nodiscard]] bool ReadWindowPreset(const std::string& path);
  [[nodiscard]] bool ReadWindowPresetText(std::string_view text);
  // The file contents for the given edges (data values) and band colours / windows, and
  // their writing (false when the file cannot be written; an existing file then stays).
  std::string BandPresetText(const int32_t edgeValues[kInnerEdgeCount],
                             const float colours[kBandCount][4]) const;
  std::string WindowPresetText(ZR_Window grey, ZR_Window opacity) const;
  [[nodiscard]] bool WriteBandPreset(const std::string& path,
                                     const int32_t edgeValues[kInnerEdgeCount],
                                     const float colours[kBandCount][4]) const;
  [[nodiscard]] bool WriteWindowPreset(const std::string& path, ZR_Window grey,
                                       ZR_Window opacity) const;

  // Whether the guard entries around each table still hold their pattern: a build that
  // wrote outside a table would have changed one.
  bool GuardsIntact() const;

 private:
  enum TableId { kColour = 0, kGrey = 1, kBackup = 2 };
  static constexpr int32_t kTableCount = 3;
  static constexpr float kGuardValue = -12345.0f;

  float* Table(TableId id) { return m_aStorage.data() + Offset(id); }
  const float* Table(TableId id) const { return m_aStorage.data() + Offset(id); }
  std::size_t Offset(TableId id) const;
  // Writes one component (0..3, or 0..2 together when `rgb`) of the grey table as a ramp.
  void BuildRamp(int32_t width, int32_t level, bool rgb);

  int32_t m_nEntryCount = 0;
  int32_t m_nEdgeCount = kInnerEdgeCount;
  // The three tables in one block, each with one guard entry before and after it.
  std::vector<float> m_aStorage;
  float m_aBandNodes[kNodeCount][4] = {};
  uint16_t m_aBandEdges[kInnerEdgeCount + 2] = {};
  float m_fSlope = 1.0f;
  int32_t m_nIntercept = 0;
  ZR_Window m_oGreyWindow;
  ZR_Window m_oOpacityWindow;
  int32_t m_nRawMaximum = 0;
  int32_t m_nRawMinimum = 0;
  uint16_t m_nIndexScale = kIndexScale;
  int32_t m_nPresetClass = 0;
};
