#pragma once
// The cancellable progress window: the plain one with a "Cancel" button that posts the cancel
// message to the main window and hides the window.

#include "gui/TProgressDialog.h"

class QPushButton;

class TCancellableProgressDialog : public TProgressDialog {
  Q_OBJECT
 public:
  explicit TCancellableProgressDialog(QWidget* mainWindow);
  QPushButton* CancelButton() const { return m_pCancel; }

 private:
  QWidget* m_pMainWindow;
  QPushButton* m_pCancel;
};
