#pragma once
// Answers the next modal dialog from inside its event loop, as a user would.

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

// Polls until a modal widget is up, then hands it to `act` (which must close it).
inline void WhenModalAppears(std::function<void(QWidget*)> act) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      timer->stop();
      timer->deleteLater();
      act(modal);
    }
  });
  timer->start();
}

// The same for the next modal dialog of one class (other modal windows, such as a progress
// window, may come and go before it). Deleting the returned timer withdraws the answer.
template <typename Dialog>
QTimer* WhenDialogAppears(std::function<void(Dialog*)> act) {
  auto* timer = new QTimer(qApp);
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
      timer->stop();
      timer->deleteLater();
      act(dialog);
    }
  });
  timer->start();
  return timer;
}
