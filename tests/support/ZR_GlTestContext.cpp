#include "tests/support/ZR_GlTestContext.h"

#include <memory>

namespace {
std::string g_sError;
}

ZR_GlTestContext* ZR_GlTestContext::Get() {
  // Never destroyed: terminating the display unloads the driver, and the leak checker at
  // exit could then no longer name the driver's own allocations (which it is told to
  // ignore), so they would count as ours.
  static ZR_GlTestContext* instance = [] {
    auto made = std::make_unique<ZR_GlTestContext>();
    if (made->m_oContext.Create() != 0) {
      g_sError = made->m_oContext.Error();
      return static_cast<ZR_GlTestContext*>(nullptr);
    }
    made->m_nDetectResult = made->m_oPrograms.DetectCapabilities(made->m_oContext.Gl());
    return made.release();
  }();
  if (instance && !instance->m_oContext.MakeCurrent()) return nullptr;
  return instance;
}

const std::string& ZR_GlTestContext::Error() { return g_sError; }
