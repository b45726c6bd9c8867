#pragma once
// The main window's own messages, posted by dialogs and progress windows: an event type per
// message number (counted from the first user number) and one integer parameter.

#include <QEvent>

class ZR_UserEvent : public QEvent {
 public:
  enum Number : int {
    IgnoredA = 17,
    MipThresholdChanged = 18,
    IgnoredB = 19,
    SettingsChanged = 21,
    Cancel = 25,
    RepaintPanel = 31,
  };

  static QEvent::Type TypeOf(int number) { return static_cast<QEvent::Type>(QEvent::User + number); }

  ZR_UserEvent(int number, int parameter = 0) : QEvent(TypeOf(number)), m_nNumber(number), m_nParameter(parameter) {}
  int Number() const { return m_nNumber; }
  int Parameter() const { return m_nParameter; }

 private:
  int m_nNumber;
  int m_nParameter;
};
