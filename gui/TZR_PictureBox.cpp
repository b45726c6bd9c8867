#include "gui/TZR_PictureBox.h"

#include <QPainter>

TZR_PictureBox::TZR_PictureBox(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::Box | QFrame::Plain);
  // It paints every pixel itself: its repaints never ask the dialog behind it to paint.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TZR_PictureBox::StretchGrey(const uint8_t* pixels, int32_t columns, int32_t rows, int32_t width,
                                 int32_t height) {
  if (width <= 0 || height <= 0) return;
  m_oImage = QImage(width, height, QImage::Format_Grayscale8);
  m_oImage.fill(0);
  if (!pixels || columns <= 0 || rows <= 0) return;
  for (int32_t y = 0; y < height; ++y) {
    // The picture's rows come bottom first.
    const int64_t row = rows - 1 - int64_t{y} * rows / height;
    uchar* out = m_oImage.scanLine(y);
    const uint8_t* in = pixels + row * columns;
    for (int32_t x = 0; x < width; ++x) out[x] = in[int64_t{x} * columns / width];
  }
}

void TZR_PictureBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  if (!m_oImage.isNull()) painter.drawImage(contentsRect(), m_oImage);
  drawFrame(&painter);
}
