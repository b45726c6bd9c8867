#pragma once
// The native OpenGL window inside a drawing panel. It only passes on what happens to it:
// exposure (the system wants the picture again) and pointer, wheel and key events, which the
// panel turns into the engine's calls.

#include <QWindow>

class TPaintPanel;

class TPaintPanelWindow : public QWindow {
  Q_OBJECT
 public:
  explicit TPaintPanelWindow(TPaintPanel* panel);

 protected:
  void exposeEvent(QExposeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  TPaintPanel* m_pPanel;
};
