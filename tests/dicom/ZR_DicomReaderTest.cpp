// The series reader on generated series: ordering, distances, the non-uniform mark, padding,
// value normalisation, every refusal, progress, and component errors turned into result codes.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <thread>

#include "core/ZR_Log.h"
#include "core/ZR_Result.h"
#include "dicom/ZR_DcmError.h"
#include "dicom/ZR_DcmImages.h"
#include "dicom/ZR_DicomReader.h"
#include "tests/dicom/ZR_DicomSeries.h"
#include "tests/support/ZR_RecordingProgressBar.h"
#include "tests/support/ZR_TestData.h"

namespace {
using S = ZR_DicomSeries;

// The stored value of slice k at the image's first pixel (all tests use one value per slice).
std::vector<int32_t> FirstValues(const ZR_DicomVolume& v, int32_t x = -1, int32_t y = -1) {
  if (x < 0) x = (v.m_nWidth - 4) / 2;
  if (y < 0) y = (v.m_nHeight - 4) / 2;
  std::vector<int32_t> values;
  for (int32_t k = 0; k < v.m_nSliceCount; ++k) values.push_back(v.Slice(k)[static_cast<size_t>(y) * v.m_nWidth + x]);
  return values;
}

std::vector<int32_t> Iota(int32_t count, int32_t step = 1) {
  std::vector<int32_t> v;
  for (int32_t k = 0; k < count; ++k) v.push_back(k * step);
  return v;
}

int32_t Read(const std::vector<std::string>& files, ZR_DicomVolume& volume, ZR_DicomReader* reader = nullptr) {
  ZR_DicomReader own;
  return (reader ? *reader : own).ReadSeries(files, volume);
}

// Refuses and leaves nothing behind, with the reason naming what went wrong.
void ExpectRefused(const std::vector<std::string>& files, const std::string& reason) {
  ZR_DicomReader reader;
  ZR_DicomVolume volume;
  EXPECT_EQ(reader.ReadSeries(files, volume), VR_LD_INVALID_VOLUME);
  EXPECT_NE(reader.LastError().find(reason), std::string::npos) << reader.LastError();
  EXPECT_TRUE(volume.m_apSlices.empty());
  EXPECT_EQ(volume.m_nSliceCount, 0);
}
}  // namespace

TEST(ZR_DicomReader, ReversedListLoadsFromTheSmallestZ) {
  std::vector<std::string> files = S::Write("reversed", 10, S::Flat(100));
  std::reverse(files.begin(), files.end());
  ZR_DicomVolume v;
  ASSERT_EQ(Read(files, v), VR_OK);
  EXPECT_EQ(v.m_nSliceCount, 10);
  EXPECT_EQ(FirstValues(v), Iota(10));
  EXPECT_FLOAT_EQ(v.m_afOrigin[2], 0.0f);
  EXPECT_FLOAT_EQ(v.m_afSliceDirection[2], 1.0f);
  EXPECT_EQ(v.m_sFileName, files[0]);  // the first of the list, not of the volume
  EXPECT_EQ(v.m_nFirst, 0);
  EXPECT_EQ(v.m_nLast, 9);
}

// The axis comes from the first and last file of the list; equal differences favour the later.
TEST(ZR_DicomReader, OrdersAlongTheAxisInWhichThePositionsAdvance) {
  using Place = std::array<double, 3> (*)(int32_t);
  const struct {
    const char* name;
    Place place;
    std::vector<double> orientation;
  } cases[] = {
      {"x", [](int32_t k) { return std::array<double, 3>{1.5 * k, 0.2 * k, 0.1 * k}; }, {0, 1, 0, 0, 0, -1}},
      {"y", [](int32_t k) { return std::array<double, 3>{0.1 * k, 1.5 * k, 0.2 * k}; }, {1, 0, 0, 0, 0, -1}},
      {"z", [](int32_t k) { return std::array<double, 3>{0.2 * k, 0.1 * k, 1.5 * k}; }, {1, 0, 0, 0, 1, 0}},
      // x and y span the same from the first file to the last (z less), but only y keeps the
      // files' order in between: the later axis, y, is the one taken.
      {"x equals y",
       [](int32_t k) { return std::array<double, 3>{k == 0 || k == 9 ? 1.0 * k : 9.0 - k, 1.0 * k, 0.5 * k}; },
       {1, 0, 0, 0, 0, -1}},
  };
  const int32_t order[] = {0, 3, 7, 9, 5, 1, 8, 2, 6, 4};  // shuffled; first and last stay apart
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<std::string> written = S::Write(std::string("axis_") + c.name, 10, S::Flat(100),
                                                      [&](int32_t k, ZR_DcmImage& image) {
                                                        const auto p = c.place(k);
                                                        S::Position(image, p[0], p[1], p[2]);
                                                        S::Orientation(image, c.orientation);
                                                      });
    std::vector<std::string> files;
    for (int32_t k : order) files.push_back(written[static_cast<size_t>(k)]);
    std::swap(files[3], files[9]);  // the list's last file is the ninth slice
    ZR_DicomVolume v;
    ASSERT_EQ(Read(files, v), VR_OK);
    EXPECT_EQ(FirstValues(v), Iota(10));
  }
}

