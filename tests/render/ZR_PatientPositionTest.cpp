// Where a resliced picture lies in the patient: the slice stack's placement of a voxel, and
// the position and orientation a reslice reports, checked against volumes whose every voxel
// holds one coordinate of its own patient position, computed from the image position and
// orientation of its slice as a DICOM file gives them.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <vector>

#include "core/ZR_Result.h"
#include "dicom/ZR_DicomReader.h"
#include "render/ZR_Matrix4.h"
#include "render/ZR_SliceStack.h"
#include "render/ZR_SoftwareRenderer.h"
#include "tests/support/ZR_TestData.h"
#include "tests/support/ZR_TestVolume.h"

namespace {

using Vec = std::array<double, 3>;

void ExpectNear(const Vec& actual, const Vec& expected, double tolerance, const char* label) {
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(actual[i], expected[i], tolerance) << label << ", axis " << i;
}

ZR_SliceStack SagittalStack() {
  ZR_SliceStack stack;
  stack.afRow = {0, 1, 0};
  stack.afColumn = {0, 0, -1};
  stack.afSliceDirection = {1, 0, 0};
  stack.afOrigin = {-80, -120, 130};
  stack.fSpacingX = stack.fSpacingY = 0.5;
  stack.fSliceDistance = 1;
  return stack;
}

// The 20 slices of series/mr-brain-20 (Image Position and Orientation of brain_001..020):
// tilted about x by 7.7 degrees, 0.859375 mm pixels, slices 6.96 and 7.07 mm apart along
// their normal (6.9 and 7.0 along z).
const double kMrZ[20] = {-72.7575, -65.7575, -58.8575, -51.9575, -44.9575, -38.0575, -31.1575,
                         -24.1575, -17.2575, -10.2575, -3.35753, 3.54247,  10.5425,  17.4425,
                         24.3425,  31.3425,  38.2425,  45.1425,  52.1425,  59.0425};
const double kMrY[20] = {-78.3063, -79.3063, -80.2063, -81.2063, -82.1063, -83.0063, -84.0063,
                         -84.9063, -85.9063, -86.8063, -87.7063, -88.7063, -89.6063, -90.5063,
                         -91.5063, -92.4063, -93.4063, -94.3063, -95.2063, -96.2063};

ZR_SliceStack MrBrainStack() {
  ZR_SliceStack stack;
  stack.afRow = {1, 0, 0};
  stack.afColumn = {0, 0.990960, 0.134158};
  stack.afOrigin = {-110.5, kMrY[0], kMrZ[0]};
  const double d[3] = {0, kMrY[1] - kMrY[0], kMrZ[1] - kMrZ[0]};
  const double length = std::sqrt(d[1] * d[1] + d[2] * d[2]);
  stack.afSliceDirection = {0, d[1] / length, d[2] / length};
  stack.fSpacingX = stack.fSpacingY = 0.859375;
  stack.fSliceDistance = 6.9584;  // the median distance
  for (int k = 0; k < 20; ++k) stack.aSlicePositions.push_back({-110.5, kMrY[k], kMrZ[k]});
  return stack;
}

TEST(SliceStack, PlacesAVoxelFromItsSliceRowAndColumn) {
  struct Case {
    const char* label;
    ZR_SliceStack stack;
    Vec voxel;
    Vec expected;
  };
  std::vector<Case> cases;
  // Row (0,1,0), column (0,0,-1), slices along +x: voxel (100, 50, 20) is 20 mm along x,
  // 100 pixels along the row, 50 down the column.
  cases.push_back({"sagittal stack", SagittalStack(), {100, 50, 20}, {-60, -70, 105}});
  {
    ZR_SliceStack axial;
    axial.fSliceDistance = 2.5;
    axial.nFirst = 50;
    cases.push_back({"axial range from slice 50 of 2.5 mm", axial, {0, 0, 0}, {0, 0, 125}});
  }
  {
    ZR_SliceStack padded;
    padded.nPadColumn = 56;
    padded.nPadRow = 8;
    padded.fSpacingX = padded.fSpacingY = 0.5;
    cases.push_back({"padding", padded, {56, 8, 0}, {0, 0, 0}});
    cases.push_back({"padding, one pixel on", padded, {57, 9, 0}, {0.5, 0.5, 0}});
  }
  {
    ZR_SliceStack sub;
    sub.nSubsample = 2;
    sub.nFirst = 10;
    sub.fSpacingX = 0.7;
    sub.fSpacingY = 0.9;
    sub.fSliceDistance = 1.25;
    cases.push_back({"sub-sampled", sub, {10, 5, 3}, {20 * 0.7, 10 * 0.9, 16 * 1.25}});
  }
  {
    // Slices along their normal are the slice distance apart along the slice direction.
    ZR_SliceStack tilted = MrBrainStack();
    tilted.aSlicePositions.clear();
    const auto& s = tilted.afSliceDirection;
    cases.push_back({"tilted along the normal", tilted, {0, 0, 1},
                     {-110.5, kMrY[0] + 6.9584 * s[1], kMrZ[0] + 6.9584 * s[2]}});
    // A sheared stack's distance is measured along the axis it advances in most (z here).
    ZR_SliceStack sheared = tilted;
    sheared.afColumn = {0, 1, 0};
    sheared.fSliceDistance = 6.9;
    cases.push_back({"sheared", sheared, {0, 0, 1}, {-110.5, kMrY[0] + 6.9 * s[1] / s[2], kMrZ[0] + 6.9}});
  }
  cases.push_back({"listed slice positions", MrBrainStack(), {0, 0, 2.5},
                   {-110.5, (kMrY[2] + kMrY[3]) / 2, (kMrZ[2] + kMrZ[3]) / 2}});
  for (const Case& c : cases) {
    const double voxel[3] = {c.voxel[0], c.voxel[1], c.voxel[2]};
    ExpectNear(c.stack.PatientPosition(voxel), c.expected, 1e-9 + 1e-6 * 150, c.label);
  }
}

// The real tilted series through the series reader: where its volume record's geometry puts
// pixels of each slice, against the Image Position and Orientation of the file the slice came
// from. The record keeps the first position and an even slice distance, so positions drift
// by the slices' unevenness; given every file's position they are exact.
TEST(SliceStack, TheRealTiltedSeriesLiesWhereItsFilesSay) {
  LMX_REQUIRE_DATA(dir, "series/mr-brain-20");
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    if (entry.path().extension() == ".dcm") files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  ZR_DicomReader reader;
  ZR_DicomVolume volume;
  ASSERT_EQ(reader.ReadSeries(files, volume), VR_OK) << reader.LastError();
  std::vector<ZR_DicomImageAttributes> slices(files.size());
  for (size_t k = 0; k < files.size(); ++k) ASSERT_TRUE(reader.ReadImageAttributes(files[k], slices[k]));
  std::sort(slices.begin(), slices.end(), [](const auto& a, const auto& b) {
    return a.imagePosition[2] < b.imagePosition[2];  // the series advances along z
  });
  ASSERT_EQ(static_cast<size_t>(volume.m_nSliceCount), slices.size());

  ZR_SliceStack stack;
  for (int i = 0; i < 3; ++i) {
    stack.afOrigin[i] = volume.m_afOrigin[i];
    stack.afRow[i] = volume.m_afRowDirection[i];
    stack.afColumn[i] = volume.m_afColumnDirection[i];
    stack.afSliceDirection[i] = volume.m_afSliceDirection[i];
  }
  stack.fSpacingX = volume.m_fPixelSpacingX;
  stack.fSpacingY = volume.m_fPixelSpacingY;
  stack.fSliceDistance = volume.m_fSliceDistance;
  stack.nPadColumn = (volume.m_nWidth - slices[0].columns) / 2;
  stack.nPadRow = (volume.m_nHeight - slices[0].rows) / 2;

  auto worst = [&](const ZR_SliceStack& s) {
    double largest = 0;
    for (size_t k = 0; k < slices.size(); ++k)
      for (const auto& [c, r] : {std::pair{0, 0}, {255, 0}, {0, 255}, {128, 77}}) {
        const ZR_DicomImageAttributes& a = slices[k];
        const double voxel[3] = {double(c + s.nPadColumn), double(r + s.nPadRow), double(k)};
        const Vec p = s.PatientPosition(voxel);
        for (int i = 0; i < 3; ++i) {
          // Pixel Spacing: the row spacing first, the column spacing second.
          const double expected = a.imagePosition[i] + c * a.pixelSpacing[1] * a.imageOrientation[i] +
                                  r * a.pixelSpacing[0] * a.imageOrientation[3 + i];
          largest = std::max(largest, std::fabs(p[i] - expected));
        }
      }
    return largest;
  };
  EXPECT_LT(worst(stack), 1.0);
  for (const ZR_DicomImageAttributes& a : slices)
    stack.aSlicePositions.push_back({a.imagePosition[0], a.imagePosition[1], a.imagePosition[2]});
  EXPECT_LT(worst(stack), 1e-3);
}

// A study, geometry and all, whose voxels hold 2000 + 10 x (one patient coordinate in mm).
class ResliceGeometry : public ::testing::Test {
 protected:
  struct Study {
    ZR_SliceStack stack;        // geometry only; the slices are added here
    int32_t aSize[3];           // padded width, height, slices
    float afScale[3];
    int32_t nLoadedSlices;
  };

