// Band mode: the five colour bands, their edges and opacity control points on the chart.

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "presets/ZR_PresetEditor.h"
#include "presets/ZR_PresetEditorHost.h"

namespace {
const uint8_t kDefaultBandBytes[ZR_Lut::kBandCount][4] = {
    {0, 0, 0, 0}, {127, 0, 25, 20}, {229, 229, 38, 211}, {255, 255, 0, 255}, {255, 255, 255, 255}};
// Heights of control points 0..6 in percent of the chart height.
const int32_t kDefaultHeights[ZR_Lut::kNodeCount] = {0, 0, 8, 83, 100, 100, 100};
// The tolerance keeps an opacity read as 0.08 at 8 % of the chart rather than just below.
constexpr float kPixelTolerance = 1e-3f;
}  // namespace

void ZR_PresetEditor::DefaultBandLayout() {
  for (int32_t b = 0; b < kBandCount; ++b) {
    for (int32_t c = 0; c < 4; ++c) {
      m_aBandColourBytes[b][c] = kDefaultBandBytes[b][c];
      m_aBandColours[b][c] = kDefaultBandBytes[b][c] / 255.0f;
    }
  }
  m_pGui->SetBandColours(m_aBandColourBytes);
  for (int32_t p = 0; p < kPointCount; ++p)
    m_aPoints[p].y = m_nChartHeight * kDefaultHeights[p] / 100;
  const int32_t spacing = m_nDataExtent / kBandCount;
  const int32_t step = static_cast<int32_t>(static_cast<float>(spacing) * m_fPixelsPerIndex);
  for (int32_t i = 0; i < kEdgeCount; ++i) {
    m_aEdgePixels[i] = step * (i + 1);
    m_aBandEdges[i] = static_cast<uint16_t>(spacing * (i + 1));
  }
}

void ZR_PresetEditor::ResetBands() {
  ClearHighlight();
  DefaultBandLayout();
  Sync(true);
  BuildColours();
  Recolour();
  ComputeNormalisedEdges();
}

void ZR_PresetEditor::Sync(bool edgesMoved) {
  if (edgesMoved) {
    m_aPoints[0].x = 0;
    for (int32_t i = 0; i < kEdgeCount; ++i)
      m_aPoints[i + 1].x = ((i ? m_aEdgePixels[i - 1] : 0) + m_aEdgePixels[i]) / 2;
    m_aPoints[kPointCount - 2].x = (m_nChartWidth + m_aEdgePixels[kEdgeCount - 1]) / 2;
    m_aPoints[kPointCount - 1].x = m_nChartWidth;
  }
  if (!m_bLoading) {
    // Only edges that moved are taken from the pixels: an opacity or colour edit right after
    // loading a preset would otherwise snap its exact edges to the pixel grid.
    for (int32_t i = 0; edgesMoved && i < kEdgeCount; ++i) {
      const int32_t index =
          m_pLut->TableIndex(static_cast<float>(m_aEdgePixels[i]) / m_fPixelsPerIndex);
      m_aBandEdges[i] = static_cast<uint16_t>(index);
    }
    for (int32_t b = 0; b < kBandCount; ++b)
      for (int32_t c = 0; c < 3; ++c) m_aBandColours[b][c] = m_aBandColourBytes[b][c] / 255.0f;
  }
  for (int32_t k = 0; k < kBandCount; ++k) {
    const int64_t percent = int64_t{m_aPoints[k].y} * 100 / m_nChartHeight;
    m_pGui->SetNumberValue(ZR_PresetCtl::EditOpacity0 + k, static_cast<float>(percent));
  }
  for (int32_t i = 0; i < kEdgeCount; ++i)
    m_pGui->SetNumberValue(ZR_PresetCtl::EditBandPos0 + i,
                           static_cast<float>(m_pLut->RoundedValue(m_aBandEdges[i])));
  m_bLoading = false;
}

void ZR_PresetEditor::BuildColours() {
  m_pLut->BuildColourTable(m_aBandEdges, m_aBandColours, m_nDataExtent);
}

void ZR_PresetEditor::ComputeNormalisedEdges() {
  const int32_t span = m_aEdgePixels[kEdgeCount - 1] - m_aEdgePixels[0];
  // All edges at one place: nothing to spread and no division; the offset is that place,
  // so that a spreading drag leaves them there instead of at the chart's start.
  const int32_t offset = span != 0 ? span / 2 : m_aEdgePixels[0];
  for (int32_t i = 0; i < kEdgeCount; ++i) {
    m_aNormalisedEdges[i] =
        span != 0 ? static_cast<float>(m_aEdgePixels[i] - offset) / static_cast<float>(span) : 0.0f;
  }
  m_nBandSpan = span;
  m_fBandSpan = static_cast<float>(span);
  m_nBandOffset = offset;
  m_fBandOffset = static_cast<float>(offset);
}

