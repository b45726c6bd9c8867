#include "core/ZR_Result.h"

namespace {
const char* const kMessages[ZR_Result::kTableSize] = {
    nullptr,
    nullptr,
    "ERROR! Low on memory. Close other applications and reload volume, or reduce number of slices.",
    "WARNING! Available physical memory may be insufficient.",
    "ERROR! Failed to load volume.\nThe selected images may not constitute a valid DICOM volume.\n"
    "Slices must belong to the same series.\n"
    "Pixel spacing, imaging matrix, image orientation must be identical across slices.",
    "ERROR! Failed to load volume (too few slices).",
    "ERROR! Failed to load volume (Imaging Matrix not supported).",
    nullptr,
    "ERROR! Failed to set OpenGL pixel format.",
    nullptr,
    "ERROR! OpenGL Rendering Context failed. Check graphics card and drivers.",
    "ERROR! OpenGL 3D Texturing failed. Try reloading volume or reducing number of slices.",
    "WARNING! OpenGL Graphics acceleration not available. Rendering performance will be lower.",
    "ERROR! OpenGL support insufficient. Try updating graphics drivers.",
    "ERROR! Failed to enable Shaded Rendering. Try reducing number of slices.",
    nullptr,
};
}  // namespace

const char* ZR_Result::Message(int32_t code) {
  if (code < 0 || code >= kTableSize) return nullptr;
  return kMessages[code];
}

std::string ZR_Result::DisplayText(int32_t code) {
  if (const char* text = Message(code)) return text;
  return "ERROR! The operation failed (result code " + std::to_string(code) + ").";
}
