// Slabs and multi-MPR series through the panel's commands: where the series' slices and
// their sub-planes lie (as the GPU path draws them, recorded), what a slab's values are
// against the study's voxels, what the pane shows for MIP and MinIP, and a saved series as
// files that an independent validator accepts, stepping along the plane's normal.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/ZR_Ids.h"
#include "core/ZR_Keys.h"
#include "dicom/ZR_DcmImage.h"
#include "dicom/ZR_DcmImages.h"
#include "dicom/ZR_DicomVolume.h"
#include "output/ZR_ImageWriter.h"
#include "output/ZR_SaveInfo.h"
#include "output/ZR_WinSeries.h"
#include "tests/dicom/ZR_DicomSeries.h"
#include "tests/manager/ZR_LoadingFixture.h"
#include "tests/support/ZR_ExternalTool.h"
#include "tests/support/ZR_RecordingSeries.h"
#include "tests/support/ZR_TestData.h"

namespace fs = std::filesystem;

namespace {
using Vec = std::array<double, 3>;

Vec Cross(const Vec& a, const Vec& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

class Series : public ZR_LoadingFixture {
 protected:
  // `count` files of `side` x `side` pixels, `spacing` mm apart and `spacing` mm pixels, in
  // the plane x = k * spacing (sagittal; rows along +y, columns down -z) when `sagittal`,
  // else z = k * spacing (axial). Every pixel of file k holds `value(k)`.
  void Load(const std::string& name, int32_t count, int32_t side, double spacing, bool sagittal,
            const std::function<int32_t(int32_t)>& value) {
    ZR_DicomFixtures::Grey grey;
    grey.rows = grey.columns = side;
    grey.bitsStored = 12;
    grey.values.assign(static_cast<size_t>(side) * side, 0);
    const std::vector<std::string> files =
        ZR_DicomSeries::Write(name, count, grey, [&](int32_t k, ZR_DcmImage& image) {
          const double at = k * spacing;
          if (sagittal) {
            ZR_DicomSeries::Position(image, at, 0, 0);
            ZR_DicomSeries::Orientation(image, {0, 1, 0, 0, 0, -1});
          } else {
            ZR_DicomSeries::Position(image, 0, 0, at);
          }
          image.Attributes().Add(0x0028, 0x0030, std::vector<double>{spacing, spacing});
          std::vector<uint16_t> pixels(static_cast<size_t>(side) * side, static_cast<uint16_t>(value(k)));
          image.CopyPixelBuffer(pixels.data(), 1, 2, side * 2);
        });
    settings.Display().showStudyDetails = false;
    int32_t n = count;
    ASSERT_EQ(manager->LoadStudy(files, n), VR_OK);
    ASSERT_EQ(LoadRange(0, count - 1), VR_OK);
    ASSERT_TRUE(manager->ShowMprScreen());
    manager->SetSeriesPause(0);
    ASSERT_FALSE(manager->IsSoftwareRendering());
  }

  void Activate(int32_t panel) {
    manager->PointerMove(panel, kPanel / 2, kPanel / 2);
    ASSERT_EQ(manager->ActiveMprView(), panel);
  }

  // The active view as the panel sets it up: type, projection (radio index: MPVR 0, MIP 1,
  // MinIP 2), slab extent, and for a series the slice thickness and count.
  void Configure(int32_t type, int32_t radio, float extentMm, float thicknessMm = 0, int32_t slices = 0) {
    manager->Command(ZR_Ctl::Sbtn_Single + type);
    manager->Command(ZR_Ctl::Rg_SlabMode, &radio);
    manager->Command(ZR_Ctl::Ed_SlabSize, &extentMm);
    if (thicknessMm > 0) manager->Command(ZR_Ctl::Ed_Thickness, &thicknessMm);
    if (slices > 0) manager->Command(ZR_Ctl::Ed_Slices, &slices);
  }

  // The grey the views show as each value's share of the study's range.
  void LinearGrey() {
    ZR_Lut& lut = shared.GetLut();
    float* grey = lut.GreyTable();
    for (int32_t k = 0; k < lut.EntryCount(); ++k) {
      const float v = static_cast<float>(k) / static_cast<float>(lut.EntryCount() - 1);
      grey[4 * k] = grey[4 * k + 1] = grey[4 * k + 2] = v;
      grey[4 * k + 3] = 1;
    }
  }

  int32_t Shown(int32_t panel, int32_t x, int32_t y) {
    int32_t w = 0, h = 0;
    const auto pixels = manager->ReadPanel(panel, &w, &h, GL_RGB, GL_UNSIGNED_BYTE, 3, 1, false);
    if (!pixels || x >= w || y >= h) return -1;
    return pixels[(static_cast<size_t>(h - 1 - y) * w + x) * 3];
  }
};

// 0.7 mm voxels, 1 mm slices: stepping by a rounded count of voxels would drift 0.3 mm a slice.
TEST_F(Series, SlicesLieWhereTheSeriesPutsThemAndTheirSubPlanesDivideEachSlice) {
  constexpr double kVoxel = 0.7;
  Load("series-geometry", 16, 16, kVoxel, false, [](int32_t k) { return 100 + k; });
  Activate(ZR_Panel::Mpr2);
  const double p = manager->PhysicalLength();
  ASSERT_NEAR(p, 16 * kVoxel, 1e-4);
  ZR_RecordingSeries writer;
  manager->SetSeriesWriter(&writer);

  struct Case {
    float extent, thickness;
    int32_t slices, radio, mode, planes;
  };
  const Case cases[] = {
      {100, 1.0f, 100, 1, MprViewInfo::kMip, 1},   // the last centre at -49 mm
      {12, 2.1f, 4, 2, MprViewInfo::kMinIp, 3},    // three sub-planes 0.7 mm apart
      {6, 0.2f, 3, 1, MprViewInfo::kMip, 1},       // thinner than a voxel: still one plane
  };
  for (const Case& c : cases) {
    Configure(MprViewInfo::kMulti, c.radio, c.extent, c.thickness, c.slices);
    manager->slabs.clear();
    writer.calls.clear();
    manager->Command(ZR_Ctl::Btn_MultiStore);
    ASSERT_EQ(static_cast<int32_t>(manager->slabs.size()), c.slices) << c.extent;
    for (int32_t i = 0; i < c.slices; ++i) {
      const auto& slab = manager->slabs[static_cast<size_t>(i)];
      EXPECT_EQ(slab.panel, ZR_Panel::Mpr2);
      EXPECT_EQ(slab.mode, c.mode);
      ASSERT_EQ(static_cast<int32_t>(slab.offsets.size()), c.planes);
      const double centre = c.extent / 2.0 - i * c.extent / static_cast<double>(c.slices);
      double sum = 0;
      for (float o : slab.offsets) sum += o * p;
      EXPECT_NEAR(sum / c.planes, centre, 1e-3) << "slice " << i << " of " << c.slices;
      // The sub-planes are evenly spread over the slice's thickness.
      const double spread = (*std::max_element(slab.offsets.begin(), slab.offsets.end()) -
                             *std::min_element(slab.offsets.begin(), slab.offsets.end())) * p;
      EXPECT_NEAR(spread, c.thickness * (c.planes - 1) / c.planes, 1e-3);
    }
    // Stored: every slice captured (the study's values, no file named), then dropped.
    ASSERT_EQ(static_cast<int32_t>(writer.cleared.size()), c.slices);
    EXPECT_EQ(std::count(writer.calls.begin(), writer.calls.end(), "AddImage"), c.slices);
    EXPECT_EQ(writer.calls.back(), "ClearImages");
    EXPECT_TRUE(writer.images.empty());
    EXPECT_EQ(writer.cleared[0].m_eFormat, ZR_Image::kGrey16);
  }
  EXPECT_NEAR(manager->slabs.back().offsets[0] * p, 3 - 2 * 2.0, 1e-3);
}

TEST_F(Series, ViewingASingleSliceShowsOneImageAndAChangeBelowTheToleranceIsIgnored) {
  Load("series-single", 12, 16, 1.0, false, [](int32_t k) { return 100 + k; });
  Activate(ZR_Panel::Mpr2);
  Configure(MprViewInfo::kSingle, 1, 10);
  manager->slabs.clear();
  manager->Command(ZR_Ctl::Btn_MultiPreview);
  ASSERT_EQ(manager->slabs.size(), 1u);
  EXPECT_EQ(manager->slabs[0].offsets, std::vector<float>{0});

  Configure(MprViewInfo::kMulti, 1, 10, 2.0f, 5);
  const float nearlySame = 2.005f;
  manager->Command(ZR_Ctl::Ed_Thickness, &nearlySame);
  EXPECT_FLOAT_EQ(manager->MprView(ZR_Panel::Mpr2).fSliceSpacingMm, 2.0f);
  manager->slabs.clear();
  manager->Command(ZR_Ctl::Btn_MultiPreview);
  EXPECT_EQ(manager->slabs.size(), 5u);
  // A mean is the software renderer's (blending cannot count each pixel's samples).
  Configure(MprViewInfo::kMulti, 0, 10, 2.0f, 5);
  manager->slabs.clear();
  manager->Command(ZR_Ctl::Btn_MultiPreview);
  EXPECT_TRUE(manager->slabs.empty());
}

// A sagittal ramp with one bright file: value 100 + 50 k, plus 1500 in file 4.
int32_t Ramp(int32_t k) { return 100 + 50 * k + (k == 4 ? 1500 : 0); }

// The study's value at x (mm, file k at x = k) along a line of constant y and z, linear
// between files; false where the software renderer never samples (the outermost files).
bool RampAt(double x, int32_t files, double* value) {
  const int32_t i = static_cast<int32_t>(std::floor(x));
  if (i < 1 || i > files - 2) return false;
  const double f = x - i;
  *value = Ramp(i) + f * (Ramp(i + 1) - Ramp(i));
  return true;
}

TEST_F(Series, ASlabsValuesCombineTheStudysSamplesInsideTheVolumeOnly) {
  constexpr int32_t kFiles = 16;
  Load("series-values", kFiles, 16, 1.0, true, Ramp);
  Activate(ZR_Panel::Mpr0);
  ASSERT_NEAR(std::fabs(manager->MprView(ZR_Panel::Mpr0).Axis(2)[0]), 1, 1e-6);  // the sagittal view
  const ZR_DicomVolume& volume = *manager->GetVolume();
  const fs::path dir = ZR_TestData::ScratchDir("series-values-out");
  struct Case {
    const char* name;
    int32_t radio;
    float extent;
    int32_t planes;  // one a millimetre
  };
  // 9 mm: inside the study; 20 mm: six of its planes fall outside or on its outer files.
  const Case cases[] = {{"mip", 1, 9, 9}, {"minip", 2, 9, 9}, {"mean", 0, 9, 9},
                        {"mip-wide", 1, 20, 20}, {"minip-wide", 2, 20, 20}, {"mean-wide", 0, 20, 20}};
  for (const Case& c : cases) {
    Configure(MprViewInfo::kSlab, c.radio, c.extent);
    const std::string file = (dir / (std::string(c.name) + ".dcm")).string();
    ASSERT_EQ(manager->WriteView(ZR_Panel::Mpr0, ZR_ImageWriter::kDicomGrey16, file), VR_OK) << c.name;
    ZR_DcmImages back;
    back.ReadFile(file);
    ZR_DcmImage& d = *back.Item(1);
    ZR_DcmElements a = d.Attributes();
    const double centre = a.Item(0x0020, 0x0032).Value().AsNumbers()[0];
    const double b = a.Item(0x0028, 0x1052).Value().AsNumber(), m = a.Item(0x0028, 0x1053).Value().AsNumber();
    const int32_t columns = static_cast<int32_t>(a.Item(0x0028, 0x0011).Value().AsNumber());
    const auto* samples = static_cast<const uint16_t*>(d.PixelAddress());
    // The sub-planes, a millimetre apart about the slab's centre.
    double low = 1e9, high = -1e9, sum = 0;
    int32_t inside = 0;
    for (int32_t k = 0; k < c.planes; ++k) {
      double v = 0;
      if (!RampAt(centre + (k - (c.planes - 1) / 2.0), kFiles, &v)) continue;
      low = std::min(low, v);
      high = std::max(high, v);
      sum += v;
      ++inside;
    }
    ASSERT_GT(inside, 0);
    const double expected = c.radio == 1 ? high : c.radio == 2 ? low : sum / inside;
    const double study = volume.m_fRescaleSlope * expected + volume.m_nRescaleIntercept;
    // The middle of the picture lies well inside the slices.
    const int32_t row = columns / 2, column = columns / 2;
    EXPECT_NEAR(samples[row * columns + column] * m + b, study, 1.0) << c.name << " centred at x = " << centre;
  }
}

TEST_F(Series, ThePaneShowsTheSlabsMaximumAndMinimumAndMinIpLeavesTheOutsideWhite) {
  // 12 files across a 16 mm square: the axial and coronal panes show beyond the study.
  constexpr int32_t kFiles = 12;
  Load("series-picture", kFiles, 16, 1.0, true, Ramp);
  LinearGrey();
  const ZR_DicomVolume& volume = *manager->GetVolume();
  const double range = volume.m_nLargest - volume.m_nSmallest;
  auto grey = [&](double value) { return 255.0 * (value - volume.m_nSmallest) / range; };
  // The sagittal pane: the slab's 9 planes about the box's centre, the middle of the files.
  Activate(ZR_Panel::Mpr0);
  manager->KeyDown(ZR_Key::X, true, false, false);  // no crosshair lines over the pictures
  manager->RedrawViews(false);
  const double centre = (kFiles - 1) / 2.0;
  for (const auto& [radio, combine] :
       std::vector<std::pair<int32_t, std::function<double(double, double)>>>{
           {1, [](double a, double b) { return std::max(a, b); }}, {2, [](double a, double b) { return std::min(a, b); }}}) {
    Configure(MprViewInfo::kSlab, radio, 9);
    manager->RedrawViews(false);
    double expected = radio == 1 ? -1e9 : 1e9;
    for (int32_t k = 0; k < 9; ++k) {
      const double x = centre + (k - 4);
      const int32_t i = static_cast<int32_t>(std::floor(x));
      expected = combine(expected, Ramp(i) + (x - i) * (Ramp(i + 1) - Ramp(i)));
    }
    EXPECT_NEAR(Shown(ZR_Panel::Mpr0, kPanel / 2, kPanel / 4), grey(expected), 3) << "radio " << radio;
  }
  // The axial pane: x runs across; beyond the 12 files a minimum over nothing is white, a
  // maximum black.
  Activate(ZR_Panel::Mpr2);
  Configure(MprViewInfo::kSlab, 2, 4);
  manager->RedrawViews(false);
  EXPECT_EQ(Shown(ZR_Panel::Mpr2, 1, kPanel / 2), 255);
  EXPECT_EQ(Shown(ZR_Panel::Mpr2, kPanel - 2, kPanel / 2), 255);
  Configure(MprViewInfo::kSlab, 1, 4);
  manager->RedrawViews(false);
  EXPECT_EQ(Shown(ZR_Panel::Mpr2, 1, kPanel / 2), 0);
}

TEST_F(Series, ASavedSeriesIsValidStepsAlongTheNormalAndReplacesAnEarlierOneAfterAsking) {
  Load("series-save", 16, 16, 1.0, false, [](int32_t k) { return 100 + 10 * k; });
  Activate(ZR_Panel::Mpr2);
  ZR_WinSeries writer;
  manager->SetSeriesWriter(&writer);
  writer.SetSourceFile(manager->GetVolume()->m_sFileName.c_str());
  const fs::path dir = ZR_TestData::ScratchDir("series-save-out");
  const std::string base = (dir / "cut").string();
  // An earlier, longer series under the same name, and a file that only looks like one.
  for (const char* name : {"cut0.dcm", "cut5.dcm", "cut7.dcm", "cutaway.dcm"}) ZR_TestData::WriteText(dir / name, "old");

  Configure(MprViewInfo::kMulti, 1, 6, 1.0f, 4);
  // Cancel sends no request; an empty name is refused. Neither writes anything.
  manager->Command(ZR_Ctl::Btn_MultiSave, nullptr);
  gui.Clear();
  ZR_SaveInfo unnamed{"", ZR_ImageWriter::kDicomGrey16};
  manager->Command(ZR_Ctl::Btn_MultiSave, &unnamed);
  EXPECT_EQ(gui.Messages(), std::vector<std::string>{"Please give the series a file name."});
  // Keeping the old files writes nothing.
  gui.yesNoAnswers = {false};
  ZR_SaveInfo request{base, ZR_ImageWriter::kDicomGrey16};
  manager->Command(ZR_Ctl::Btn_MultiSave, &request);
  EXPECT_EQ(ZR_TestData::ReadText(dir / "cut0.dcm"), "old");
  ASSERT_FALSE(fs::exists(dir / "cut1.dcm"));

  gui.yesNoAnswers = {true};
  gui.Clear();
  manager->Command(ZR_Ctl::Btn_MultiSave, &request);
  EXPECT_TRUE(gui.Messages().empty()) << gui.Messages()[0];
  // Exactly this series' files are there, and the look-alike.
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"cut0.dcm", "cut1.dcm", "cut2.dcm", "cut3.dcm", "cutaway.dcm"}));

  std::vector<Vec> positions;
  Vec normal{};
  for (int32_t i = 0; i < 4; ++i) {
    const std::string file = (dir / ("cut" + std::to_string(i) + ".dcm")).string();
    ZR_DcmImages back;
    back.ReadFile(file);
    ZR_DcmElements a = back.Item(1)->Attributes();
    const std::vector<double> p = a.Item(0x0020, 0x0032).Value().AsNumbers();
    const std::vector<double> o = a.Item(0x0020, 0x0037).Value().AsNumbers();
    ASSERT_EQ(p.size(), 3u);
    ASSERT_EQ(o.size(), 6u);
    positions.push_back({p[0], p[1], p[2]});
    normal = Cross({o[0], o[1], o[2]}, {o[3], o[4], o[5]});
    EXPECT_EQ(a.Item(0x0020, 0x0013).Value().AsNumber(), i + 1);
  }
  // Each file 6 / 4 mm further along the normal (one way or the other), nowhere else.
  for (size_t i = 1; i < positions.size(); ++i) {
    Vec d{};
    for (int k = 0; k < 3; ++k) d[k] = positions[i][k] - positions[i - 1][k];
    const double along = d[0] * normal[0] + d[1] * normal[1] + d[2] * normal[2];
    EXPECT_NEAR(std::fabs(along), 1.5, 1e-3);
    EXPECT_NEAR(std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]), std::fabs(along), 1e-3);
  }
  // The pictures the pane shows, as DICOM RGB: grey where the study is.
  ZR_SaveInfo pictures{(dir / "rgb").string(), ZR_ImageWriter::kDicomRgb};
  manager->Command(ZR_Ctl::Btn_MultiSave, &pictures);
  ASSERT_TRUE(fs::exists(dir / "rgb3.dcm"));
  {
    ZR_DcmImages back;
    back.ReadFile((dir / "rgb0.dcm").string());
    ZR_DcmImage& d = *back.Item(1);
    EXPECT_EQ(d.Attributes().Item(0x0028, 0x0002).Value().AsNumber(), 3);
    const auto* rgb = static_cast<const uint8_t*>(d.PixelAddress());
    const size_t centre = (static_cast<size_t>(kPanel / 2) * kPanel + kPanel / 2) * 3;
    EXPECT_GT(rgb[centre], 0);
    EXPECT_EQ(rgb[centre], rgb[centre + 1]);
    EXPECT_EQ(rgb[centre], rgb[centre + 2]);
  }
  if (!ZR_ExternalTool::Have("dciodvfy")) GTEST_SKIP() << "dciodvfy is not installed (scripts/setup installs it)";
  for (const char* name : {"cut0", "cut1", "cut2", "cut3", "rgb0"}) {
    const std::string file = (dir / (std::string(name) + ".dcm")).string();
    EXPECT_TRUE(ZR_ExternalTool::ValidatorErrors(file).empty())
        << ZR_ExternalTool::Execute("dciodvfy '" + file + "'").output;
  }
}
}  // namespace