void ZR_PresetEditor::EditEdge(int32_t edge, int32_t x, bool typed) {
  if (edge < 0 || edge >= kEdgeCount) return;
  x = std::clamp(x, 0, m_nChartWidth);
  if (m_bPresetSelected) ClearHighlight();
  m_aEdgePixels[edge] = x;
  if (edge < kEdgeCount - 1 && m_aEdgePixels[edge + 1] <= x)
    m_aEdgePixels[edge + 1] = std::min(x + 1, m_nChartWidth);
  if (edge > 0 && m_aEdgePixels[edge - 1] >= x) m_aEdgePixels[edge - 1] = std::max(0, x - 1);
  ComputeNormalisedEdges();
  Sync(true);
  BuildColours();
  Recolour();
  Redraw(typed ? ZR_PresetEditorHost::kComplete : ZR_PresetEditorHost::kInteractive);
}

void ZR_PresetEditor::EditOpacity(int32_t point, int32_t percent) {
  if (point < 1 || point > kBandCount) return;
  if (m_bPresetSelected) ClearHighlight();
  percent = std::clamp(percent, 0, 100);
  m_aPoints[point].y = m_nChartHeight * percent / 100;
  m_aBandColours[point - 1][3] = static_cast<float>(percent) * 0.01f;
  m_aBandColourBytes[point - 1][3] = static_cast<uint8_t>(percent * 255 / 100);
  m_aPoints[kPointCount - 1].y = m_aPoints[kPointCount - 2].y;
  Sync(false);
  BuildColours();
  Recolour();
  Redraw(ZR_PresetEditorHost::kInteractive);
}

void ZR_PresetEditor::EditColour(int32_t band, int32_t red, int32_t green, int32_t blue) {
  if (band < 0 || band >= kBandCount) return;
  m_aBandColourBytes[band][0] = static_cast<uint8_t>(std::clamp(red, 0, 255));
  m_aBandColourBytes[band][1] = static_cast<uint8_t>(std::clamp(green, 0, 255));
  m_aBandColourBytes[band][2] = static_cast<uint8_t>(std::clamp(blue, 0, 255));
  m_pGui->SetBandColours(m_aBandColourBytes);
  Sync(false);
  BuildColours();
  Recolour();
  Redraw(ZR_PresetEditorHost::kInteractive);
}

void ZR_PresetEditor::ApplyBandPreset() {
  m_bLoading = true;
  std::copy_n(m_pLut->BandEdges(), kEdgeCount, m_aBandEdges);
  std::copy_n(m_pLut->BandColours(), kBandCount * 4, &m_aBandColours[0][0]);
  for (int32_t b = 0; b < kBandCount; ++b) {
    // Rounded: a byte written as b / 255 with six digits and truncated back lost one each cycle.
    for (int32_t c = 0; c < 4; ++c)
      m_aBandColourBytes[b][c] = static_cast<uint8_t>(std::lround(m_aBandColours[b][c] * 255.0f));
    m_aPoints[b + 1].y =
        static_cast<int32_t>(static_cast<float>(m_nChartHeight) * m_aBandColours[b][3] + kPixelTolerance);
  }
  m_aPoints[kPointCount - 1].y = m_aPoints[kPointCount - 2].y;
  m_pGui->SetBandColours(m_aBandColourBytes);
  for (int32_t i = 0; i < kEdgeCount; ++i) {
    const int32_t x = static_cast<int32_t>(static_cast<float>(m_aBandEdges[i]) * m_fPixelsPerIndex);
    m_aEdgePixels[i] = std::clamp(x, 0, m_nChartWidth);
  }
  Sync(true);
  BuildColours();
  ComputeNormalisedEdges();
  Recolour();
  Redraw(ZR_PresetEditorHost::kComplete);
}

void ZR_PresetEditor::DragBands(int32_t dx, int32_t dy) {
  if (std::abs(dy) < std::abs(dx))
    m_fBandSpan += static_cast<float>(dx) * m_fBandGain;
  else
    m_fBandOffset += static_cast<float>(dy) * m_fBandGain;
  const float spanLimit = static_cast<float>(int64_t{m_nRawMax} - m_nRawMin);
  m_fBandSpan = std::clamp(m_fBandSpan, 0.0f, spanLimit);
  const int32_t span = static_cast<int32_t>(std::ceil(m_fBandSpan + 0.5f));
  m_fBandOffset = std::clamp(m_fBandOffset, static_cast<float>(int64_t{m_nRawMin} + m_nIntercept),
                             static_cast<float>(int64_t{m_nRawMax} + m_nIntercept));
  const int32_t offset = static_cast<int32_t>(m_fBandOffset);
  for (int32_t i = 0; i < kEdgeCount; ++i) {
    const int64_t x = offset != m_nBandOffset
                          ? int64_t{m_aEdgePixels[i]} + offset - m_nBandOffset
                          : static_cast<int64_t>(static_cast<float>(span) * m_aNormalisedEdges[i] +
                                                 static_cast<float>(offset));
    // Kept on the chart: an edge beyond it would name an index beyond the data.
    m_aEdgePixels[i] = static_cast<int32_t>(std::clamp<int64_t>(x, 0, m_nChartWidth));
  }
  m_nBandSpan = span;
  m_nBandOffset = offset;
  Sync(true);
  BuildColours();
  Recolour();
}
