#include "dicom/ZR_StudyDetailsReader.h"

#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>

#include "core/ZR_Log.h"
#include "core/ZR_VisGui.h"
#include "dicom/ZR_DcmError.h"
#include "dicom/ZR_DcmImages.h"

namespace {
std::string TwoDecimals(const char* label, double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%s%2.2f", label, value);
  return buffer;
}

// The text of one element, or nothing when the component raises (the element is missing).
std::optional<std::string> TextOf(ZR_DcmImage& image, uint16_t group, uint16_t element) {
  try {
    return image.Attributes().Item(group, element).Value().AsText();
  } catch (const ZR_DcmError&) {
    return std::nullopt;
  }
}

std::optional<double> NumberOf(ZR_DcmImage& image, uint16_t group, uint16_t element) {
  try {
    return image.Attributes().Item(group, element).Value().AsNumber();
  } catch (const ZR_DcmError&) {
    return std::nullopt;
  }
}
}  // namespace

void ZR_StudyDetailsReader::ReadStudyLines(const std::string& file) {
  m_aLines.clear();
  m_nModality = 1;
  std::error_code error;
  if (!std::filesystem::exists(file, error)) return;

  ZR_DcmImages images;
  try {
    images.ReadFile(file);
  } catch (const ZR_DcmError& e) {
    // The volume was read from this file, so this is rare; the study simply shows no lines.
    ZR_Log::Entry("ReadStudyLines(): ", e.what());
    return;
  }
  ZR_DcmImage* image = images.Item(1);
  if (!image) return;

  // Identity: in this order, stopping at the first element that is missing.
  const std::function<std::optional<std::string>()> identity[] = {
      [&] { return std::optional<std::string>(image->Name()); },
      [&] { return std::optional<std::string>(image->Sex()); },
      [&] { return std::optional<std::string>(image->StudyDescription()); },
      [&] { return TextOf(*image, 0x0008, 0x0020); },
      [&] { return TextOf(*image, 0x0008, 0x0080); },
      [&] { return TextOf(*image, 0x0008, 0x0070); },
      [&] { return TextOf(*image, 0x0008, 0x1090); },
  };
  for (const auto& read : identity) {
    const std::optional<std::string> line = read();
    if (!line) {
      m_oGui.ShowMessage("Some of the tags are missing...!");
      break;
    }
    m_aLines.push_back(*line);
  }

  // A file without a modality is treated like any modality other than MR.
  m_nModality = TextOf(*image, 0x0008, 0x0060).value_or("") == "MR" ? 0 : 1;

  if (m_nModality == 0) {
    if (auto name = TextOf(*image, 0x0018, 0x0024))
      m_aLines.push_back(*name);
    else
      m_oGui.ShowMessage("Sequence Name is missing...!");
    struct Number {
      uint16_t element;
      const char* label;
      const char* missing;
    };
    static constexpr Number kNumbers[] = {
        {0x0080, "RT: ", "Repetition time is missing...!"},
        {0x0081, "ET: ", "Echo time is missing...!"},
        {0x1314, "FA: ", "Flip Angle is missing...!"},
        {0x0087, "FS: ", "Magnetic Field Strength is missing...!"},
    };
    for (const Number& n : kNumbers) {
      if (auto value = NumberOf(*image, 0x0018, n.element))
        m_aLines.push_back(TwoDecimals(n.label, *value));
      else
        m_oGui.ShowMessage(n.missing);
    }
    return;
  }

  const std::optional<std::string> kvp = TextOf(*image, 0x0018, 0x0060);
  if (!kvp) m_oGui.ShowMessage("Tube Voltage is missing...!");
  const std::optional<std::string> current = TextOf(*image, 0x0018, 0x1151);
  if (!current) {
    m_oGui.ShowMessage("Tube Current is missing...!");
    return;
  }
  // Without the voltage the line holds the current alone, never text left from another line.
  m_aLines.push_back((kvp ? *kvp + "KVP, " : std::string()) + *current + "mA");
}
