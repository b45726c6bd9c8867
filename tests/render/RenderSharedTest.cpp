// The shared render state, computed on the CPU: copy selection, reset window, orientation
// correction, trackball, pan and zoom, saved view, histogram ownership.
#include "render/RenderShared.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "render/ZR_Matrix4.h"
#include "render/ZR_VolumeRenderer.h"

namespace {

// A renderer with no drawing of its own, for what the base and the shared state do.
class BareRenderer : public ZR_VolumeRenderer {
 public:
  explicit BareRenderer(RenderShared& shared) : ZR_VolumeRenderer(kSoftwareKind, shared) {}
  void Init() override {}
  int32_t LoadVolume() override { return 0; }
  void Release() override {}
  int32_t Render(float, float, float, float, float) override {
    ++renders;
    return 0;
  }
  void SetReducedResolution(bool on, int32_t factor) override {
    m_bReduced = on;
    m_nReduction = factor;
  }
  int renders = 0;
};

void ExpectMatrixNear(const double* actual, const ZR_Matrix4& expected, double tolerance,
                      const char* label) {
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(actual[i], expected[i], tolerance) << label << " element " << i;
}

TEST(SelectCopy, ChoosesTheLargestFlooredExtentLaterAxesWinningTies) {
  struct Case {
    int32_t dims[3];
    float scale[3];
    int32_t axis;
    float largest;
  };
  const Case cases[] = {
      {{100, 100, 100}, {1, 1, 1}, 2, 100},
      {{512, 512, 100}, {1, 1, 2}, 1, 512},
      {{256, 256, 108}, {1, 1, 2.5f}, 2, 270},
      {{256, 256, 100}, {1, 1, 2.565f}, 2, 256},  // 256.5 floors to 256: a tie, z wins
      {{64, 32, 10}, {1, 1, 1}, 0, 64},
      {{0, 0, 0}, {1, 1, 1}, 2, 0},
  };
  for (const Case& c : cases) {
    RenderShared shared;
    shared.SetVoxelScale(c.scale[0], c.scale[1], c.scale[2]);
    shared.SetFullDimensions(c.dims[0], c.dims[1], c.dims[2]);
    EXPECT_EQ(shared.SelectCopy(false), c.axis) << c.dims[0] << "x" << c.dims[1] << "x" << c.dims[2];
    EXPECT_EQ(shared.LargestExtent(), c.largest);
    EXPECT_EQ(shared.RowLength(), c.dims[0]);
    EXPECT_EQ(shared.SliceSize(), c.dims[0] * c.dims[1]);
  }
}

TEST(SelectCopy, SwitchesBetweenTheFullAndTheReducedCopy) {
  RenderShared shared;
  uint16_t full = 0, reduced = 0;
  shared.SetVoxelScale(1, 1, 2);
  shared.SetFullDimensions(512, 512, 100);
  shared.SetReducedDimensions(256, 256, 50);
  shared.SetVoxelBuffers(&full, &reduced);
  shared.SelectCopy(true);
  EXPECT_EQ(shared.CurrentVoxels(), &reduced);
  EXPECT_EQ(shared.CurrentDimensions()[2], 50);
  EXPECT_FLOAT_EQ(shared.Extents()[2], 100);
  shared.SelectCopy(false);
  EXPECT_EQ(shared.CurrentVoxels(), &full);
  EXPECT_FLOAT_EQ(shared.Extents()[2], 200);
}

TEST(ResetWindow, EnclosesTheBoundingSphereOfTheFullCopyAndKeepsTheRenderersCopy) {
  RenderShared shared;
  BareRenderer renderer(shared);
  shared.SetVoxelScale(1, 1, 2);
  shared.SetFullDimensions(512, 512, 100);
  shared.SetReducedDimensions(256, 256, 50);
  renderer.SetReducedResolution(true, 2);
  shared.SelectCopy(true);
  shared.ResetWindow(renderer);
  const float* window = shared.Window();
  EXPECT_EQ(window[0], -443);
  EXPECT_EQ(window[1], 443);
  EXPECT_EQ(window[2], -443);
  EXPECT_EQ(window[3], 443);
  EXPECT_EQ(shared.ResetWindowEdges()[1], 443);
  EXPECT_TRUE(shared.ReducedCopyCurrent());
  EXPECT_EQ(shared.LargestExtent(), 256);
}

TEST(PhysicalLength, IsThatOfTheLargestAxisInMillimetres) {
  RenderShared shared;
  shared.SetVoxelScale(1, 1, 2.0f);
  shared.SetPixelSpacing(0.5f, 0.5f, 1.0f);
  shared.SetFullDimensions(256, 256, 200);  // z extent 400 is the largest: 200 slices of 1 mm
  EXPECT_FLOAT_EQ(shared.InversePhysicalLength(), 1.0f / 200.0f);
}

struct OrientationCase {
  const char* label;
  float row[3];
  float column[3];
  float slice[3];
  bool sheared;
  bool reoriented;
  bool labelsValid;
  int32_t signs[3];
};

TEST(ComputeOrientation, SetsTheFlagsSignsAndMatrices) {
  const OrientationCase cases[] = {
      {"axial", {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, false, false, true, {1, 1, 1}},
      {"coronal", {1, 0, 0}, {0, 0, -1}, {0, 1, 0}, false, true, true, {1, 1, 1}},
      {"mirrored rows", {-1, 0, 0}, {0, 1, 0}, {0, 0, -1}, false, true, true, {1, 1, 1}},
      {"tilted gantry", {1, 0, 0}, {0, 0.97f, -0.24f}, {0, 0, 1}, true, false, true, {1, 1, 1}},
      {"tilted, rows reversed", {-1, 0, 0}, {0, 0.97f, -0.24f}, {0, 0, 1}, true, false, true, {-1, 1, 1}},
  };
  for (const OrientationCase& c : cases) {
    RenderShared shared;
    float row[3] = {c.row[0], c.row[1], c.row[2]};
    float column[3] = {c.column[0], c.column[1], c.column[2]};
    int32_t signs[3] = {0, 0, 0};
    EXPECT_EQ(shared.ComputeOrientation(row, column, c.slice, signs), c.labelsValid) << c.label;
    EXPECT_EQ(shared.Sheared(), c.sheared) << c.label;
    EXPECT_EQ(shared.Reoriented(), c.reoriented) << c.label;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(signs[i], c.signs[i]) << c.label << " sign " << i;
  }
}

TEST(ComputeOrientation, AReorientedVolumeHoldsTheCosinesAsRows) {
  RenderShared shared;
  float row[3] = {1, 0, 0}, column[3] = {0, 0, -1};
  const float slice[3] = {0, 1, 0};
  int32_t signs[3];
  shared.ComputeOrientation(row, column, slice, signs);
  // n = r x c = (0, 1, 0); rows r, c, n; the box matrix is the transpose.
  ZR_Matrix4 expected;
  const float rows[3][3] = {{1, 0, 0}, {0, 0, -1}, {0, 1, 0}};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) expected[c * 4 + r] = rows[r][c];
  ExpectMatrixNear(shared.TextureOrientation(), expected, 0, "texture");
  ExpectMatrixNear(shared.BoxOrientation(), expected.Transposed(), 0, "box");
}

// A sagittal series ordered from the patient's right to the left: its normal (r x c) points
// right, its slices advance left. The volume's third axis is the way the slices run; taking
// the normal would show the patient mirrored.
TEST(ComputeOrientation, SlicesAdvancingAgainstTheNormalKeepThePatientsSides) {
  RenderShared shared;
  float row[3] = {0, 1, 0}, column[3] = {0, 0, -1};
  const float slice[3] = {1, 0, 0};  // n = (-1, 0, 0)
  int32_t signs[3];
  shared.ComputeOrientation(row, column, slice, signs);
  ASSERT_TRUE(shared.Reoriented());
  const ZR_Matrix4 texture = ZR_Matrix4::FromDoubles(shared.TextureOrientation());
  // Texture x, y and z go to patient y, -z and +x: a point one step along each voxel axis
  // lands one step along the patient axis it was taken from.
  const auto x = texture.Transposed().TransformPoint(1, 0, 0);
  const auto z = texture.Transposed().TransformPoint(0, 0, 1);
  EXPECT_NEAR(x[1], 1, 1e-6);
  EXPECT_NEAR(z[0], 1, 1e-6);  // not -1
  ExpectMatrixNear(shared.BoxOrientation(), texture.Transposed(), 0, "box");
}

TEST(ComputeOrientation, ATiltedSeriesIsShearedAlongZ) {
  RenderShared shared;
  float row[3] = {1, 0, 0}, column[3] = {0, 0.97f, -0.24f};
  const float slice[3] = {0, 0, 1};  // positions advance along z, not along the normal
  int32_t signs[3];
  EXPECT_TRUE(shared.ComputeOrientation(row, column, slice, signs));
  const double t0 = std::tan(std::acos(static_cast<double>(0.97f)));
  EXPECT_NEAR(shared.Tilt()[0], std::acos(static_cast<double>(0.97f)), 1e-12);
  ZR_Matrix4 texture, box;
  texture[6] = t0;  // y' = y, z' = z + t0 y
  box[6] = -t0;
  ExpectMatrixNear(shared.TextureOrientation(), texture, 1e-12, "texture");
  ExpectMatrixNear(shared.BoxOrientation(), box, 1e-12, "box");
}

TEST(ComputeOrientation, SlicesAlongTheirNormalAreSnappedNotSheared) {
  RenderShared shared;
  float row[3] = {0.9998f, 0.02f, 0}, column[3] = {-0.02f, 0.9998f, 0};
  const float slice[3] = {0, 0, 1};
  int32_t signs[3];
  EXPECT_FALSE(shared.ComputeOrientation(row, column, slice, signs));  // labels not valid
  EXPECT_FALSE(shared.Sheared());
  EXPECT_FALSE(shared.Reoriented());
  EXPECT_EQ(row[0], 1);
  EXPECT_EQ(row[1], 0);
  EXPECT_EQ(column[0], 0);
  EXPECT_EQ(column[1], 1);
}

TEST(Trackball, RotatesAboutTheAxisOfTheTwoSpherePoints) {
  RenderShared shared;
  const ZR_TrackballView view{200, 200, 100};
  // From the centre (0, 0, 1) to (0.5, 0, sqrt(0.75)): 30 degrees about +y.
  shared.Rotate(view, 100, 100, 150, 100);
  float rotation[16];
  shared.GetRotation(rotation);
  const ZR_Matrix4 expected = ZR_Matrix4::Rotation(30, 0, 1, 0);
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(rotation[i], expected[i], 1e-6) << i;
}

TEST(Trackball, TurnsTheScreenAxisIntoTheVolumesFrame) {
  RenderShared shared;
  const float current[16] = {1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1};  // 90 deg about x
  double axis[3], degrees;
  ASSERT_TRUE(RenderShared::TrackballRotation({200, 200, 100}, 100, 100, 150, 100, current, axis, &degrees));
  EXPECT_NEAR(degrees, 30, 1e-9);
  // Screen axis (0, 0.5, 0): component k is column k of the matrix dotted with it.
  EXPECT_NEAR(axis[0], 0, 1e-12);
  EXPECT_NEAR(axis[1], 0, 1e-12);
  EXPECT_NEAR(axis[2], -0.5, 1e-12);
}

TEST(Trackball, EdgeCases) {
  RenderShared shared;
  const ZR_TrackballView view{200, 200, 100};
  const float before[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  float rotation[16];

  // The same point twice does nothing.
  shared.Rotate(view, 120, 80, 120, 80);
  shared.GetRotation(rotation);
  EXPECT_TRUE(std::equal(rotation, rotation + 16, before));

  // Opposite points on the rim: the cross product vanishes, the fallback axis (-y2, x2, 0)
  // turns 180 degrees about y.
  double axis[3], degrees;
  ASSERT_TRUE(RenderShared::TrackballRotation(view, 0, 100, 200, 100, before, axis, &degrees));
  EXPECT_NEAR(degrees, 180, 1e-9);
  EXPECT_NEAR(axis[0], 0, 1e-12);
  EXPECT_NEAR(axis[1], 1, 1e-12);

  // A point far outside the ball lies on its rim: the same as the rim point itself.
  double farAxis[3], farDegrees;
  ASSERT_TRUE(RenderShared::TrackballRotation(view, 100, 100, 1000, 100, before, farAxis, &farDegrees));
  EXPECT_NEAR(farDegrees, 90, 1e-9);

  // With an output matrix the current rotation stays.
  float out[16];
  shared.Rotate(view, 100, 100, 150, 100, out);
  shared.GetRotation(rotation);
  EXPECT_TRUE(std::equal(rotation, rotation + 16, before));
  EXPECT_NEAR(out[8], std::sin(30 * M_PI / 180), 1e-6);
}

TEST(ResetRotation, StoresTheArgumentAsTheRenderersNeedsRenderFlag) {
  RenderShared shared;
  BareRenderer renderer(shared);
  shared.ResetRotation(renderer, false);
  EXPECT_FALSE(renderer.NeedsRender());
  shared.ResetRotation(renderer, true);
  EXPECT_TRUE(renderer.NeedsRender());
  // 15 degrees about y, then -75 about x: the view's y axis leans back.
  const float* r = shared.Rotation();
  EXPECT_NEAR(r[5], std::cos(-75 * M_PI / 180), 1e-6);
}

class PanZoom : public ::testing::Test {
 protected:
  void SetUp() override {
    shared.SetVoxelScale(1, 1, 1);
    shared.SetFullDimensions(100, 100, 100);
    shared.ResetWindow(renderer);  // r = 86
    shared.SetViewport(200, 200);
  }
  float Width() const { return shared.Window()[1] - shared.Window()[0]; }
  float Height() const { return shared.Window()[3] - shared.Window()[2]; }
  RenderShared shared;
  BareRenderer renderer{shared};
};

TEST_F(PanZoom, MovesAndScalesByPixelsOfPointerMotion) {
  shared.PanZoom(10, 0, 0, 1);  // h = 172 / 200
  EXPECT_FLOAT_EQ(shared.Window()[0], -86 - 8.6f);
  shared.PanZoom(0, 0, 20, 1);
  EXPECT_FLOAT_EQ(Width(), 172 + 2 * 17.2f);
}

TEST_F(PanZoom, ALargeZoomStepNeverMirrorsTheView) {
  shared.PanZoom(0, 0, -150, 1);  // |dy| above half the viewport
  EXPECT_GT(Width(), 0);
  EXPECT_NEAR(Width(), 0.01f * 172, 1e-4);
  EXPECT_NEAR(Height(), 0.01f * 172, 1e-4);
  shared.PanZoom(0, 0, -1000, 1);
  EXPECT_NEAR(Width(), 0.01f * 172, 1e-4);
}

TEST_F(PanZoom, AFlippedWindowStaysFlipped) {
  shared.FlipHorizontal();
  shared.PanZoom(0, 0, -150, 1);
  EXPECT_LT(Width(), 0);
  EXPECT_NEAR(-Width(), 0.01f * 172, 1e-4);
  shared.PanZoom(0, 0, 10, 1);  // zooming out grows it
  EXPECT_LT(Width(), -0.01f * 172);
}

TEST_F(PanZoom, TheLimitFollowsTheReductionOfTheWindow) {
  shared.SetWindow(-43, 43, -43, 43);  // the reset window divided by 2
  shared.PanZoom(0, 0, -1000, 2);
  EXPECT_NEAR(Width(), 0.01f * 172 / 2, 1e-4);
}

TEST(ViewState, IsSavedAndRestored) {
  RenderShared shared;
  const float rotation[16] = {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  shared.SetRotation(rotation);
  shared.SetWindow(-10, 10, -20, 20);
  shared.Cut().bOn = true;
  shared.Cut().dPosition = 12.5;
  shared.Cut().afMatrix[12] = 3;
  shared.SetVoiEnabled(true);
  shared.SetVoi(ZR_Box({10, 20, 30}, {1, 2, 3}));
  CutPlaneSettings display;
  display.slabWidth = 0.25f;
  display.showCutPlane = true;
  shared.SaveViewState(display);

  const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  shared.SetRotation(identity);
  shared.SetWindow(0, 1, 0, 1);
  shared.Cut() = ZR_CutState{};
  shared.Cut().nAxis = 2;
  shared.SetVoiEnabled(false);
  shared.SetVoi(ZR_Box({1, 1, 1}, {0, 0, 0}));

  CutPlaneSettings restored;
  restored.slabWidth = 99;
  shared.RestoreViewState(restored);
  EXPECT_TRUE(std::equal(rotation, rotation + 16, shared.Rotation()));
  EXPECT_EQ(shared.Window()[3], 20);
  EXPECT_TRUE(shared.Cut().bOn);
  EXPECT_TRUE(shared.Cut().bShowCutPlane);
  EXPECT_EQ(shared.Cut().nAxis, 1);
  EXPECT_EQ(shared.Cut().dPosition, 12.5);
  EXPECT_EQ(shared.Cut().afMatrix[12], 3);
  EXPECT_EQ(shared.Cut().fSlabThickness, 1);  // never below 1
  EXPECT_TRUE(shared.VoiEnabled());
  EXPECT_EQ(shared.GetVoi().GetSize()[2], 30);
  EXPECT_EQ(restored, display);
}

TEST(Histogram, BelongsToTheSharedStateAndIsFreedOnceWhicheverRendererGoesFirst) {
  for (const bool firstGoesFirst : {true, false}) {
    RenderShared shared;
    EXPECT_EQ(shared.GetHistogram(), nullptr);
    auto first = std::make_unique<BareRenderer>(shared);
    int32_t* histogram = shared.GetHistogram();
    ASSERT_NE(histogram, nullptr);
    EXPECT_EQ(histogram[4095], 0);
    histogram[100] = 7;
    auto second = std::make_unique<BareRenderer>(shared);
    EXPECT_EQ(shared.GetHistogram(), histogram);  // the second one shares it
    (firstGoesFirst ? first : second).reset();
    ASSERT_EQ(shared.GetHistogram(), histogram);  // still there for the other renderer
    EXPECT_EQ(shared.GetHistogram()[100], 7);
    (firstGoesFirst ? second : first).reset();
    EXPECT_EQ(shared.GetHistogram(), nullptr);
  }
}

TEST(VolumeRenderer, BaseSlotsBehaveAsTheirTable) {
  RenderShared shared;
  BareRenderer renderer(shared);
  EXPECT_TRUE(renderer.NeedsRender());
  EXPECT_FALSE(renderer.IsLoaded());
  renderer.Mark();
  EXPECT_TRUE(renderer.IsMarked());
  renderer.SetBlendMode(2);
  EXPECT_EQ(renderer.GetBlendMode(), 2);
  EXPECT_EQ(renderer.RenderDefault(), 0);
  EXPECT_EQ(renderer.renders, 1);
  EXPECT_TRUE(renderer.DrawOrthoSlice(0, 1, ZR_OrthoViews{}));

  // SetLut invalidates and copies into the current table; SelectLutTable picks the table.
  renderer.SetNeedsRender(false);
  std::vector<float> table(4096 * 4, 0.5f);
  renderer.SelectLutTable(false);
  renderer.SetLut(table.data());
  EXPECT_TRUE(renderer.NeedsRender());
  EXPECT_EQ(shared.GetLut().GreyTable()[4095 * 4 + 3], 0.5f);
  EXPECT_EQ(shared.GetLut().ColourTable()[0], 0.0f);
}

TEST(CutPlaneTransform, TranslatesByThePositionOverTheReductionThenRotates) {
  RenderShared shared;
  BareRenderer renderer(shared);
  renderer.SetReducedResolution(true, 2);
  ZR_MprPlane plane;
  plane.afPosition[0] = 10;
  plane.afPosition[2] = -4;
  const ZR_Matrix4 rotation = ZR_Matrix4::Rotation(90, 0, 0, 1);
  rotation.ToFloats(plane.afRotation);
  renderer.SetCutPlaneTransform(plane);
  const ZR_Matrix4 expected = ZR_Matrix4::Translation(5, 0, -2) * rotation;
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(shared.Cut().afMatrix[i], expected[i], 1e-6) << i;
}

}  // namespace
