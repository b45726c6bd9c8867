// The hand-over record: its byte layout, and the decoder's refusal of every record that is
// short, unterminated or describes no possible volume, without reading past its end.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>

#include "core/ZR_Result.h"
#include "dicom/ZR_DicomVolume.h"
#include "dicom/ZR_HandoverRecord.h"

namespace {
using R = ZR_HandoverRecord;

template <typename T>
void Put(std::vector<uint8_t>& record, size_t offset, T value) {
  std::memcpy(record.data() + offset, &value, sizeof value);
}

// A sound record written field by field at the documented offsets (not through Encode).
std::vector<uint8_t> Sound(const std::string& name = "/studies/head/IM0001.dcm") {
  std::vector<uint8_t> r(R::kFileName + name.size() + 1, 0);
  Put<int32_t>(r, 0, 1);          // not CT
  Put<int32_t>(r, 4, 256);        // width
  Put<int32_t>(r, 8, 256);        // height
  Put<int32_t>(r, 12, 108);       // slices
  Put<float>(r, 16, 0.95703125f);
  Put<float>(r, 20, 0.5f);
  Put<float>(r, 24, 1.5f);
  Put<int32_t>(r, 28, 12);        // bits used
  Put<int32_t>(r, 32, 4);         // first
  Put<int32_t>(r, 36, 99);        // last
  Put<int16_t>(r, 40, -1024);     // smallest
  Put<int16_t>(r, 42, 3071);      // largest
  Put<float>(r, 44, 1.0f);        // slope
  Put<int16_t>(r, 48, -1024);     // intercept
  r[50] = 1;                      // non-uniform
  Put<int32_t>(r, 52, 40);        // non-uniform slice
  r[56] = 1;                      // orientation flag
  const float row[3] = {1, 0, 0}, column[3] = {0, 0.8f, -0.6f}, slice[3] = {0, 0.6f, 0.8f};
  for (size_t i = 0; i < 3; ++i) {
    Put<float>(r, 60 + 4 * i, row[i]);
    Put<float>(r, 72 + 4 * i, column[i]);
    Put<float>(r, 84 + 4 * i, slice[i]);
  }
  std::memcpy(r.data() + 96, name.data(), name.size());
  return r;
}

// Decodes from a heap block of exactly the record's size, so that a read past its end is
// caught by the address sanitizer.
int32_t Decode(const std::vector<uint8_t>& record, size_t size, ZR_DicomVolume& volume, std::string* reason = nullptr) {
  std::unique_ptr<uint8_t[]> exact(new uint8_t[std::max<size_t>(size, 1)]);
  if (size) std::memcpy(exact.get(), record.data(), size);
  return R::Decode(exact.get(), size, volume, reason);
}
}  // namespace

TEST(ZR_HandoverRecord, FieldsAreReadFromTheirOffsets) {
  const std::vector<uint8_t> record = Sound();
  ZR_DicomVolume v;
  v.m_afOrigin = {7, 8, 9};  // not part of the record: back to its constructed value
  ASSERT_EQ(Decode(record, record.size(), v), VR_OK);
  EXPECT_EQ(v.m_nNotCt, 1);
  EXPECT_EQ(v.m_nWidth, 256);
  EXPECT_EQ(v.m_nHeight, 256);
  EXPECT_EQ(v.m_nSliceCount, 108);
  EXPECT_FLOAT_EQ(v.m_fPixelSpacingX, 0.95703125f);
  EXPECT_FLOAT_EQ(v.m_fPixelSpacingY, 0.5f);
  EXPECT_FLOAT_EQ(v.m_fSliceDistance, 1.5f);
  EXPECT_EQ(v.m_nBitsUsed, 12);
  EXPECT_EQ(v.m_nFirst, 4);
  EXPECT_EQ(v.m_nLast, 99);
  EXPECT_EQ(v.m_nSmallest, -1024);
  EXPECT_EQ(v.m_nLargest, 3071);
  EXPECT_FLOAT_EQ(v.m_fRescaleSlope, 1.0f);
  EXPECT_EQ(v.m_nRescaleIntercept, -1024);
  EXPECT_TRUE(v.m_bNonUniform);
  EXPECT_EQ(v.m_nNonUniformSlice, 40);
  EXPECT_TRUE(v.m_bOrientationFlag);
  EXPECT_EQ(v.m_afColumnDirection, (std::array<float, 3>{0, 0.8f, -0.6f}));
  EXPECT_EQ(v.m_afSliceDirection, (std::array<float, 3>{0, 0.6f, 0.8f}));
  EXPECT_EQ(v.m_afOrigin, (std::array<float, 3>{0, 0, 0}));
  EXPECT_EQ(v.m_sFileName, "/studies/head/IM0001.dcm");
  // The record carries no pixels: the volume has none, and says so.
  EXPECT_TRUE(v.m_apSlices.empty());
  EXPECT_FALSE(v.HasAllSlices());
}

