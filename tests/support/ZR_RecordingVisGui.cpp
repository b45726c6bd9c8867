#include "tests/support/ZR_RecordingVisGui.h"

#include <algorithm>
#include <cstdio>

std::string ZR_FormatArg(int32_t value) { return std::to_string(value); }
std::string ZR_FormatArg(bool value) { return value ? "true" : "false"; }
std::string ZR_FormatArg(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%g", value);
  return buffer;
}
std::string ZR_FormatArg(float value) { return ZR_FormatArg(static_cast<double>(value)); }
std::string ZR_FormatArg(const std::string& value) { return "\"" + value + "\""; }
std::string ZR_FormatArg(const char* value) { return ZR_FormatArg(std::string(value)); }

void ZR_RecordingVisGui::Record(std::string call) {
  calls.push_back(std::move(call));
  if (onCall) onCall(calls.back());
}

bool ZR_RecordingVisGui::Has(const std::string& call) const { return IndexOf(call) >= 0; }

int ZR_RecordingVisGui::IndexOf(const std::string& call) const {
  auto it = std::find(calls.begin(), calls.end(), call);
  return it == calls.end() ? -1 : static_cast<int>(it - calls.begin());
}

std::vector<std::string> ZR_RecordingVisGui::CallsTo(const std::string& slot) const {
  std::vector<std::string> out;
  for (const std::string& c : calls)
    if (c.compare(0, slot.size() + 1, slot + "(") == 0) out.push_back(c);
  return out;
}

std::vector<std::string> ZR_RecordingVisGui::Messages() const {
  std::vector<std::string> out;
  const std::string prefix = "ShowMessage(\"";
  for (const std::string& c : calls)
    if (c.compare(0, prefix.size(), prefix) == 0)
      out.push_back(c.substr(prefix.size(), c.size() - prefix.size() - 2));
  return out;
}

int32_t ZR_RecordingVisGui::GetControlCount() {
  Record(ZR_Call("GetControlCount"));
  return m_nControlCount;
}
void ZR_RecordingVisGui::SetPanelCursor(int32_t panel, int32_t cursor) {
  cursors[panel] = cursor;
  Record(ZR_Call("SetPanelCursor", panel, cursor));
}
int32_t ZR_RecordingVisGui::GetPanelCursor(int32_t panel) {
  Record(ZR_Call("GetPanelCursor", panel));
  auto it = cursors.find(panel);
  return it == cursors.end() ? 10 : it->second;
}
void ZR_RecordingVisGui::SetButtonDown(int32_t id, bool down) {
  Record(ZR_Call("SetButtonDown", id, down));
}
void ZR_RecordingVisGui::SetToolButtonMarked(int32_t id, bool marked) {
  Record(ZR_Call("SetToolButtonMarked", id, marked));
}
void ZR_RecordingVisGui::SetChecked(int32_t id, bool checked) {
  Record(ZR_Call("SetChecked", id, checked));
}
void ZR_RecordingVisGui::SetRadioIndex(int32_t id, int32_t index) {
  Record(ZR_Call("SetRadioIndex", id, index));
}
void ZR_RecordingVisGui::EnableRadioItem(int32_t id, int32_t item, bool on) {
  Record(ZR_Call("EnableRadioItem", id, item, on));
}
void ZR_RecordingVisGui::SetPage(int32_t id, int32_t page) { Record(ZR_Call("SetPage", id, page)); }
void ZR_RecordingVisGui::SetScrollMin(int32_t id, int32_t v) { Record(ZR_Call("SetScrollMin", id, v)); }
void ZR_RecordingVisGui::SetScrollMax(int32_t id, int32_t v) { Record(ZR_Call("SetScrollMax", id, v)); }
void ZR_RecordingVisGui::SetScrollPage(int32_t id, int32_t v) {
  Record(ZR_Call("SetScrollPage", id, v));
}
void ZR_RecordingVisGui::SetScrollPosition(int32_t id, int32_t v) {
  Record(ZR_Call("SetScrollPosition", id, v));
}
void ZR_RecordingVisGui::SetNumberMin(int32_t id, int32_t v) { Record(ZR_Call("SetNumberMin", id, v)); }
void ZR_RecordingVisGui::SetNumberMax(int32_t id, int32_t v) { Record(ZR_Call("SetNumberMax", id, v)); }
void ZR_RecordingVisGui::SetNumberValue(int32_t id, float v) {
  Record(ZR_Call("SetNumberValue", id, v));
}
void ZR_RecordingVisGui::SetEditText(int32_t id, const std::string& text) {
  Record(ZR_Call("SetEditText", id, text));
}
void ZR_RecordingVisGui::EnableControl(int32_t id, bool on) {
  enabled[id] = on;
  Record(ZR_Call("EnableControl", id, on));
}
void ZR_RecordingVisGui::ShowControl(int32_t id, bool show) {
  visible[id] = show;
  Record(ZR_Call("ShowControl", id, show));
}
bool ZR_RecordingVisGui::IsControlVisible(int32_t id) {
  Record(ZR_Call("IsControlVisible", id));
  auto it = visible.find(id);
  return it == visible.end() ? true : it->second;
}
void ZR_RecordingVisGui::SetLabelText(int32_t id, const std::string& text) {
  Record(ZR_Call("SetLabelText", id, text));
}
bool ZR_RecordingVisGui::IsControlEnabled(int32_t id) {
  Record(ZR_Call("IsControlEnabled", id));
  auto it = enabled.find(id);
  return it == enabled.end() ? true : it->second;
}
void ZR_RecordingVisGui::ShowMessage(const std::string& text) { Record(ZR_Call("ShowMessage", text)); }
bool ZR_RecordingVisGui::AskYesNo(const std::string& question) {
  bool answer = defaultAnswer;
  if (!yesNoAnswers.empty()) {
    answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
  }
  Record(ZR_Call("AskYesNo", question));
  return answer;
}
void ZR_RecordingVisGui::ShowDialog(bool modal) { Record(ZR_Call("ShowDialog", modal)); }
void ZR_RecordingVisGui::CloseDialog() { Record(ZR_Call("CloseDialog")); }
void ZR_RecordingVisGui::SetFlag(uint8_t flag) {
  m_nFlag = flag;
  Record(ZR_Call("SetFlag", static_cast<int32_t>(flag)));
}
uint8_t ZR_RecordingVisGui::GetFlag() {
  Record(ZR_Call("GetFlag"));
  return m_nFlag;
}
ZR_Canvas* ZR_RecordingVisGui::GetImageDC(int32_t id) {
  Record(ZR_Call("GetImageDC", id));
  return nullptr;
}
void ZR_RecordingVisGui::RefreshImage(int32_t id) { Record(ZR_Call("RefreshImage", id)); }
void ZR_RecordingVisGui::SetEngine(ZR_DialogEngine* e) {
  engine = e;
  Record(ZR_Call("SetEngine", e != nullptr));
}
void ZR_RecordingVisGui::SetMenuChecked(int32_t menu, bool checked) {
  Record(ZR_Call("SetMenuChecked", menu, checked));
}
void ZR_RecordingVisGui::EnableMenu(int32_t menu, bool on) { Record(ZR_Call("EnableMenu", menu, on)); }
