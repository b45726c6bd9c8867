// The measurement tools of the MPR views (pixel value, ruler, angle, ROI statistics): what a
// press or a move of the pointer adds to a view's annotations, the clearing commands and the
// drawing of the annotations over a view. The computations are the measure library's.
//
// A move is a preview: the annotation it adds is drawn once and taken out of its list again,
// so a full list never loses an entry to one.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "dicom/ZR_DicomVolume.h"
#include "manager/ZR_VisManager.h"
#include "measure/ZR_EllipseStats.h"
#include "measure/ZR_MeasureGeometry.h"
#include "measure/ZR_MeasureText.h"
#include "measure/ZR_ValueScale.h"

namespace {
using List = ZR_Annotations::List;
using Point = ZR_MeasureState::Point;

bool IsMprPanel(int32_t panel) { return panel >= ZR_Panel::Mpr0 && panel <= ZR_Panel::Mpr3; }
// Strictly inside: a point on the view's edge samples nothing the view shows.
bool InsideView(Point p) { return p.x > 0 && p.x < 1 && p.y > 0 && p.y < 1; }

// A ROI dragged less than this (normalised) both ways is taken for a click.
constexpr float kSmallestRoi = 0.02f;
constexpr float kYellow[3] = {1.0f, 1.0f, 0.0f};
constexpr float kOrange[3] = {1.0f, 0.5f, 0.0f};
constexpr float kPointPixels = 4;
constexpr int32_t kEllipseVertices = 360;

ZR_ValueScale StudyScale(const ZR_DicomVolume* volume) {
  return volume ? ZR_ValueScale(volume->m_nSmallest, volume->m_fRescaleSlope, volume->m_nRescaleIntercept)
                : ZR_ValueScale();
}
}  // namespace

const ZR_Annotations& ZR_VisManager::Annotations(int32_t panel) const {
  return m_aAnnotations[IsMprPanel(panel) ? panel - ZR_Panel::Mpr0 : 0];
}

// --- Pointer events ------------------------------------------------------------------------------

void ZR_VisManager::StartMeasurement(int32_t panel, int32_t x, int32_t y) { Measure(panel, x, y, true); }
void ZR_VisManager::DragMeasurement(int32_t panel, int32_t x, int32_t y) { Measure(panel, x, y, false); }
void ZR_VisManager::HoverMeasurement(int32_t panel, int32_t x, int32_t y) { Measure(panel, x, y, false); }

void ZR_VisManager::Measure(int32_t panel, int32_t x, int32_t y, bool press) {
  if (!IsMprPanel(panel) || !m_oVolume.bLoaded) return;
  const int32_t width = PanelWidth(panel), height = PanelHeight(panel);
  if (width <= 0 || height <= 0) return;
  const Point point{static_cast<float>(x) / static_cast<float>(width),
                    static_cast<float>(height - y) / static_cast<float>(height)};
  if (m_oMeasure.nTool != m_oMpr.nTool) {
    m_oMeasure.DropPending();
    m_oMeasure.nTool = m_oMpr.nTool;
  }
  switch (m_oMpr.nTool) {
    case ZR_MprTool::PixelValue:
      MeasurePixelValue(panel, point, press);
      break;
    case ZR_MprTool::Ruler:
      MeasureRuler(panel, point, press);
      break;
    case ZR_MprTool::Angle:
      MeasureAngle(panel, point, press);
      break;
    case ZR_MprTool::RoiStatistics:
      MeasureRoi(panel, point, press);
      break;
    default:
      break;
  }
}

void ZR_VisManager::SwitchMeasureView(int32_t panel) {
  if (panel == m_oMpr.nMeasureView) return;
  const int32_t left = m_oMpr.nMeasureView;
  m_oMpr.nMeasureView = panel;
  if (IsMprPanel(left)) RedrawPanel(left);
}

