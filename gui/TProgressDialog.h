#pragma once
// The plain progress window: a fixed frame without caption buttons, on top, with one bar.

#include <QDialog>

class QFrame;
class QLabel;
class QProgressBar;
class QHBoxLayout;

class TProgressDialog : public QDialog {
  Q_OBJECT
 public:
  explicit TProgressDialog(QWidget* mainWindow);
  QProgressBar* Bar() const { return m_pBar; }
  void SetCaptionText(const QString& text);

 protected:
  QHBoxLayout* Row() const { return m_pRow; }

 private:
  QFrame* m_pBevel;
  QLabel* m_pText;
  QProgressBar* m_pBar;
  QHBoxLayout* m_pRow;
};
