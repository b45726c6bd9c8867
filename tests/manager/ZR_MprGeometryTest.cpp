// What the MPR views show, against an independent reslice of the study's files. A real study
// is loaded as the window loads it; its planes are turned and stepped through the pointer and
// the wheel; then, at the centre of each view, near its corners and on a grid, the grey the
// view shows must be the value of the study at the point of the plane that pixel stands for,
// sampled here straight from the slices at their own file positions (the second series is
// tilted and unevenly spaced).
//
// The plane's point in patient millimetres follows the volume's box: centred on the loaded
// voxels, one box unit per pixel spacing, the axes those of the image rows, the image columns
// and the slice stack. The reslice knows nothing of textures or of the renderer.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "core/ZR_Keys.h"
#include "dicom/ZR_DicomReader.h"
#include "tests/manager/ZR_LoadingFixture.h"
#include "tests/support/ZR_TestData.h"
#include "tests/support/ZR_TestImage.h"

namespace {
using Vec = std::array<double, 3>;

constexpr int32_t kView = 96;

Vec Add(const Vec& a, const Vec& b, double s = 1) { return {a[0] + s * b[0], a[1] + s * b[1], a[2] + s * b[2]}; }
double Dot(const Vec& a, const Vec& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Vec Cross(const Vec& a, const Vec& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

// The study as its files describe it, with the pixels of the loaded volume record.
class Study {
 public:
  bool Read(const std::vector<std::string>& files, const ZR_DicomVolume& volume, std::string& error) {
    ZR_DicomReader reader;
    std::vector<ZR_DicomImageAttributes> slices(files.size());
    for (size_t k = 0; k < files.size(); ++k)
      if (!reader.ReadImageAttributes(files[k], slices[k])) return Fail(error, "attributes of " + files[k]);
    const double* o = slices[0].imageOrientation;
    m_row = {o[0], o[1], o[2]};
    m_column = {o[3], o[4], o[5]};
    m_normal = Cross(m_row, m_column);
    m_spacing = slices[0].pixelSpacing[1];
    // The record's slice k is the file at its position.
    for (int32_t k = 0; k < volume.m_nSliceCount; ++k) {
      const auto& p = volume.m_aSlicePositions[static_cast<size_t>(k)];
      auto it = std::find_if(slices.begin(), slices.end(), [&](const ZR_DicomImageAttributes& a) {
        return std::fabs(a.imagePosition[0] - p[0]) + std::fabs(a.imagePosition[1] - p[1]) +
                   std::fabs(a.imagePosition[2] - p[2]) < 1e-3;
      });
      if (it == slices.end()) return Fail(error, "no file at the position of slice " + std::to_string(k));
      m_positions.push_back({it->imagePosition[0], it->imagePosition[1], it->imagePosition[2]});
      m_pixels.push_back(volume.Slice(k));
    }
    for (size_t k = 1; k < m_positions.size(); ++k)
      if (!(Along(m_positions[k]) > Along(m_positions[k - 1]))) return Fail(error, "slices out of order");
    m_width = volume.m_nWidth;
    m_height = volume.m_nHeight;
    m_padColumn = volume.m_nPadColumn;
    m_padRow = volume.m_nPadRow;
    // The median step along the stack (what a volume of even slices is built with), and the
    // direction the stack advances in.
    std::vector<double> steps;
    for (size_t k = 1; k < m_positions.size(); ++k) steps.push_back(Along(m_positions[k]) - Along(m_positions[k - 1]));
    std::sort(steps.begin(), steps.end());
    m_sliceDistance = steps[steps.size() / 2];
    const Vec span = Add(m_positions.back(), m_positions.front(), -1);
    const double length = std::sqrt(Dot(span, span));
    m_stack = {span[0] / length, span[1] / length, span[2] / length};
    m_range = volume.m_nLargest - volume.m_nSmallest;
    return true;
  }

  // The patient point (mm) of a box point of the loaded volume.
  Vec Patient(const float box[3]) const {
    const double n = static_cast<double>(m_positions.size());
    const double column = box[0] + m_width / 2.0 - 0.5 - m_padColumn;
    const double row = box[1] + m_height / 2.0 - 0.5 - m_padRow;
    const double slice = box[2] * m_spacing / m_sliceDistance + n / 2.0 - 0.5;
    Vec p = Add(m_positions.front(), m_row, column * m_spacing);
    p = Add(p, m_column, row * m_spacing);
    return Add(p, m_stack, slice * m_sliceDistance * Dot(m_stack, m_normal) / Dot(m_stack, m_stack));
  }

  // The stored value at a patient point: bilinear in the two slices around it (each at its
  // own position), linear between them; false outside the slices.
  bool Sample(const Vec& p, double* value) const {
    const double s = Along(p);
    if (s < Along(m_positions.front()) || s > Along(m_positions.back())) return false;
    size_t k = 0;
    while (k + 2 < m_positions.size() && Along(m_positions[k + 1]) < s) ++k;
    const double s0 = Along(m_positions[k]), s1 = Along(m_positions[k + 1]);
    const double t = (s - s0) / (s1 - s0);
    double a = 0, b = 0;
    if (!InSlice(k, p, &a) || !InSlice(k + 1, p, &b)) return false;
    *value = a + t * (b - a);
    return true;
  }

  double Range() const { return m_range; }
  double Spacing() const { return m_spacing; }
  const Vec& Normal() const { return m_normal; }
  const Vec& RowDirection() const { return m_row; }
  const Vec& ColumnDirection() const { return m_column; }

 private:
  static bool Fail(std::string& error, const std::string& text) {
    error = text;
    return false;
  }
  double Along(const Vec& p) const { return Dot(p, m_normal); }
  bool InSlice(size_t k, const Vec& p, double* value) const {
    const Vec d = Add(p, m_positions[k], -1);
    const double x = Dot(d, m_row) / m_spacing + m_padColumn;
    const double y = Dot(d, m_column) / m_spacing + m_padRow;
    if (x < 0 || y < 0 || x > m_width - 1 || y > m_height - 1) return false;
    const int32_t x0 = std::min(static_cast<int32_t>(x), m_width - 2);
    const int32_t y0 = std::min(static_cast<int32_t>(y), m_height - 2);
    const double fx = x - x0, fy = y - y0;
    const uint16_t* s = m_pixels[k];
    auto at = [&](int32_t xx, int32_t yy) { return static_cast<double>(s[static_cast<size_t>(yy) * m_width + xx]); };
    const double top = at(x0, y0) + fx * (at(x0 + 1, y0) - at(x0, y0));
    const double bottom = at(x0, y0 + 1) + fx * (at(x0 + 1, y0 + 1) - at(x0, y0 + 1));
    *value = top + fy * (bottom - top);
    return true;
  }

  std::vector<Vec> m_positions;
  std::vector<const uint16_t*> m_pixels;
  Vec m_row{}, m_column{}, m_normal{}, m_stack{};
  double m_spacing = 1, m_sliceDistance = 1, m_range = 1;
  int32_t m_width = 0, m_height = 0, m_padColumn = 0, m_padRow = 0;
};

class MprGeometry : public ZR_LoadingFixture {
 protected:
  void Load(const std::filesystem::path& dir) {
    for (const auto& e : std::filesystem::directory_iterator(dir))
      if (e.is_regular_file()) files.push_back(e.path().string());
    std::sort(files.begin(), files.end());
    for (int32_t panel = ZR_Panel::Mpr0; panel <= ZR_Panel::Mpr3; ++panel) ASSERT_TRUE(panels->Resize(panel, kView, kView));
    settings.Display().showStudyDetails = false;
    int32_t count = static_cast<int32_t>(files.size());
    ASSERT_EQ(manager->LoadStudy(files, count), VR_OK);
    ASSERT_EQ(LoadRange(0, count - 1), VR_OK);
    ASSERT_EQ(manager->Screen(), ZR_Screen::Mpr);
    // The views' table shows index k as grey k / 4095: a view's grey is the sample's share of
    // the value range.
    ZR_Lut& lut = shared.GetLut();
    float* grey = lut.GreyTable();
    for (int32_t k = 0; k < lut.EntryCount(); ++k) {
      const float v = static_cast<float>(k) / static_cast<float>(lut.EntryCount() - 1);
      grey[4 * k] = grey[4 * k + 1] = grey[4 * k + 2] = v;
      grey[4 * k + 3] = 1;
    }
    std::string error;
    ASSERT_TRUE(study.Read(files, *manager->GetVolume(), error)) << error;
    // For these series the box's axes are the voxels' (no shear or reorientation is drawn).
    ASSERT_FALSE(shared.Corrected());
  }

  // Turns and steps the planes as a user would: every rotation tool, a line drag and wheel
  // steps with and without Ctrl and Shift.
  void TurnAndStep() {
    manager->SetMprTool(ZR_MprTool::RotateFree);
    Drag(7, {{20, 20}, {35, 28}, {50, 40}, {58, 41}});
    manager->MouseWheel(120, false, false);
    manager->MouseWheel(120, false, false);
    manager->SetMprTool(ZR_MprTool::RotateHorizontal);
    Drag(5, {{20, 75}, {31, 75}, {40, 75}});
    manager->MouseWheel(-120, true, false);
    manager->SetMprTool(ZR_MprTool::RotateVertical);
    Drag(4, {{75, 20}, {75, 28}, {75, 36}});
    manager->MouseWheel(120, false, true);
    manager->PointerMove(6, 80, 80);
    manager->MouseWheel(-120, false, false);
    // The sagittal line in the axial view (steep after the turns), dragged to the right.
    const int32_t* r = manager->MprView(6).aLineRects[2];
    const int32_t y = kView / 4;
    const int32_t x = r[3] == r[1] ? r[0] : r[0] + (r[2] - r[0]) * (y - r[1]) / (r[3] - r[1]);
    manager->PointerMove(6, x, y);
    ASSERT_EQ(manager->CrosshairDrag(), 12);
    Drag(6, {{x, y}, {x + 9, y + 2}}, false);
  }

  void Drag(int32_t panel, const std::vector<std::array<int32_t, 2>>& path, bool hover = true) {
    if (hover) manager->PointerMove(panel, path[0][0], path[0][1]);
    manager->LeftDown(panel, path[0][0], path[0][1]);
    for (size_t i = 1; i < path.size(); ++i) manager->PointerMove(panel, path[i][0], path[i][1]);
    manager->LeftUp(panel);
  }

  ZR_TestImage Read(int32_t panel) {
    int32_t w = 0, h = 0;
    auto pixels = manager->ReadPanel(panel, &w, &h, GL_RGB, GL_UNSIGNED_BYTE, 3, 1, false);
    if (!pixels) return {};
    return ZR_TestImage::FromBottomUp(w, h, 3, pixels.get());
  }

  struct Checked {
    int total = 0, inTissue = 0, centre = 0, corners = 0;
  };

  // One view's pixel against the reslice; false when the point lies outside the study.
  bool CheckPixel(int32_t panel, const ZR_TestImage& image, int32_t px, int32_t py, Checked& checked) {
    const MprViewInfo& view = manager->MprView(panel);
    const float e = manager->MprExtent();
    const float u = ((px + 0.5f) / kView - 0.5f) * e, v = ((py + 0.5f) / kView - 0.5f) * e;
    float box[3];
    for (int i = 0; i < 3; ++i) box[i] = view.Position()[i] + u * view.Axis(0)[i] + v * view.Axis(1)[i];
    const Vec point = study.Patient(box);
    // Within interpolation tolerance: the sample anywhere within a quarter voxel in the plane
    // of the slices and half a millimetre beyond that across them (the unevenly spaced series
    // lies up to that far from evenly spaced slices), 2 grey levels either side.
    double low = 1e9, high = -1e9;
    const double q = study.Spacing() / 4;
    for (int a = -1; a <= 1; ++a)
      for (int b = -1; b <= 1; ++b)
        for (int c = -1; c <= 1; ++c) {
          Vec p = Add(point, study.RowDirection(), a * q);
          p = Add(p, study.ColumnDirection(), b * q);
          p = Add(p, study.Normal(), c * (q + 0.5));
          double value = 0;
          if (!study.Sample(p, &value)) return false;
          low = std::min(low, value);
          high = std::max(high, value);
        }
    const double scale = 255.0 / study.Range();
    const int32_t shown = image.At(px, py)[0];
    EXPECT_GE(shown, low * scale - 2) << "view " << panel << " pixel " << px << "," << py;
    EXPECT_LE(shown, high * scale + 2) << "view " << panel << " pixel " << px << "," << py;
    ++checked.total;
    checked.inTissue += low * scale > 20;
    return true;
  }

  void CheckViews(const char* label) {
    // Without the crosshair lines over the pictures (Ctrl+X hides them, and shows them again).
    manager->KeyDown(ZR_Key::X, true, false, false);
    manager->RedrawViews(false);
    for (int32_t panel = ZR_Panel::Mpr0; panel <= ZR_Panel::Mpr3; ++panel) {
      const ZR_TestImage image = Read(panel);
      ASSERT_EQ(image.nWidth, kView);
      Checked checked;
      checked.centre = CheckPixel(panel, image, kView / 2, kView / 2, checked);
      // Near each corner: the first pixel on the diagonal towards the centre that lies within
      // the study (the box is a cube, the study rarely is).
      for (const auto& [sx, sy] : {std::pair{-1, -1}, {1, -1}, {-1, 1}, {1, 1}})
        for (int32_t d = kView / 2 - kView / 16; d > 0; d -= 2)
          if (CheckPixel(panel, image, kView / 2 + sx * d - (sx > 0), kView / 2 + sy * d - (sy > 0), checked)) {
            ++checked.corners;
            break;
          }
      for (int32_t y = 4; y < kView; y += 11)
        for (int32_t x = 5; x < kView; x += 11) (void)CheckPixel(panel, image, x, y, checked);
      EXPECT_TRUE(checked.centre) << label << ": the centre of view " << panel << " lies outside the study";
      EXPECT_EQ(checked.corners, 4) << label << ": view " << panel;
      EXPECT_GE(checked.inTissue, 10) << label << ": view " << panel << " shows too little of the study";
    }
    manager->KeyDown(ZR_Key::X, true, false, false);
  }

  std::vector<std::string> files;
  Study study;
};

TEST_F(MprGeometry, HeadCtViewsShowTheStudyWhereTheirPlanesLie) {
  LMX_REQUIRE_DATA(dir, "series/ct-head-108");
  Load(dir);
  CheckViews("standard planes");
  TurnAndStep();
  CheckViews("turned and stepped");
}

TEST_F(MprGeometry, TiltedUnevenlySpacedMrViewsShowTheStudyWhereTheirPlanesLie) {
  LMX_REQUIRE_DATA(dir, "series/mr-brain-20");
  Load(dir);
  CheckViews("standard planes");
  TurnAndStep();
  CheckViews("turned and stepped");
}

}  // namespace
