#include "tests/support/ZR_RecordingRadialsGui.h"

#include <algorithm>

#include "tests/support/ZR_RecordingVisGui.h"

bool ZR_RecordingRadialsGui::Has(const std::string& call) const {
  return std::find(calls.begin(), calls.end(), call) != calls.end();
}

std::vector<std::string> ZR_RecordingRadialsGui::CallsTo(const std::string& slot) const {
  std::vector<std::string> out;
  for (const std::string& c : calls)
    if (c.compare(0, slot.size() + 1, slot + "(") == 0) out.push_back(c);
  return out;
}

ZR_DrawSurface* ZR_RecordingRadialsGui::GetStartFrameDC() {
  calls.push_back(ZR_Call("GetStartFrameDC"));
  return startFrame;
}
ZR_DrawSurface* ZR_RecordingRadialsGui::GetEndFrameDC() {
  calls.push_back(ZR_Call("GetEndFrameDC"));
  return endFrame;
}
ZR_RadialsSettings* ZR_RecordingRadialsGui::GetSettingsRecord() {
  calls.push_back(ZR_Call("GetSettingsRecord"));
  return &record;
}
void ZR_RecordingRadialsGui::GetFramePanelSize(int32_t& width, int32_t& height) {
  calls.push_back(ZR_Call("GetFramePanelSize"));
  width = frameWidth;
  height = frameHeight;
}
void ZR_RecordingRadialsGui::SetRadials(ZR_Radials* driver) {
  radials = driver;
  calls.push_back(ZR_Call("SetRadials", driver != nullptr));
}
void ZR_RecordingRadialsGui::Unused5() { calls.push_back(ZR_Call("Unused5")); }
void ZR_RecordingRadialsGui::Unused6() { calls.push_back(ZR_Call("Unused6")); }
void ZR_RecordingRadialsGui::Unused7() { calls.push_back(ZR_Call("Unused7")); }
void ZR_RecordingRadialsGui::Unused8() { calls.push_back(ZR_Call("Unused8")); }
void ZR_RecordingRadialsGui::SetScrollMin(int32_t id, int32_t v) {
  scrollMin[id] = v;
  calls.push_back(ZR_Call("SetScrollMin", id, v));
}
void ZR_RecordingRadialsGui::SetScrollMax(int32_t id, int32_t v) {
  scrollMax[id] = v;
  calls.push_back(ZR_Call("SetScrollMax", id, v));
}
void ZR_RecordingRadialsGui::SetScrollPage(int32_t id, int32_t v) {
  scrollPage[id] = v;
  calls.push_back(ZR_Call("SetScrollPage", id, v));
}
void ZR_RecordingRadialsGui::SetScrollPosition(int32_t id, int32_t v) {
  scrollPosition[id] = v;
  calls.push_back(ZR_Call("SetScrollPosition", id, v));
}
void ZR_RecordingRadialsGui::SetNumberMin(int32_t id, int32_t v) {
  numberMin[id] = v;
  calls.push_back(ZR_Call("SetNumberMin", id, v));
}
void ZR_RecordingRadialsGui::SetNumberMax(int32_t id, int32_t v) {
  numberMax[id] = v;
  calls.push_back(ZR_Call("SetNumberMax", id, v));
}
void ZR_RecordingRadialsGui::SetNumberValue(int32_t id, float v) {
  numberValue[id] = v;
  calls.push_back(ZR_Call("SetNumberValue", id, v));
}
void ZR_RecordingRadialsGui::Unused16(const std::string& text) { calls.push_back(ZR_Call("Unused16", text)); }
void ZR_RecordingRadialsGui::Unused17() { calls.push_back(ZR_Call("Unused17")); }
void ZR_RecordingRadialsGui::Unused18() { calls.push_back(ZR_Call("Unused18")); }
void ZR_RecordingRadialsGui::SetVisible(bool show) {
  visible = show;
  calls.push_back(ZR_Call("SetVisible", show));
}
void ZR_RecordingRadialsGui::Unused20(const std::string& text) { calls.push_back(ZR_Call("Unused20", text)); }
void ZR_RecordingRadialsGui::Hide() {
  visible = false;
  calls.push_back(ZR_Call("Hide"));
}
void ZR_RecordingRadialsGui::Unused22() { calls.push_back(ZR_Call("Unused22")); }
