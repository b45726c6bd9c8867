// Fuzzed bytes as a volume record handed over by another process. Besides the sanitizers'
// own checks (nothing may be read past the bytes) it aborts when a refused record changed the
// volume, or an accepted one describes a volume the loader could not take, or does not encode
// back to the bytes it was read from.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "core/ZR_Result.h"
#include "dicom/ZR_DicomVolume.h"
#include "dicom/ZR_HandoverRecord.h"

namespace {
void Check(bool condition) {
  if (!condition) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exact copy, so that a read beyond `size` is one beyond the block.
  std::unique_ptr<uint8_t[]> bytes(new uint8_t[size ? size : 1]);
  if (size) std::memcpy(bytes.get(), data, size);
  ZR_DicomVolume volume;
  volume.m_sFileName = "untouched";
  volume.m_nSliceCount = -7;
  if (ZR_HandoverRecord::Decode(bytes.get(), size, volume) != VR_OK) {
    Check(volume.m_sFileName == "untouched" && volume.m_nSliceCount == -7);
    return 0;
  }
  Check(volume.m_nSliceCount >= 10 && volume.m_nSliceCount <= ZR_DicomVolume::kMaxSlices);
  Check(volume.m_nWidth == volume.m_nHeight && volume.m_nWidth > 0 && (volume.m_nWidth & (volume.m_nWidth - 1)) == 0);
  Check(volume.m_nFirst >= 0 && volume.m_nFirst <= volume.m_nLast && volume.m_nLast < volume.m_nSliceCount);
  Check(volume.m_fPixelSpacingX > 0 && volume.m_fPixelSpacingY > 0 && volume.m_fSliceDistance > 0);
  Check(volume.m_nSmallest < volume.m_nLargest);
  Check(!volume.HasAllSlices());
  Check(ZR_HandoverRecord::kFileName + volume.m_sFileName.size() < size);
  // The fields read are the record's bytes up to the name's terminator, bit for bit.
  const std::vector<uint8_t> again = ZR_HandoverRecord::Encode(volume);
  Check(again.size() <= size && std::memcmp(again.data(), bytes.get(), 50) == 0 &&
        std::memcmp(again.data() + 52, bytes.get() + 52, 4) == 0 &&
        std::memcmp(again.data() + 60, bytes.get() + 60, again.size() - 60) == 0);
  return 0;
}
