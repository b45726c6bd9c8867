#include "output/ZR_WinSeries.h"

#include "core/ZR_Result.h"
#include "dicom/ZR_DcmUid.h"
#include "output/ZR_ImageWriter.h"

std::string ZR_WinSeries::FileName(const std::string& baseName, int32_t mode, int32_t index, int32_t count) {
  const size_t digits = std::to_string(count > 0 ? count : 1).size();
  std::string number = std::to_string(index);
  if (number.size() < digits) number.insert(0, digits - number.size(), '0');
  return baseName + number + ZR_ImageWriter::Extension(mode);
}

bool ZR_WinSeries::WriteSeries(const std::string& baseName, int32_t mode, std::vector<std::string>* written,
                               std::string* error) {
  if (!ZR_ImageWriter::IsValidMode(mode)) {
    if (error) *error = "no such write mode";
    return false;
  }
  const int32_t count = ImageCount();
  if (count == 0) return true;  // nothing captured: nothing written
  ZR_ImageWriter::Series series;
  series.sSeriesUid = ZR_DcmUid::Generate();
  // Series numbers above those of an acquisition, one more for every series of the run.
  series.nSeriesNumber = 1000 + ++m_nSeriesWritten;
  for (int32_t i = 0; i < count; ++i) {
    const std::string name = FileName(baseName, mode, i, count);
    series.nInstanceNumber = i + 1;
    std::string why;
    if (ZR_ImageWriter::WriteDicomImage(m_sSourceFile, name, m_aImages[static_cast<size_t>(i)], mode, series, &why) !=
        VR_OK) {
      if (error) *error = name + ": " + why;
      return false;
    }
    if (written) written->push_back(name);
  }
  return true;
}

int32_t ZR_WinSeries::WriteImage(const std::string& fileName, int32_t mode, int32_t index) {
  if (index < 0 || index >= ImageCount()) return VR_WRITE_FAILED;
  ZR_ImageWriter::Series series;
  series.nSeriesNumber = 1000 + ++m_nSeriesWritten;
  return ZR_ImageWriter::WriteDicomImage(m_sSourceFile, fileName, m_aImages[static_cast<size_t>(index)], mode, series);
}
