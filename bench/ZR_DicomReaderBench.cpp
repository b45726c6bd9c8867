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
#include <sys/wait.h>
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
#include "tests/dicom/ZR_DicomFixtures.h"

namespace fs = std::filesystem;

namespace {
constexpr int kSlices = 400, kSize = 512;

std::vector<std::string> FilesIn(const fs::path& dir) {
  std::vector<std::string> files;
  if (fs::is_directory(dir))
    for (const fs::directory_entry& e : fs::directory_iterator(dir))
      if (e.is_regular_file()) files.push_back(e.path().string());
  std::sort(files.begin(), files.end());
  return files;
}

// ct-head-108 (256 x 256 x 108, 1.5 mm) resampled to 512 x 512 x 400, trilinear.
void MakeSeries(const fs::path& source, const fs::path& out) {
  std::printf("making %d slices of %d x %d from %s into %s ...\n", kSlices, kSize, kSize, source.c_str(), out.c_str());
  ZR_DicomReader reader;
  ZR_DicomVolume head;
  if (reader.ReadSeries(FilesIn(source), head) != VR_OK) {
    std::fprintf(stderr, "cannot read %s: %s\n", source.c_str(), reader.LastError().c_str());
    std::exit(1);
  }
  fs::create_directories(out);
  const int w = head.m_nWidth, h = head.m_nHeight, d = head.m_nSliceCount;
  const double zScale = double(d - 1) / (kSlices - 1), xyScale = double(w - 1) / (kSize - 1);
  const double spacing = head.m_fPixelSpacingX * xyScale, distance = head.m_fSliceDistance * zScale;
  const std::string series = ZR_DcmUid::Generate(), study = ZR_DcmUid::Generate();
  std::vector<uint16_t> pixels(kSize * kSize);
  for (int s = 0; s < kSlices; ++s) {
    const double z = s * zScale;
    const int z0 = std::min(int(z), d - 2);
    const double fz = z - z0;
    for (int y = 0; y < kSize; ++y) {
      const double yy = y * xyScale;
      const int y0 = std::min(int(yy), h - 2);
      const double fy = yy - y0;
      for (int x = 0; x < kSize; ++x) {
        const double xx = x * xyScale;
        const int x0 = std::min(int(xx), w - 2);
        const double fx = xx - x0;
        double v = 0;
        for (int dz = 0; dz < 2; ++dz)
          for (int dy = 0; dy < 2; ++dy)
            for (int dx = 0; dx < 2; ++dx)
              v += head.Slice(z0 + dz)[size_t(y0 + dy) * w + x0 + dx] * (dz ? fz : 1 - fz) * (dy ? fy : 1 - fy) *
                   (dx ? fx : 1 - fx);
        pixels[size_t(y) * kSize + x] = static_cast<uint16_t>(std::lround(v) + head.m_nSmallest);
      }
    }
    ZR_DcmImage image;
    image.SetSOPClass("1.2.840.10008.5.1.4.1.1.2");
    image.SetInstanceUID(ZR_DcmUid::Generate());
    image.SetStudyUID(study);
    image.SetSeriesUID(series);
    image.SetName("Benchmark^Head");
    ZR_DcmAttributes a = image.Attributes();
    a.Add(0x0008, 0x0060, "CT");
    a.Add(0x0028, 0x0002, 1);
    a.Add(0x0028, 0x0004, "MONOCHROME2");
    a.Add(0x0028, 0x0010, kSize);
    a.Add(0x0028, 0x0011, kSize);
    a.Add(0x0028, 0x0100, 16);
    a.Add(0x0028, 0x0101, 12);
    a.Add(0x0028, 0x0102, 11);
    a.Add(0x0028, 0x0103, 0);
    a.Add(0x0028, 0x1052, head.m_nRescaleIntercept);
    a.Add(0x0028, 0x1053, 1);
    a.Add(0x0028, 0x0030, std::vector<double>{spacing, spacing});
    a.Add(0x0020, 0x0037, std::vector<double>{1, 0, 0, 0, 1, 0});
    a.Add(0x0020, 0x0032, std::vector<double>{head.m_afOrigin[0], head.m_afOrigin[1], head.m_afOrigin[2] + s * distance});
    image.AllocatePixelSpace(pixels.size() * 2);
    image.CopyPixelBuffer(pixels.data(), 1, 2, kSize * 2);
    char name[32];
    std::snprintf(name, sizeof name, "CT%04d.dcm", s + 1);
    ZR_DicomFixtures::Save(out / name, image.Encode());
  }
}

void Transcode(const std::vector<std::string>& files, const fs::path& out, const char* syntax) {
  std::printf("re-encoding them as %s into %s ...\n", syntax, out.c_str());
  fs::create_directories(out);
  for (const std::string& f : files)
    ZR_DicomFixtures::Save(out / fs::path(f).filename(), ZR_DicomFixtures::GdcmTranscode(ZR_DicomFixtures::Load(f), syntax));
}

size_t StatusKb(const char* field) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(field, 0) == 0) return std::strtoul(line.c_str() + std::strlen(field), nullptr, 10);
  return 0;
}

struct Result {
  double seconds = 0;
  double peakMb = 0;  // above the process's size when the measurement started
  int code = 0;
};

// Runs `work` in a child process and reports its time and peak memory.
Result Measure(const std::function<int()>& work) {
  int channel[2];
  if (pipe(channel) != 0) std::exit(1);
  const pid_t child = fork();
  if (child == 0) {
    close(channel[0]);
    Result r;
    malloc_trim(0);  // what the parent freed must not be counted as room the child had
    const size_t before = StatusKb("VmRSS:");
    const auto start = std::chrono::steady_clock::now();
    r.code = work();
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    r.peakMb = (double(StatusKb("VmHWM:")) - double(before)) / 1024.0;
    if (write(channel[1], &r, sizeof r) != sizeof r) _exit(2);
    _exit(0);
  }
  close(channel[1]);
  Result r;
  if (read(channel[0], &r, sizeof r) != sizeof r) r.code = -1;
  close(channel[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return r;
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
  fs::path out = fs::path(LMX_SOURCE_DIR) / "build" / "bench-data";
  fs::path data;
  int runs = 5;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string key = argv[i];
    if (key == "--out") out = argv[i + 1];
    if (key == "--data") data = argv[i + 1];
    if (key == "--runs") runs = std::max(1, std::atoi(argv[i + 1]));
  }
  if (data.empty()) {
    const char* env = std::getenv("LMX_TEST_DATA");
    data = env && *env ? fs::path(env) : fs::path(LMX_SOURCE_DIR) / ".." / "shared" / "data";
  }
  const fs::path plainDir = out / "ct512-explicit", lsDir = out / "ct512-jpegls";
  if (FilesIn(plainDir).size() != kSlices) MakeSeries(data / "series" / "ct-head-108", plainDir);
  const std::vector<std::string> plain = FilesIn(plainDir);
  if (FilesIn(lsDir).size() != kSlices) Transcode(plain, lsDir, "1.2.840.10008.1.2.4.80");
  const std::vector<std::string> ls = FilesIn(lsDir);

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
