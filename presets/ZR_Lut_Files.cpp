// Preset files of the lookup table: colour presets (five bands) and window presets.

#include <cstring>
#include <limits>

#include "core/ZR_NumberText.h"
#include "core/ZR_TextFile.h"
#include "presets/ZR_Lut.h"

namespace {
// Window values of the 16-bit volumes this program loads, signed or unsigned.
constexpr int64_t kMaxWidth = 65535;
constexpr int64_t kMinLevel = -32768;
constexpr int64_t kMaxLevel = 65535;

bool NextInRange(ZR_NumberText& in, int64_t low, int64_t high, int64_t& value) {
  return in.NextInteger(value) && value >= low && value <= high;
}
}  // namespace

bool ZR_Lut::ReadBandPreset(const std::string& path) {
  std::string text;
  return ZR_TextFile::Read(path, text) && ReadBandPresetText(text);
}

bool ZR_Lut::ReadWindowPreset(const std::string& path) {
  std::string text;
  return ZR_TextFile::Read(path, text) && ReadWindowPresetText(text);
}

bool ZR_Lut::ReadBandPresetText(std::string_view text) {
  // Everything is parsed into temporaries and committed only once the whole preset is there.
  ZR_NumberText in(text);
  int64_t number = 0;
  if (!in.NextInteger(number) || number != m_nPresetClass) return false;
  if (!in.NextInteger(number) || number != kBandCount) return false;

  uint16_t edges[kInnerEdgeCount];
  int32_t previous = 0;
  for (uint16_t& edge : edges) {
    if (!NextInRange(in, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(),
                     number))
      return false;
    const int32_t index = RoundedIndex(static_cast<float>(number));
    if (index < previous) return false;  // bands out of order: not a file we wrote
    previous = index;
    edge = static_cast<uint16_t>(index);
  }

  float colours[kBandCount][4];
  for (auto& colour : colours) {
    for (float& component : colour) {
      double value = 0;
      if (!in.NextReal(value) || value < 0.0 || value > 1.0) return false;
      component = static_cast<float>(value);
    }
  }

  for (int32_t i = 0; i < kInnerEdgeCount; ++i) m_aBandEdges[i + 1] = edges[i];
  std::memcpy(m_aBandNodes[0], colours[0], sizeof m_aBandNodes[0]);
  for (int32_t b = 0; b < kBandCount; ++b)
    std::memcpy(m_aBandNodes[b + 1], colours[b], sizeof m_aBandNodes[0]);
  std::memcpy(m_aBandNodes[kNodeCount - 1], colours[kBandCount - 1], sizeof m_aBandNodes[0]);
  return true;
}

bool ZR_Lut::ReadWindowPresetText(std::string_view text) {
  ZR_NumberText in(text);
  int64_t presetClass = 0;
  if (!in.NextInteger(presetClass) || presetClass != m_nPresetClass) return false;
  int64_t greyWidth = 0, greyLevel = 0, opacityWidth = 0, opacityLevel = 0;
  if (!NextInRange(in, 0, kMaxWidth, greyWidth) ||
      !NextInRange(in, kMinLevel, kMaxLevel, greyLevel) ||
      !NextInRange(in, 0, kMaxWidth, opacityWidth) ||
      !NextInRange(in, kMinLevel, kMaxLevel, opacityLevel))
    return false;
  m_oGreyWindow = {static_cast<int32_t>(greyWidth), static_cast<int32_t>(greyLevel)};
  m_oOpacityWindow = {static_cast<int32_t>(opacityWidth), static_cast<int32_t>(opacityLevel)};
  return true;
}

std::string ZR_Lut::BandPresetText(const int32_t edgeValues[kInnerEdgeCount],
                                   const float colours[kBandCount][4]) const {
  std::string text = ZR_NumberText::Integer(m_nPresetClass) + "\n" +
                     ZR_NumberText::Integer(kBandCount) + "\n";
  for (int32_t i = 0; i < kInnerEdgeCount; ++i)
    text += ZR_NumberText::Integer(edgeValues[i]) + " ";
  text += "\n";
  for (int32_t b = 0; b < kBandCount; ++b) {
    for (int32_t c = 0; c < kComponents; ++c) {
      if (c) text += ' ';
      text += ZR_NumberText::Real(colours[b][c]);
    }
    text += "\n";
  }
  return text;
}

std::string ZR_Lut::WindowPresetText(ZR_Window grey, ZR_Window opacity) const {
  return ZR_NumberText::Integer(m_nPresetClass) + "\n" + ZR_NumberText::Integer(grey.nWidth) +
         " " + ZR_NumberText::Integer(grey.nLevel) + " " +
         ZR_NumberText::Integer(opacity.nWidth) + " " + ZR_NumberText::Integer(opacity.nLevel) +
         "\n";
}

bool ZR_Lut::WriteBandPreset(const std::string& path, const int32_t edgeValues[kInnerEdgeCount],
                             const float colours[kBandCount][4]) const {
  return ZR_TextFile::WriteReplacing(path, BandPresetText(edgeValues, colours));
}

bool ZR_Lut::WriteWindowPreset(const std::string& path, ZR_Window grey,
                               ZR_Window opacity) const {
  return ZR_TextFile::WriteReplacing(path, WindowPresetText(grey, opacity));
}
