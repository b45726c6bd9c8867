#pragma once
// "About Lumetra": product, version, OK.

#include <QDialog>

class TAboutDialog : public QDialog {
  Q_OBJECT
 public:
  static constexpr const char* kVersion = "Version 1.9.2 beta Build 20101109";
  explicit TAboutDialog(QWidget* parent);
};
