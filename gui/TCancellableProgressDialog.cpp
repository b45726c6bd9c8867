#include "gui/TCancellableProgressDialog.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QPushButton>

#include "gui/ZR_UserEvent.h"

TCancellableProgressDialog::TCancellableProgressDialog(QWidget* mainWindow)
    : TProgressDialog(mainWindow), m_pMainWindow(mainWindow) {
  setObjectName("CancellableProgressDialog");
  m_pCancel = new QPushButton("Cancel", this);
  m_pCancel->setObjectName("BitBtn_Cancel");
  Row()->addWidget(m_pCancel);
  connect(m_pCancel, &QPushButton::clicked, this, [this] {
    if (m_pMainWindow) QCoreApplication::postEvent(m_pMainWindow, new ZR_UserEvent(ZR_UserEvent::Cancel));
    hide();
  });
}