TEST(ZR_DicomReader, FiveFilesAtOnePositionLoadSixAreRefused) {
  auto series = [](const char* name, int32_t same) {
    return S::Write(name, 10, S::Flat(100), [same](int32_t k, ZR_DcmImage& image) {
      S::Position(image, 0, 0, k < same ? 0.0 : static_cast<double>(k - same + 1));
    });
  };
  ZR_DicomVolume v;
  EXPECT_EQ(Read(series("same5", 5), v), VR_OK);
  ExpectRefused(series("same6", 6), "distances between slices are 0");
}

// Distances 1.0, 1.0, 1.5, 1.0: the median is 1.0 and slices 1..3 are uneven.
TEST(ZR_DicomReader, MedianDistanceAndTheNonUniformMark) {
  const double z[] = {0.0, 1.0, 2.0, 3.5, 4.5};
  ZR_DicomVolume v;
  ASSERT_EQ(Read(S::Write("uneven", 5, S::Flat(100), [&](int32_t k, ZR_DcmImage& image) { S::Position(image, 0, 0, z[k]); }), v),
            VR_OK);
  EXPECT_FLOAT_EQ(v.m_fSliceDistance, 1.0f);
  EXPECT_TRUE(v.m_bNonUniform);
  EXPECT_EQ(v.m_nNonUniformSlice, 1);
  // Every slice keeps its own position, for placing the uneven ones exactly.
  ASSERT_EQ(v.m_aSlicePositions.size(), 5u);
  for (size_t k = 0; k < 5; ++k) EXPECT_EQ(v.m_aSlicePositions[k], (std::array<double, 3>{0, 0, z[k]}));
  ASSERT_EQ(Read(S::Write("even", 5, S::Flat(100)), v), VR_OK);
  EXPECT_FALSE(v.m_bNonUniform);
  EXPECT_EQ(v.m_nNonUniformSlice, -1);
}

// A 20 degree oblique stack 3 mm apart along its normal: 3 mm, not the 2.82 of one coordinate.
// A sheared stack (moving along x as it rises) keeps the coordinate of its axis.
TEST(ZR_DicomReader, SliceDistanceAlongTheNormalOrAlongTheAxis) {
  const double a = 20.0 * M_PI / 180.0;
  const std::vector<double> tilted = {1, 0, 0, 0, std::cos(a), -std::sin(a)};  // normal (0, sin a, cos a)
  ZR_DicomVolume v;
  ASSERT_EQ(Read(S::Write("oblique", 8, S::Flat(100),
                          [&](int32_t k, ZR_DcmImage& image) {
                            S::Orientation(image, tilted);
                            S::Position(image, 0, 3.0 * k * std::sin(a), 3.0 * k * std::cos(a));
                          }),
                 v),
            VR_OK);
  EXPECT_NEAR(v.m_fSliceDistance, 3.0, 1e-4);
  EXPECT_NEAR(v.m_afSliceDirection[1], std::sin(a), 1e-6);
  ASSERT_EQ(Read(S::Write("sheared", 8, S::Flat(100),
                          [&](int32_t k, ZR_DcmImage& image) { S::Position(image, 1.0 * k, 0, 2.0 * k); }),
                 v),
            VR_OK);
  EXPECT_NEAR(v.m_fSliceDistance, 2.0, 1e-6);
}

