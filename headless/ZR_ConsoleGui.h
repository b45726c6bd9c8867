#pragma once
// The GUI contract of the command-line tool: messages become lines of the output, questions
// are answered no, and there are no controls.

#include <cstdio>
#include <string>

#include "core/ZR_VisGui.h"

class ZR_ConsoleGui : public ZR_VisGui {
 public:
  int32_t GetControlCount() override { return 0; }
  void SetPanelCursor(int32_t, int32_t) override {}
  int32_t GetPanelCursor(int32_t) override { return 0; }
  void SetButtonDown(int32_t, bool) override {}
  void SetToolButtonMarked(int32_t, bool) override {}
  void SetChecked(int32_t, bool) override {}
  void SetRadioIndex(int32_t, int32_t) override {}
  void EnableRadioItem(int32_t, int32_t, bool) override {}
  void SetPage(int32_t, int32_t) override {}
  void SetScrollMin(int32_t, int32_t) override {}
  void SetScrollMax(int32_t, int32_t) override {}
  void SetScrollPage(int32_t, int32_t) override {}
  void SetScrollPosition(int32_t, int32_t) override {}
  void SetNumberMin(int32_t, int32_t) override {}
  void SetNumberMax(int32_t, int32_t) override {}
  void SetNumberValue(int32_t, float) override {}
  void SetEditText(int32_t, const std::string&) override {}
  void EnableControl(int32_t, bool) override {}
  void ShowControl(int32_t, bool) override {}
  bool IsControlVisible(int32_t) override { return false; }
  void SetLabelText(int32_t, const std::string&) override {}
  bool IsControlEnabled(int32_t) override { return false; }
  void ShowMessage(const std::string& text) override { std::printf("message: %s\n", text.c_str()); }
  bool AskYesNo(const std::string&) override { return false; }
  void ShowDialog(bool) override {}
  void CloseDialog() override {}
  void SetFlag(uint8_t) override {}
  uint8_t GetFlag() override { return 0; }
};
