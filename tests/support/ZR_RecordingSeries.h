#pragma once
// Test double of the series writer: logs every call and keeps the images added, writing
// nothing.

#include <cstdint>
#include <string>
#include <vector>

#include "core/ZR_Series.h"
#include "output/ZR_Image.h"

class ZR_RecordingSeries : public ZR_Series {
 public:
  std::vector<std::string> calls;
  std::vector<ZR_Image> images;  // as added, until ClearImages
  std::vector<ZR_Image> cleared;  // what the last ClearImages dropped

  bool WriteSeries(const std::string& baseName, int32_t mode, std::vector<std::string>* written,
                   std::string* error) override;
  int32_t WriteImage(const std::string& fileName, int32_t mode, int32_t index) override;
  int32_t ImageCount() override { return static_cast<int32_t>(images.size()); }
  void AddImage(const ZR_Image& image) override;
  void ClearImages() override;
  void SetSourceFile(const char* path) override;
};