TEST(ZR_DicomReader, SliceDirectionSkipsCoincidingFirstPositions) {
  ZR_DicomVolume v;
  ASSERT_EQ(Read(S::Write("coincide", 6, S::Flat(100),
                          [&](int32_t k, ZR_DcmImage& image) { S::Position(image, 0, 0, k < 2 ? 0.0 : k - 1.0); }),
                 v),
            VR_OK);
  EXPECT_FLOAT_EQ(v.m_afSliceDirection[0], 0.0f);
  EXPECT_FLOAT_EQ(v.m_afSliceDirection[2], 1.0f);
  EXPECT_FALSE(std::isnan(v.m_afSliceDirection[1]));
}

// Pixel Spacing holds the row spacing first: x is the second value.
TEST(ZR_DicomReader, PixelSpacingTakesXFromTheSecondValue) {
  ZR_DicomVolume v;
  ASSERT_EQ(Read(S::Write("spacing", 4, S::Flat(100),
                          [](int32_t, ZR_DcmImage& image) { image.Attributes().Add(0x0028, 0x0030, "0.5\\0.8"); }),
                 v),
            VR_OK);
  EXPECT_FLOAT_EQ(v.m_fPixelSpacingX, 0.8f);
  EXPECT_FLOAT_EQ(v.m_fPixelSpacingY, 0.5f);
}

TEST(ZR_DicomReader, SlicesArePaddedToPowersOfTwoAroundTheImage) {
  ZR_DicomFixtures::Grey grey;
  grey.columns = 512;
  grey.rows = 400;
  grey.values.assign(512 * 400, 500);
  grey.values[0] = 100;  // one darker pixel keeps the range open
  ZR_DicomVolume v;
  ASSERT_EQ(Read(S::Write("pad", 2, grey), v), VR_OK);
  ASSERT_EQ(v.m_nWidth, 512);
  ASSERT_EQ(v.m_nHeight, 512);
  const uint16_t* slice = v.Slice(0);
  auto row = [&](int32_t y) { return std::vector<uint16_t>(slice + y * 512, slice + (y + 1) * 512); };
  EXPECT_EQ(row(0), std::vector<uint16_t>(512, 0));
  EXPECT_EQ(row(55), std::vector<uint16_t>(512, 0));
  EXPECT_EQ(row(56)[0], 0);     // the darker pixel, now the smallest value
  EXPECT_EQ(row(56)[1], 400);
  EXPECT_EQ(row(455), std::vector<uint16_t>(512, 400));
  EXPECT_EQ(row(456), std::vector<uint16_t>(512, 0));
  EXPECT_EQ(row(511), std::vector<uint16_t>(512, 0));
  EXPECT_EQ(v.m_nPadColumn, 0);
  EXPECT_EQ(v.m_nPadRow, 56);

  grey.columns = 5;
  grey.rows = 3;
  grey.values.assign(15, 7);
  grey.values[14] = 9;
  ASSERT_EQ(Read(S::Write("pad_small", 2, grey), v), VR_OK);
  EXPECT_EQ(v.m_nWidth, 8);
  EXPECT_EQ(v.m_nHeight, 4);
  EXPECT_EQ(v.Slice(0)[0 * 8 + 1], 0);  // column (8 - 5) / 2 = 1, row (4 - 3) / 2 = 0
  EXPECT_EQ(v.Slice(0)[2 * 8 + 5], 2);  // the last pixel (9 - 7)
  EXPECT_EQ(v.Slice(0)[3 * 8 + 1], 0);
  EXPECT_EQ(v.m_nPadColumn, 1);
  EXPECT_EQ(v.m_nPadRow, 0);
}

