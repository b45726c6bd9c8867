#pragma once
// The series writer: collects the pictures of a series (multi-MPR, curved MPR, radial MIP)
// and writes them as numbered files. The order of the operations is fixed (the slot table
// that the writer and the recording double follow).

#include <cstdint>
#include <string>
#include <vector>

class ZR_Image;

class ZR_Series {
 public:
  // base name + index (zero-padded to the digits of the count) + the mode's extension; the
  // names written are added to `written`. False when a file could not be written (`error`
  // says which and why); the files written before it stay.
  virtual bool WriteSeries(const std::string& baseName, int32_t mode, std::vector<std::string>* written,
                           std::string* error) = 0;                                                  // 0
  // One image to exactly that name; a result code.
  virtual int32_t WriteImage(const std::string& fileName, int32_t mode, int32_t index) = 0;            // 1
  virtual int32_t ImageCount() = 0;                                                                    // 2
  virtual void AddImage(const ZR_Image& image) = 0;                                                    // 3
  virtual void ClearImages() = 0;                                                                      // 4
  // The DICOM file whose patient and study the written images copy; null means none.
  virtual void SetSourceFile(const char* path) = 0;                                                    // 5
  virtual ~ZR_Series() = default;

 protected:
  ZR_Series() = default;
  ZR_Series(const ZR_Series&) = delete;
  ZR_Series& operator=(const ZR_Series&) = delete;
};
