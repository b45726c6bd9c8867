#pragma once
// Turns the files the user chose into the ordered, normalised, padded raw slices of a
// ZR_DicomVolume, or refuses them with VR_LD_INVALID_VOLUME (VR_NO_MEMORY when memory runs
// out). Errors of the DICOM component never leave it: they become those result codes, and the
// reason is logged and kept for the caller.
//
// Every file is read once. Files are decoded on several threads (compressed files are
// dominated by decoding); progress is reported from the calling thread only, and at most one
// file per thread is held besides the slices.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dicom/ZR_DicomFileSource.h"
#include "dicom/ZR_DicomImageAttributes.h"
#include "dicom/ZR_DicomVolume.h"

class ZR_DcmImage;
class ZR_ProgressBar;

class ZR_DicomReader {
 public:
  // Tolerances for files to count as one volume.
  static constexpr double kOrientationTolerance = 1e-3;
  static constexpr double kSpacingTolerance = 1e-3;  // mm

  // `source` (kept, not owned) defaults to reading from disk.
  explicit ZR_DicomReader(const ZR_DicomFileSource* source = nullptr);

  void SetProgress(ZR_ProgressBar* progress) { m_pProgress = progress; }
  // Threads used for decoding; 0 (the default) uses the machine's cores, at most 4.
  void SetThreadCount(int32_t threads) { m_nThreads = threads; }

  // One file's geometry; false (with the reason in LastError) when the file is missing,
  // unreadable, has no image or lacks a required element (Rows and Columns included).
  [[nodiscard]] bool ReadImageAttributes(const std::string& file, ZR_DicomImageAttributes& attributes);

  // Fills `volume` from the files; VR_OK, VR_LD_INVALID_VOLUME or VR_NO_MEMORY. On failure the
  // volume is left cleared.
  [[nodiscard]] int32_t ReadSeries(const std::vector<std::string>& files, ZR_DicomVolume& volume);

  // Why the last call refused (the file and the reason), "" after success.
  const std::string& LastError() const { return m_sLastError; }

  // One file as read for the volume (public for the reader's own helpers).
  struct Slice {
    std::string file;
    ZR_DicomImageAttributes attributes;
    double slope = 1.0, intercept = 0.0;
    int32_t pixelRepresentation = 0;
    bool notCt = false;
    int32_t minimum = 0, maximum = 0;  // of the file's values (after any rescale conversion)
    std::unique_ptr<uint16_t[]> pixels;  // padded
    std::string note;  // for the log, written by the calling thread (the log is not shared)
  };

 private:
  bool Extract(ZR_DcmImage& image, const std::string& file, ZR_DicomImageAttributes& a, std::string& error) const;
  // Reads and decodes one file into `slice` (padded to `width` x `height`), checked against
  // `reference` (null for the first file, which sets the matrix).
  bool ReadSlice(const std::string& file, const Slice* reference, Slice& slice, std::string& error) const;
  // Files 1..n-1 on the worker threads; false when one is refused (its reason in m_sLastError).
  bool ReadRest(const std::vector<std::string>& files, std::vector<Slice>& slices);
  bool DropDuplicates(std::vector<Slice>& slices);
  bool Order(std::vector<Slice>& slices, ZR_DicomVolume& volume);
  // Brings the values to 0..largest - smallest; the first file of the list gives the rescale
  // and the representation.
  bool Normalise(std::vector<Slice>& slices, const Slice& first, ZR_DicomVolume& volume);
  int32_t Threads() const;
  [[nodiscard]] int32_t Refuse(const std::string& reason);
  // The same for a step of the reading that answers with a flag: false, and ReadSeries then
  // answers with the refusal's code.
  bool Reject(const std::string& reason) {
    (void)Refuse(reason);  // the code is ReadSeries's to give
    return false;
  }
  void Progress(int32_t position);

  const ZR_DicomFileSource* m_pSource;
  ZR_ProgressBar* m_pProgress = nullptr;
  int32_t m_nThreads = 0;
  std::string m_sLastError;
};
