#pragma once
// The main window's contract: 82 controls and 15 menus. Dialog slots do nothing here.

#include "core/ZR_Ids.h"
#include "gui/ZR_BcGui.h"

class ZR_BcAppGui : public ZR_BcGui {
 public:
  explicit ZR_BcAppGui(QWidget* mainWindow)
      : ZR_BcGui(mainWindow, ZR_Ctl::kAppControlCount, ZR_Menu::kAppMenuCount) {}
  ~ZR_BcAppGui() override = default;
  void ShowDialog(bool) override {}
  void CloseDialog() override {}
};
