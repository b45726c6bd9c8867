// The measurement tools through the manager's pointer path on volumes made in memory: rulers
// in millimetres of the volume's largest side, pixel values and ROI statistics in the study's
// units (rescale slope and intercept), the 256-entry limit with previews, the clearing
// commands, planes that move and lose their annotations, and what a ruler draws.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "core/ZR_Ids.h"
#include "core/ZR_Vocabulary.h"
#include "measure/ZR_Annotations.h"
#include "tests/dicom/ZR_TestStudy.h"
#include "tests/manager/ZR_LoadingFixture.h"

namespace {
using List = ZR_Annotations::List;

class Measure : public ZR_LoadingFixture {
 protected:
  // Hands the volume over and shows it in the MPR screen, without crosshair lines (their hover
  // band would take the presses).
  void Load(std::unique_ptr<ZR_DicomVolume> volume) {
    const int32_t slices = volume->m_nSliceCount;
    ASSERT_EQ(Hand(std::move(volume)), VR_OK);
    ASSERT_EQ(LoadRange(0, slices - 1), VR_OK);
    ASSERT_TRUE(manager->ShowMprScreen());
    manager->SetCrosshair(false);
  }
  void Click(int32_t panel, int32_t x, int32_t y) {
    manager->PointerMove(panel, x, y);
    manager->LeftDown(panel, x, y);
    manager->LeftUp(panel);
  }
  void Clear(int32_t value) { manager->Command(ZR_Ctl::ToolBtn_Measures, &value); }
  const ZR_Annotations& Of(int32_t panel) const { return manager->Annotations(panel); }
  // Normalised view coordinates of a pointer position in a panel of kPanel pixels.
  static float X(int32_t x) { return static_cast<float>(x) / kPanel; }
  static float Y(int32_t y) { return static_cast<float>(kPanel - y) / kPanel; }
};

std::unique_ptr<ZR_DicomVolume> Uniform(int32_t width, int32_t slices, uint16_t value) {
  return ZR_TestStudy::Make(width, width, slices, [value](int32_t, int32_t, int32_t) { return value; });
}

// Rows of rgb pixels, bottom first, as ReadPanel gives them.
struct Picture {
  std::unique_ptr<uint8_t[]> pixels;
  int32_t width = 0, height = 0;
  const uint8_t* At(int32_t x, int32_t rowFromBottom) const {
    return pixels.get() + (static_cast<size_t>(rowFromBottom) * width + x) * 3;
  }
  bool Yellow(int32_t x, int32_t rowFromBottom) const {
    const uint8_t* p = At(x, rowFromBottom);
    return p[0] > 200 && p[1] > 200 && p[2] < 80;
  }
};

TEST_F(Measure, ARulerMeasuresInMillimetresOfTheVolumesLargestSideAcrossAndDown) {
  // 32 x 32 x 64 voxels, slices 1 mm apart; with 1 mm pixels and with 0.5 mm ones. Either way
  // the largest side is the 64 mm along the slices, and the sagittal view shows it top to
  // bottom: its square is 64 mm each way, though only 32 or 16 mm of it is volume across.
  for (const float pixel : {1.0f, 0.5f}) {
    std::unique_ptr<ZR_DicomVolume> volume = Uniform(32, 64, 500);
    volume->m_fPixelSpacingX = volume->m_fPixelSpacingY = pixel;
    Load(std::move(volume));
    constexpr double kSide = 64;  // mm
    ASSERT_FLOAT_EQ(manager->PhysicalLength(), kSide);
    manager->SetMprTool(ZR_MprTool::Ruler);
    struct Case {
      int32_t x1, y1, x2, y2;
    };
    const Case cases[] = {{32, 0, 32, 63}, {0, 20, 63, 20}, {10, 10, 34, 42}};
    for (const Case& c : cases) {
      Click(ZR_Panel::Mpr0, c.x1, c.y1);
      Click(ZR_Panel::Mpr0, c.x2, c.y2);
    }
    const auto rulers = Of(ZR_Panel::Mpr0).Rulers();
    ASSERT_EQ(rulers.size(), std::size(cases)) << pixel;
    for (size_t k = 0; k < std::size(cases); ++k) {
      const Case& c = cases[k];
      const double mm = std::hypot(c.x2 - c.x1, c.y2 - c.y1) / kPanel * kSide;
      EXPECT_NEAR(rulers[k].length, mm, 1e-3) << pixel << " mm pixels, ruler " << k;
      EXPECT_FLOAT_EQ(rulers[k].x1, X(c.x1));
      EXPECT_FLOAT_EQ(rulers[k].y2, Y(c.y2));
    }
    EXPECT_NEAR(rulers[0].length, 63, 1e-3);  // all but a pixel of the 64 mm from top to bottom
  }
}

TEST_F(Measure, ARulerIsMeasuredInOneViewAndItsPreviewsStayOutOfTheList) {
  Load(Uniform(32, 32, 500));
  manager->SetMprTool(ZR_MprTool::Ruler);
  Click(ZR_Panel::Mpr2, 10, 10);
  manager->PointerMove(ZR_Panel::Mpr2, 40, 40);  // a preview only
  EXPECT_EQ(Of(ZR_Panel::Mpr2).Count(List::Rulers), 0);
  // A press in another view starts afresh there.
  Click(ZR_Panel::Mpr0, 20, 20);
  Click(ZR_Panel::Mpr0, 44, 20);
  EXPECT_EQ(Of(ZR_Panel::Mpr2).Count(List::Rulers), 0);
  ASSERT_EQ(Of(ZR_Panel::Mpr0).Count(List::Rulers), 1);
  EXPECT_FLOAT_EQ(Of(ZR_Panel::Mpr0).Rulers()[0].x1, X(20));
  EXPECT_FLOAT_EQ(Of(ZR_Panel::Mpr0).Rulers()[0].x2, X(44));
}

TEST_F(Measure, APixelValueIsTheSampleInTheStudysUnits) {
  // Stored 400 everywhere; the study's smallest file value, slope and intercept turn it into
  // (400 + smallest) x slope + intercept.
  struct Case {
    int32_t smallest;
    float slope;
    int32_t intercept;
    double value;
  };
  const Case cases[] = {{0, 2.5f, 0, 1000}, {100, 2.5f, -1024, 226}, {0, 1, -1024, -624}};
  for (const Case& c : cases) {
    std::unique_ptr<ZR_DicomVolume> volume = ZR_TestStudy::Make(
        32, 32, 16, [](int32_t, int32_t, int32_t) { return uint16_t{400}; }, c.smallest, c.smallest + 4095);
    volume->m_fRescaleSlope = c.slope;
    volume->m_nRescaleIntercept = c.intercept;
    Load(std::move(volume));
    manager->SetMprTool(ZR_MprTool::PixelValue);
    manager->PointerMove(ZR_Panel::Mpr2, 24, 30);  // previews leave nothing behind
    manager->PointerMove(ZR_Panel::Mpr2, 25, 31);
    EXPECT_EQ(Of(ZR_Panel::Mpr2).Count(List::PixelValues), 0);
    manager->LeftDown(ZR_Panel::Mpr2, 25, 31);
    manager->LeftUp(ZR_Panel::Mpr2);
    ASSERT_EQ(Of(ZR_Panel::Mpr2).Count(List::PixelValues), 1);
    const ZR_Annotations::PixelValue& p = Of(ZR_Panel::Mpr2).PixelValues()[0];
    EXPECT_FLOAT_EQ(p.value, static_cast<float>(c.value)) << c.slope << " " << c.intercept;
    EXPECT_FLOAT_EQ(p.x, X(25));
    EXPECT_FLOAT_EQ(p.y, Y(31));
    // On the view's edge there is nothing to sample.
    Click(ZR_Panel::Mpr2, 0, 31);
    EXPECT_EQ(Of(ZR_Panel::Mpr2).Count(List::PixelValues), 1);
  }
}

TEST_F(Measure, APixelValueIsThatOfWhatTheViewShowsUnderThePointer) {
  // Bright (400) in the first 16 rows of every slice, 0 in the others: the axial view shows
  // the bright half on one side; the values under two points of the two halves tell them apart
  // as the picture does.
  std::unique_ptr<ZR_DicomVolume> volume =
      ZR_TestStudy::Make(32, 32, 16, [](int32_t, int32_t y, int32_t) { return static_cast<uint16_t>(y < 16 ? 400 : 0); });
  volume->m_fRescaleSlope = 2.5f;
  Load(std::move(volume));
  manager->SetMprTool(ZR_MprTool::PixelValue);
  Click(ZR_Panel::Mpr2, 30, 12);
  Click(ZR_Panel::Mpr2, 30, 52);
  const auto values = Of(ZR_Panel::Mpr2).PixelValues();
  ASSERT_EQ(values.size(), 2u);
  Picture shown;
  shown.pixels = manager->ReadPanel(ZR_Panel::Mpr2, &shown.width, &shown.height, GL_RGB, GL_UNSIGNED_BYTE, 3, 1, false);
  ASSERT_NE(shown.pixels, nullptr);
  // Grey away from the points' marks (the mark is 4 pixels wide, its label beside it).
  const int32_t upper = shown.At(10, kPanel - 1 - 12)[0], lower = shown.At(10, kPanel - 1 - 52)[0];
  ASSERT_NE(upper, lower);
  const bool upperBright = upper > lower;
  EXPECT_FLOAT_EQ(values[0].value, upperBright ? 1000.0f : 0.0f);
  EXPECT_FLOAT_EQ(values[1].value, upperBright ? 0.0f : 1000.0f);
}

TEST_F(Measure, RoiStatisticsAreThoseOfTheRegionInTheStudysUnits) {
  // Stored 1000 for x < 16 and 3000 from there; slope 2.5, intercept -1000: 1500 and 6500.
  std::unique_ptr<ZR_DicomVolume> volume =
      ZR_TestStudy::Make(32, 32, 16, [](int32_t x, int32_t, int32_t) { return static_cast<uint16_t>(x < 16 ? 1000 : 3000); });
  volume->m_fRescaleSlope = 2.5f;
  volume->m_nRescaleIntercept = -1000;
  Load(std::move(volume));
  manager->SetMprTool(ZR_MprTool::RoiStatistics);
  // Within the left half, then across both halves; each: anchor, a move to the far corner
  // (a preview), a press there.
  struct Case {
    int32_t x1, y1, x2, y2;
  };
  const Case cases[] = {{8, 12, 24, 52}, {10, 16, 54, 48}};
  for (const Case& c : cases) {
    Click(ZR_Panel::Mpr2, c.x1, c.y1);
    manager->PointerMove(ZR_Panel::Mpr2, c.x2, c.y2);
    EXPECT_EQ(Of(ZR_Panel::Mpr2).Count(List::Rois), static_cast<int32_t>(&c - cases));
    manager->LeftDown(ZR_Panel::Mpr2, c.x2, c.y2);
    manager->LeftUp(ZR_Panel::Mpr2);
  }
  const auto rois = Of(ZR_Panel::Mpr2).Rois();
  ASSERT_EQ(rois.size(), 2u);
  EXPECT_FLOAT_EQ(rois[0].x, X(8));
  EXPECT_FLOAT_EQ(rois[0].y, Y(12));
  EXPECT_FLOAT_EQ(rois[0].width, X(24) - X(8));
  EXPECT_FLOAT_EQ(rois[0].height, Y(52) - Y(12));  // dragged down: negative
  // A uniform region: one value, no spread.
  EXPECT_FLOAT_EQ(rois[0].minimum, 1500);
  EXPECT_FLOAT_EQ(rois[0].maximum, 1500);
  EXPECT_FLOAT_EQ(rois[0].mean, 1500);
  EXPECT_FLOAT_EQ(rois[0].deviation, 0);
  // Across the step: both values, a mean between and a spread of at most half the step
  // (2.5 x 2000 / 2).
  EXPECT_FLOAT_EQ(rois[1].minimum, 1500);
  EXPECT_FLOAT_EQ(rois[1].maximum, 6500);
  EXPECT_GT(rois[1].mean, 1500);
  EXPECT_LT(rois[1].mean, 6500);
  EXPECT_GT(rois[1].deviation, 1000);
  EXPECT_LE(rois[1].deviation, 2500);
}

TEST_F(Measure, ARoiDraggedLessThanTwoHundredthsIsNoRegionAndKeepsItsAnchor) {
  Load(Uniform(32, 16, 700));
  manager->SetMprTool(ZR_MprTool::RoiStatistics);
  Click(ZR_Panel::Mpr2, 20, 20);
  Click(ZR_Panel::Mpr2, 21, 21);  // 1/64 both ways
  EXPECT_EQ(Of(ZR_Panel::Mpr2).Count(List::Rois), 0);
  EXPECT_TRUE(manager->MeasureState().bRoiAnchored);
  Click(ZR_Panel::Mpr2, 44, 40);
  ASSERT_EQ(Of(ZR_Panel::Mpr2).Count(List::Rois), 1);
  EXPECT_FLOAT_EQ(Of(ZR_Panel::Mpr2).Rois()[0].x, X(20));
  EXPECT_FLOAT_EQ(Of(ZR_Panel::Mpr2).Rois()[0].mean, 700);
  EXPECT_FALSE(manager->MeasureState().bRoiAnchored);
}

TEST_F(Measure, AnAngleIsKeptInWholeDegreesUnlessItFoldsBack) {
  Load(Uniform(32, 16, 500));
  manager->SetMprTool(ZR_MprTool::Angle);
  struct Case {
    int32_t x1, y1, x2, y2, x3, y3;
    float degrees;  // 0: discarded
  };
  const Case cases[] = {
      {8, 32, 32, 32, 56, 32, 180},  // straight, the vertex in the middle
      {8, 32, 32, 32, 20, 32, 0},    // both ends on one side
      {32, 8, 32, 32, 56, 32, 90},
  };
  int32_t kept = 0;
  for (const Case& c : cases) {
    Click(ZR_Panel::Mpr2, c.x1, c.y1);
    Click(ZR_Panel::Mpr2, c.x2, c.y2);
    EXPECT_EQ(Of(ZR_Panel::Mpr2).Count(List::Angles), kept);  // one leg is no angle yet
    Click(ZR_Panel::Mpr2, c.x3, c.y3);
    if (c.degrees > 0) ++kept;
    ASSERT_EQ(Of(ZR_Panel::Mpr2).Count(List::Angles), kept) << c.degrees;
    if (c.degrees > 0) {
      EXPECT_FLOAT_EQ(Of(ZR_Panel::Mpr2).Angles()[kept - 1].angle, c.degrees);
    }
  }
}

TEST_F(Measure, AFullListTakesNoMoreAndItsPreviewsLeaveItsEntriesAlone) {
  Load(Uniform(32, 16, 400));
  manager->SetMprTool(ZR_MprTool::PixelValue);
  for (int32_t n = 0; n < ZR_Annotations::kCapacity; ++n) {
    manager->LeftDown(ZR_Panel::Mpr2, 8 + n % 48, 8 + n / 48);
    manager->LeftUp(ZR_Panel::Mpr2);
  }
  ASSERT_EQ(Of(ZR_Panel::Mpr2).Count(List::PixelValues), 256);
  const ZR_Annotations::PixelValue last = Of(ZR_Panel::Mpr2).PixelValues().back();
  ASSERT_FLOAT_EQ(last.x, X(8 + 255 % 48));
  // Previews and a 257th press.
  manager->PointerMove(ZR_Panel::Mpr2, 50, 50);
  manager->PointerMove(ZR_Panel::Mpr2, 51, 50);
  Click(ZR_Panel::Mpr2, 52, 52);
  ASSERT_EQ(Of(ZR_Panel::Mpr2).Count(List::PixelValues), 256);
  const ZR_Annotations::PixelValue now = Of(ZR_Panel::Mpr2).PixelValues().back();
  EXPECT_FLOAT_EQ(now.x, last.x);
  EXPECT_FLOAT_EQ(now.y, last.y);
  EXPECT_FLOAT_EQ(now.value, last.value);
  // The other lists still take entries.
  manager->SetMprTool(ZR_MprTool::Ruler);
  Click(ZR_Panel::Mpr2, 10, 40);
  Click(ZR_Panel::Mpr2, 30, 40);
  EXPECT_EQ(Of(ZR_Panel::Mpr2).Count(List::Rulers), 1);
}

TEST_F(Measure, FullRulerAngleAndRoiListsKeepTheirEntriesThroughPreviewsAndPresses) {
  Load(Uniform(32, 16, 400));
  // Full lists of untouched (zero) entries, made by their counts in the view record.
  int32_t* counts = manager->MprLayoutForSetUp().aViews[ZR_Panel::Mpr2].aMeasurement;
  for (List list : {List::Rulers, List::Angles, List::Rois}) counts[static_cast<int32_t>(list)] = 256;
  // A ruler, an angle and a ROI, each previewed on the way and pressed.
  const ZR_MprTool tools[] = {ZR_MprTool::Ruler, ZR_MprTool::Angle, ZR_MprTool::RoiStatistics};
  for (const ZR_MprTool tool : tools) {
    manager->SetMprTool(tool);
    Click(ZR_Panel::Mpr2, 10, 10);
    manager->PointerMove(ZR_Panel::Mpr2, 40, 12);
    Click(ZR_Panel::Mpr2, 40, 10);
    manager->PointerMove(ZR_Panel::Mpr2, 40, 40);
    Click(ZR_Panel::Mpr2, 40, 44);
  }
  EXPECT_EQ(Of(ZR_Panel::Mpr2).Count(List::Rulers), 256);
  EXPECT_EQ(Of(ZR_Panel::Mpr2).Count(List::Angles), 256);
  EXPECT_EQ(Of(ZR_Panel::Mpr2).Count(List::Rois), 256);
  EXPECT_EQ(Of(ZR_Panel::Mpr2).Rulers().back().length, 0);
  EXPECT_EQ(Of(ZR_Panel::Mpr2).Angles().back().x2, 0);
  EXPECT_EQ(Of(ZR_Panel::Mpr2).Rois().back().width, 0);
}

TEST_F(Measure, TheClearCommandsTakeTheLastAnnotationTheActiveViewsOrAll) {
  Load(Uniform(32, 16, 400));
  Clear(4);  // nothing measured yet: nothing to take
  manager->SetMprTool(ZR_MprTool::PixelValue);
  Click(ZR_Panel::Mpr0, 30, 30);
  manager->SetMprTool(ZR_MprTool::Ruler);
  for (int32_t k = 0; k < 3; ++k) {
    Click(ZR_Panel::Mpr2, 10, 10 + 10 * k);
    Click(ZR_Panel::Mpr2, 50, 10 + 10 * k);
  }
  ASSERT_EQ(Of(ZR_Panel::Mpr2).Count(List::Rulers), 3);
  // The two newest rulers go; the pixel value of the other view stays.
  Clear(4);
  Clear(4);
  ASSERT_EQ(Of(ZR_Panel::Mpr2).Count(List::Rulers), 1);
  EXPECT_FLOAT_EQ(Of(ZR_Panel::Mpr2).Rulers()[0].y1, Y(10));
  EXPECT_EQ(Of(ZR_Panel::Mpr0).Count(List::PixelValues), 1);
  // The active view is the one pressed last.
  ASSERT_EQ(manager->ActiveMprView(), ZR_Panel::Mpr2);
  Clear(5);
  EXPECT_TRUE(Of(ZR_Panel::Mpr2).IsEmpty());
  EXPECT_EQ(Of(ZR_Panel::Mpr0).Count(List::PixelValues), 1);
  Click(ZR_Panel::Mpr1, 10, 20);
  Click(ZR_Panel::Mpr1, 50, 20);
  Click(ZR_Panel::Mpr3, 10, 20);
  Click(ZR_Panel::Mpr3, 50, 20);
  Clear(6);
  for (int32_t panel = ZR_Panel::Mpr0; panel <= ZR_Panel::Mpr3; ++panel) EXPECT_TRUE(Of(panel).IsEmpty()) << panel;
  EXPECT_EQ(manager->MprTool(), ZR_MprTool::Ruler);  // clearing keeps the tool
}

TEST_F(Measure, AViewWhosePlaneMovesLosesItsAnnotations) {
  Load(Uniform(32, 32, 400));
  manager->SetMprTool(ZR_MprTool::Ruler);
  for (int32_t panel : {ZR_Panel::Mpr0, ZR_Panel::Mpr1, ZR_Panel::Mpr2}) {
    Click(panel, 10, 20);
    Click(panel, 50, 20);
  }
  // The wheel moves the view pressed last (it is the one panel 8 shows).
  ASSERT_EQ(manager->MainMprView(), ZR_Panel::Mpr2);
  manager->MouseWheel(120, false, false);
  EXPECT_TRUE(Of(ZR_Panel::Mpr2).IsEmpty());
  EXPECT_EQ(Of(ZR_Panel::Mpr0).Count(List::Rulers), 1);
  manager->TurnMprView(ZR_Panel::Mpr0, 10, 0);
  EXPECT_TRUE(Of(ZR_Panel::Mpr0).IsEmpty());
  EXPECT_EQ(Of(ZR_Panel::Mpr1).Count(List::Rulers), 1);
  // A drag with a rotation tool turns the plane too.
  manager->SetMprTool(ZR_MprTool::RotateFree);
  manager->LeftDown(ZR_Panel::Mpr1, 20, 20);
  manager->PointerMove(ZR_Panel::Mpr1, 40, 30);
  manager->LeftUp(ZR_Panel::Mpr1);
  EXPECT_TRUE(Of(ZR_Panel::Mpr1).IsEmpty());
}

TEST_F(Measure, ARulerIsDrawnInYellowAlongItsLineUntilItIsCleared) {
  settings.Display().showStudyDetails = false;
  Load(Uniform(32, 16, 400));
  // A level ruler from x = 8 to 56 on the pointer's row 40: 24 pixel rows from the bottom.
  constexpr int32_t kRow = kPanel - 40;
  auto yellowColumns = [&]() {
    Picture shown;
    shown.pixels = manager->ReadPanel(ZR_Panel::Mpr2, &shown.width, &shown.height, GL_RGB, GL_UNSIGNED_BYTE, 3, 1, false);
    EXPECT_NE(shown.pixels, nullptr);
    int32_t columns = 0;
    if (!shown.pixels) return columns;
    // Left of the label at the far end; the line may fall on either row beside the boundary.
    for (int32_t x = 10; x < 50; ++x)
      if (shown.Yellow(x, kRow - 1) || shown.Yellow(x, kRow) || shown.Yellow(x, kRow - 2) || shown.Yellow(x, kRow + 1))
        ++columns;
    return columns;
  };
  manager->RedrawViews(false);
  EXPECT_EQ(yellowColumns(), 0);
  manager->SetMprTool(ZR_MprTool::Ruler);
  Click(ZR_Panel::Mpr2, 8, 40);
  Click(ZR_Panel::Mpr2, 56, 40);
  ASSERT_EQ(Of(ZR_Panel::Mpr2).Count(List::Rulers), 1);
  EXPECT_EQ(yellowColumns(), 40);
  Clear(5);
  EXPECT_EQ(yellowColumns(), 0);
}
}  // namespace
