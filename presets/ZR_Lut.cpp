#include "presets/ZR_Lut.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

ZR_Lut::ZR_Lut(int32_t entryCount) { SetEntryCount(entryCount); }

std::size_t ZR_Lut::Offset(TableId id) const {
  return (static_cast<std::size_t>(id) * (m_nEntryCount + 2) + 1) * kComponents;
}

void ZR_Lut::SetEntryCount(int32_t count) {
  // The band edges hold the entry count in 16 bits, and the identity ramp needs two entries.
  m_nEntryCount = std::clamp(count, 2, 65535);
  m_aStorage.assign(static_cast<std::size_t>(kTableCount) * (m_nEntryCount + 2) * kComponents,
                    kGuardValue);
  std::fill_n(Table(kColour), m_nEntryCount * kComponents, 0.0f);
  std::fill_n(Table(kBackup), m_nEntryCount * kComponents, 0.0f);
  float* grey = Table(kGrey);
  const float last = static_cast<float>(m_nEntryCount - 1);
  for (int32_t i = 0; i < m_nEntryCount; ++i)
    std::fill_n(grey + i * kComponents, kComponents, static_cast<float>(i) / last);
  m_aBandEdges[kInnerEdgeCount + 1] = static_cast<uint16_t>(m_nEntryCount);
}

bool ZR_Lut::GuardsIntact() const {
  for (int32_t id = 0; id < kTableCount; ++id) {
    const float* table = Table(static_cast<TableId>(id));
    for (int32_t c = 0; c < kComponents; ++c) {
      if (table[c - kComponents] != kGuardValue) return false;
      if (table[m_nEntryCount * kComponents + c] != kGuardValue) return false;
    }
  }
  return true;
}

void ZR_Lut::SetValueMapping(float slope, int32_t intercept) {
  m_fSlope = (std::isfinite(slope) && slope > 0.0f) ? slope : 1.0f;
  m_nIntercept = intercept;
}

void ZR_Lut::SetRawRange(int32_t minimum, int32_t maximum) {
  m_nRawMinimum = minimum;
  m_nRawMaximum = maximum;
}

float ZR_Lut::IndexToValue(float index) const {
  const float range = static_cast<float>(static_cast<int64_t>(m_nRawMaximum) - m_nRawMinimum);
  float raw = static_cast<float>(m_nRawMinimum);
  if (range != 0.0f && m_nIndexScale != 0)
    raw = static_cast<float>(m_nRawMinimum + range * index / m_nIndexScale);
  return raw * m_fSlope + static_cast<float>(m_nIntercept);
}

float ZR_Lut::ValueToIndex(float value) const {
  const float range = static_cast<float>(static_cast<int64_t>(m_nRawMaximum) - m_nRawMinimum);
  if (range == 0.0f) return 0.0f;
  const float raw = static_cast<float>((value - static_cast<float>(m_nIntercept)) / m_fSlope);
  return (raw - static_cast<float>(m_nRawMinimum)) / range * m_nIndexScale;
}

int32_t ZR_Lut::TableIndex(float index) const {
  if (!(index > 0.0f)) return 0;
  if (index >= static_cast<float>(m_nEntryCount - 1)) return m_nEntryCount - 1;
  return static_cast<int32_t>(index);
}

int32_t ZR_Lut::RoundedValue(int32_t index) const {
  const double value = std::floor(static_cast<double>(IndexToValue(static_cast<float>(index))) + 0.5);
  return static_cast<int32_t>(std::clamp(value, -2147483648.0, 2147483647.0));
}

int32_t ZR_Lut::RoundedIndex(float value) const {
  return TableIndex(std::floor(ValueToIndex(value) + 0.5f));
}

