#pragma once
// Result codes of engine operations and their user messages.

#include <cstdint>
#include <string>

// 0 means success; the numbers are fixed because they travel as process exit codes too.
enum ZR_ResultCode : int32_t {
  VR_OK = 0,
  VR_NO_MEMORY = 2,
  VR_MEMORY_WARNING = 3,
  VR_LD_INVALID_VOLUME = 4,
  VR_LD_TOO_FEW_SLICES = 5,
  VR_LD_MATRIX_NOT_SUPPORTED = 6,
  VR_OG_PIXEL_FORMAT = 8,
  VR_OG_CONTEXT = 10,
  VR_OG_3D_TEXTURE = 11,
  VR_OG_SW_RENDER = 12,
  VR_OG_NOT_SUPPORTED = 13,
  VR_OG_SHADING = 14,
  // The preset engine could not allocate its arrays; it has no entry in the message table.
  VR_PRESET_NO_MEMORY = 17,
  // A picture or series could not be written (the folder, the disk, the source study's file);
  // the caller names the file. It has no entry in the message table either.
  VR_WRITE_FAILED = 18,
};

class ZR_Result {
 public:
  static constexpr int32_t kTableSize = 16;

  // The fixed message of a code, or nullptr when the code has none (codes outside 0..15,
  // and 0, 1, 7, 9, 15).
  static const char* Message(int32_t code);

  // What the user sees for a code: its message, or a generic error naming the code.
  static std::string DisplayText(int32_t code);
};