TEST(ZR_DicomReader, NormalisesUnsignedAndSignedValues) {
  struct Case {
    const char* name;
    int32_t low, high, bitsStored;
    bool isSigned;
    double intercept;
    int32_t storedLow, storedHigh, smallest, largest, bitsUsed;
  };
  const Case cases[] = {
      {"unsigned", 100, 1100, 12, false, -1024, 0, 1000, 100, 1100, 12},
      {"signed", -1024, 3071, 16, true, 0, 0, 4095, -1024, 3071, 13},
      // With an intercept, negative values (scanner padding) become 0 and the smallest is 0.
      {"signed intercept", -2000, 3000, 16, true, -1024, 0, 3000, 0, 3000, 13},
      // Held in 32 bits: unsigned 16-bit data beyond 32767 keeps its order.
      {"unsigned 16", 32000, 35000, 16, false, 0, 0, 3000, 32000, 35000, 16},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ZR_DicomFixtures::Grey grey = S::Flat(c.low, c.bitsStored, c.isSigned);
    grey.values[5] = c.high;
    ZR_DicomVolume v;
    ASSERT_EQ(Read(S::Write(std::string("values_") + c.name, 2, grey,
                            [&](int32_t, ZR_DcmImage& image) {
                              image.Attributes().Add(0x0028, 0x1052, c.intercept);
                              image.Attributes().Add(0x0028, 0x1053, 1.0);
                            }),
                   v),
              VR_OK);
    EXPECT_EQ(v.m_nSmallest, c.smallest);
    EXPECT_EQ(v.m_nLargest, c.largest + 1);  // slice 1 holds every value + 1
    EXPECT_EQ(v.m_nBitsUsed, c.bitsUsed);
    EXPECT_EQ(v.m_nRescaleIntercept, static_cast<int32_t>(c.intercept));
    const uint16_t* s0 = v.Slice(0);
    const int32_t first = (v.m_nHeight - 4) / 2 * v.m_nWidth + (v.m_nWidth - 4) / 2;
    EXPECT_EQ(s0[first], c.storedLow);
    EXPECT_EQ(s0[first + 1 * v.m_nWidth + 1], c.storedHigh);  // values[5] is row 1, column 1
  }
}

// Where files carry different rescales, each is brought to the first file's before the range.
TEST(ZR_DicomReader, DifferentRescalesAreBroughtToTheFirstFilesScale) {
  ZR_DicomFixtures::Grey grey = S::Flat(100);
  grey.values[1] = 1000;
  const std::filesystem::path log = ZR_TestData::ScratchDir("rescale_log") / "lmx_log.txt";
  ASSERT_TRUE(ZR_Log::Instance().Open(log.string()));
  ZR_DicomVolume v;
  ASSERT_EQ(Read(S::Write("rescale", 3, grey,
                          [](int32_t k, ZR_DcmImage& image) {
                            // File 2 stores half the values at twice the slope, 10 higher.
                            image.Attributes().Add(0x0028, 0x1053, k == 2 ? 2.0 : 1.0);
                            image.Attributes().Add(0x0028, 0x1052, k == 2 ? 10.0 : 0.0);
                          }),
                 v),
            VR_OK);
  EXPECT_FLOAT_EQ(v.m_fRescaleSlope, 1.0f);
  // File 2's 102 becomes 2 x 102 + 10 = 214 in the first file's scale; the range follows.
  EXPECT_EQ(FirstValues(v), (std::vector<int32_t>{0, 1, 114}));
  EXPECT_EQ(v.m_nLargest, 2 * 1002 + 10);
  ZR_Log::Instance().Close();
  const std::vector<uint8_t> text = ZR_DicomFixtures::Load(log);
  EXPECT_NE(std::string(text.begin(), text.end()).find("ReadSeries(): values brought to the first file's rescale: "),
            std::string::npos);
  EXPECT_NE(std::string(text.begin(), text.end()).find("s002.dcm\n"), std::string::npos);
}

TEST(ZR_DicomReader, BigAndLittleEndianSeriesGiveTheSameVolume) {
  for (bool isSigned : {false, true}) {
    SCOPED_TRACE(isSigned);
    ZR_DicomFixtures::Grey grey = S::Flat(isSigned ? -300 : 300, 12, isSigned);
    grey.values[3] = 258;  // 01 02 in the big-endian files
    grey.values[4] = 2000;
    ZR_DicomVolume little, big;
    ASSERT_EQ(Read(S::Write("endian_le", 3, grey), little), VR_OK);
    ASSERT_EQ(Read(S::Write("endian_be", 3, grey, nullptr, ZR_DcmImage::Syntax::ExplicitBig), big), VR_OK);
    EXPECT_EQ(little.m_nSmallest, big.m_nSmallest);
    EXPECT_EQ(little.m_nLargest, big.m_nLargest);
    EXPECT_EQ(big.m_nLargest, 2002);
    EXPECT_EQ(big.m_nSmallest, isSigned ? -300 : 258);
    for (int32_t k = 0; k < 3; ++k)
      EXPECT_TRUE(std::equal(little.Slice(k), little.Slice(k) + little.SliceValues(), big.Slice(k)));
  }
}