  // The slice's own position: from the listed ones, or from the origin along the slice
  // direction so that the ordering axis advances by the slice distance.
  static Vec SlicePosition(const ZR_SliceStack& g, int32_t k) {
    if (!g.aSlicePositions.empty()) return g.aSlicePositions[static_cast<size_t>(k)];
    const Vec& s = g.afSliceDirection;
    const double axis = std::max({std::fabs(s[0]), std::fabs(s[1]), std::fabs(s[2])});
    Vec p = g.afOrigin;
    for (int i = 0; i < 3; ++i) p[i] += k * g.fSliceDistance / axis * s[i];
    return p;
  }

  std::vector<uint16_t> Encode(const Study& study, int axis) const {
    const ZR_SliceStack& g = study.stack;
    return ZR_TestVolume::Make(study.aSize, [&](int32_t x, int32_t y, int32_t z) {
      const Vec ipp = SlicePosition(g, z);
      const double column = x - g.nPadColumn, row = y - g.nPadRow;
      const double p = ipp[axis] + column * g.fSpacingX * g.afRow[axis] + row * g.fSpacingY * g.afColumn[axis];
      return static_cast<uint16_t>(std::lround(2000 + 10 * p));
    });
  }

  void Load(const Study& study, std::vector<uint16_t> values) {
    m_aValues = std::move(values);
    ZR_SliceStack stack = study.stack;
    const ZR_SliceStack slices = ZR_TestVolume::Stack(m_aValues, study.aSize);
    stack.apSlices = slices.apSlices;
    stack.nWidth = study.aSize[0];
    stack.nHeight = study.aSize[1];
    const int32_t f = stack.nSubsample;
    const int32_t dims[3] = {study.aSize[0] / f, study.aSize[1] / f, study.nLoadedSlices};
    shared.SetVoxelScale(study.afScale[0], study.afScale[1], study.afScale[2]);
    shared.SetFullDimensions(dims[0], dims[1], dims[2]);
    shared.SelectCopy(false);
    // As the loader does: the display orientation from copies, the stack keeps the cosines.
    float row[3], column[3], slice[3];
    for (int i = 0; i < 3; ++i) {
      row[i] = static_cast<float>(stack.afRow[i]);
      column[i] = static_cast<float>(stack.afColumn[i]);
      slice[i] = static_cast<float>(stack.afSliceDirection[i]);
    }
    int32_t signs[3];
    (void)shared.ComputeOrientation(row, column, slice, signs);
    shared.SetSliceStack(stack);
    ASSERT_EQ(renderer.LoadVolume(), VR_OK);
  }

