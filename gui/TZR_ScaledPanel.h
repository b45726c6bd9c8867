#pragma once
// A panel whose controls sit at design coordinates and are scaled with the panel: each
// control's rectangle is its design rectangle times (panel width / design width, panel height
// / design height). Computing from the design every time keeps repeated resizes from adding
// up rounding errors.

#include <QPointer>
#include <QRect>
#include <QWidget>
#include <vector>

class TZR_ScaledPanel : public QWidget {
  Q_OBJECT
 public:
  TZR_ScaledPanel(QSize design, QWidget* parent = nullptr);

  // Puts `control` (made a child of the panel) at `design`.
  void Place(QWidget* control, QRect design);
  QRect Scaled(QRect design) const;
  QSize DesignSize() const { return m_oDesign; }
  // Places every control for the panel's current size.
  void Arrange();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct Item {
    QPointer<QWidget> control;
    QRect design;
  };
  QSize m_oDesign;
  std::vector<Item> m_aItems;
};
