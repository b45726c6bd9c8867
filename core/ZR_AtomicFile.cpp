#include "core/ZR_AtomicFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {
std::atomic<unsigned> g_counter{0};

bool Fail(std::string* error, const std::string& what, const std::string& path, int code) {
  if (error) *error = "cannot " + what + " '" + path + "': " + std::strerror(code);
  return false;
}
}  // namespace

bool ZR_AtomicFile::Write(const std::string& path, std::string_view bytes, std::string* error) {
  // Unique per process and call, so that threads writing beside each other never collide.
  const std::string temp = path + ".tmp-" + std::to_string(::getpid()) + "-" +
                           std::to_string(g_counter.fetch_add(1));
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return Fail(error, "create", path, errno);

  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int code = n < 0 ? errno : EIO;
      ::close(fd);
      ::unlink(temp.c_str());
      return Fail(error, "write", path, code);
    }
    done += static_cast<size_t>(n);
  }
  // Without the flush a crash right after the rename could leave an empty file under the name.
  const bool synced = ::fsync(fd) == 0;
  const int syncCode = errno;
  const bool closed = ::close(fd) == 0;
  if (!synced || !closed) {
    const int code = !synced ? syncCode : errno;
    ::unlink(temp.c_str());
    return Fail(error, "write", path, code);
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0) {
    const int code = errno;
    ::unlink(temp.c_str());
    return Fail(error, "replace", path, code);
  }
  return true;
}
