#include "tests/support/ZR_RecordingSeries.h"

#include "core/ZR_Result.h"

bool ZR_RecordingSeries::WriteSeries(const std::string& baseName, int32_t mode, std::vector<std::string>*,
                                     std::string*) {
  calls.push_back("WriteSeries " + baseName + " " + std::to_string(mode) + " " + std::to_string(images.size()));
  return true;
}

int32_t ZR_RecordingSeries::WriteImage(const std::string& fileName, int32_t mode, int32_t index) {
  calls.push_back("WriteImage " + fileName + " " + std::to_string(mode) + " " + std::to_string(index));
  return VR_OK;
}

void ZR_RecordingSeries::AddImage(const ZR_Image& image) {
  calls.emplace_back("AddImage");
  images.push_back(image);
}

void ZR_RecordingSeries::ClearImages() {
  calls.emplace_back("ClearImages");
  if (!images.empty()) cleared = std::move(images);
  images.clear();
}

void ZR_RecordingSeries::SetSourceFile(const char* path) {
  calls.push_back(std::string("SetSourceFile ") + (path ? path : "(none)"));
}
