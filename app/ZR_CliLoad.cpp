#include "app/ZR_CliLoad.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "app/ZR_CliApp.h"
#include "app/ZR_CliFiles.h"
#include "core/ZR_Result.h"
#include "dicom/ZR_DicomReader.h"

namespace {
// The shortest text that reads back as the same float.
std::string Number(float value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string Numbers(const float* values, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    if (i) text += ' ';
    text += Number(values[i]);
  }
  return text;
}
}  // namespace

int ZR_CliLoad::Run(const std::vector<std::string>& args) {
  std::vector<std::string> files;
  int32_t threads = 0;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--threads" && i + 1 < args.size()) {
      threads = std::atoi(args[++i].c_str());
      continue;
    }
    if (!ZR_CliFiles::Collect(args[i], files)) return VR_LD_INVALID_VOLUME;
  }
  if (files.empty()) {
    std::fprintf(stderr, "usage: lumetra-cli load [--threads N] DIR_OR_FILES...\n");
    return ZR_CliApp::kUsageError;
  }

  ZR_DicomReader reader;
  reader.SetThreadCount(threads);
  ZR_DicomVolume v;
  const int32_t result = reader.ReadSeries(files, v);
  if (result != VR_OK) {
    std::fprintf(stderr, "%s\n", ZR_Result::DisplayText(result).c_str());
    if (!reader.LastError().empty()) std::fprintf(stderr, "reason: %s\n", reader.LastError().c_str());
    return result;
  }
  const float spacing[2] = {v.m_fPixelSpacingX, v.m_fPixelSpacingY};
  float orientation[6];
  std::copy(v.m_afRowDirection.begin(), v.m_afRowDirection.end(), orientation);
  std::copy(v.m_afColumnDirection.begin(), v.m_afColumnDirection.end(), orientation + 3);
  std::printf("files: %zu\n", files.size());
  std::printf("width: %d\n", v.m_nWidth);
  std::printf("height: %d\n", v.m_nHeight);
  std::printf("slice count: %d\n", v.m_nSliceCount);
  std::printf("pixel spacing (x y): %s\n", Numbers(spacing, 2).c_str());
  std::printf("slice distance: %s\n", Number(v.m_fSliceDistance).c_str());
  std::printf("orientation: %s\n", Numbers(orientation, 6).c_str());
  std::printf("origin: %s\n", Numbers(v.m_afOrigin.data(), 3).c_str());
  std::printf("slice direction: %s\n", Numbers(v.m_afSliceDirection.data(), 3).c_str());
  std::printf("smallest file value: %d\n", v.m_nSmallest);
  std::printf("largest file value: %d\n", v.m_nLargest);
  std::printf("bits used: %d\n", v.m_nBitsUsed);
  std::printf("rescale slope: %s\n", Number(v.m_fRescaleSlope).c_str());
  std::printf("rescale intercept: %d\n", v.m_nRescaleIntercept);
  std::printf("not CT: %d\n", v.m_nNotCt);
  std::printf("non-uniform slice: %d\n", v.m_nNonUniformSlice);
  return 0;
}
