#include "dicom/ZR_HandoverRecord.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

#include "core/ZR_Result.h"
#include "dicom/ZR_DicomVolume.h"

namespace {
template <typename T>
T Read(const uint8_t* data, size_t offset) {
  T value;
  std::memcpy(&value, data + offset, sizeof value);
  return value;
}

template <typename T>
void Write(std::vector<uint8_t>& out, size_t offset, T value) {
  std::memcpy(out.data() + offset, &value, sizeof value);
}

void ReadVector(const uint8_t* data, size_t offset, std::array<float, 3>& out) {
  for (size_t i = 0; i < 3; ++i) out[i] = Read<float>(data, offset + 4 * i);
}

bool Finite(const std::array<float, 3>& v) {
  return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]);
}

bool FitsInt16(int32_t value) {
  return value >= std::numeric_limits<int16_t>::min() && value <= std::numeric_limits<int16_t>::max();
}
}  // namespace

int32_t ZR_HandoverRecord::Decode(const void* data, size_t size, ZR_DicomVolume& volume, std::string* reason) {
  auto refuse = [&](const std::string& why) {
    if (reason) *reason = why;
    return VR_LD_INVALID_VOLUME;
  };
  if (!data || size < kMinimumSize)
    return refuse("the record holds " + std::to_string(data ? size : 0) + " bytes, at least " +
                  std::to_string(kMinimumSize) + " are needed");
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  const void* end = std::memchr(bytes + kFileName, 0, size - kFileName);
  if (!end) return refuse("the file name has no terminator inside the record");

  const int32_t width = Read<int32_t>(bytes, kWidth), height = Read<int32_t>(bytes, kHeight);
  const int32_t count = Read<int32_t>(bytes, kSliceCount);
  const int32_t first = Read<int32_t>(bytes, kFirst), last = Read<int32_t>(bytes, kLast);
  const float spacingX = Read<float>(bytes, kPixelSpacing), spacingY = Read<float>(bytes, kPixelSpacing + 4);
  const float distance = Read<float>(bytes, kPixelSpacing + 8);
  const int32_t bits = Read<int32_t>(bytes, kBitsUsed);
  const int16_t smallest = Read<int16_t>(bytes, kSmallest), largest = Read<int16_t>(bytes, kLargest);
  const float slope = Read<float>(bytes, kSlope);
  const uint8_t nonUniform = bytes[kNonUniform], orientation = bytes[kOrientationFlag];
  const int32_t nonUniformSlice = Read<int32_t>(bytes, kNonUniformSlice);
  const int32_t notCt = Read<int32_t>(bytes, kNotCt);
  std::array<float, 3> row{}, column{}, slice{};
  ReadVector(bytes, kRowDirection, row);
  ReadVector(bytes, kColumnDirection, column);
  ReadVector(bytes, kSliceDirection, slice);

  const auto text = [](auto v) { return std::to_string(v); };
  if (count < kMinimumSlices || count > ZR_DicomVolume::kMaxSlices)
    return refuse(text(count) + " slices: a volume has " + text(kMinimumSlices) + " to " +
                  text(ZR_DicomVolume::kMaxSlices));
  if (width != height || width < 1 || width > 65536 || !std::has_single_bit(static_cast<uint32_t>(width)))
    return refuse("the matrix " + text(width) + " x " + text(height) + " is not square with a power-of-two side");
  if (first < 0 || first > last || last >= count)
    return refuse("the slice range " + text(first) + ".." + text(last) + " is not inside 0.." + text(count - 1));
  if (!(spacingX > 0 && spacingY > 0 && distance > 0) || !std::isfinite(spacingX) || !std::isfinite(spacingY) ||
      !std::isfinite(distance))
    return refuse("the pixel spacing or the slice distance is not a positive number");
  if (bits < 1 || bits > 16) return refuse(text(bits) + " bits used");
  if (smallest >= largest) return refuse("the value range " + text(smallest) + ".." + text(largest) + " is empty");
  if (!std::isfinite(slope) || slope == 0) return refuse("the rescale slope is not a number other than 0");
  if (nonUniform > 1 || orientation > 1 || (notCt != 0 && notCt != 1))
    return refuse("a flag holds a value other than 0 or 1");
  if (nonUniform ? (nonUniformSlice < 0 || nonUniformSlice > count - 3) : nonUniformSlice != -1)
    return refuse("the non-uniform slice " + text(nonUniformSlice) + " does not fit the non-uniform flag");
  if (!Finite(row) || !Finite(column) || !Finite(slice)) return refuse("a direction is not a number");

  volume.Clear();
  volume.m_nNotCt = notCt;
  volume.m_nWidth = width;
  volume.m_nHeight = height;
  volume.m_nSliceCount = count;
  volume.m_fPixelSpacingX = spacingX;
  volume.m_fPixelSpacingY = spacingY;
  volume.m_fSliceDistance = distance;
  volume.m_nBitsUsed = bits;
  volume.m_nFirst = first;
  volume.m_nLast = last;
  volume.m_nSmallest = smallest;
  volume.m_nLargest = largest;
  volume.m_fRescaleSlope = slope;
  volume.m_nRescaleIntercept = Read<int16_t>(bytes, kIntercept);
  volume.m_bNonUniform = nonUniform != 0;
  volume.m_nNonUniformSlice = nonUniformSlice;
  volume.m_bOrientationFlag = orientation != 0;
  volume.m_afRowDirection = row;
  volume.m_afColumnDirection = column;
  volume.m_afSliceDirection = slice;
  volume.m_sFileName.assign(reinterpret_cast<const char*>(bytes + kFileName),
                            static_cast<const uint8_t*>(end) - (bytes + kFileName));
  if (reason) reason->clear();
  return VR_OK;
}

