#include "tests/dicom/ZR_DicomSeries.h"

#include <cstdio>

#include "tests/support/ZR_TestData.h"

std::vector<std::string> ZR_DicomSeries::Write(const std::string& name, int32_t count, ZR_DicomFixtures::Grey grey,
                                               const Adjust& adjust, ZR_DcmImage::Syntax syntax) {
  const std::filesystem::path dir = ZR_TestData::ScratchDir("series_" + name);
  std::vector<std::string> files;
  for (int32_t k = 0; k < count; ++k) {
    ZR_DicomFixtures::Grey g = grey;
    for (int32_t& v : g.values) v += k;
    ZR_DcmImage image = ZR_DicomFixtures::Image(g, static_cast<double>(k));
    if (adjust) adjust(k, image);
    char file[32];
    std::snprintf(file, sizeof file, "s%03d.dcm", k);
    const std::filesystem::path path = dir / file;
    image.WriteFile(path.string(), syntax);
    files.push_back(path.string());
  }
  return files;
}

ZR_DicomFixtures::Grey ZR_DicomSeries::Flat(int32_t value, int32_t bitsStored, bool isSigned) {
  ZR_DicomFixtures::Grey g;
  g.bitsStored = bitsStored;
  g.isSigned = isSigned;
  g.values.assign(16, value);
  return g;
}

void ZR_DicomSeries::Position(ZR_DcmImage& image, double x, double y, double z) {
  image.Attributes().Add(0x0020, 0x0032, std::vector<double>{x, y, z});
}

void ZR_DicomSeries::Orientation(ZR_DcmImage& image, const std::vector<double>& six) {
  image.Attributes().Add(0x0020, 0x0037, six);
}