  // Every non-empty pixel of a coarse grid must hold the coordinate that the reported
  // position and directions predict for it.
  void Check(const Study& study, double toleranceMm, const char* label) {
    ZR_ObliqueView view;
    (ZR_Matrix4::Rotation(25, 1, 0, 0) * ZR_Matrix4::Rotation(-15, 0, 1, 0)).ToFloats(view.oPlane.afRotation);
    for (int axis = 0; axis < 3; ++axis) {
      Load(study, Encode(study, axis));
      int32_t width = 0, height = 0;
      renderer.GetImageSize(&width, &height);
      float position[3], orientation[6];
      renderer.Reslice(view, 1, position, orientation);
      const auto spacing = renderer.PixelSpacing();
      int checked = 0;
      for (int32_t i = 0; i < height; i += 2)
        for (int32_t j = 0; j < width; j += 2) {
          const uint16_t value = renderer.Raw()[size_t(i) * width + j];
          if (value == 0) continue;
          const double predicted = position[axis] + j * spacing[0] * orientation[axis] +
                                   i * spacing[1] * orientation[3 + axis];
          // Encoding rounds by half a unit; the blend is truncated.
          ASSERT_NEAR((value - 2000) / 10.0, predicted, toleranceMm + 0.15)
              << label << ", axis " << axis << ", pixel " << i << "," << j;
          ++checked;
        }
      EXPECT_GT(checked, 100) << label << ", axis " << axis;
      for (int k = 0; k < 2; ++k) {
        const float* d = orientation + 3 * k;
        EXPECT_NEAR(d[0] * d[0] + d[1] * d[1] + d[2] * d[2], 1.0, 1e-5) << label;
      }
      // The fast picture's first sample lies one column before the full one's.
      float fastPosition[3], fastOrientation[6];
      renderer.Reslice(view, 2, fastPosition, fastOrientation);
      for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(fastPosition[k] + spacing[0] * orientation[k], position[k], 1e-3 + toleranceMm / 10) << label;
        EXPECT_NEAR(fastOrientation[k], orientation[k], 1e-6) << label;
      }
    }
  }