void ZR_Lut::BuildColourTable(const uint16_t edges[kInnerEdgeCount],
                              const float colours[kBandCount][4], uint16_t dataExtent) {
  m_nEdgeCount = kInnerEdgeCount;
  m_aBandEdges[0] = 0;
  for (int32_t i = 0; i < kInnerEdgeCount; ++i) m_aBandEdges[i + 1] = edges[i];
  m_aBandEdges[kInnerEdgeCount + 1] = static_cast<uint16_t>(m_nEntryCount);

  // Node positions: band centres, with the last band's centre taken between its lower edge
  // and the data extent. Kept non-decreasing and inside the table, so that every entry is
  // written exactly once whatever edges arrive.
  int32_t position[kNodeCount];
  position[0] = 0;
  for (int32_t i = 1; i <= kInnerEdgeCount; ++i)
    position[i] = (m_aBandEdges[i - 1] + m_aBandEdges[i]) / 2;
  position[kNodeCount - 2] = (m_aBandEdges[kInnerEdgeCount] + dataExtent) / 2;
  position[kNodeCount - 1] = m_nEntryCount;
  for (int32_t i = 1; i < kNodeCount; ++i)
    position[i] = std::clamp(position[i], position[i - 1], m_nEntryCount);
  position[kNodeCount - 1] = m_nEntryCount;

  std::memcpy(m_aBandNodes[0], colours[0], sizeof m_aBandNodes[0]);
  for (int32_t b = 0; b < kBandCount; ++b)
    std::memcpy(m_aBandNodes[b + 1], colours[b], sizeof m_aBandNodes[0]);
  std::memcpy(m_aBandNodes[kNodeCount - 1], colours[kBandCount - 1], sizeof m_aBandNodes[0]);

  float* table = Table(kColour);
  for (int32_t s = 0; s + 1 < kNodeCount; ++s) {
    const int32_t begin = position[s];
    const int32_t end = position[s + 1];
    if (end <= begin) continue;
    const float* from = m_aBandNodes[s];
    const float* to = m_aBandNodes[s + 1];
    const float step = 1.0f / static_cast<float>(end - begin);
    for (int32_t k = begin; k < end; ++k) {
      const float t = static_cast<float>(k - begin) * step;
      float* entry = table + k * kComponents;
      for (int32_t c = 0; c < kComponents; ++c)
        entry[c] = std::clamp((1.0f - t) * from[c] + t * to[c], 0.0f, 1.0f);
    }
  }
}

void ZR_Lut::BuildRamp(int32_t width, int32_t level, bool rgb) {
  const int64_t half = width / 2;
  // Both ends clamped to the table before truncating: a window far outside the data would
  // otherwise index before or after the table.
  const int32_t low = TableIndex(ValueToIndex(static_cast<float>(level - half)));
  const int32_t high = TableIndex(ValueToIndex(static_cast<float>(level + half)));
  const float step = high > low ? 1.0f / static_cast<float>(high - low) : 0.0f;
  float* table = Table(kGrey);
  for (int32_t k = 0; k < m_nEntryCount; ++k) {
    const float v = k < low ? 0.0f : (k < high ? static_cast<float>(k - low) * step : 1.0f);
    float* entry = table + k * kComponents;
    if (rgb) {
      entry[0] = entry[1] = entry[2] = v;
    } else {
      entry[3] = v;
    }
  }
}

void ZR_Lut::BuildGreyRamp(int32_t width, int32_t level) {
  m_oGreyWindow = {width, level};
  BuildRamp(width, level, true);
}

void ZR_Lut::BuildOpacityRamp(int32_t width, int32_t level) {
  m_oOpacityWindow = {width, level};
  BuildRamp(width, level, false);
}

void ZR_Lut::SaveGreyTable() {
  std::memcpy(Table(kBackup), Table(kGrey), sizeof(float) * m_nEntryCount * kComponents);
}

void ZR_Lut::RestoreGreyTable() {
  std::memcpy(Table(kGrey), Table(kBackup), sizeof(float) * m_nEntryCount * kComponents);
}

void ZR_Lut::FillGreyRange(int32_t first, int32_t last, float grey, float alpha) {
  first = std::max(first, 0);
  last = std::min(last, m_nEntryCount - 1);
  float* table = Table(kGrey);
  for (int32_t k = first; k <= last; ++k) {
    float* entry = table + k * kComponents;
    entry[0] = entry[1] = entry[2] = grey;
    entry[3] = alpha;
  }
}
