// Set-up, volume initialisation, mode switch and the histogram chart.

#include "presets/ZR_PresetEditor.h"

#include <algorithm>
#include <new>

#include "core/ZR_Result.h"
#include "presets/ZR_PresetEditorHost.h"

int32_t ZR_PresetEditor::Create(ZR_PresetEditorGui* gui, ZR_PresetEditorHost* host, ZR_Lut* lut,
                                std::unique_ptr<ZR_PresetEditor>& engine) {
  try {
    engine = std::make_unique<ZR_PresetEditor>(gui, host, lut);
  } catch (const std::bad_alloc&) {
    engine.reset();
    return VR_PRESET_NO_MEMORY;
  }
  return VR_OK;
}

ZR_PresetEditor::ZR_PresetEditor(ZR_PresetEditorGui* gui, ZR_PresetEditorHost* host, ZR_Lut* lut)
    : m_pManager(host),
      m_pGui(gui),
      m_pLut(lut),
      m_pHistogram(std::make_unique<std::array<uint32_t, kBins>>()),
      m_pPlottedHistogram(std::make_unique<std::array<int32_t, kBins>>()),
      m_pBinColours(std::make_unique<std::array<uint8_t, kBins * 3>>()) {
  // Attached only once nothing can throw any more, so the window never holds a dead engine.
  m_pGui->AttachEngine(this);
  m_pGui->GetChartSize(m_nChartWidth, m_nChartHeight);
  m_pGui->GetChartOrigin(m_nChartLeft, m_nChartTop);
  // A chart not laid out yet would divide by zero below.
  m_nChartWidth = std::max(m_nChartWidth, 1);
  m_nChartHeight = std::max(m_nChartHeight, 1);
  m_nBinCount = std::min(m_pLut->EntryCount(), kBins);
  m_aPoints[kPointCount - 1] = {m_nChartWidth - 1, m_nChartHeight - 1};
}

void ZR_PresetEditor::SetBasePath(const std::string& path) {
  m_sBasePath = path;
  m_pGui->StoreBasePath(path);
}

void ZR_PresetEditor::InitialiseForVolume(const uint32_t* histogram, uint64_t voxelCount,
                                          float slope, int32_t intercept, int32_t rawMinimum,
                                          int32_t rawMaximum, uint16_t indexScale,
                                          int32_t presetClass) {
  m_nPresetClass = presetClass;
  if (m_bThresholdOn) {
    // A new volume starts without the threshold; the window must not keep showing it.
    m_bThresholdOn = false;
    m_pGui->SetChecked(ZR_PresetCtl::ChBox_threshold, false);
    m_pGui->EnableControl(ZR_PresetCtl::Edit_Width, true);
  }
  m_fWindowGain = 1.0f;
  m_fBandGain = 0.5f;
  m_nIntercept = intercept;
  m_nRawMin = rawMinimum;
  m_nRawMax = rawMaximum;

  m_pLut->SetValueMapping(slope, intercept);
  m_pLut->SetRawRange(rawMinimum, rawMaximum);
  m_pLut->SetIndexScale(indexScale);
  m_pLut->SetPresetClass(presetClass);
  m_fSlope = m_pLut->Slope();
  m_fUnitsPerIndex =
      static_cast<float>(static_cast<int64_t>(rawMaximum) - rawMinimum) / ZR_Lut::kIndexScale;

  // Histogram analysis: the lowest bins (air, padding) would dwarf everything else.
  std::copy_n(histogram, kBins, m_pHistogram->begin());
  const int32_t cleared = static_cast<int32_t>(kBins * 0.004);
  std::fill_n(m_pHistogram->begin(), cleared, 0u);
  m_nHistogramMax = *std::max_element(m_pHistogram->begin(), m_pHistogram->end());
  uint64_t threshold = static_cast<uint64_t>(static_cast<double>(voxelCount) * 0.0001);
  if (threshold == 0) threshold = 1;
  int32_t extent = 0;
  for (int32_t i = m_nBinCount - 1; i > 0; --i) {
    if ((*m_pHistogram)[i] >= threshold) {
      extent = i;
      break;
    }
  }
  // Nothing above the cleared bins: take the whole table, so that the default windows span
  // the data and pixels per index stay finite.
  m_nDataExtent = static_cast<uint16_t>(extent > 0 ? extent : m_nBinCount - 1);

  // Default windows, stored in the table without a build yet.
  const int32_t level = static_cast<int32_t>(m_pLut->IndexToValue(m_nDataExtent * 0.5f));
  const int32_t width = static_cast<int32_t>(m_nDataExtent * m_fUnitsPerIndex * m_fSlope);
  m_nGreyLevel = m_nOpacityLevel = level;
  m_nGreyWidth = m_nOpacityWidth = width;
  m_fGreyLevel = m_fOpacityLevel = static_cast<float>(level);
  m_fGreyWidth = m_fOpacityWidth = static_cast<float>(width);
  m_pLut->SetGreyWindow({width, level});
  m_pLut->SetOpacityWindow({width, level});

  m_fPixelsPerIndex = static_cast<float>(m_nChartWidth) / m_nDataExtent;
  m_aPoints[0] = {0, 0};
  m_aPoints[kPointCount - 1] = {m_nChartWidth - 1, m_nChartHeight - 1};

  // Small populations are lifted to a tenth of the maximum so that they stay visible.
  const uint32_t tenth = m_nHistogramMax / 10;
  std::fill(m_pPlottedHistogram->begin(), m_pPlottedHistogram->end(), 0);
  for (int32_t i = 0; i < m_nDataExtent; ++i) {
    uint32_t bin = (*m_pHistogram)[i];
    if (bin > 0 && bin < tenth) bin += tenth;
    (*m_pPlottedHistogram)[i] = static_cast<int32_t>(std::min<uint32_t>(bin, INT32_MAX));
  }
  m_pGui->SetHistogram(m_nBandCount, m_pPlottedHistogram->data(), m_nDataExtent, m_nHistogramMax);
  Recolour();
  const int32_t edgeMinimum = static_cast<int32_t>(m_pLut->IndexToValue(0));
  const int32_t edgeMaximum = static_cast<int32_t>(m_pLut->IndexToValue(m_nDataExtent));
  for (int32_t i = 0; i < kEdgeCount; ++i) {
    m_pGui->SetNumberMin(ZR_PresetCtl::EditBandPos0 + i, edgeMinimum);
    m_pGui->SetNumberMax(ZR_PresetCtl::EditBandPos0 + i, edgeMaximum);
  }

  ShowWindows();
  DefaultBandLayout();
  ComputeNormalisedEdges();
}

