// Window mode: the grey window, the opacity window and the threshold.

#include <algorithm>
#include <cmath>

#include "presets/ZR_PresetEditor.h"
#include "presets/ZR_PresetEditorHost.h"

namespace {
int32_t ToInt32(double value) {
  return static_cast<int32_t>(std::clamp(value, -2147483648.0, 2147483647.0));
}
}  // namespace

// Windows are in data units: raw values times the slope plus the intercept.
int32_t ZR_PresetEditor::WidthLimit() const {
  return ToInt32((static_cast<double>(m_nRawMax) - m_nRawMin) * m_fSlope);
}
int32_t ZR_PresetEditor::LevelMinimum() const {
  return ToInt32(static_cast<double>(m_nRawMin) * m_fSlope + m_nIntercept);
}
int32_t ZR_PresetEditor::LevelMaximum() const {
  return ToInt32(static_cast<double>(m_nRawMax) * m_fSlope + m_nIntercept);
}

// While Threshold is on the grey width stays 0 and a new width waits for it to go off.
void ZR_PresetEditor::SetGreyWidth(int32_t width) {
  m_fGreyWidth = static_cast<float>(width);
  if (m_bThresholdOn) {
    m_nWidthBeforeThreshold = width;
    m_nGreyWidth = 0;
  } else {
    m_nGreyWidth = width;
  }
}

void ZR_PresetEditor::DefaultWindows() {
  const int32_t level = static_cast<int32_t>(m_pLut->IndexToValue(m_nDataExtent * 0.5f));
  // Data units, like the level: with a slope of 2 a raw-unit width would cover half the data.
  const int32_t width = static_cast<int32_t>(m_nDataExtent * m_fUnitsPerIndex * m_fSlope);
  SetGreyWidth(width);
  m_nGreyLevel = level;
  m_fGreyLevel = static_cast<float>(level);
  m_nOpacityWidth = width;
  m_fOpacityWidth = static_cast<float>(width);
  m_nOpacityLevel = level;
  m_fOpacityLevel = static_cast<float>(level);
}

void ZR_PresetEditor::ShowWindows() {
  m_pGui->SetNumberValue(ZR_PresetCtl::Edit_Width, static_cast<float>(m_nGreyWidth));
  m_pGui->SetNumberValue(ZR_PresetCtl::Edit_Level, static_cast<float>(m_nGreyLevel));
  m_pGui->SetNumberValue(ZR_PresetCtl::Edit_OpacityWidth, static_cast<float>(m_nOpacityWidth));
  m_pGui->SetNumberValue(ZR_PresetCtl::Edit_OpacityLevel, static_cast<float>(m_nOpacityLevel));
}

void ZR_PresetEditor::ResetWindows() {
  DefaultWindows();
  ShowWindows();
  m_pLut->BuildGreyRamp(m_nGreyWidth, m_nGreyLevel);
  m_pLut->BuildOpacityRamp(m_nOpacityWidth, m_nOpacityLevel);
}

void ZR_PresetEditor::TypedWindow(int32_t control, int32_t value) {
  const bool width =
      control == ZR_PresetCtl::Edit_Width || control == ZR_PresetCtl::Edit_OpacityWidth;
  value = width ? std::clamp(value, 0, WidthLimit())
                : std::clamp(value, LevelMinimum(), LevelMaximum());
  m_pGui->SetNumberValue(control, static_cast<float>(value));
  switch (control) {
    case ZR_PresetCtl::Edit_Width: SetGreyWidth(value); break;
    case ZR_PresetCtl::Edit_Level:
      m_nGreyLevel = value;
      m_fGreyLevel = static_cast<float>(value);
      break;
    case ZR_PresetCtl::Edit_OpacityWidth:
      m_nOpacityWidth = value;
      m_fOpacityWidth = static_cast<float>(value);
      break;
    default:
      m_nOpacityLevel = value;
      m_fOpacityLevel = static_cast<float>(value);
      break;
  }
  if (control == ZR_PresetCtl::Edit_Width || control == ZR_PresetCtl::Edit_Level)
    m_pLut->BuildGreyRamp(m_nGreyWidth, m_nGreyLevel);
  else
    m_pLut->BuildOpacityRamp(m_nOpacityWidth, m_nOpacityLevel);
  Recolour();
  Redraw(ZR_PresetEditorHost::kComplete);
}

void ZR_PresetEditor::SetThreshold(bool on) {
  // A repeated "on" would otherwise remember the width 0 and lose the real one.
  if (on != m_bThresholdOn) {
    if (on) {
      m_nWidthBeforeThreshold = m_nGreyWidth;
      m_pGui->EnableControl(ZR_PresetCtl::Edit_Width, false);
      m_nGreyWidth = 0;
    } else {
      m_pGui->EnableControl(ZR_PresetCtl::Edit_Width, true);
      m_nGreyWidth = m_nWidthBeforeThreshold;
      m_fGreyWidth = static_cast<float>(m_nGreyWidth);
    }
    m_bThresholdOn = on;
    m_pGui->SetNumberValue(ZR_PresetCtl::Edit_Width, static_cast<float>(m_nGreyWidth));
  }
  m_pLut->BuildGreyRamp(m_nGreyWidth, m_nGreyLevel);
  Recolour();
  Redraw(ZR_PresetEditorHost::kComplete);
}

void ZR_PresetEditor::DragWindow(int32_t dx, int32_t dy) {
  m_fGreyWidth = std::clamp(m_fGreyWidth + static_cast<float>(dx) * m_fWindowGain, 0.0f,
                            static_cast<float>(WidthLimit()));
  m_fGreyLevel = std::clamp(m_fGreyLevel + static_cast<float>(dy) * m_fWindowGain,
                            static_cast<float>(LevelMinimum()), static_cast<float>(LevelMaximum()));
  m_nGreyWidth = m_bThresholdOn ? 0 : static_cast<int32_t>(std::floor(m_fGreyWidth + 0.5f));
  m_nGreyLevel = static_cast<int32_t>(std::floor(m_fGreyLevel + 0.5f));
  m_pGui->SetNumberValue(ZR_PresetCtl::Edit_Width, static_cast<float>(m_nGreyWidth));
  m_pGui->SetNumberValue(ZR_PresetCtl::Edit_Level, static_cast<float>(m_nGreyLevel));
  m_pLut->BuildGreyRamp(m_nGreyWidth, m_nGreyLevel);
  if (m_pGui->IsVisible()) Recolour();
}

void ZR_PresetEditor::DragOpacityWindow(int32_t dx, int32_t dy) {
  m_fOpacityWidth = std::clamp(m_fOpacityWidth + static_cast<float>(dx) * m_fWindowGain, 0.0f,
                               static_cast<float>(WidthLimit()));
  m_fOpacityLevel =
      std::clamp(m_fOpacityLevel + static_cast<float>(dy) * m_fWindowGain,
                 static_cast<float>(LevelMinimum()), static_cast<float>(LevelMaximum()));
  m_nOpacityWidth = static_cast<int32_t>(std::floor(m_fOpacityWidth + 0.5f));
  m_nOpacityLevel = static_cast<int32_t>(std::floor(m_fOpacityLevel + 0.5f));
  m_pGui->SetNumberValue(ZR_PresetCtl::Edit_OpacityWidth, static_cast<float>(m_nOpacityWidth));
  m_pGui->SetNumberValue(ZR_PresetCtl::Edit_OpacityLevel, static_cast<float>(m_nOpacityLevel));
  m_pLut->BuildOpacityRamp(m_nOpacityWidth, m_nOpacityLevel);
  Recolour();
}
