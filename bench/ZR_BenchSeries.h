#pragma once
// The large series of the benchmarks: ct-head-108 (256 x 256 x 108, 1.5 mm) resampled to
// 512 x 512 x 400 (trilinear) and written by the component's own writer, made once into the
// benchmarks' output folder; and the process's memory figures.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class ZR_BenchSeries {
 public:
  static constexpr int kSlices = 400, kSize = 512;

  // The benchmarks' arguments: [--out FOLDER] [--data DATA_FOLDER] [--runs N].
  struct Options {
    std::filesystem::path out;   // where the series is made (default build/bench-data)
    std::filesystem::path data;  // the real test data ($LMX_TEST_DATA or ../shared/data)
    int runs = 5;
  };
  static Options Parse(int argc, char** argv);
  // The files of the series under options.out (`name`), made first when missing.
  static std::vector<std::string> Ct512(const Options& options, const std::string& name = "ct512-explicit");

  // The regular files of a folder, in name order (none when it does not exist).
  static std::vector<std::string> FilesIn(const std::filesystem::path& dir);
  // Writes the series from the ct-head-108 folder `source` into `out`; exits on failure.
  static void MakeCt512(const std::filesystem::path& source, const std::filesystem::path& out);
  // A field of /proc/self/status in KiB ("VmRSS:", "VmHWM:").
  static size_t StatusKb(const char* field);

  // Runs `work` in a child process of its own, so that its memory is its own, and returns
  // what it returned (a plain record copied through a pipe); `failed` when it gave nothing.
  template <typename Result>
  static Result InChild(const std::function<Result()>& work, const Result& failed) {
    Result r = failed;
    if (!RunInChild([&](void* out) { *static_cast<Result*>(out) = work(); }, &r, sizeof r)) r = failed;
    return r;
  }

 private:
  static bool RunInChild(const std::function<void(void*)>& work, void* result, size_t size);
};
