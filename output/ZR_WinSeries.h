#pragma once
// The series writer: the pictures of a series in the order they were added, written as one
// DICOM series (its own Series UID, Instance Numbers 1..n) or as numbered pictures.

#include <string>
#include <vector>

#include "core/ZR_Series.h"
#include "output/ZR_Image.h"

class ZR_WinSeries : public ZR_Series {
 public:
  bool WriteSeries(const std::string& baseName, int32_t mode, std::vector<std::string>* written,
                   std::string* error) override;
  int32_t WriteImage(const std::string& fileName, int32_t mode, int32_t index) override;
  int32_t ImageCount() override { return static_cast<int32_t>(m_aImages.size()); }
  void AddImage(const ZR_Image& image) override { m_aImages.push_back(image); }
  void ClearImages() override { m_aImages.clear(); }
  void SetSourceFile(const char* path) override { m_sSourceFile = path ? path : ""; }

  const std::string& SourceFile() const { return m_sSourceFile; }
  // The name of image `index` of `count` in a series written under `baseName`.
  static std::string FileName(const std::string& baseName, int32_t mode, int32_t index, int32_t count);

 private:
  std::vector<ZR_Image> m_aImages;
  std::string m_sSourceFile;
  int32_t m_nSeriesWritten = 0;  // numbers the series written this run
};
