#include "tests/support/ZR_RecordingProgressBar.h"

#include <algorithm>

#include "tests/support/ZR_RecordingVisGui.h"

bool ZR_RecordingProgressBar::Has(const std::string& call) const {
  return std::find(calls.begin(), calls.end(), call) != calls.end();
}

std::vector<std::string> ZR_RecordingProgressBar::CallsTo(const std::string& slot) const {
  std::vector<std::string> out;
  for (const std::string& c : calls)
    if (c.compare(0, slot.size() + 1, slot + "(") == 0) out.push_back(c);
  return out;
}

void ZR_RecordingProgressBar::ProcessEvents() {
  if (onProcessEvents) onProcessEvents();
}

void ZR_RecordingProgressBar::Show(bool isPlain) {
  plain = isPlain;
  visible = true;
  position = 0;
  calls.push_back(ZR_Call("Show", isPlain));
}
void ZR_RecordingProgressBar::SetPosition(int32_t p) {
  position = p;
  calls.push_back(ZR_Call("SetPosition", p));
  ProcessEvents();
}
void ZR_RecordingProgressBar::SetMax(int32_t m) {
  max = m;
  calls.push_back(ZR_Call("SetMax", m));
}
void ZR_RecordingProgressBar::SetText(const std::string& t) {
  text = t;
  calls.push_back(ZR_Call("SetText", t));
}
void ZR_RecordingProgressBar::Step(int32_t delta) {
  position += delta;
  calls.push_back(ZR_Call("Step", delta));
  ProcessEvents();
}
void ZR_RecordingProgressBar::Close() {
  visible = false;
  calls.push_back(ZR_Call("Close"));
}
void ZR_RecordingProgressBar::Move(int32_t left, int32_t top) {
  calls.push_back(ZR_Call("Move", left, top));
}
void ZR_RecordingProgressBar::GetSize(int32_t& width, int32_t& height) {
  width = 450;
  height = 130;
  calls.push_back(ZR_Call("GetSize"));
}