std::vector<uint8_t> ZR_HandoverRecord::Encode(const ZR_DicomVolume& v) {
  // The record's value fields are 16 bits wide; a volume beyond them cannot be described.
  if (!FitsInt16(v.m_nSmallest) || !FitsInt16(v.m_nLargest) || !FitsInt16(v.m_nRescaleIntercept)) return {};
  std::vector<uint8_t> out(kFileName + v.m_sFileName.size() + 1, 0);
  Write<int32_t>(out, kNotCt, v.m_nNotCt);
  Write<int32_t>(out, kWidth, v.m_nWidth);
  Write<int32_t>(out, kHeight, v.m_nHeight);
  Write<int32_t>(out, kSliceCount, v.m_nSliceCount);
  Write<float>(out, kPixelSpacing, v.m_fPixelSpacingX);
  Write<float>(out, kPixelSpacing + 4, v.m_fPixelSpacingY);
  Write<float>(out, kPixelSpacing + 8, v.m_fSliceDistance);
  Write<int32_t>(out, kBitsUsed, v.m_nBitsUsed);
  Write<int32_t>(out, kFirst, v.m_nFirst);
  Write<int32_t>(out, kLast, v.m_nLast);
  Write<int16_t>(out, kSmallest, static_cast<int16_t>(v.m_nSmallest));
  Write<int16_t>(out, kLargest, static_cast<int16_t>(v.m_nLargest));
  Write<float>(out, kSlope, v.m_fRescaleSlope);
  Write<int16_t>(out, kIntercept, static_cast<int16_t>(v.m_nRescaleIntercept));
  out[kNonUniform] = v.m_bNonUniform ? 1 : 0;
  Write<int32_t>(out, kNonUniformSlice, v.m_nNonUniformSlice);
  out[kOrientationFlag] = v.m_bOrientationFlag ? 1 : 0;
  for (size_t i = 0; i < 3; ++i) {
    Write<float>(out, kRowDirection + 4 * i, v.m_afRowDirection[i]);
    Write<float>(out, kColumnDirection + 4 * i, v.m_afColumnDirection[i]);
    Write<float>(out, kSliceDirection + 4 * i, v.m_afSliceDirection[i]);
  }
  std::memcpy(out.data() + kFileName, v.m_sFileName.data(), v.m_sFileName.size());
  return out;
}
