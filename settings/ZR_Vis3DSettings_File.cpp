// The settings file: 30 values in a fixed order, each checked against its field's range.

#include <limits>

#include "core/ZR_NumberText.h"
#include "core/ZR_TextFile.h"
#include "settings/ZR_Vis3DSettings.h"

namespace {
enum class Kind { Flag, Integer, Unsigned, Real };

struct Field {
  Kind kind;
  double low, high;  // the accepted range, both ends included
  void* (*at)(ZR_Vis3DSettings&);
  bool powerOfTwo = false;  // down-sampling: only 1, 2 or 4
};

constexpr double kU32 = std::numeric_limits<uint32_t>::max();

// In file order. Ranges are those the settings dialog offers; a value outside one could not
// have been written by this program and would reach a division or an array bound.
const Field kFields[ZR_Vis3DSettings::kValueCount] = {
    {Kind::Flag, 0, 1, [](ZR_Vis3DSettings& s) -> void* { return &s.CutPlane().showCutPlane; }},
    {Kind::Flag, 0, 1, [](ZR_Vis3DSettings& s) -> void* { return &s.CutPlane().slab; }},
    {Kind::Real, 0, 1, [](ZR_Vis3DSettings& s) -> void* { return &s.CutPlane().red; }},
    {Kind::Real, 0, 1, [](ZR_Vis3DSettings& s) -> void* { return &s.CutPlane().green; }},
    {Kind::Real, 0, 1, [](ZR_Vis3DSettings& s) -> void* { return &s.CutPlane().blue; }},
    {Kind::Real, 0, 1, [](ZR_Vis3DSettings& s) -> void* { return &s.CutPlane().opacity; }},
    {Kind::Real, 0.001, 1000, [](ZR_Vis3DSettings& s) -> void* { return &s.CutPlane().slabWidth; }},
    {Kind::Integer, 0, 2, [](ZR_Vis3DSettings& s) -> void* { return &s.Display().labelMode; }},
    {Kind::Flag, 0, 1, [](ZR_Vis3DSettings& s) -> void* { return &s.Display().showBoundingBox; }},
    {Kind::Flag, 0, 1, [](ZR_Vis3DSettings& s) -> void* { return &s.Display().showStudyDetails; }},
    {Kind::Flag, 0, 1, [](ZR_Vis3DSettings& s) -> void* { return &s.Display().showMprCrosshairs; }},
    {Kind::Flag, 0, 1, [](ZR_Vis3DSettings& s) -> void* { return &s.Display().lockActiveView; }},
    {Kind::Integer, 0, 100, [](ZR_Vis3DSettings& s) -> void* { return &s.Avi().quality; }},
    {Kind::Integer, 5, 30, [](ZR_Vis3DSettings& s) -> void* { return &s.Avi().frameRate; }},
    {Kind::Unsigned, 0, kU32, [](ZR_Vis3DSettings& s) -> void* { return &s.Avi().compressor; }},
    {Kind::Flag, 0, 1, [](ZR_Vis3DSettings& s) -> void* { return &s.Performance().disableUndo; }},
    {Kind::Flag, 0, 1, [](ZR_Vis3DSettings& s) -> void* { return &s.Performance().disableSubset; }},
    {Kind::Integer, 0, 4,
     [](ZR_Vis3DSettings& s) -> void* { return &s.Renderer().interactionQuality; }},
    {Kind::Integer, 0, 4, [](ZR_Vis3DSettings& s) -> void* { return &s.Renderer().finalQuality; }},
    {Kind::Integer, 1, 4, [](ZR_Vis3DSettings& s) -> void* { return &s.Renderer().downsampling; },
     true},
    {Kind::Flag, 0, 1, [](ZR_Vis3DSettings& s) -> void* { return &s.Renderer().autoHighQuality; }},
    {Kind::Flag, 0, 1, [](ZR_Vis3DSettings& s) -> void* { return &s.Renderer().liveCutView; }},
    {Kind::Integer, 0, 1, [](ZR_Vis3DSettings& s) -> void* { return &s.Renderer().mprDisplayMode; }},
    {Kind::Real, 1, 3, [](ZR_Vis3DSettings& s) -> void* { return &s.Renderer().brightness; }},
    {Kind::Real, 1, 4, [](ZR_Vis3DSettings& s) -> void* { return &s.Renderer().contrast; }},
    {Kind::Real, 0, 32, [](ZR_Vis3DSettings& s) -> void* { return &s.Renderer().glossiness; }},
    {Kind::Integer, 0, 65535,
     [](ZR_Vis3DSettings& s) -> void* { return &s.Region().maxDifferenceFromSeed; }},
    {Kind::Integer, 0, 65535,
     [](ZR_Vis3DSettings& s) -> void* { return &s.Region().maxDifferenceBetweenNeighbours; }},
    {Kind::Integer, -32768, 65535,
     [](ZR_Vis3DSettings& s) -> void* { return &s.Region().minIntensity; }},
    {Kind::Flag, 0, 1, [](ZR_Vis3DSettings& s) -> void* { return &s.Region().invertSelection; }},
};

bool InRange(const Field& field, double value) {
  if (value < field.low || value > field.high) return false;
  return !field.powerOfTwo || value == 1 || value == 2 || value == 4;
}

// Parses one value; false when the token is not a number of the field's kind.
bool ReadField(ZR_NumberText& in, const Field& field, void* target) {
  if (field.kind == Kind::Real) {
    double value = 0;
    if (!in.NextReal(value)) return false;
    if (InRange(field, value)) *static_cast<float*>(target) = static_cast<float>(value);
    return true;
  }
  int64_t value = 0;
  if (!in.NextInteger(value)) return false;
  if (!InRange(field, static_cast<double>(value))) return true;
  switch (field.kind) {
    case Kind::Flag: *static_cast<bool*>(target) = value != 0; break;
    case Kind::Integer: *static_cast<int32_t*>(target) = static_cast<int32_t>(value); break;
    case Kind::Unsigned: *static_cast<uint32_t*>(target) = static_cast<uint32_t>(value); break;
    case Kind::Real: break;
  }
  return true;
}

std::string WriteField(const Field& field, const void* source) {
  switch (field.kind) {
    case Kind::Flag: return *static_cast<const bool*>(source) ? "1" : "0";
    case Kind::Integer: return ZR_NumberText::Integer(*static_cast<const int32_t*>(source));
    case Kind::Unsigned: return ZR_NumberText::Integer(*static_cast<const uint32_t*>(source));
    case Kind::Real: return ZR_NumberText::Real(*static_cast<const float*>(source));
  }
  return {};
}
}  // namespace

bool ZR_Vis3DSettings::Read() {
  std::string text;
  if (!ZR_TextFile::Read(m_sPath, text)) return false;
  ReadText(text);
  return true;
}

void ZR_Vis3DSettings::ReadText(std::string_view text) {
  ZR_NumberText in(text);
  for (const Field& field : kFields)
    if (!ReadField(in, field, field.at(*this))) break;
}

std::string ZR_Vis3DSettings::Text() const {
  // The field table hands out writable pointers; they are only read here.
  auto& self = const_cast<ZR_Vis3DSettings&>(*this);
  std::string text;
  for (const Field& field : kFields) text += WriteField(field, field.at(self)) + "\n";
  return text;
}

bool ZR_Vis3DSettings::Write() const { return ZR_TextFile::WriteReplacing(m_sPath, Text()); }
