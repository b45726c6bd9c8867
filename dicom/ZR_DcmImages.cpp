#include "dicom/ZR_DcmImages.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

#include "dicom/ZR_DcmError.h"
#include "dicom/ZR_DcmParser.h"

namespace {
constexpr uint32_t kPixelData = ZR_DcmDataSet::kPixelData;

class Descriptor {
 public:
  explicit Descriptor(int fd) : m_nFd(fd) {}
  ~Descriptor() {
    if (m_nFd >= 0) ::close(m_nFd);
  }
  int Get() const { return m_nFd; }

 private:
  int m_nFd;
};
}  // namespace

void ZR_DcmImages::ReadFile(const std::string& path) {
  Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.Get() < 0) throw ZR_DcmError(path + ": cannot open (" + std::strerror(errno) + ")");
  struct stat info {};
  if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode))
    throw ZR_DcmError(path + ": not a regular file");
  const size_t size = static_cast<size_t>(info.st_size);
  // Left uninitialised: the read fills every byte, and zeroing would cost a pass per file.
  std::shared_ptr<uint8_t[]> bytes(new (std::nothrow) uint8_t[size ? size : 1]);
  if (!bytes) throw ZR_DcmError(path + ": not enough memory to read " + std::to_string(size) + " bytes");
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::read(fd.Get(), bytes.get() + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw ZR_DcmError(path + ": cannot read (" + std::strerror(errno) + ")");
    if (n == 0) throw ZR_DcmError(path + ": the file became shorter while it was read");
    done += static_cast<size_t>(n);
  }
  Parse(std::move(bytes), size, path);
}

void ZR_DcmImages::ReadBuffer(const uint8_t* data, size_t size, const std::string& name) {
  std::shared_ptr<uint8_t[]> bytes(new uint8_t[size ? size : 1]);
  if (size) std::memcpy(bytes.get(), data, size);
  Parse(std::move(bytes), size, name);
}

void ZR_DcmImages::Parse(std::shared_ptr<uint8_t[]> bytes, size_t size, const std::string& name) {
  ZR_DcmParser::Result result;
  try {
    result = ZR_DcmParser::Parse(std::move(bytes), size);
  } catch (const ZR_DcmError& e) {
    throw ZR_DcmError(name + ": " + e.what());
  }
  if (!result.data.Has(kPixelData)) return;
  m_aImages.push_back(std::make_unique<ZR_DcmImage>(std::move(result.meta), std::move(result.data),
                                                   std::move(result.syntax), name));
}

ZR_DcmImage* ZR_DcmImages::Item(int32_t index) {
  if (index < 1 || index > Count()) return nullptr;
  return m_aImages[static_cast<size_t>(index - 1)].get();
}
