#include "tests/support/ZR_GlTestContext.h"

#include <memory>

namespace {
std::string g_sError;
}

ZR_GlTestContext* ZR_GlTestContext::Get() {
  static std::unique_ptr<ZR_GlTestContext> instance = [] {
    auto made = std::make_unique<ZR_GlTestContext>();
    if (made->m_oContext.Create() != 0) {
      g_sError = made->m_oContext.Error();
      return std::unique_ptr<ZR_GlTestContext>();
    }
    made->m_nDetectResult = made->m_oPrograms.DetectCapabilities(made->m_oContext.Gl());
    return made;
  }();
  if (instance && !instance->m_oContext.MakeCurrent()) return nullptr;
  return instance.get();
}

const std::string& ZR_GlTestContext::Error() { return g_sError; }
