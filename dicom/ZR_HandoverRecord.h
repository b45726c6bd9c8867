#pragma once
// The volume description another process hands over: a block of bytes in a fixed layout (host
// byte order, both processes run on this machine), ending in the zero-terminated path of the
// study's first file. It carries no slices and no origin, so a decoded volume has geometry,
// value range and slice range but no pixels yet.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class ZR_DicomVolume;

class ZR_HandoverRecord {
 public:
  // Byte offsets of the fields.
  enum Offset : size_t {
    kNotCt = 0,
    kWidth = 4,
    kHeight = 8,
    kSliceCount = 12,
    kPixelSpacing = 16,  // x, y, then the slice distance: 3 floats
    kBitsUsed = 28,
    kFirst = 32,
    kLast = 36,
    kSmallest = 40,
    kLargest = 42,
    kSlope = 44,
    kIntercept = 48,
    kNonUniform = 50,
    kNonUniformSlice = 52,
    kOrientationFlag = 56,
    kRowDirection = 60,
    kColumnDirection = 72,
    kSliceDirection = 84,
    kFileName = 96,
  };
  // The shortest record: every field and the terminator of an empty name.
  static constexpr size_t kMinimumSize = kFileName + 1;
  static constexpr int32_t kMinimumSlices = 10;

  // Checks the record and, when it is sound, fills `volume` from it (every field first
  // returned to its constructed value; no slices). A record that is too short, has no
  // terminator inside it or describes something no volume can be (fewer than 10 or more than
  // 2048 slices, a matrix that is not square with a power-of-two side, a slice range outside
  // the slices, spacings that are not positive numbers, ...) gives VR_LD_INVALID_VOLUME,
  // leaves `volume` untouched and says why in `reason`. Nothing is read past `size`.
  [[nodiscard]] static int32_t Decode(const void* data, size_t size, ZR_DicomVolume& volume,
                                      std::string* reason = nullptr);

  // The record describing `volume` (what the sending process writes).
  static std::vector<uint8_t> Encode(const ZR_DicomVolume& volume);
};