void ZR_VisManager::MeasurePixelValue(int32_t panel, Point point, bool press) {
  SwitchMeasureView(panel);
  if (press) {
    m_oMeasure.nLastView = panel;
    m_oMeasure.nLastList = List::PixelValues;
  }
  ZR_Annotations& annotations = ViewAnnotations(panel);
  if (annotations.IsFull(List::PixelValues)) return;
  bool added = false;
  if (InsideView(point)) {
    // The picture's rows run down the view.
    const uint16_t sample = m_oSoftwareRenderer.SampleAt(m_oMpr.aViews[panel].oView, point.x, 1.0f - point.y);
    const double value = StudyScale(m_pVolume.get()).Value(sample);
    added = annotations.Add(ZR_Annotations::PixelValue{point.x, point.y, static_cast<float>(value)});
  }
  RedrawPanel(panel);
  if (added && !press) annotations.RemoveLast(List::PixelValues);
}

void ZR_VisManager::MeasureRuler(int32_t panel, Point point, bool press) {
  ZR_MeasureState& s = m_oMeasure;
  if (panel != m_oMpr.nMeasureView) {
    // A ruler is measured in one view: moving over another shows nothing, pressing there
    // starts a new one.
    if (!press) return;
    SwitchMeasureView(panel);
    s.nRulerPoints = 0;
  }
  if (!press && s.nRulerPoints == 0) return;
  s.aRuler[s.nRulerPoints++] = point;
  if (s.nRulerPoints < 2) return;
  const Point a = s.aRuler[0], b = s.aRuler[1];
  const double length = ZR_MeasureGeometry::RulerLength(a.x, a.y, b.x, b.y, PhysicalLength());
  ZR_Annotations& annotations = ViewAnnotations(panel);
  const bool added = annotations.Add(ZR_Annotations::Ruler{a.x, a.y, b.x, b.y, static_cast<float>(length)});
  if (added) RedrawPanel(panel);
  if (press) {
    s.nRulerPoints = 0;
    s.nLastView = panel;
    s.nLastList = List::Rulers;
    return;
  }
  if (added) annotations.RemoveLast(List::Rulers);
  s.nRulerPoints = 1;
}

void ZR_VisManager::MeasureAngle(int32_t panel, Point point, bool press) {
  ZR_MeasureState& s = m_oMeasure;
  if (panel != m_oMpr.nMeasureView) {
    if (!press) return;
    SwitchMeasureView(panel);
    s.nAnglePoints = 0;
  }
  if (!press && s.nAnglePoints == 0) return;
  s.aAngle[s.nAnglePoints++] = point;
  if (s.nAnglePoints < 2) return;
  const bool complete = s.nAnglePoints == 3;
  ZR_Annotations::Angle entry{s.aAngle[0].x, s.aAngle[0].y, s.aAngle[1].x, s.aAngle[1].y};
  if (complete) {
    entry.x3 = s.aAngle[2].x;
    entry.y3 = s.aAngle[2].y;
    entry.angle = static_cast<float>(ZR_MeasureGeometry::Angle(entry.x1, entry.y1, entry.x2, entry.y2, entry.x3, entry.y3));
  }
  ZR_Annotations& annotations = ViewAnnotations(panel);
  const bool added = annotations.Add(entry);
  if (added) RedrawPanel(panel);
  if (!press) {
    if (added) annotations.RemoveLast(List::Angles);
    --s.nAnglePoints;
    return;
  }
  // The first leg was shown; only a whole angle is kept, and not a folded one (0 degrees,
  // or a leg without length), which is wiped from the view again.
  if (added && !(complete && entry.angle > 0)) {
    annotations.RemoveLast(List::Angles);
    if (complete) RedrawPanel(panel);
  }
  if (complete) s.nAnglePoints = 0;
  s.nLastView = panel;
  s.nLastList = List::Angles;
}