void ZR_PresetEditor::SetMode(int32_t windowMode) {
  m_nWindowMode = windowMode == kBandMode ? kBandMode : kWindowMode;
  const bool window = m_nWindowMode == kWindowMode;
  m_pGui->EnableControl(ZR_PresetCtl::Panel_WlControls, window);
  m_pGui->ShowControl(ZR_PresetCtl::Panel_WlControls, window);
  m_pGui->EnableControl(ZR_PresetCtl::Panel_LutControls, !window);
  m_pGui->ShowControl(ZR_PresetCtl::Panel_LutControls, !window);
  const std::string modality = m_sBasePath + (m_nPresetClass == 0 ? "CT/" : "MR/");
  m_sPresetDir = modality + (window ? "WlPresets" : "Presets");
  m_sUserDir = modality + (window ? "WlUserDefined" : "UserDefined");
  m_pGui->ShowMode(m_nWindowMode);
  m_pGui->SetListDirectories(m_sPresetDir, m_sUserDir);
  Recolour();
}

void ZR_PresetEditor::Recolour() {
  const float* table =
      m_nWindowMode == kWindowMode ? m_pLut->GreyTable() : m_pLut->ColourTable();
  uint8_t* bytes = m_pBinColours->data();
  for (int32_t i = 0; i < m_nDataExtent; ++i) {
    for (int32_t c = 0; c < 3; ++c)
      bytes[i * 3 + c] = static_cast<uint8_t>(table[i * ZR_Lut::kComponents + c] * 255.0f);
  }
  m_pGui->SetBinColours(bytes);
  m_pGui->ApplyBinColours();
}

int32_t ZR_PresetEditor::IndexToPixel(float index) const {
  return static_cast<int32_t>(static_cast<float>(m_pLut->TableIndex(index)) * m_fPixelsPerIndex);
}

void ZR_PresetEditor::DrawOverlay() {
  if (m_nWindowMode == kBandMode) {
    m_pGui->DrawBands(m_aEdgePixels, m_aPoints);
    return;
  }
  const int32_t greyHalf = m_nGreyWidth / 2;
  const auto clamped = [this](float index) {
    return std::clamp(index, 0.0f, static_cast<float>(m_pLut->EntryCount() - 1));
  };
  m_pGui->DrawWindowMarkers(
      clamped(m_pLut->ValueToIndex(static_cast<float>(int64_t{m_nGreyLevel} - greyHalf))),
      clamped(m_pLut->ValueToIndex(static_cast<float>(int64_t{m_nGreyLevel} + greyHalf))));
  const int32_t opacityHalf = m_nOpacityWidth / 2;
  const int32_t xLow =
      IndexToPixel(m_pLut->ValueToIndex(static_cast<float>(int64_t{m_nOpacityLevel} - opacityHalf)));
  const int32_t xHigh =
      IndexToPixel(m_pLut->ValueToIndex(static_cast<float>(int64_t{m_nOpacityLevel} + opacityHalf)));
  m_pGui->DrawOpacityRamp(xLow, m_nChartHeight - 4, xHigh, 1);
}

void ZR_PresetEditor::ClearHighlight() {
  m_bPresetSelected = false;
  m_pGui->ClearListSelection();
}

void ZR_PresetEditor::Redraw(int32_t quality) {
  if (m_pManager) m_pManager->RedrawForPresetEditor(quality);
}

void ZR_PresetEditor::RequestRedraw() { Redraw(ZR_PresetEditorHost::kComplete); }