// Everything that does not form one volume: refused with the invalid-volume code and a reason.
TEST(ZR_DicomReader, RefusesWhatIsNotOneVolume) {
  const std::filesystem::path dir = ZR_TestData::ScratchDir("refuse_misc");
  auto with = [](const char* name, auto adjust) { return S::Write(name, 4, S::Flat(100), adjust); };
  auto at = [](int32_t which, auto change) {
    return [which, change](int32_t k, ZR_DcmImage& image) {
      if (k == which) change(image);
    };
  };
  ZR_DicomFixtures::Save(dir / "notes.txt", std::vector<uint8_t>(300, 'n'));
  std::vector<std::string> textFirst = S::Write("text_first", 4, S::Flat(100));
  textFirst.insert(textFirst.begin(), (dir / "notes.txt").string());

  ExpectRefused(with("no_rows", at(0, [](ZR_DcmImage& i) { i.Attributes().Remove(0x0028, 0x0010); })),
                "Rows (0028,0010) is missing");
  ExpectRefused(with("no_columns", at(2, [](ZR_DcmImage& i) { i.Attributes().Remove(0x0028, 0x0011); })),
                "Columns (0028,0011) is missing");
  ExpectRefused(textFirst, "notes.txt: not a DICOM file");
  ExpectRefused(with("matrix", at(2, [](ZR_DcmImage& i) { i.Attributes().Add(0x0028, 0x0010, 8); })),
                "its matrix 4 x 8 differs");
  ExpectRefused(with("coronal", at(1, [](ZR_DcmImage& i) { S::Orientation(i, {1, 0, 0, 0, 0, -1}); })),
                "image orientation differs");
  ExpectRefused(with("spacing", at(3, [](ZR_DcmImage& i) { i.Attributes().Add(0x0028, 0x0030, "1.0\\1.1"); })),
                "pixel spacing differs");
  ExpectRefused(with("series", at(3, [](ZR_DcmImage& i) { i.SetSeriesUID("9.9.9"); })), "belongs to another series");
  ExpectRefused(with("no_position", at(1, [](ZR_DcmImage& i) { i.Attributes().Remove(0x0020, 0x0032); })),
                "Image Position (0020,0032) is missing");
  ExpectRefused(with("no_modality", at(1, [](ZR_DcmImage& i) { i.Attributes().Remove(0x0008, 0x0060); })),
                "Modality is missing");
  ExpectRefused(with("no_representation", at(1, [](ZR_DcmImage& i) { i.Attributes().Remove(0x0028, 0x0103); })),
                "Pixel Representation is missing");
  ExpectRefused(with("wide", at(0, [](ZR_DcmImage& i) { i.Attributes().Add(0x0028, 0x0101, 17); })),
                "more than 16 bits stored");
  ExpectRefused(with("close", [](int32_t k, ZR_DcmImage& i) { S::Position(i, 0, 0, k * 0.005); }),
                "slice distance is below 0.01 mm");
  ExpectRefused(with("one_place", [](int32_t, ZR_DcmImage& i) { S::Position(i, 0, 0, 3); }),
                "all files lie at one position");
  ExpectRefused({}, "at least two files");
  ExpectRefused({textFirst[1]}, "at least two files");
  ExpectRefused(std::vector<std::string>(2049, "unused.dcm"), "2049 files: a volume holds at most 2048 slices");

  ZR_DicomFixtures::Grey eight = S::Flat(100, 8);
  eight.bitsAllocated = 8;
  ExpectRefused(S::Write("eight", 4, eight), "8-bit images cannot form a volume");
}

// Ten blank slices: largest = smallest would be divided by further on.
TEST(ZR_DicomReader, RefusesAConstantSeries) {
  ZR_DicomFixtures::Grey blank = S::Flat(0);
  std::vector<std::string> files = S::Write("blank", 10, blank, [&](int32_t k, ZR_DcmImage& image) {
    // Every file the same value: undo the fixture's per-file step.
    ZR_DicomFixtures::Grey g = blank;
    const std::vector<uint8_t> bytes = ZR_DicomFixtures::Bytes(g);
    image.AllocatePixelSpace(bytes.size());
    image.CopyPixelBuffer(bytes.data(), 1, 2, 8);
    (void)k;
  });
  ExpectRefused(files, "the files hold one value only");
}