void ZR_VisManager::MeasureRoi(int32_t panel, Point point, bool press) {
  ZR_MeasureState& s = m_oMeasure;
  // The anchor stays wherever the pointer goes: a move over another view previews there.
  if (press) SwitchMeasureView(panel);
  if (!s.bRoiAnchored) {
    if (press) {
      s.oRoiAnchor = s.oRoiCorner = point;
      s.bRoiAnchored = true;
    }
    return;
  }
  // A press closes the region where the last move left its corner.
  if (!press) s.oRoiCorner = point;
  const float width = s.oRoiCorner.x - s.oRoiAnchor.x, height = s.oRoiCorner.y - s.oRoiAnchor.y;
  if (std::fabs(width) < kSmallestRoi && std::fabs(height) < kSmallestRoi) return;
  ZR_Annotations& annotations = ViewAnnotations(panel);
  bool added = false;
  if (!annotations.IsFull(List::Rois) && InsideView(s.oRoiCorner)) {
    ZR_Annotations::Roi roi{s.oRoiAnchor.x, s.oRoiAnchor.y, width, height};
    if (RoiStatistics(panel, roi)) {
      added = annotations.Add(roi);
      RedrawPanel(panel);
    }
  }
  if (!press) {
    if (added) annotations.RemoveLast(List::Rois);
    return;
  }
  s.bRoiAnchored = false;
  s.nLastView = panel;
  s.nLastList = List::Rois;
}

bool ZR_VisManager::RoiStatistics(int32_t panel, ZR_Annotations::Roi& roi) {
  float position[3], orientation[6];
  const uint16_t* picture = m_oSoftwareRenderer.GetRawImage(m_oMpr.aViews[panel].oView, position, orientation);
  int32_t width = 0, height = 0;
  m_oSoftwareRenderer.GetImageSize(&width, &height);
  const ZR_EllipseStats::Result stats = ZR_EllipseStats::Compute(
      picture, width, height, ZR_EllipseStats::PixelBox(roi.x, roi.y, roi.width, roi.height, width, height));
  if (stats.count == 0) return false;
  const ZR_ValueScale scale = StudyScale(m_pVolume.get());
  roi.minimum = static_cast<float>(scale.Lowest(stats.minimum, stats.maximum));
  roi.maximum = static_cast<float>(scale.Highest(stats.minimum, stats.maximum));
  roi.mean = static_cast<float>(scale.Value(stats.mean));
  roi.deviation = static_cast<float>(scale.Spread(stats.deviation));
  return true;
}

// --- Clearing ------------------------------------------------------------------------------------

void ZR_VisManager::ClearLastAnnotation() {
  if (!IsMprPanel(m_oMeasure.nLastView)) return;
  if (!ViewAnnotations(m_oMeasure.nLastView).RemoveLast(m_oMeasure.nLastList)) return;
  RedrawViews(true);
}

void ZR_VisManager::ClearAnnotations(int32_t panel) {
  if (!IsMprPanel(panel)) return;
  ViewAnnotations(panel).Clear();
  RedrawPanel(panel);
}

void ZR_VisManager::ClearAllAnnotations() {
  for (int32_t panel : {ZR_Panel::Mpr2, ZR_Panel::Mpr0, ZR_Panel::Mpr1, ZR_Panel::Mpr3}) ClearAnnotations(panel);
}

// --- Drawing -------------------------------------------------------------------------------------

