// Reading a series of 400 slices of 512 x 512: the series reader against a plain read(2) of the
// same bytes into one buffer, measured in the same run, for uncompressed and JPEG-LS files, on
// one thread and on several. Each measurement runs in a child process of its own, so that its
// peak memory is its own. The series is made once from ct-head-108 (resampled) with the
// component's own writer, into the output folder.
//
// usage: bench_dicom_reader [--out FOLDER] [--data DATA_FOLDER] [--runs N]
#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <thread>
#include <string>
#include <vector>

#include "core/ZR_Result.h"
#include "dicom/ZR_DcmUid.h"
#include "dicom/ZR_DicomReader.h"
#include "bench/ZR_BenchSeries.h"
#include "tests/dicom/ZR_DicomFixtures.h"

namespace fs = std::filesystem;

namespace {
constexpr int kSlices = ZR_BenchSeries::kSlices, kSize = ZR_BenchSeries::kSize;

void Transcode(const std::vector<std::string>& files, const fs::path& out, const char* syntax) {
  std::printf("re-encoding them as %s into %s ...\n", syntax, out.c_str());
  fs::create_directories(out);
  for (const std::string& f : files)
    ZR_DicomFixtures::Save(out / fs::path(f).filename(), ZR_DicomFixtures::GdcmTranscode(ZR_DicomFixtures::Load(f), syntax));
}

struct Result {
  double seconds = 0;
  double peakMb = 0;  // above the process's size when the measurement started
  int code = 0;
};

// Runs `work` in a child process and reports its time and peak memory.
Result Measure(const std::function<int()>& work) {
  Result failed;
  failed.code = -1;
  return ZR_BenchSeries::InChild<Result>(
      [&] {
        Result r;
        malloc_trim(0);  // what the parent freed must not be counted as room the child had
        const size_t before = ZR_BenchSeries::StatusKb("VmRSS:");
        const auto start = std::chrono::steady_clock::now();
        r.code = work();
        r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        r.peakMb = (double(ZR_BenchSeries::StatusKb("VmHWM:")) - double(before)) / 1024.0;
        return r;
      },
      failed);
}

int PlainRead(const std::vector<std::string>& files, size_t total) {
  std::unique_ptr<uint8_t[]> buffer(new uint8_t[total]);
  size_t offset = 0;
  for (const std::string& f : files) {
    const int fd = open(f.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || fstat(fd, &info) != 0) return 1;
    size_t left = static_cast<size_t>(info.st_size);
    while (left > 0) {
      const ssize_t n = read(fd, buffer.get() + offset, left);
      if (n <= 0) return 1;
      offset += static_cast<size_t>(n);
      left -= static_cast<size_t>(n);
    }
    close(fd);
  }
  volatile uint8_t sink = buffer[total / 2];
  (void)sink;
  return offset == total ? 0 : 1;
}

int ReadSeries(const std::vector<std::string>& files, int threads) {
  ZR_DicomReader reader;
  reader.SetThreadCount(threads);
  ZR_DicomVolume volume;
  const int code = reader.ReadSeries(files, volume);
  if (code != VR_OK) std::fprintf(stderr, "reader: %s\n", reader.LastError().c_str());
  return code;
}

Result Best(int runs, const std::function<int()>& work) {
  Result best;
  for (int i = 0; i < runs; ++i) {
    const Result r = Measure(work);
    if (r.code != 0) return r;
    if (i == 0 || r.seconds < best.seconds) best = r;
  }
  return best;
}
}  // namespace

int main(int argc, char** argv) {
  const ZR_BenchSeries::Options options = ZR_BenchSeries::Parse(argc, argv);
  const int runs = options.runs;
  const fs::path lsDir = options.out / "ct512-jpegls";
  const std::vector<std::string> plain = ZR_BenchSeries::Ct512(options);
  if (ZR_BenchSeries::FilesIn(lsDir).size() != kSlices) Transcode(plain, lsDir, "1.2.840.10008.1.2.4.80");
  const std::vector<std::string> ls = ZR_BenchSeries::FilesIn(lsDir);

  auto bytesOf = [](const std::vector<std::string>& files) {
    size_t total = 0;
    for (const std::string& f : files) total += fs::file_size(f);
    return total;
  };
  const size_t plainBytes = bytesOf(plain), lsBytes = bytesOf(ls);
  const double sliceMb = kSlices * double(kSize) * kSize * 2 / (1024.0 * 1024.0);
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());

  std::printf("series: %d files of %d x %d; uncompressed %.1f MB, JPEG-LS %.1f MB; raw slices %.1f MB; %u cores; best of %d\n",
              kSlices, kSize, kSize, plainBytes / 1e6, lsBytes / 1e6, sliceMb, cores, runs);
  std::printf("%-44s %8s %9s %10s\n", "measurement", "time s", "MB/s", "peak MB");
  auto row = [&](const char* what, size_t bytes, const Result& r) {
    if (r.code != 0) {
      std::printf("%-44s failed (%d)\n", what, r.code);
      return;
    }
    std::printf("%-44s %8.3f %9.0f %10.1f\n", what, r.seconds, bytes / 1e6 / r.seconds, r.peakMb);
  };
  // Interleaved, so that a busy moment on a shared machine hits both sides alike.
  Result plainRead, reader1, readerN, lsRead, ls1, lsN;
  for (int i = 0; i < runs; ++i) {
    auto keep = [](Result& best, const Result& r, int i) {
      if (r.code != 0 || i == 0 || r.seconds < best.seconds) best = r;
    };
    keep(plainRead, Best(1, [&] { return PlainRead(plain, plainBytes); }), i);
    keep(readerN, Best(1, [&] { return ReadSeries(plain, 0); }), i);
    keep(reader1, Best(1, [&] { return ReadSeries(plain, 1); }), i);
  }
  for (int i = 0; i < std::max(1, runs / 2); ++i) {
    auto keep = [](Result& best, const Result& r, int i) {
      if (r.code != 0 || i == 0 || r.seconds < best.seconds) best = r;
    };
    keep(lsRead, Best(1, [&] { return PlainRead(ls, lsBytes); }), i);
    keep(ls1, Best(1, [&] { return ReadSeries(ls, 1); }), i);
    keep(lsN, Best(1, [&] { return ReadSeries(ls, 0); }), i);
  }
  row("plain read(2), uncompressed, into one buffer", plainBytes, plainRead);
  row("series reader, uncompressed, all cores", plainBytes, readerN);
  row("series reader, uncompressed, 1 thread", plainBytes, reader1);
  row("plain read(2), JPEG-LS files", lsBytes, lsRead);
  row("series reader, JPEG-LS, 1 thread", lsBytes, ls1);
  row("series reader, JPEG-LS, all cores", lsBytes, lsN);
  if (plainRead.code == 0 && readerN.code == 0 && reader1.code == 0) {
    std::printf("reader / plain read (uncompressed): %.2f x all cores, %.2f x one thread\n",
                readerN.seconds / plainRead.seconds, reader1.seconds / plainRead.seconds);
    std::printf("reader memory beyond the raw slices: %.1f MB (all cores)\n", readerN.peakMb - sliceMb);
  }
  if (ls1.code == 0 && lsN.code == 0)
    std::printf("JPEG-LS speed-up with all cores: %.2f x\n", ls1.seconds / lsN.seconds);
  return 0;
}
