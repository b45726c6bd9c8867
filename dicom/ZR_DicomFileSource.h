#pragma once
// Where the series reader gets its files: from disk, or from a test's own source (one that
// fails on a chosen file, for example). Called from several threads at once.

#include <string>

class ZR_DcmImages;

class ZR_DicomFileSource {
 public:
  virtual ~ZR_DicomFileSource() = default;
  // Reads `path` into `images`; raises ZR_DcmError as ZR_DcmImages::ReadFile does.
  virtual void ReadFile(ZR_DcmImages& images, const std::string& path) const;
};
