#pragma once
// A private X server for the tests that open real windows: Xvfb picks a free display itself
// (-displayfd), so parallel test programs never collide, and it is stopped with the object.

#include <sys/types.h>

#include <string>

class ZR_XvfbServer {
 public:
  // Starts Xvfb with one screen of the given geometry ("WxHxDepth") and waits until it takes
  // connections; Display() is "" (and Error() says why) when it could not start.
  explicit ZR_XvfbServer(const std::string& screen, int timeoutSeconds = 60);
  ~ZR_XvfbServer();
  ZR_XvfbServer(const ZR_XvfbServer&) = delete;
  ZR_XvfbServer& operator=(const ZR_XvfbServer&) = delete;

  const std::string& Display() const { return m_sDisplay; }
  // Points Qt of this process at the server (DISPLAY, the xcb platform, no Wayland); false,
  // with a line on stderr naming `program`, when the server did not start.
  bool UseForQt(const char* program) const;
  const std::string& Error() const { return m_sError; }

 private:
  void Stop();

  pid_t m_nPid = -1;
  std::string m_sDisplay;
  std::string m_sError;
};
