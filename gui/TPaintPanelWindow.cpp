#include "gui/TPaintPanelWindow.h"

#include <QMouseEvent>
#include <QWheelEvent>

#include "gui/TPaintPanel.h"
#include "gui/ZR_QtGlContext.h"

TPaintPanelWindow::TPaintPanelWindow(TPaintPanel* panel) : m_pPanel(panel) {
  setSurfaceType(QSurface::OpenGLSurface);
  setFormat(ZR_QtGlContext::PanelFormat());
}

void TPaintPanelWindow::exposeEvent(QExposeEvent*) {
  if (isExposed()) m_pPanel->Exposed();
}

void TPaintPanelWindow::mousePressEvent(QMouseEvent* event) { m_pPanel->Pointer(TPaintPanel::Press, event); }
void TPaintPanelWindow::mouseReleaseEvent(QMouseEvent* event) { m_pPanel->Pointer(TPaintPanel::Release, event); }
void TPaintPanelWindow::mouseMoveEvent(QMouseEvent* event) { m_pPanel->Pointer(TPaintPanel::Move, event); }
void TPaintPanelWindow::mouseDoubleClickEvent(QMouseEvent* event) {
  m_pPanel->Pointer(TPaintPanel::DoubleClick, event);
}
void TPaintPanelWindow::wheelEvent(QWheelEvent* event) { m_pPanel->Wheel(event); }
void TPaintPanelWindow::keyPressEvent(QKeyEvent* event) { m_pPanel->Key(event); }
