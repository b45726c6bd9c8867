#include "gui/TProgressDialog.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

TProgressDialog::TProgressDialog(QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowStaysOnTopHint) {
  setObjectName("ProgressDialog");
  setWindowTitle("Lumetra");
  // Modal to the main window so that its buttons and closing wait while a long operation
  // processes events; the progress window's own buttons still work.
  setWindowModality(Qt::WindowModal);
  setFixedSize(450, 130);
  m_pRow = new QHBoxLayout(this);
  m_pBevel = new QFrame(this);
  m_pBevel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  auto* column = new QVBoxLayout(m_pBevel);
  m_pText = new QLabel(m_pBevel);
  m_pText->setObjectName("Lbl_Progress");
  m_pBar = new QProgressBar(m_pBevel);
  m_pBar->setObjectName("PrgBar_LoadVolume");
  m_pBar->setRange(0, 100);
  column->addWidget(m_pText);
  column->addWidget(m_pBar);
  m_pRow->addWidget(m_pBevel, 1);
}

void TProgressDialog::SetCaptionText(const QString& text) {
  setWindowTitle(text.isEmpty() ? QString("Lumetra") : text);
  m_pText->setText(text);
}
