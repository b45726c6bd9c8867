// Presets, snapshots, the reset to defaults and the editor window's events.

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "presets/ZR_PresetEditor.h"
#include "presets/ZR_PresetEditorHost.h"

bool ZR_PresetEditor::LoadPreset(const std::string& path, bool fromUserList) {
  m_bPresetSelected = true;
  m_pGui->EnableControl(ZR_PresetCtl::Btn_Delete, fromUserList);
  if (m_nWindowMode == kBandMode) {
    if (!m_pLut->ReadBandPreset(path)) return false;
    ApplyBandPreset();
    return true;
  }
  if (!m_pLut->ReadWindowPreset(path)) return false;
  const ZR_Window grey = m_pLut->GreyWindow();
  const ZR_Window opacity = m_pLut->OpacityWindow();
  SetGreyWidth(grey.nWidth);
  m_nGreyLevel = grey.nLevel;
  m_fGreyLevel = static_cast<float>(grey.nLevel);
  m_nOpacityWidth = opacity.nWidth;
  m_fOpacityWidth = static_cast<float>(opacity.nWidth);
  m_nOpacityLevel = opacity.nLevel;
  m_fOpacityLevel = static_cast<float>(opacity.nLevel);
  ShowWindows();
  m_pLut->BuildGreyRamp(m_nGreyWidth, m_nGreyLevel);
  m_pLut->BuildOpacityRamp(m_nOpacityWidth, m_nOpacityLevel);
  Recolour();
  Redraw(ZR_PresetEditorHost::kComplete);
  return true;
}

bool ZR_PresetEditor::SavePreset(const std::string& path) {
  if (path.empty()) return false;
  // The user folder may not exist yet on a fresh installation.
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
  bool written = false;
  if (m_nWindowMode == kWindowMode) {
    written = m_pLut->WriteWindowPreset(path, {m_nGreyWidth, m_nGreyLevel},
                                        {m_nOpacityWidth, m_nOpacityLevel});
  } else {
    // Rounded, so that loading (which rounds back) finds the same index.
    int32_t values[kEdgeCount];
    for (int32_t i = 0; i < kEdgeCount; ++i) values[i] = m_pLut->RoundedValue(m_aBandEdges[i]);
    written = m_pLut->WriteBandPreset(path, values, m_aBandColours);
  }
  m_pGui->ClearListSelection();
  return written;
}

void ZR_PresetEditor::SaveState(bool windowPart) {
  if (windowPart) {
    m_oWindowSnapshot = {true,          m_nGreyWidth,    m_nGreyLevel,    m_nOpacityWidth,
                         m_nOpacityLevel, m_fGreyWidth,  m_fGreyLevel,    m_fOpacityWidth,
                         m_fOpacityLevel};
    return;
  }
  BandSnapshot& s = m_oBandSnapshot;
  s.bTaken = true;
  std::memcpy(s.aBandEdges, m_aBandEdges, sizeof s.aBandEdges);
  std::memcpy(s.aEdgePixels, m_aEdgePixels, sizeof s.aEdgePixels);
  std::memcpy(s.aNormalisedEdges, m_aNormalisedEdges, sizeof s.aNormalisedEdges);
  std::memcpy(s.aBandColours, m_aBandColours, sizeof s.aBandColours);
  std::memcpy(s.aBandColourBytes, m_aBandColourBytes, sizeof s.aBandColourBytes);
  std::copy_n(m_aPoints, kPointCount, s.aPoints);
  s.nDataExtent = m_nDataExtent;
  s.nBandSpan = m_nBandSpan;
  s.nBandOffset = m_nBandOffset;
  s.fBandSpan = m_fBandSpan;
  s.fBandOffset = m_fBandOffset;
}