TEST(ZR_DicomReader, TheSameFileTwiceIsReadOnceTheSameUidElsewhereIsRefused) {
  std::vector<std::string> files = S::Write("twice", 6, S::Flat(100));
  files.insert(files.begin() + 3, files[1]);
  ZR_DicomVolume v;
  ASSERT_EQ(Read(files, v), VR_OK);
  EXPECT_EQ(v.m_nSliceCount, 6);
  EXPECT_EQ(FirstValues(v), Iota(6));

  std::string uid;
  ExpectRefused(S::Write("uid_elsewhere", 4, S::Flat(100),
                         [&](int32_t k, ZR_DcmImage& image) {
                           if (k == 0) uid = image.InstanceUID();
                           if (k == 3) image.SetInstanceUID(uid);
                         }),
                "shares its SOP Instance UID");
}

TEST(ZR_DicomReader, ReportsProgressOnTheCallingThreadAndAlwaysClosesIt) {
  const std::vector<std::string> files = S::Write("progress", 10, S::Flat(100), nullptr, ZR_DcmImage::Syntax::Deflated);
  ZR_RecordingProgressBar progress;
  const std::thread::id caller = std::this_thread::get_id();
  std::atomic<int> foreign{0};
  progress.onProcessEvents = [&] {
    if (std::this_thread::get_id() != caller) ++foreign;
  };
  ZR_DicomReader reader;
  reader.SetProgress(&progress);
  reader.SetThreadCount(3);
  ZR_DicomVolume v;
  ASSERT_EQ(reader.ReadSeries(files, v), VR_OK);
  EXPECT_EQ(foreign.load(), 0);
  ASSERT_GE(progress.calls.size(), 4u);
  EXPECT_EQ(progress.calls[0], "SetMax(15)");
  EXPECT_EQ(progress.calls[1], "SetText(\"Reading Dicom Files\")");
  EXPECT_EQ(progress.calls[2], "Show(true)");
  EXPECT_EQ(progress.calls.back(), "Close()");
  EXPECT_EQ(progress.position, 15);
  int32_t stepped = 0, last = 0;
  bool ascending = true;
  for (const std::string& c : progress.calls) {
    if (c.rfind("Step(", 0) == 0) stepped += std::stoi(c.substr(5));
    if (c.rfind("SetPosition(", 0) == 0) {
      const int32_t p = std::stoi(c.substr(12));
      ascending = ascending && p >= last;
      last = p;
    }
  }
  EXPECT_EQ(stepped, 10);  // one per file
  EXPECT_TRUE(ascending);

  ZR_RecordingProgressBar refused;
  reader.SetProgress(&refused);
  EXPECT_EQ(reader.ReadSeries({files[0], files[0]}, v), VR_LD_INVALID_VOLUME);
  EXPECT_EQ(refused.calls.back(), "Close()");
}

namespace {
// A file source that fails on one chosen file, as a damaged disk or network share would.
class FailingSource : public ZR_DicomFileSource {
 public:
  enum class Failure { Component, Memory, Other };
  FailingSource(std::string bad, Failure failure) : m_sBad(std::move(bad)), m_eFailure(failure) {}
  void ReadFile(ZR_DcmImages& images, const std::string& path) const override {
    if (path == m_sBad) {
      if (m_eFailure == Failure::Memory) throw std::bad_alloc();
      if (m_eFailure == Failure::Other) throw std::runtime_error("unexpected trouble");
      throw ZR_DcmError(path + ": read error (the source failed)");
    }
    ZR_DicomFileSource::ReadFile(images, path);
  }

 private:
  std::string m_sBad;
  Failure m_eFailure;
};
}  // namespace

