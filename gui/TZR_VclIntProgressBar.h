#pragma once
// The cancellable progress window: the plain one with a "Cancel" button that posts the cancel
// message to the main window and hides the window.

#include "gui/TZR_VclProgressBar.h"

class QPushButton;

class TZR_VclIntProgressBar : public TZR_VclProgressBar {
  Q_OBJECT
 public:
  explicit TZR_VclIntProgressBar(QWidget* mainWindow);
  QPushButton* CancelButton() const { return m_pCancel; }

 private:
  QWidget* m_pMainWindow;
  QPushButton* m_pCancel;
};
