#pragma once
// Test double of the OpenGL entry-point table: every entry logs "glName(arg,arg)" and, when
// a real table is given, forwards to it. Its loader answers every name with some entry
// point, as EGL does on Mesa, so capability detection has to decide from the extension
// string. The extension and version strings can be scripted, over a real driver's too.
//
// One recorder is active at a time (the entries are plain functions).

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "render/ZR_GlFunctions.h"

class ZR_RecordingGl {
 public:
  // `forward`: the real table to pass the calls on to, or null to answer them here.
  explicit ZR_RecordingGl(const ZR_GlFunctions* forward = nullptr);
  ~ZR_RecordingGl();
  ZR_RecordingGl(const ZR_RecordingGl&) = delete;
  ZR_RecordingGl& operator=(const ZR_RecordingGl&) = delete;

  // A table of recording entries (core loaded), with this recorder's loader.
  ZR_GlFunctions& Table() { return m_oTable; }

  // --- The record ------------------------------------------------------------------------
  std::vector<std::string> calls;
  std::vector<std::string> lookups;  // names asked of the loader, in order
  void Clear() { calls.clear(); }
  bool Has(const std::string& call) const;
  int IndexOf(const std::string& call) const;
  // Calls whose name (before the parenthesis) is `name`.
  std::vector<std::string> CallsTo(const std::string& name) const;

  // --- Script ----------------------------------------------------------------------------
  // glGetString answers (over the forwarded driver's).
  std::optional<std::string> extensions;
  std::optional<std::string> version;
  std::optional<std::string> programError;  // GL_PROGRAM_ERROR_STRING_ARB
  // glGetError answers, consumed in order (then the driver's, or GL_NO_ERROR).
  std::deque<GLenum> errors;
  // Answers of glGetIntegerv for chosen names (over the driver's).
  std::map<GLenum, GLint> integers;

  // Internal: the active recorder and what the entries call.
  static ZR_RecordingGl* Active();
  void Record(std::string call) { calls.push_back(std::move(call)); }
  const ZR_GlFunctions* Forward() const { return m_pForward; }
  const GLubyte* AnswerGetString(GLenum name, bool* answered);
  bool AnswerGetError(GLenum* error);
  bool AnswerGetIntegerv(GLenum name, GLint* out);

 private:
  const ZR_GlFunctions* m_pForward;
  ZR_GlFunctions m_oTable;
  std::string m_sAnswer;  // storage for the string last answered
  ZR_RecordingGl* m_pPrevious;
};