void ZR_PresetEditor::RestoreState(bool windowPart) {
  // Without a snapshot there is nothing to go back to.
  if (windowPart) {
    const WindowSnapshot& s = m_oWindowSnapshot;
    if (!s.bTaken) return;
    m_nGreyWidth = s.nGreyWidth;
    m_nGreyLevel = s.nGreyLevel;
    m_nOpacityWidth = s.nOpacityWidth;
    m_nOpacityLevel = s.nOpacityLevel;
    m_fGreyWidth = s.fGreyWidth;
    m_fGreyLevel = s.fGreyLevel;
    m_fOpacityWidth = s.fOpacityWidth;
    m_fOpacityLevel = s.fOpacityLevel;
    m_pLut->BuildGreyRamp(m_nGreyWidth, m_nGreyLevel);
    m_pLut->BuildOpacityRamp(m_nOpacityWidth, m_nOpacityLevel);
    return;
  }
  const BandSnapshot& s = m_oBandSnapshot;
  if (!s.bTaken) return;
  std::memcpy(m_aBandEdges, s.aBandEdges, sizeof s.aBandEdges);
  std::memcpy(m_aEdgePixels, s.aEdgePixels, sizeof s.aEdgePixels);
  std::memcpy(m_aNormalisedEdges, s.aNormalisedEdges, sizeof s.aNormalisedEdges);
  std::memcpy(m_aBandColours, s.aBandColours, sizeof s.aBandColours);
  std::memcpy(m_aBandColourBytes, s.aBandColourBytes, sizeof s.aBandColourBytes);
  std::copy_n(s.aPoints, kPointCount, m_aPoints);
  m_nDataExtent = s.nDataExtent;
  m_nBandSpan = s.nBandSpan;
  m_nBandOffset = s.nBandOffset;
  m_fBandSpan = s.fBandSpan;
  m_fBandOffset = s.fBandOffset;
  BuildColours();
}

void ZR_PresetEditor::ResetToDefault() {
  ClearHighlight();
  m_bThresholdEvents = false;
  m_pGui->SetChecked(ZR_PresetCtl::ChBox_threshold, false);
  m_pGui->EnableControl(ZR_PresetCtl::Edit_Width, true);
  m_bThresholdEvents = true;
  // The box is unchecked and the width box enabled again, so the threshold is off too;
  // otherwise the next drag would hold the width at 0 behind an unchecked box.
  if (m_bThresholdOn) {
    m_bThresholdOn = false;
    m_nGreyWidth = m_nWidthBeforeThreshold;
    m_fGreyWidth = static_cast<float>(m_nGreyWidth);
    m_pLut->BuildGreyRamp(m_nGreyWidth, m_nGreyLevel);
  }
  if (m_nWindowMode == kWindowMode)
    ResetWindows();
  else
    ResetBands();
  Recolour();
  Redraw(ZR_PresetEditorHost::kComplete);
}

void ZR_PresetEditor::HandleEditorEvent(int32_t kind, const ZR_PresetEventData& data) {
  const int32_t* v = data.nValues;
  switch (kind) {
    case ZR_PresetEvent::OpacityPercent: EditOpacity(v[0], v[1]); break;
    case ZR_PresetEvent::EdgeValue: {
      const int32_t index = m_pLut->TableIndex(m_pLut->ValueToIndex(static_cast<float>(v[1])));
      EditEdge(v[0], static_cast<int32_t>(static_cast<float>(index) * m_fPixelsPerIndex), true);
      break;
    }
    case ZR_PresetEvent::EdgePixel: EditEdge(v[0], v[1], false); break;
    case ZR_PresetEvent::OpacityPixel:
      EditOpacity(v[0], static_cast<int32_t>(std::clamp<int64_t>(
                            (int64_t{m_nChartHeight} - v[1]) * 100 / m_nChartHeight, 0, 100)));
      break;
    case ZR_PresetEvent::BandColour: EditColour(v[0], v[1], v[2], v[3]); break;
    case ZR_PresetEvent::Threshold:
      if (m_bThresholdEvents) SetThreshold(v[0] != 0);
      m_bThresholdEvents = true;
      break;
    case ZR_PresetEvent::GreyWidth:
    case ZR_PresetEvent::GreyLevel:
    case ZR_PresetEvent::OpacityWidth:
    case ZR_PresetEvent::OpacityLevel: TypedWindow(kind, v[0]); break;
    case ZR_PresetEvent::ChartPainted: DrawOverlay(); break;
    case ZR_PresetEvent::SavePreset: (void)SavePreset(data.sPath); break;
    case ZR_PresetEvent::ChartReleased:
    case ZR_PresetEvent::ChartReleased2: Redraw(ZR_PresetEditorHost::kComplete); break;
    case ZR_PresetEvent::EditorClosed:
      if (m_pManager) m_pManager->SetRepaintQuality(ZR_PresetEditorHost::kComplete);
      break;
    default: break;
  }
}
