#include "bench/ZR_BenchSeries.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "core/ZR_Result.h"
#include "dicom/ZR_DcmImage.h"
#include "dicom/ZR_DcmUid.h"
#include "dicom/ZR_DicomReader.h"

namespace fs = std::filesystem;

std::vector<std::string> ZR_BenchSeries::FilesIn(const fs::path& dir) {
  std::vector<std::string> files;
  if (fs::is_directory(dir))
    for (const fs::directory_entry& e : fs::directory_iterator(dir))
      if (e.is_regular_file()) files.push_back(e.path().string());
  std::sort(files.begin(), files.end());
  return files;
}

void ZR_BenchSeries::MakeCt512(const fs::path& source, const fs::path& out) {
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
    ZR_DcmElements a = image.Attributes();
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
    image.WriteFile((out / name).string());
  }
}

size_t ZR_BenchSeries::StatusKb(const char* field) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(field, 0) == 0) return std::strtoul(line.c_str() + std::strlen(field), nullptr, 10);
  return 0;
}


ZR_BenchSeries::Options ZR_BenchSeries::Parse(int argc, char** argv) {
  Options o;
  o.out = fs::path(LMX_SOURCE_DIR) / "build" / "bench-data";
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string key = argv[i];
    if (key == "--out") o.out = argv[i + 1];
    if (key == "--data") o.data = argv[i + 1];
    if (key == "--runs") o.runs = std::max(1, std::atoi(argv[i + 1]));
  }
  if (o.data.empty()) {
    const char* env = std::getenv("LMX_TEST_DATA");
    o.data = env && *env ? fs::path(env) : fs::path(LMX_SOURCE_DIR) / ".." / "shared" / "data";
  }
  return o;
}

std::vector<std::string> ZR_BenchSeries::Ct512(const Options& options, const std::string& name) {
  const fs::path dir = options.out / name;
  if (FilesIn(dir).size() != size_t(kSlices)) MakeCt512(options.data / "series" / "ct-head-108", dir);
  return FilesIn(dir);
}

bool ZR_BenchSeries::RunInChild(const std::function<void(void*)>& work, void* result, size_t size) {
  int channel[2];
  if (pipe(channel) != 0) return false;
  const pid_t child = fork();
  if (child == 0) {
    close(channel[0]);
    std::vector<char> out(size);
    work(out.data());
    const bool sent = write(channel[1], out.data(), size) == static_cast<ssize_t>(size);
    _exit(sent ? 0 : 2);
  }
  close(channel[1]);
  const bool received = child > 0 && read(channel[0], result, size) == static_cast<ssize_t>(size);
  close(channel[0]);
  int status = 0;
  if (child > 0) waitpid(child, &status, 0);
  return received;
}