TEST(ZR_HandoverRecord, EncodeWritesWhatDecodeReads) {
  const std::vector<uint8_t> record = Sound("C:\\x.dcm");
  ZR_DicomVolume v;
  ASSERT_EQ(Decode(record, record.size(), v), VR_OK);
  EXPECT_EQ(R::Encode(v), record);
  // Values beyond the record's 16-bit fields cannot be described.
  v.m_nLargest = 65535;
  EXPECT_TRUE(R::Encode(v).empty());
}

TEST(ZR_HandoverRecord, EveryShorterRecordIsRefusedWithoutReadingPastItsEnd) {
  const std::vector<uint8_t> record = Sound();
  ZR_DicomVolume untouched;
  for (size_t size = 0; size < record.size(); ++size) {
    SCOPED_TRACE(size);
    ZR_DicomVolume v;
    v.m_nWidth = 77;
    EXPECT_EQ(Decode(record, size, v), VR_LD_INVALID_VOLUME);
    EXPECT_EQ(v.m_nWidth, 77);
  }
  ZR_DicomVolume v;
  EXPECT_EQ(R::Decode(nullptr, 200, v), VR_LD_INVALID_VOLUME);
  // An empty name is a name: its terminator is the last byte.
  const std::vector<uint8_t> bare = Sound("");
  EXPECT_EQ(bare.size(), R::kMinimumSize);
  EXPECT_EQ(Decode(bare, bare.size(), v), VR_OK);
  EXPECT_EQ(v.m_sFileName, "");
}

TEST(ZR_HandoverRecord, InconsistentRecordsAreRefusedAndChangeNothing) {
  using Change = std::function<void(std::vector<uint8_t>&)>;
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const struct {
    const char* what;
    Change change;
    const char* reason;
  } cases[] = {
      {"no terminator", [](auto& r) { r.back() = 'x'; }, "terminator"},
      {"9 slices", [](auto& r) { Put<int32_t>(r, 12, 9); Put<int32_t>(r, 36, 8); Put<int32_t>(r, 52, 2); }, "9 slices"},
      {"2049 slices", [](auto& r) { Put<int32_t>(r, 12, 2049); }, "2049 slices"},
      {"not square", [](auto& r) { Put<int32_t>(r, 8, 128); }, "square"},
      {"not a power of two", [](auto& r) { Put<int32_t>(r, 4, 384); Put<int32_t>(r, 8, 384); }, "power-of-two"},
      {"no matrix", [](auto& r) { Put<int32_t>(r, 4, 0); Put<int32_t>(r, 8, 0); }, "square"},
      {"negative matrix", [](auto& r) { Put<int32_t>(r, 4, -256); Put<int32_t>(r, 8, -256); }, "square"},
      {"first after last", [](auto& r) { Put<int32_t>(r, 32, 50); Put<int32_t>(r, 36, 49); }, "slice range"},
      {"last beyond the slices", [](auto& r) { Put<int32_t>(r, 36, 108); }, "slice range"},
      {"negative first", [](auto& r) { Put<int32_t>(r, 32, -1); }, "slice range"},
      {"zero spacing", [](auto& r) { Put<float>(r, 16, 0.0f); }, "spacing"},
      {"NaN distance", [nan](auto& r) { Put<float>(r, 24, nan); }, "spacing"},
      {"17 bits", [](auto& r) { Put<int32_t>(r, 28, 17); }, "bits"},
      {"empty value range", [](auto& r) { Put<int16_t>(r, 42, -1024); }, "value range"},
      {"zero slope", [](auto& r) { Put<float>(r, 44, 0.0f); }, "slope"},
      {"flag of 2", [](auto& r) { r[56] = 2; }, "flag"},
      {"non-uniform slice beyond the triples", [](auto& r) { Put<int32_t>(r, 52, 106); }, "non-uniform slice"},
      {"uniform with a slice", [](auto& r) { r[50] = 0; }, "non-uniform slice"},
      {"NaN direction", [nan](auto& r) { Put<float>(r, 88, nan); }, "direction"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<uint8_t> record = Sound();
    c.change(record);
    ZR_DicomVolume v;
    v.m_sFileName = "kept";
    std::string reason;
    EXPECT_EQ(Decode(record, record.size(), v, &reason), VR_LD_INVALID_VOLUME);
    EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
    EXPECT_EQ(v.m_sFileName, "kept");
    EXPECT_EQ(v.m_nSliceCount, 0);
  }
}
