#include "app/ZR_CliInfo.h"

#include <cstdio>

#include "app/ZR_CliApp.h"
#include "core/ZR_Result.h"
#include "dicom/ZR_DcmDecoder.h"
#include "dicom/ZR_DcmError.h"
#include "dicom/ZR_DcmImages.h"
#include "dicom/ZR_StudyInfo.h"
#include "headless/ZR_ConsoleGui.h"

namespace {
std::string ValueOf(ZR_DcmImage& image, uint16_t group, uint16_t element) {
  const ZR_DcmAttribute a = image.Attributes().Item(group, element);
  return a.Exists() ? a.Value().AsText() : "(missing)";
}
}  // namespace

int ZR_CliInfo::Run(const std::vector<std::string>& args) {
  if (args.size() != 1) {
    std::fprintf(stderr, "usage: lumetra-cli info FILE\n");
    return ZR_CliApp::kUsageError;
  }
  const std::string& file = args[0];
  ZR_DcmImages images;
  try {
    images.ReadFile(file);
  } catch (const ZR_DcmError& e) {
    std::fprintf(stderr, "lumetra-cli: %s\n", e.what());
    return VR_LD_INVALID_VOLUME;
  }
  ZR_DcmImage* image = images.Item(1);
  if (!image) {
    std::fprintf(stderr, "lumetra-cli: %s: the file holds no image\n", file.c_str());
    return VR_LD_INVALID_VOLUME;
  }

  std::printf("file: %s\n", file.c_str());
  ZR_ConsoleGui gui;
  const ZR_StudyInfo info = ZR_StudyInfo::CreateStudyInfo(file, gui);
  std::printf("study lines: %d\n", info.Count());
  for (const ZR_StudyAttribute& a : info.Attributes()) std::printf("  x=%.4f y=%.4f %s\n", a.x, a.y, a.text.c_str());
  const std::string& syntax = image->ReceivedSyntax();
  std::printf("transfer syntax: %s (%s)\n", syntax.c_str(), ZR_DcmDecoder::SyntaxName(syntax).c_str());
  std::printf("rows: %s\n", ValueOf(*image, 0x0028, 0x0010).c_str());
  std::printf("columns: %s\n", ValueOf(*image, 0x0028, 0x0011).c_str());
  std::printf("bits stored: %s\n", ValueOf(*image, 0x0028, 0x0101).c_str());
  std::printf("pixel representation: %s\n", ValueOf(*image, 0x0028, 0x0103).c_str());
  try {
    std::printf("pixels: %zu bytes in frame 1\n", image->FrameBytes());
  } catch (const ZR_DcmError& e) {
    std::fflush(stdout);
    std::fprintf(stderr, "lumetra-cli: %s\n", e.what());
    return VR_LD_INVALID_VOLUME;
  }
  return 0;
}
