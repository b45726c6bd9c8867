#include "dicom/ZR_StudyInfo.h"

#include <filesystem>

#include "core/ZR_TextFile.h"
#include "dicom/ZR_DcmError.h"
#include "dicom/ZR_DcmImages.h"
#include "dicom/ZR_StudyDetailsReader.h"

namespace {
// Characters as a reader counts them: UTF-8 code points, not bytes.
size_t CharacterCount(const std::string& text) {
  size_t count = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++count;
  return count;
}

std::string TextOrEmpty(ZR_DcmImage& image, uint16_t group, uint16_t element) {
  const ZR_DcmAttribute a = image.Attributes().Item(group, element);
  return a.Exists() ? a.Value().AsText() : std::string();
}
}  // namespace

ZR_StudyInfo::ZR_StudyInfo(const std::vector<std::string>& lines, int32_t modalityFlag) {
  const float c = kCharWidth, h = kLineHeight, m = kMargin;
  auto right = [&](const std::string& text) { return 1.0f - c - c * static_cast<float>(CharacterCount(text)); };
  const size_t limit = modalityFlag == 0 ? 16 : 12;
  for (size_t i = 0; i < lines.size() && i < limit; ++i) {
    const std::string& text = lines[i];
    const float fi = static_cast<float>(i);
    ZR_StudyAttribute a;
    a.text = text;
    if (i < 4) {
      a.x = c;
      a.y = 1.0f - fi * h - m;
    } else if (i < 8) {
      a.x = right(text);
      a.y = 1.0f - (fi - 4.0f) * h - m;
    } else if (modalityFlag == 0) {
      a.x = i < 12 ? c : right(text);
      a.y = (fi - (i < 12 ? 8.0f : 12.0f)) * h + m;
    } else {
      a.x = i == 8 ? c : right(text);
      a.y = i == 8 ? m : (fi - 9.0f) * h + m;
    }
    m_aAttributes.push_back(std::move(a));
  }
}

ZR_StudyInfo ZR_StudyInfo::CreateStudyInfo(const std::string& file, ZR_VisGui& gui) {
  ZR_StudyDetailsReader attributes(gui);
  attributes.ReadStudyLines(file);
  return ZR_StudyInfo(attributes.Lines(), attributes.ModalityFlag());
}

bool ZR_StudyInfo::WriteStudyText(const std::string& dicomFile, const std::string& textFile) {
  std::error_code error;
  if (!std::filesystem::exists(dicomFile, error)) return false;
  ZR_DcmImages images;
  images.ReadFile(dicomFile);
  ZR_DcmImage* image = images.Item(1);
  if (!image) return false;
  // An element the file lacks (an age, often) leaves its line empty rather than losing the file.
  const std::string text = "Patient Name: " + image->Name() + "\n" +
                           "Sex: " + image->Sex() + "\n" +
                           "Age: " + TextOrEmpty(*image, 0x0010, 0x1010) + "\n" +
                           "Study Instance UID: " + image->StudyUID() + "\n" +
                           "Series Instance UID: " + image->SeriesUID() + "\n" +
                           "Study Description: " + image->StudyDescription() + "\n" +
                           "Study Date: " + TextOrEmpty(*image, 0x0008, 0x0020) + "\n";
  return ZR_TextFile::WriteReplacing(textFile, text);
}