// The component's errors never leave the reader: a failing fifth file is a refusal (or, when
// memory runs out, VR_NO_MEMORY), with nothing left allocated and the window closed.
TEST(ZR_DicomReader, ErrorsOfTheFifthFileBecomeResultCodes) {
  const std::vector<std::string> files = S::Write("fifth", 10, S::Flat(100));
  for (int32_t threads : {1, 3}) {
    SCOPED_TRACE(threads);
    using F = FailingSource::Failure;
    const struct {
      F failure;
      int32_t result;
      const char* reason;
    } cases[] = {{F::Component, VR_LD_INVALID_VOLUME, "s004.dcm: read error"},
                 {F::Memory, VR_NO_MEMORY, "out of memory"},
                 {F::Other, VR_LD_INVALID_VOLUME, "s004.dcm: unexpected trouble"}};
    for (const auto& c : cases) {
      FailingSource source(files[4], c.failure);
      ZR_DicomReader reader(&source);
      reader.SetThreadCount(threads);
      ZR_RecordingProgressBar progress;
      reader.SetProgress(&progress);
      ZR_DicomVolume v;
      int32_t result = VR_OK;
      EXPECT_NO_THROW(result = reader.ReadSeries(files, v));
      EXPECT_EQ(result, c.result);
      EXPECT_NE(reader.LastError().find(c.reason), std::string::npos) << reader.LastError();
      EXPECT_TRUE(v.m_apSlices.empty());
      EXPECT_EQ(progress.calls.back(), "Close()");
      ZR_DicomImageAttributes a;
      EXPECT_FALSE(reader.ReadImageAttributes(files[4], a));
    }
  }
}

// Decoding runs on several threads, through GDCM's codecs for compressed files: the volume is
// the same whatever the thread count, and the same as from the uncompressed files.
TEST(ZR_DicomReader, ThreadCountDoesNotChangeTheVolume) {
  ZR_DicomFixtures::Grey grey;
  grey.rows = grey.columns = 16;  // GDCM's JPEG 2000 encoder overruns on smaller images
  grey.bitsStored = 16;
  grey.isSigned = true;
  for (int i = 0; i < 256; ++i) grey.values.push_back(-500 + (i * 37) % 1200);
  const std::vector<std::string> native = S::Write("threads", 12, grey, [](int32_t k, ZR_DcmImage& image) {
    S::Position(image, 0, 0, (k * 7) % 12);  // out of order on disk
  });
  ZR_DicomVolume reference;
  ASSERT_EQ(Read(native, reference), VR_OK);
  for (const char* syntax : {"1.2.840.10008.1.2.4.80", "1.2.840.10008.1.2.4.90", "1.2.840.10008.1.2.5"}) {
    SCOPED_TRACE(syntax);
    const std::filesystem::path dir = ZR_TestData::ScratchDir(std::string("threads_") + syntax);
    std::vector<std::string> files;
    for (const std::string& f : native) {
      files.push_back((dir / std::filesystem::path(f).filename()).string());
      ZR_DicomFixtures::Save(files.back(), ZR_DicomFixtures::GdcmTranscode(ZR_DicomFixtures::Load(f), syntax));
    }
    for (int32_t threads : {1, 4}) {
      ZR_DicomReader reader;
      reader.SetThreadCount(threads);
      ZR_DicomVolume v;
      ASSERT_EQ(reader.ReadSeries(files, v), VR_OK) << reader.LastError();
      EXPECT_EQ(v.m_nSmallest, reference.m_nSmallest);
      EXPECT_EQ(v.m_nLargest, reference.m_nLargest);
      for (int32_t k = 0; k < 12; ++k)
        EXPECT_TRUE(std::equal(v.Slice(k), v.Slice(k) + v.SliceValues(), reference.Slice(k))) << k;
    }
  }
}

TEST(ZR_DicomReader, ReadImageAttributesGivesTheGeometry) {
  const std::vector<std::string> files = S::Write("attributes", 2, S::Flat(100), [](int32_t, ZR_DcmImage& image) {
    image.Attributes().Add(0x0028, 0x0030, "0.5\\0.8");
    S::Position(image, -10, 20.5, 30);
  });
  ZR_DicomReader reader;
  ZR_DicomImageAttributes a;
  ASSERT_TRUE(reader.ReadImageAttributes(files[1], a));
  EXPECT_EQ(a.rows, 4);
  EXPECT_EQ(a.columns, 4);
  EXPECT_EQ(a.bitsStored, 12);
  EXPECT_DOUBLE_EQ(a.pixelSpacing[0], 0.5);
  EXPECT_DOUBLE_EQ(a.pixelSpacing[1], 0.8);
  EXPECT_DOUBLE_EQ(a.imagePosition[1], 20.5);
  EXPECT_DOUBLE_EQ(a.imageOrientation[4], 1.0);
  EXPECT_EQ(a.seriesUid, "1.2.3.4.5");
  EXPECT_FALSE(reader.ReadImageAttributes(files[1] + ".missing", a));
  EXPECT_NE(reader.LastError().find("cannot open"), std::string::npos);
  EXPECT_EQ(a.rows, 0);
}
