#pragma once
// Test double of the general GUI contract: logs every slot call as "Slot(arg,arg)" and
// answers questions from a script.

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/ZR_VisGui.h"

class ZR_RecordingVisGui : public ZR_VisGui {
 public:
  explicit ZR_RecordingVisGui(int32_t controlCount = 82) : m_nControlCount(controlCount) {}

  // --- The record --------------------------------------------------------------------------
  std::vector<std::string> calls;
  // Answers for AskYesNo, consumed in order; `defaultAnswer` once they run out.
  std::deque<bool> yesNoAnswers;
  bool defaultAnswer = true;
  // Called after each recorded call (for re-entrancy tests).
  std::function<void(const std::string&)> onCall;

  // State the double keeps so that read slots answer what was last set.
  std::map<int32_t, bool> enabled;
  std::map<int32_t, bool> visible;
  std::map<int32_t, int32_t> cursors;

  void Clear() { calls.clear(); }
  bool Has(const std::string& call) const;
  // Index of the first call equal to `call`, or -1.
  int IndexOf(const std::string& call) const;
  // Every call of one slot, e.g. CallsTo("ShowMessage").
  std::vector<std::string> CallsTo(const std::string& slot) const;
  // The texts passed to ShowMessage, in order.
  std::vector<std::string> Messages() const;

  // --- The contract ----------------------------------------------------------------------------
  int32_t GetControlCount() override;
  void SetPanelCursor(int32_t panel, int32_t cursor) override;
  int32_t GetPanelCursor(int32_t panel) override;
  void SetButtonDown(int32_t id, bool down) override;
  void SetToolButtonMarked(int32_t id, bool marked) override;
  void SetChecked(int32_t id, bool checked) override;
  void SetRadioIndex(int32_t id, int32_t index) override;
  void EnableRadioItem(int32_t id, int32_t item, bool on) override;
  void SetPage(int32_t id, int32_t page) override;
  void SetScrollMin(int32_t id, int32_t value) override;
  void SetScrollMax(int32_t id, int32_t value) override;
  void SetScrollPage(int32_t id, int32_t value) override;
  void SetScrollPosition(int32_t id, int32_t value) override;
  void SetNumberMin(int32_t id, int32_t value) override;
  void SetNumberMax(int32_t id, int32_t value) override;
  void SetNumberValue(int32_t id, float value) override;
  void SetEditText(int32_t id, const std::string& text) override;
  void EnableControl(int32_t id, bool on) override;
  void ShowControl(int32_t id, bool show) override;
  bool IsControlVisible(int32_t id) override;
  void SetLabelText(int32_t id, const std::string& text) override;
  bool IsControlEnabled(int32_t id) override;
  void ShowMessage(const std::string& text) override;
  bool AskYesNo(const std::string& question) override;
  void ShowDialog(bool modal) override;
  void CloseDialog() override;
  void SetFlag(uint8_t flag) override;
  uint8_t GetFlag() override;
  ZR_Canvas* GetImageDC(int32_t id) override;
  void RefreshImage(int32_t id) override;
  void SetEngine(ZR_DialogEngine* engine) override;
  void SetMenuChecked(int32_t menu, bool checked) override;
  void EnableMenu(int32_t menu, bool on) override;

  ZR_DialogEngine* engine = nullptr;

 protected:
  void Record(std::string call);

 private:
  int32_t m_nControlCount;
  uint8_t m_nFlag = 0;
};

// Formats one recorded call: Call("SetChecked", 12, false) == "SetChecked(12,false)";
// strings are quoted.
std::string ZR_FormatArg(int32_t value);
std::string ZR_FormatArg(bool value);
std::string ZR_FormatArg(float value);
std::string ZR_FormatArg(double value);
std::string ZR_FormatArg(const std::string& value);
std::string ZR_FormatArg(const char* value);

template <typename... Args>
std::string ZR_Call(const std::string& slot, const Args&... args) {
  std::string text = slot + "(";
  bool first = true;
  ((text += (first ? "" : ","), text += ZR_FormatArg(args), first = false), ...);
  return text + ")";
}
