#pragma once
// The large series of the benchmarks: ct-head-108 (256 x 256 x 108, 1.5 mm) resampled to
// 512 x 512 x 400 (trilinear) and written by the component's own writer, made once into the
// benchmarks' output folder; and the process's memory figures.

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

class ZR_BenchSeries {
 public:
  static constexpr int kSlices = 400, kSize = 512;

  // The regular files of a folder, in name order (none when it does not exist).
  static std::vector<std::string> FilesIn(const std::filesystem::path& dir);
  // Writes the series from the ct-head-108 folder `source` into `out`; exits on failure.
  static void MakeCt512(const std::filesystem::path& source, const std::filesystem::path& out);
  // A field of /proc/self/status in KiB ("VmRSS:", "VmHWM:").
  static size_t StatusKb(const char* field);
};
