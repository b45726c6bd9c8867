#include "gui/TZR_ScaledPanel.h"

#include <cmath>

TZR_ScaledPanel::TZR_ScaledPanel(QSize design, QWidget* parent) : QWidget(parent), m_oDesign(design) {}

void TZR_ScaledPanel::Place(QWidget* control, QRect design) {
  control->setParent(this);
  m_aItems.push_back({control, design});
  control->setGeometry(Scaled(design));
}

QRect TZR_ScaledPanel::Scaled(QRect design) const {
  const double sx = m_oDesign.width() > 0 ? double(width()) / m_oDesign.width() : 1.0;
  const double sy = m_oDesign.height() > 0 ? double(height()) / m_oDesign.height() : 1.0;
  const int left = static_cast<int>(std::lround(design.left() * sx));
  const int top = static_cast<int>(std::lround(design.top() * sy));
  const int right = static_cast<int>(std::lround((design.left() + design.width()) * sx));
  const int bottom = static_cast<int>(std::lround((design.top() + design.height()) * sy));
  return {left, top, std::max(1, right - left), std::max(1, bottom - top)};
}

void TZR_ScaledPanel::Arrange() {
  for (const Item& item : m_aItems)
    if (item.control) item.control->setGeometry(Scaled(item.design));
}

void TZR_ScaledPanel::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Arrange();
}
