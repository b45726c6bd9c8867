#include "settings/ZR_Vis3DSettings.h"

ZR_Vis3DSettings::ZR_Vis3DSettings(std::string path) : m_sPath(std::move(path)) {
  // A missing file is the first run: the defaults are what the user gets.
  (void)Read();
}

void ZR_Vis3DSettings::SetDefaults() {
  m_oDisplay = DisplaySettings();
  m_oCutPlane = CutPlaneSettings();
  m_oRenderer = RendererSettings();
  m_oAvi = AviSettings();
  m_oPerformance = PerformanceSettings();
  m_oRegion = RegionSettings();
}

void ZR_Vis3DSettings::Assign(const ZR_Vis3DSettings& other) {
  m_oDisplay = other.m_oDisplay;
  m_oCutPlane = other.m_oCutPlane;
  m_oRenderer = other.m_oRenderer;
  m_oAvi = other.m_oAvi;
  m_oPerformance = other.m_oPerformance;
  m_oRegion = other.m_oRegion;
}

bool ZR_Vis3DSettings::SameValues(const ZR_Vis3DSettings& other) const {
  return m_oDisplay == other.m_oDisplay && m_oCutPlane == other.m_oCutPlane &&
         m_oRenderer == other.m_oRenderer && m_oAvi == other.m_oAvi &&
         m_oPerformance == other.m_oPerformance && m_oRegion == other.m_oRegion;
}
