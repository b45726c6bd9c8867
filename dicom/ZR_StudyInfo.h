#pragma once
// The study information lines of a loaded volume with their places in the 3D view's corners,
// and the study summary text written beside a recorded movie.

#include <cstdint>
#include <string>
#include <vector>

#include "dicom/ZR_StudyAttribute.h"

class ZR_VisGui;

class ZR_StudyInfo {
 public:
  // Width of one character, line height and margin, in view units.
  static constexpr float kCharWidth = 1.0f / 66.0f;
  static constexpr float kLineHeight = 0.02f;
  static constexpr float kMargin = 0.03f;

  ZR_StudyInfo() = default;
  // Places `lines` by the corner rule for the modality flag (0 MR, 1 other).
  ZR_StudyInfo(const std::vector<std::string>& lines, int32_t modalityFlag);

  // Reads the lines of `file` (messages for missing elements go to `gui`) and places them.
  // A missing file or a file without an image gives an empty study information.
  static ZR_StudyInfo CreateStudyInfo(const std::string& file, ZR_VisGui& gui);

  // Writes the seven summary lines of `dicomFile` to `textFile` (replacing it). False when the
  // DICOM file does not exist or has no image, or the text file cannot be written. Raises
  // ZR_DcmError when the DICOM file cannot be read.
  [[nodiscard]] static bool WriteStudyText(const std::string& dicomFile, const std::string& textFile);

  int32_t Count() const { return static_cast<int32_t>(m_aAttributes.size()); }
  const ZR_StudyAttribute& Item(int32_t index) const { return m_aAttributes[static_cast<size_t>(index)]; }
  const std::vector<ZR_StudyAttribute>& Attributes() const { return m_aAttributes; }

 private:
  std::vector<ZR_StudyAttribute> m_aAttributes;
};
