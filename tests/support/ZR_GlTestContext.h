#pragma once
// The one headless OpenGL context of a test program, with capability detection done.
// Created on first use and kept for the whole run (contexts are slow to make).

#include <string>

#include "render/ZR_EglContext.h"
#include "render/ZR_GpuPrograms.h"

class ZR_GlTestContext {
 public:
  // The context, made current; null when none could be created (see Error()).
  static ZR_GlTestContext* Get();
  static const std::string& Error();

  ZR_EglContext& Context() { return m_oContext; }
  ZR_GlFunctions& Gl() { return m_oContext.Gl(); }
  ZR_GpuPrograms& Programs() { return m_oPrograms; }
  int32_t DetectResult() const { return m_nDetectResult; }

 private:
  ZR_EglContext m_oContext;
  ZR_GpuPrograms m_oPrograms;
  int32_t m_nDetectResult = -1;
};

// Fails the current test when there is no OpenGL context.
#define LMX_REQUIRE_GL(var)                                                   \
  ZR_GlTestContext* var = ZR_GlTestContext::Get();                           \
  if (!var) GTEST_FAIL() << "no OpenGL context: " << ZR_GlTestContext::Error()
