#pragma once
// The question dialog: the question as its text, "Continue" (yes) and "Cancel" (no).

#include <QDialog>

class QLabel;
class QPushButton;

class TContinueCancelDialog : public QDialog {
  Q_OBJECT
 public:
  explicit TContinueCancelDialog(QWidget* owner);
  void SetQuestion(const QString& question);
  QPushButton* ContinueButton() const { return m_pContinue; }
  QPushButton* CancelButton() const { return m_pCancel; }

 private:
  QLabel* m_pLabel;
  QPushButton* m_pContinue;
  QPushButton* m_pCancel;
};
