#pragma once
// Generated series for the reader's tests: `count` files written by the component, each made
// by the fixture image of the given values and adjusted per file by a callback.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/dicom/ZR_DicomFixtures.h"

class ZR_DicomSeries {
 public:
  using Adjust = std::function<void(int32_t index, ZR_DcmImage& image)>;

  // Files "s000.dcm".. in a fresh scratch folder; the list is returned in file order.
  // By default file k lies at z = k mm and every value is `base` + k.
  static std::vector<std::string> Write(const std::string& name, int32_t count, ZR_DicomFixtures::Grey grey,
                                        const Adjust& adjust = nullptr,
                                        ZR_DcmImage::Syntax syntax = ZR_DcmImage::Syntax::ExplicitLittle);
  // A 4 x 4 grey of one value.
  static ZR_DicomFixtures::Grey Flat(int32_t value, int32_t bitsStored = 12, bool isSigned = false);
  static void Position(ZR_DcmImage& image, double x, double y, double z);
  static void Orientation(ZR_DcmImage& image, const std::vector<double>& six);
};
