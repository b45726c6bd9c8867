#include "gui/TZR_VclIntProgressBar.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QPushButton>

#include "gui/ZR_UserEvent.h"

TZR_VclIntProgressBar::TZR_VclIntProgressBar(QWidget* mainWindow)
    : TZR_VclProgressBar(mainWindow), m_pMainWindow(mainWindow) {
  setObjectName("IntProgressBar");
  m_pCancel = new QPushButton("Cancel", this);
  m_pCancel->setObjectName("BitBtn_Cancel");
  Row()->addWidget(m_pCancel);
  connect(m_pCancel, &QPushButton::clicked, this, [this] {
    if (m_pMainWindow) QCoreApplication::postEvent(m_pMainWindow, new ZR_UserEvent(ZR_UserEvent::Cancel));
    hide();
  });
}
