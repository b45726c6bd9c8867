#include "core/ZR_TextFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

bool ZR_TextFile::Read(const std::string& path, std::string& text, std::size_t maxBytes) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  text.clear();
  char buffer[4096];
  bool ok = true;
  while (text.size() < maxBytes) {
    const std::size_t want = std::min(sizeof buffer, maxBytes - text.size());
    const std::size_t got = std::fread(buffer, 1, want, file);
    text.append(buffer, got);
    if (got < want) {
      ok = !std::ferror(file);
      break;
    }
  }
  std::fclose(file);
  return ok;
}

namespace {
bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(fd, text.data(), text.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}
}  // namespace

bool ZR_TextFile::WriteReplacing(const std::string& path, std::string_view text) {
  // Same folder as the target, so that the rename cannot cross file systems.
  const std::string temporary = path + ".tmp" + std::to_string(::getpid());
  ::unlink(temporary.c_str());  // a leftover of a crashed run
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, text) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  ok = ok && std::rename(temporary.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(temporary.c_str());
  return ok;
}
