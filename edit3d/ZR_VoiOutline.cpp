#include "edit3d/ZR_VoiOutline.h"

#include <algorithm>
#include <cmath>

namespace {
// The drawing coordinate (centred model units, across rightwards or down the pane) of a
// voxel coordinate along `axis` in a pane whose vertical axis is `vertical`.
double Drawn(int32_t axis, bool vertical, bool downwards, double voxel, const ZR_VoiOutline::Pane& p) {
  const double model = voxel * p.aScale[axis] - p.aDims[axis] * static_cast<double>(p.aScale[axis]) / 2;
  const double sign = p.aSigns[axis] < 0 ? -1.0 : 1.0;
  // z is drawn with its high end at the top; y in the axial pane with its high end below.
  return vertical && !downwards ? -model * sign : model * sign;
}

int32_t Pixel(double drawn, double span, int32_t size) {
  return static_cast<int32_t>(std::trunc((drawn + span / 2) / span * size));
}

bool UsablePane(const ZR_VoiOutline::Pane& p) {
  return p.fSpan > 0 && p.nWidth > 0 && p.nHeight > 0 && p.aScale[0] > 0 && p.aScale[1] > 0 && p.aScale[2] > 0;
}

bool Positive(const ZR_Box::Vector& v) { return v[0] > 0 && v[1] > 0 && v[2] > 0; }
}  // namespace

bool ZR_VoiOutline::Axes(int32_t panel, int32_t* horizontal, int32_t* vertical) {
  switch (panel) {
    case 1: *horizontal = 1; *vertical = 2; return true;
    case 2: *horizontal = 0; *vertical = 2; return true;
    case 3: *horizontal = 0; *vertical = 1; return true;
    default: return false;
  }
}

int32_t ZR_VoiOutline::AxisOfFace(int32_t face) {
  switch (face) {
    case kLowerX: case kUpperX: return 0;
    case kLowerY: case kUpperY: return 1;
    case kLowerZ: case kUpperZ: return 2;
    default: return -1;
  }
}

bool ZR_VoiOutline::Compute(int32_t panel, const ZR_Box& box, const Pane& pane, Edges* edges) {
  int32_t h = 0, v = 0;
  if (!Axes(panel, &h, &v) || !UsablePane(pane)) return false;
  const bool downwards = panel == 3;
  const auto& c = box.GetPosition();
  const auto& s = box.GetSize();
  const int32_t lowFace[3] = {kLowerX, kLowerY, kLowerZ};
  const int32_t highFace[3] = {kUpperX, kUpperY, kUpperZ};
  // Each face's pixel line; the smaller one is the left (top) side.
  const int32_t hl = Pixel(Drawn(h, false, downwards, c[h] - s[h] / 2.0, pane), pane.fSpan, pane.nWidth);
  const int32_t hh = Pixel(Drawn(h, false, downwards, c[h] + s[h] / 2.0, pane), pane.fSpan, pane.nWidth);
  const int32_t vl = Pixel(Drawn(v, true, downwards, c[v] - s[v] / 2.0, pane), pane.fSpan, pane.nHeight);
  const int32_t vh = Pixel(Drawn(v, true, downwards, c[v] + s[v] / 2.0, pane), pane.fSpan, pane.nHeight);
  Edges e;
  e.nLeft = std::min(hl, hh);
  e.nRight = std::max(hl, hh);
  e.nLeftFace = hl <= hh ? lowFace[h] : highFace[h];
  e.nRightFace = hl <= hh ? highFace[h] : lowFace[h];
  e.nTop = std::min(vl, vh);
  e.nBottom = std::max(vl, vh);
  e.nTopFace = vl <= vh ? lowFace[v] : highFace[v];
  e.nBottomFace = vl <= vh ? highFace[v] : lowFace[v];
  *edges = e;
  return true;
}

