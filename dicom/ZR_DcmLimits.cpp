#include "dicom/ZR_DcmLimits.h"

#include <atomic>

namespace {
std::atomic<size_t> g_maxPixelBytes{size_t{2} << 30};
std::atomic<size_t> g_maxInflatedBytes{size_t{2} << 30};
}  // namespace

size_t ZR_DcmLimits::MaxPixelBytes() { return g_maxPixelBytes.load(); }
size_t ZR_DcmLimits::MaxInflatedBytes() { return g_maxInflatedBytes.load(); }
void ZR_DcmLimits::SetMaxPixelBytes(size_t bytes) { g_maxPixelBytes = bytes; }
void ZR_DcmLimits::SetMaxInflatedBytes(size_t bytes) { g_maxInflatedBytes = bytes; }
