#include "gui/ZR_CursorArt.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QTransform>
#include <cmath>

#include "core/ZR_Ids.h"

namespace {
// An arrow head at `tip` pointing along (dx, dy).
void Head(QPainterPath& path, QPointF tip, qreal dx, qreal dy, qreal size = 5) {
  const QPointF back(tip.x() - dx * size, tip.y() - dy * size);
  const QPointF side(-dy * size * 0.7, dx * size * 0.7);
  path.moveTo(tip);
  path.lineTo(back + side);
  path.lineTo(back - side);
  path.closeSubpath();
}

// A double arrow from a to b.
void DoubleArrow(QPainterPath& path, QPointF a, QPointF b) {
  const QPointF d = b - a;
  const qreal length = std::hypot(d.x(), d.y());
  const qreal dx = d.x() / length, dy = d.y() / length;
  path.moveTo(a + QPointF(dx * 4, dy * 4));
  path.lineTo(b - QPointF(dx * 4, dy * 4));
  Head(path, b, dx, dy);
  Head(path, a, -dx, -dy);
}

// White shapes with a black outline, so the pointer shows on any picture.
void Stroke(QPainter& p, const QPainterPath& path) {
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(Qt::black, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(path);
  p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::white);
  p.drawPath(path);
}
}  // namespace

QStringList ZR_CursorArt::FileNames() {
  QStringList names;
  for (int32_t id = ZR_Cursor::kFirst + 1; id <= ZR_Cursor::kLast; ++id) {
    const QString name = ZR_Cursor::FileName(id);
    if (!names.contains(name)) names << name;
  }
  return names;
}

QImage ZR_CursorArt::Draw(const QString& name, QPoint* hotSpot) {
  QImage image(kSize, kSize, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath path;
  QPoint hot(16, 16);
  if (name == "rotate.cur") {
    path.arcMoveTo(6, 6, 20, 20, 60);
    path.arcTo(6, 6, 20, 20, 60, 300);
    Head(path, QPointF(26, 11), 0.3, -1);
  } else if (name == "zoom.cur") {
    path.addEllipse(QPointF(13, 13), 8, 8);
    path.moveTo(19, 19);
    path.lineTo(28, 28);
    path.moveTo(9, 13);
    path.lineTo(17, 13);
    path.moveTo(13, 9);
    path.lineTo(13, 17);
    hot = QPoint(13, 13);
  } else if (name == "pan.cur") {
    DoubleArrow(path, QPointF(3, 16), QPointF(29, 16));
    DoubleArrow(path, QPointF(16, 3), QPointF(16, 29));
  } else if (name == "wl.cur" || name == "owl.cur") {
    // Window/level: a half-filled disc; the opacity window adds a ramp below it.
    path.addEllipse(QPointF(16, 13), 9, 9);
    Stroke(p, path);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawPie(QRectF(8, 5, 16, 16), 90 * 16, 180 * 16);
    path = QPainterPath();
    if (name == "owl.cur") path.addPolygon(QPolygonF({{6, 29}, {26, 29}, {26, 24}, {6, 29}}));
  } else if (name == "capture.cur") {
    path.addRoundedRect(QRectF(4, 10, 24, 16), 3, 3);
    path.addEllipse(QPointF(16, 18), 5, 5);
    path.addRect(QRectF(10, 6, 8, 4));
  } else if (name == "vertbar.cur" || name == "voi_v.cur") {
    // An arrow across a line: a line dragged up and down (the VOI's edge has a shorter bar).
    DoubleArrow(path, QPointF(16, 2), QPointF(16, 30));
    path.moveTo(name == "voi_v.cur" ? 9 : 6, 16);
    path.lineTo(name == "voi_v.cur" ? 23 : 26, 16);
  } else if (name == "horbar.cur" || name == "voi_h.cur") {
    p.end();
    // The same, turned a quarter: dragged sideways. The hot spot is the centre either way.
    const QImage upright = Draw(name == "horbar.cur" ? "vertbar.cur" : "voi_v.cur", hotSpot);
    return upright.transformed(QTransform().rotate(90));
  } else if (name == "pencil.cur") {
    path.addPolygon(QPolygonF({{2, 30}, {5, 21}, {23, 3}, {29, 9}, {11, 27}, {2, 30}}));
    hot = QPoint(2, 29);
  } else if (name == "busy_m.cur") {
    path.addPolygon(QPolygonF({{8, 3}, {24, 3}, {17, 16}, {24, 29}, {8, 29}, {15, 16}, {8, 3}}));
  } else if (name == "voi-size.cur") {
    path.addRect(QRectF(5, 5, 22, 22));
    DoubleArrow(path, QPointF(9, 23), QPointF(23, 9));
  } else {
    return {};
  }
  Stroke(p, path);
  p.end();
  if (hotSpot) *hotSpot = hot;
  return image;
}