int32_t ZR_VoiOutline::Pick(const Edges& e, int32_t x, int32_t y, int32_t tolerance) {
  const bool alongHeight = y >= e.nTop && y <= e.nBottom;
  const bool alongWidth = x >= e.nLeft && x <= e.nRight;
  if (std::abs(x - e.nLeft) < tolerance && alongHeight) return e.nLeftFace;
  if (std::abs(x - e.nRight) < tolerance && alongHeight) return e.nRightFace;
  if (std::abs(y - e.nTop) < tolerance && alongWidth) return e.nTopFace;
  if (std::abs(y - e.nBottom) < tolerance && alongWidth) return e.nBottomFace;
  return kNone;
}

double ZR_VoiOutline::Follow(int32_t panel, int32_t axis, int32_t mx, int32_t my, const Pane& pane) {
  int32_t h = 0, v = 0;
  if (!Axes(panel, &h, &v) || !UsablePane(pane) || (axis != h && axis != v)) return 0;
  const double sign = pane.aSigns[axis] < 0 ? -1.0 : 1.0;
  if (axis == h) return mx * static_cast<double>(pane.fSpan) / pane.nWidth * sign / pane.aScale[axis];
  // Upwards on the pane is the high end of z, and the low end of y in the axial pane.
  const double up = my * static_cast<double>(pane.fSpan) / pane.nHeight * sign / pane.aScale[axis];
  return panel == 3 ? -up : up;
}

bool ZR_VoiOutline::DragFace(int32_t panel, int32_t face, int32_t mx, int32_t my, const Pane& pane, ZR_Box& box) {
  const int32_t axis = AxisOfFace(face);
  int32_t h = 0, v = 0;
  if (axis < 0 || !Axes(panel, &h, &v) || (axis != h && axis != v) || !UsablePane(pane)) return false;
  const double d = Follow(panel, axis, mx, my, pane);
  ZR_Box::Vector size = box.GetSize();
  ZR_Box::Vector position = box.GetPosition();
  size[axis] = static_cast<float>(size[axis] + (IsUpperFace(face) ? d : -d));
  position[axis] = static_cast<float>(position[axis] + d / 2);
  // The position goes only with the size it belongs to: alone it would move the other face.
  if (!Positive(size)) return false;
  box.SetSize(size);
  box.SetPosition(position);
  return true;
}

bool ZR_VoiOutline::DragTool(int32_t panel, ZR_Tool3d tool, int32_t mx, int32_t my, const Pane& pane, ZR_Box& box) {
  int32_t h = 0, v = 0;
  if (!Axes(panel, &h, &v) || !UsablePane(pane) || (mx == 0 && my == 0)) return false;
  if (tool == ZR_Tool3d::VoiPosition) {
    ZR_Box::Vector position = box.GetPosition();
    position[h] = static_cast<float>(position[h] + Follow(panel, h, mx, my, pane));
    position[v] = static_cast<float>(position[v] + Follow(panel, v, mx, my, pane));
    box.SetPosition(position);
    return true;
  }
  if (tool != ZR_Tool3d::VoiSize) return false;
  ZR_Box::Vector size = box.GetSize();
  size[h] = static_cast<float>(size[h] - mx * static_cast<double>(pane.fSpan) / (pane.nWidth * pane.aScale[h]));
  size[v] = static_cast<float>(size[v] - my * static_cast<double>(pane.fSpan) / (pane.nHeight * pane.aScale[v]));
  if (!Positive(size)) return false;
  box.SetSize(size);
  return true;
}

bool ZR_VoiOutline::DragIn3dView(ZR_Tool3d tool, int32_t dx, bool left, bool middle, bool right, ZR_Box& box) {
  if (dx == 0 || !(left || middle || right)) return false;
  const bool axes[3] = {left, middle, right};
  if (tool == ZR_Tool3d::VoiPosition) {
    ZR_Box::Vector position = box.GetPosition();
    for (int32_t k = 0; k < 3; ++k)
      if (axes[k]) position[k] -= static_cast<float>(dx);
    box.SetPosition(position);
    return true;
  }
  if (tool != ZR_Tool3d::VoiSize) return false;
  ZR_Box::Vector size = box.GetSize();
  for (int32_t k = 0; k < 3; ++k)
    if (axes[k]) size[k] += static_cast<float>(dx);
  if (!Positive(size)) return false;
  box.SetSize(size);
  return true;
}