namespace {
// A name relative to the working folder: the earlier series' files are found as "./rel5.dcm",
// the new ones written as "rel0.dcm"; only the one the new series does not write goes.
TEST_F(Series, AReSavedSeriesUnderARelativeNameKeepsItsOwnNewFiles) {
  Load("series-relative", 16, 16, 1.0, false, [](int32_t k) { return 100 + 10 * k; });
  Activate(ZR_Panel::Mpr2);
  ZR_WinSeries writer;
  manager->SetSeriesWriter(&writer);
  writer.SetSourceFile(manager->GetVolume()->m_sFileName.c_str());
  const fs::path dir = ZR_TestData::ScratchDir("series-relative-out");
  for (const char* name : {"rel0.dcm", "rel1.dcm", "rel5.dcm"}) ZR_TestData::WriteText(dir / name, "old");
  const fs::path before = fs::current_path();
  fs::current_path(dir);
  Configure(MprViewInfo::kMulti, 1, 4, 1.0f, 2);
  gui.yesNoAnswers = {true};
  ZR_SaveInfo request{"rel", ZR_ImageWriter::kDicomGrey16};
  manager->Command(ZR_Ctl::Btn_MultiSave, &request);
  fs::current_path(before);
  EXPECT_TRUE(fs::exists(dir / "rel0.dcm"));
  EXPECT_TRUE(fs::exists(dir / "rel1.dcm"));
  EXPECT_FALSE(fs::exists(dir / "rel5.dcm"));
  EXPECT_NE(ZR_TestData::ReadText(dir / "rel0.dcm"), "old");
}
}  // namespace
