#pragma once
// The progress contract over the plain and the cancellable progress window. Position changes
// let Qt process pending events, which is how long operations stay responsive.

#include <QPointer>

#include "core/ZR_ProgressBar.h"
#include "gui/TCancellableProgressDialog.h"

class QWidget;

class ZR_BcProgressBar : public ZR_ProgressBar {
 public:
  explicit ZR_BcProgressBar(QWidget* mainWindow);
  ~ZR_BcProgressBar() override;

  void Show(bool plain) override;
  void SetPosition(int32_t position) override;
  void SetMax(int32_t max) override;
  void SetText(const std::string& text) override;
  void Step(int32_t delta) override;
  void Close() override;
  void Move(int32_t left, int32_t top) override;
  void GetSize(int32_t& width, int32_t& height) override;

  TProgressDialog* PlainWindow() const { return m_pPlain; }
  TCancellableProgressDialog* CancellableWindow() const { return m_pCancellable; }
  TProgressDialog* Current() const { return m_pCurrent; }

 private:
  QPointer<QWidget> m_pMainWindow;
  // Children of the main window: guarded, since the window may delete them first.
  QPointer<TProgressDialog> m_pPlain;
  QPointer<TCancellableProgressDialog> m_pCancellable;
  QPointer<TProgressDialog> m_pCurrent;
};
