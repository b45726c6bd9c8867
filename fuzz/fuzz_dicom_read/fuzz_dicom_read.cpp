// Reading and decoding one file from fuzzed bytes: everything the program does with a file it
// is given (identity, every value, pixels, writing it back) must end in a result or in
// ZR_DcmError, never in a crash, a hang or an unbounded allocation.
#include <cstddef>
#include <cstdint>

#include "dicom/ZR_DcmError.h"
#include "dicom/ZR_DcmImages.h"
#include "dicom/ZR_DcmLimits.h"
#include "dicom/ZR_DcmValueCodec.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Small limits keep each run quick; what they refuse is refused the same way as real limits.
  ZR_DcmLimits::SetMaxPixelBytes(size_t{64} << 20);
  ZR_DcmLimits::SetMaxInflatedBytes(size_t{64} << 20);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (size_t{8} << 20)) return 0;
  ZR_DcmImages images;
  try {
    images.ReadBuffer(data, size, "fuzz");
  } catch (const ZR_DcmError&) {
    return 0;
  }
  ZR_DcmImage* image = images.Item(1);
  if (!image) return 0;

  size_t sink = 0;  // what was read, kept so that nothing is optimised away
  sink += image->Name().size() + image->Sex().size() + image->StudyUID().size();
  for (const ZR_DcmDataSet::Element& e : image->DataSet().Elements()) {
    try {
      const ZR_DcmValue value = ZR_DcmValueCodec::Decode(image->DataSet(), e);
      sink += value.AsText().size();
      (void)value.AsNumbers();
    } catch (const ZR_DcmError&) {
    }
  }
  try {
    const uint8_t* pixels = static_cast<const uint8_t*>(image->PixelAddress());
    const size_t bytes = image->FrameBytes();
    for (size_t i = 0; i < bytes; i += 4096) sink += pixels[i];
    if (bytes) sink += pixels[bytes - 1];
  } catch (const ZR_DcmError&) {
  }
  try {
    sink += image->Encode().size();
  } catch (const ZR_DcmError&) {
  }
  volatile size_t keep = sink;
  (void)keep;
  return 0;
}
