#pragma once
// A picture control that the engine draws grey pictures onto (a dialog contract hands it out
// as a canvas) and that shows the last one until it is drawn again.

#include <QFrame>
#include <QImage>

#include "core/ZR_Canvas.h"

class TZR_PictureBox : public QFrame, public ZR_Canvas {
  Q_OBJECT
 public:
  explicit TZR_PictureBox(QWidget* parent = nullptr);

  void StretchGrey(const uint8_t* pixels, int32_t columns, int32_t rows, int32_t width, int32_t height) override;
  const QImage& Picture() const { return m_oImage; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage m_oImage;
};
