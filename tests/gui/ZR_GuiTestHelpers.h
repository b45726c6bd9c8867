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
