#pragma once
// A collection of images read from files. Reading a file that is not readable DICOM raises
// ZR_DcmError and leaves the collection as it was; a readable file without pixel data (a
// structured report, a DICOMDIR) adds no image.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dicom/ZR_DcmImage.h"

class ZR_DcmImages {
 public:
  void ReadFile(const std::string& path);
  // The same for bytes already in memory; `name` stands for the file in messages.
  void ReadBuffer(const uint8_t* data, size_t size, const std::string& name);

  // 1-based; nullptr when there is no such image.
  ZR_DcmImage* Item(int32_t index);
  int32_t Count() const { return static_cast<int32_t>(m_aImages.size()); }

 private:
  void Parse(std::shared_ptr<uint8_t[]> bytes, size_t size, const std::string& name);

  std::vector<std::unique_ptr<ZR_DcmImage>> m_aImages;
};
