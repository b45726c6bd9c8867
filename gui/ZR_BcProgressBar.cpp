#include "gui/ZR_BcProgressBar.h"

#include <QCoreApplication>
#include <QProgressBar>

#include "gui/TCancellableProgressDialog.h"

ZR_BcProgressBar::ZR_BcProgressBar(QWidget* mainWindow)
    : m_pMainWindow(mainWindow),
      m_pPlain(new TProgressDialog(mainWindow)),
      m_pCancellable(new TCancellableProgressDialog(mainWindow)),
      m_pCurrent(m_pPlain) {}

ZR_BcProgressBar::~ZR_BcProgressBar() {
  delete m_pPlain.data();
  delete m_pCancellable.data();
}

void ZR_BcProgressBar::Show(bool plain) {
  m_pCurrent = plain ? static_cast<TProgressDialog*>(m_pPlain) : m_pCancellable.data();
  if (!m_pCurrent) return;
  m_pCurrent->Bar()->setValue(0);
  m_pCurrent->show();
  m_pCurrent->raise();
  m_pCurrent->repaint();
}

void ZR_BcProgressBar::SetPosition(int32_t position) {
  if (m_pCurrent) m_pCurrent->Bar()->setValue(position);
  QCoreApplication::processEvents();
}

void ZR_BcProgressBar::SetMax(int32_t max) {
  if (m_pPlain) m_pPlain->Bar()->setMaximum(max);
  if (m_pCancellable) m_pCancellable->Bar()->setMaximum(max);
}

void ZR_BcProgressBar::SetText(const std::string& text) {
  const QString caption = QString::fromUtf8(text.c_str());
  if (m_pPlain) m_pPlain->SetCaptionText(caption);
  if (m_pCancellable) m_pCancellable->SetCaptionText(caption);
}

void ZR_BcProgressBar::Step(int32_t delta) {
  if (m_pCurrent) m_pCurrent->Bar()->setValue(m_pCurrent->Bar()->value() + delta);
  QCoreApplication::processEvents();
}

void ZR_BcProgressBar::Close() {
  if (m_pMainWindow) m_pMainWindow->activateWindow();
  if (m_pCurrent) m_pCurrent->hide();
}

void ZR_BcProgressBar::Move(int32_t left, int32_t top) {
  if (m_pPlain) m_pPlain->move(left, top);
  if (m_pCancellable) m_pCancellable->move(left, top);
}

void ZR_BcProgressBar::GetSize(int32_t& width, int32_t& height) {
  width = m_pCurrent ? m_pCurrent->width() : 0;
  height = m_pCurrent ? m_pCurrent->height() : 0;
}
