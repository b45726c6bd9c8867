// Study values as they reach the views' text (names and descriptions from the files, in
// whatever encoding), and adapter identifiers as the system gives them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "render/OpenGlText.h"
#include "render/ZR_DisplayAdapter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string lists = OpenGlText::ListText(text);
  // At most the buffer's 255 characters, each one that has a glyph.
  if (lists.size() > OpenGlText::kBufferSize - 1) std::abort();
  for (char c : lists) {
    const auto code = static_cast<unsigned char>(c);
    if (!((code >= 32 && code <= 126) || code >= 160)) std::abort();
  }
  const ZR_DisplayAdapter::Numbers numbers = ZR_DisplayAdapter::Parse(text);
  if (numbers.bValid && (numbers.nVendor > 0xFFFF || numbers.nDevice > 0xFFFF)) std::abort();
  (void)ZR_DisplayAdapter::IsListed(numbers.nVendor, numbers.nDevice);
  (void)OpenGlText::StudyLineX(static_cast<float>(size) / 100.0f, size, static_cast<int32_t>(size) - 50);
  return 0;
}