  RenderShared shared;
  ZR_SoftwareRenderer renderer{shared};
  std::vector<uint16_t> m_aValues;
};

TEST_F(ResliceGeometry, SagittalStack) {
  Study study{SagittalStack(), {64, 64, 40}, {1, 1, 2}, 40};
  Check(study, 0.05, "sagittal");
}

TEST_F(ResliceGeometry, TiltedSeriesWithUnevenSlices) {
  Study study{MrBrainStack(), {64, 64, 20}, {1, 1, 6.9584f / 0.859375f}, 20};
  // The picture's directions use the mean slice step; the listed slices lie within a tenth
  // of a millimetre of it.
  Check(study, 0.15, "mr-brain-20 geometry");
}

TEST_F(ResliceGeometry, PaddedSubSampledRange) {
  ZR_SliceStack axial;
  axial.afOrigin = {-100, -50, 30};
  axial.fSpacingX = axial.fSpacingY = 0.8;
  axial.fSliceDistance = 2.5;
  axial.nFirst = 30;
  axial.nSubsample = 2;
  axial.nPadColumn = 8;  // a 48-column image padded to 64
  Study study{axial, {64, 64, 60}, {1, 1, 2.5f / 0.8f}, 15};
  Check(study, 0.05, "padded, sub-sampled, from slice 30");
}

}  // namespace
