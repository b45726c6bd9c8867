// Loading of the entry points every context has.
#include "render/ZR_GlFunctions.h"

bool ZR_GlFunctions::LoadCore(const ZR_GlLoader& loader, const char** missing) {
  this->loader = loader;
  bool complete = true;
#define ZR_GL_LOAD(name)                                  \
  if (!LoadAs(loader, name, "gl" #name) && complete) {    \
    complete = false;                                     \
    if (missing) *missing = "gl" #name;                   \
  }
  ZR_GL_CORE(ZR_GL_LOAD)
  ZR_GL_FRAMEBUFFER(ZR_GL_LOAD)
#undef ZR_GL_LOAD
  return complete;
}
