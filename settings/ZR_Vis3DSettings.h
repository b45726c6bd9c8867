#pragma once
// The one settings model: every user preference that outlives a run, in six records, and
// the settings file "lmx_settings.stg" (30 values, one a line, fixed order, no names).

#include <cstdint>
#include <string>
#include <string_view>

struct DisplaySettings {
  bool showBoundingBox = true;
  bool showStudyDetails = true;
  bool showMprCrosshairs = true;
  int32_t labelMode = 0;  // 0 "Orientation", 1 "X Y Z", 2 "None"
  bool lockActiveView = false;
  bool operator==(const DisplaySettings&) const = default;
};

struct CutPlaneSettings {
  float red = 0.0f, green = 1.0f, blue = 1.0f;  // 0..1
  float opacity = 0.2f;                          // 0..1
  bool showCutPlane = true;
  bool slab = false;
  float slabWidth = 20.0f;  // mm
  bool operator==(const CutPlaneSettings&) const = default;
};

struct RendererSettings {
  int32_t interactionQuality = 0;  // 0..4
  int32_t finalQuality = 2;        // 0..4
  int32_t downsampling = 1;        // 1 none, 2 half, 4 quarter
  bool autoHighQuality = true;
  bool liveCutView = true;
  int32_t mprDisplayMode = 0;  // 0 grayscale, 1 colour
  float brightness = 2.0f;     // 1..3
  float contrast = 2.5f;       // 1..4
  float glossiness = 16.0f;    // 0..32
  bool operator==(const RendererSettings&) const = default;
};

struct AviSettings {
  uint32_t compressor = 1684633187;  // "cvid" read as a little-endian 32-bit value
  int32_t quality = 100;             // percent
  int32_t frameRate = 5;             // frames per second
  bool operator==(const AviSettings&) const = default;
};

struct PerformanceSettings {
  bool disableUndo = true;
  bool disableSubset = false;
  int16_t skipThreshold = 0;      // not stored in the file
  float opacityThreshold = 0.0f;  // 0..0.95, not stored in the file
  bool operator==(const PerformanceSettings&) const = default;
};

struct RegionSettings {
  int32_t maxDifferenceFromSeed = 1000;
  int32_t maxDifferenceBetweenNeighbours = 700;
  int32_t minIntensity = 150;
  bool invertSelection = false;
  bool operator==(const RegionSettings&) const = default;
};

class ZR_Vis3DSettings {
 public:
  static constexpr const char* kFileName = "lmx_settings.stg";
  static constexpr int32_t kValueCount = 30;

  ZR_Vis3DSettings() = default;
  // Stores the path, sets the defaults and reads the file; a file that cannot be read
  // leaves the defaults.
  explicit ZR_Vis3DSettings(std::string path);

  // Reads the file at the stored path; false when it cannot be opened. Values are taken in
  // order: once one is not a number, it and all later ones keep what they held; a number
  // outside its field's range keeps what that field held and reading goes on.
  [[nodiscard]] bool Read();
  // The same over text already in memory (the file's contents).
  void ReadText(std::string_view text);
  // Replaces the file at the stored path; false when it cannot be written, and then the
  // previous file is still there, unchanged.
  [[nodiscard]] bool Write() const;
  // The 30 lines that Write puts in the file.
  std::string Text() const;

  void SetDefaults();
  // Every field of the six records of `other`; the path stays.
  void Assign(const ZR_Vis3DSettings& other);

  const std::string& Path() const { return m_sPath; }
  void SetPath(std::string path) { m_sPath = std::move(path); }

  DisplaySettings& Display() { return m_oDisplay; }
  CutPlaneSettings& CutPlane() { return m_oCutPlane; }
  RendererSettings& Renderer() { return m_oRenderer; }
  AviSettings& Avi() { return m_oAvi; }
  PerformanceSettings& Performance() { return m_oPerformance; }
  RegionSettings& Region() { return m_oRegion; }
  const DisplaySettings& Display() const { return m_oDisplay; }
  const CutPlaneSettings& CutPlane() const { return m_oCutPlane; }
  const RendererSettings& Renderer() const { return m_oRenderer; }
  const AviSettings& Avi() const { return m_oAvi; }
  const PerformanceSettings& Performance() const { return m_oPerformance; }
  const RegionSettings& Region() const { return m_oRegion; }

  // The six records compared field by field (the path is not compared).
  bool SameValues(const ZR_Vis3DSettings& other) const;

 private:
  std::string m_sPath;
  DisplaySettings m_oDisplay;
  CutPlaneSettings m_oCutPlane;
  RendererSettings m_oRenderer;
  AviSettings m_oAvi;
  PerformanceSettings m_oPerformance;
  RegionSettings m_oRegion;
};
