#include "tests/gui/ZR_XvfbServer.h"

#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <vector>

extern char** environ;

ZR_XvfbServer::ZR_XvfbServer(const std::string& screen, int timeoutSeconds) {
  int fds[2];
  if (pipe(fds) != 0) {
    m_sError = std::string("pipe: ") + std::strerror(errno);
    return;
  }
  fcntl(fds[0], F_SETFD, FD_CLOEXEC);  // the server only gets the end it writes to
  const std::string fd = std::to_string(fds[1]);
  std::vector<std::string> args = {"Xvfb", "-displayfd", fd, "-screen", "0", screen, "-nolisten", "tcp",
                                   "-noreset", "+extension", "GLX"};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  // Its chatter (font path warnings and the like) stays out of the test output.
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const int spawned = posix_spawnp(&m_nPid, "Xvfb", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (spawned != 0) {
    m_sError = std::string("cannot start Xvfb (package xvfb): ") + std::strerror(spawned);
    m_nPid = -1;
    close(fds[0]);
    return;
  }
  // The server writes its display number once it is ready for clients.
  std::string number;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  while (number.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
    pollfd p{fds[0], POLLIN, 0};
    if (poll(&p, 1, 200) <= 0) continue;
    char buffer[32];
    const ssize_t n = read(fds[0], buffer, sizeof buffer);
    if (n <= 0) break;
    number.append(buffer, static_cast<size_t>(n));
  }
  close(fds[0]);
  const size_t end = number.find('\n');
  if (end == std::string::npos || end == 0) {
    m_sError = "Xvfb did not report a display within " + std::to_string(timeoutSeconds) + " s";
    Stop();
    return;
  }
  m_sDisplay = ":" + number.substr(0, end);
}

ZR_XvfbServer::~ZR_XvfbServer() { Stop(); }

void ZR_XvfbServer::Stop() {
  if (m_nPid <= 0) return;
  kill(m_nPid, SIGTERM);
  int status = 0;
  waitpid(m_nPid, &status, 0);
  m_nPid = -1;
}

bool ZR_XvfbServer::UseForQt(const char* program) const {
  if (m_sDisplay.empty()) {
    std::fprintf(stderr, "%s: no X server: %s\n", program, m_sError.c_str());
    return false;
  }
  setenv("DISPLAY", m_sDisplay.c_str(), 1);
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  unsetenv("WAYLAND_DISPLAY");
  return true;
}
