#pragma once
// The small vocabularies the engine and the window share: the 3D and MPR tools, the two
// screens and the volume rendering modes. Their numbers are fixed: numbered commands, recorded
// movies and the command line address them by number, so a number only becomes one of these
// (and back) through the explicit conversions below, at the place where it crosses in.
// Panels, controls and cursors are named in ZR_Ids.h, key codes in ZR_Keys.h.

#include <cstdint>
#include <type_traits>

// The tool of the 3D views (panel 0, and panel 8 of the MPR screen).
enum class ZR_Tool3d : int32_t {
  Zoom = 0,
  Rotate = 1,  // the default
  Pan = 2,
  CutPlane = 3,
  Roi = 4,
  Seed = 5,
  WindowLevel = 6,
  OpacityWindowLevel = 7,
  VoiPosition = 8,
  VoiSize = 9,
};
constexpr int32_t kTool3dCount = 10;

// The tool of the MPR views (panels 4..7).
enum class ZR_MprTool : int32_t {
  Zoom = 0,
  Pan = 1,
  RotateFree = 2,
  RotateHorizontal = 3,
  RotateVertical = 4,
  WindowLevel = 5,  // the default
  // The measurements.
  PixelValue = 6,
  Ruler = 7,
  Angle = 8,
  RoiStatistics = 9,
  // No tool of its own: selecting it gives back the tool the last non-measurement choice
  // replaced.
  Restore = 10,
};
constexpr int32_t kMprToolCount = 10;  // Restore is no tool

enum class ZR_Screen : int32_t {
  View3d = 0,  // volume rendering with the three orthogonal slices
  Mpr = 1,     // four MPR views and their 3D view; shown at start
};

enum class ZR_RenderMode : int32_t {
  Grayscale = 0,
  Colour = 1,  // the default; the only mode that shades
  Mip = 2,
};
constexpr int32_t kRenderModeCount = 3;

// The number of a vocabulary value, for the places that hand it on by number.
template <typename E>
constexpr int32_t ZR_Number(E value) {
  static_assert(std::is_enum_v<E>);
  return static_cast<int32_t>(value);
}

// Tool and mode predicates the dispatch needs in several places.
constexpr bool IsMeasurementTool(ZR_MprTool tool) { return tool >= ZR_MprTool::PixelValue && tool <= ZR_MprTool::RoiStatistics; }
constexpr bool IsRotationTool(ZR_MprTool tool) { return tool >= ZR_MprTool::RotateFree && tool <= ZR_MprTool::RotateVertical; }
constexpr bool IsValid(ZR_MprTool tool) { return ZR_Number(tool) >= 0 && ZR_Number(tool) < kMprToolCount; }
constexpr bool IsValid(ZR_Tool3d tool) { return ZR_Number(tool) >= 0 && ZR_Number(tool) < kTool3dCount; }
constexpr bool IsValid(ZR_RenderMode mode) { return ZR_Number(mode) >= 0 && ZR_Number(mode) < kRenderModeCount; }