void ZR_VisManager::DrawAnnotations(int32_t index) {
  if (!IsMprPanel(index) || !Gl()) return;
  const ZR_Annotations& annotations = ViewAnnotations(index);
  if (annotations.IsEmpty()) return;
  const int32_t width = std::max(PanelWidth(index), 1), height = std::max(PanelHeight(index), 1);
  ZR_GlFunctions& gl = *Gl();
  gl.MatrixMode(GL_PROJECTION);
  gl.PushMatrix();
  gl.LoadIdentity();
  gl.Ortho(0, 1, 0, 1, -5000, 5000);
  gl.MatrixMode(GL_MODELVIEW);
  gl.PushMatrix();
  gl.LoadIdentity();
  gl.Disable(GL_DEPTH_TEST);
  gl.Disable(GL_TEXTURE_2D);
  gl.Disable(GL_TEXTURE_3D);
  gl.Disable(GL_BLEND);
  gl.Disable(GL_LINE_STIPPLE);
  gl.LineWidth(1.0f);
  // Labels are placed in -1..1 view coordinates.
  auto print = [this](const std::string& text, double x, double y) {
    m_oText.Print(text, static_cast<float>(x), static_cast<float>(y));
  };

  // A pixel value: a point 4 pixels across (drawn as a square) and its value beside it.
  const float halfX = kPointPixels / 2 / static_cast<float>(width), halfY = kPointPixels / 2 / static_cast<float>(height);
  for (const ZR_Annotations::PixelValue& p : annotations.PixelValues()) {
    gl.Color3f(kOrange[0], kOrange[1], kOrange[2]);
    gl.Begin(GL_QUADS);
    gl.Vertex2f(p.x - halfX, p.y - halfY);
    gl.Vertex2f(p.x + halfX, p.y - halfY);
    gl.Vertex2f(p.x + halfX, p.y + halfY);
    gl.Vertex2f(p.x - halfX, p.y + halfY);
    gl.End();
    gl.Color3f(kYellow[0], kYellow[1], kYellow[2]);
    print(ZR_MeasureText::PixelValue(p.value), 2.0 * p.x - 1, 2.0 * p.y - 1);
  }

  gl.Color3f(kYellow[0], kYellow[1], kYellow[2]);
  gl.Begin(GL_LINES);
  for (const ZR_Annotations::Ruler& r : annotations.Rulers()) {
    gl.Vertex2f(r.x1, r.y1);
    gl.Vertex2f(r.x2, r.y2);
  }
  gl.End();
  for (const ZR_Annotations::Ruler& r : annotations.Rulers()) {
    const ZR_MeasureGeometry::Offset d = ZR_MeasureGeometry::LabelOffset(r.x1, r.y1, r.x2, r.y2);
    print(ZR_MeasureText::Length(r.length), 2.0 * r.x2 - 1 + d.dx, 2.0 * r.y2 - 1 + d.dy);
  }

  gl.Begin(GL_LINES);
  for (const ZR_Annotations::Angle& a : annotations.Angles()) {
    gl.Vertex2f(a.x1, a.y1);
    gl.Vertex2f(a.x2, a.y2);
    if (a.angle > 0) {
      gl.Vertex2f(a.x2, a.y2);
      gl.Vertex2f(a.x3, a.y3);
    }
  }
  gl.End();
  for (const ZR_Annotations::Angle& a : annotations.Angles()) {
    if (!(a.angle > 0)) continue;
    const ZR_MeasureGeometry::Offset d = ZR_MeasureGeometry::LabelOffset(a.x1, a.y1, a.x2, a.y2);
    print(ZR_MeasureText::Angle(a.angle), 2.0 * a.x2 - 1 + d.dx, 2.0 * a.y2 - 1 + d.dy);
  }

  // A ROI: the ellipse inscribed in its box, and its statistics below the box's left corner
  // (whichever way it was dragged), kept inside the view.
  for (const ZR_Annotations::Roi& r : annotations.Rois()) {
    const double cx = r.x + r.width / 2.0, cy = r.y + r.height / 2.0;
    gl.Color3f(kYellow[0], kYellow[1], kYellow[2]);
    gl.Begin(GL_LINE_LOOP);
    for (int32_t degree = 0; degree < kEllipseVertices; ++degree) {
      const double t = degree * std::numbers::pi / 180.0;
      gl.Vertex2f(static_cast<float>(cx + r.width / 2.0 * std::cos(t)), static_cast<float>(cy + r.height / 2.0 * std::sin(t)));
    }
    gl.End();
    const double left = std::min(r.x, r.x + r.width), bottom = std::min(r.y, r.y + r.height);
    const double textX = std::min(0.4, 2 * left - 1), textY = std::max(-0.9, 2 * bottom - 1.05);
    gl.Color3f(kOrange[0], kOrange[1], kOrange[2]);
    print(ZR_MeasureText::Range(r.minimum, r.maximum), textX, textY);
    print(ZR_MeasureText::MeanAndDeviation(r.mean, r.deviation), textX, textY - 0.05);
  }

  gl.Disable(GL_LINE_STIPPLE);
  gl.MatrixMode(GL_PROJECTION);
  gl.PopMatrix();
  gl.MatrixMode(GL_MODELVIEW);
  gl.PopMatrix();
  gl.Color4f(1, 1, 1, 1);
}
