#include "core/ZR_SystemInfo.h"

#include <unistd.h>

#include <filesystem>

namespace {
uint64_t g_memoryOverride = 0;
}

uint64_t ZR_SystemInfo::PhysicalMemoryBytes() {
  if (g_memoryOverride) return g_memoryOverride;
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long pageSize = sysconf(_SC_PAGE_SIZE);
  if (pages <= 0 || pageSize <= 0) return 0;
  return static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize);
}

void ZR_SystemInfo::SetPhysicalMemoryForTesting(uint64_t bytes) { g_memoryOverride = bytes; }

std::string ZR_SystemInfo::ApplicationDirectory() {
  std::error_code error;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  std::string dir = error ? std::filesystem::current_path(error).string()
                          : exe.parent_path().string();
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}
