#include "tests/support/ZR_RecordingPresetEditorGui.h"

#include <algorithm>

#include "tests/support/ZR_RecordingVisGui.h"

namespace {
template <typename T>
std::string List(const T* values, int32_t count) {
  std::string text;
  for (int32_t i = 0; i < count; ++i)
    text += (i ? " " : "") + ZR_FormatArg(static_cast<int32_t>(values[i]));
  return "[" + text + "]";
}
}  // namespace

void ZR_RecordingPresetEditorGui::Record(std::string call) {
  calls.push_back(std::move(call));
  if (onCall) onCall(calls.back());
}

bool ZR_RecordingPresetEditorGui::Has(const std::string& call) const {
  return std::find(calls.begin(), calls.end(), call) != calls.end();
}

std::vector<std::string> ZR_RecordingPresetEditorGui::CallsTo(const std::string& slot) const {
  std::vector<std::string> out;
  for (const std::string& c : calls)
    if (c.compare(0, slot.size() + 1, slot + "(") == 0) out.push_back(c);
  return out;
}

void ZR_RecordingPresetEditorGui::ShowMode(int32_t windowMode) {
  mode = windowMode;
  Record(ZR_Call("ShowMode", windowMode));
}
void ZR_RecordingPresetEditorGui::SetHistogram(int32_t bandCount, const int32_t* bins,
                                               int32_t extent, uint32_t maximum) {
  histogram.assign(bins, bins + std::max(extent, 0));
  histogramMaximum = maximum;
  Record(ZR_Call("SetHistogram", bandCount, extent, static_cast<double>(maximum)));
}
void ZR_RecordingPresetEditorGui::SetBinColours(const uint8_t* rgb) {
  binColours = rgb;
  Record(ZR_Call("SetBinColours"));
}
void ZR_RecordingPresetEditorGui::SetBandColours(const uint8_t colours[kBandCount][4]) {
  std::copy_n(&colours[0][0], kBandCount * 4, &bandColours[0][0]);
  Record("SetBandColours(" + List(&colours[0][0], kBandCount * 4) + ")");
}
void ZR_RecordingPresetEditorGui::DrawBands(const int32_t edgeX[kEdgeCount],
                                            const ZR_ChartPoint points[kPointCount]) {
  int32_t xy[kPointCount * 2];
  for (int32_t i = 0; i < kPointCount; ++i) {
    xy[2 * i] = points[i].x;
    xy[2 * i + 1] = points[i].y;
  }
  Record("DrawBands(" + List(edgeX, kEdgeCount) + "," + List(xy, kPointCount * 2) + ")");
}
void ZR_RecordingPresetEditorGui::DrawOpacityRamp(int32_t xLow, int32_t yLow, int32_t xHigh,
                                                  int32_t yHigh) {
  Record(ZR_Call("DrawOpacityRamp", xLow, yLow, xHigh, yHigh));
}
void ZR_RecordingPresetEditorGui::GetChartSize(int32_t& width, int32_t& height) {
  width = chartWidth;
  height = chartHeight;
  Record(ZR_Call("GetChartSize"));
}
void ZR_RecordingPresetEditorGui::GetChartOrigin(int32_t& left, int32_t& top) {
  left = 8;
  top = 8;
  Record(ZR_Call("GetChartOrigin"));
}
void ZR_RecordingPresetEditorGui::DrawWindowMarkers(float indexLow, float indexHigh) {
  Record(ZR_Call("DrawWindowMarkers", indexLow, indexHigh));
}
void ZR_RecordingPresetEditorGui::ApplyBinColours() { Record(ZR_Call("ApplyBinColours")); }
void ZR_RecordingPresetEditorGui::ClearListSelection() { Record(ZR_Call("ClearListSelection")); }
void ZR_RecordingPresetEditorGui::SetListDirectories(const std::string& preset,
                                                     const std::string& user) {
  presetDir = preset;
  userDir = user;
  Record(ZR_Call("SetListDirectories", preset, user));
}
void ZR_RecordingPresetEditorGui::StoreBasePath(const std::string& path) {
  basePath = path;
  Record(ZR_Call("StoreBasePath", path));
}
void ZR_RecordingPresetEditorGui::Unused13() { Record(ZR_Call("Unused13")); }
void ZR_RecordingPresetEditorGui::SetChecked(int32_t control, bool on) {
  checked[control] = on;
  Record(ZR_Call("SetChecked", control, on));
}
void ZR_RecordingPresetEditorGui::Unused15() { Record(ZR_Call("Unused15")); }
void ZR_RecordingPresetEditorGui::Unused16() { Record(ZR_Call("Unused16")); }
void ZR_RecordingPresetEditorGui::Unused17() { Record(ZR_Call("Unused17")); }
void ZR_RecordingPresetEditorGui::Unused18() { Record(ZR_Call("Unused18")); }
void ZR_RecordingPresetEditorGui::Unused19() { Record(ZR_Call("Unused19")); }
void ZR_RecordingPresetEditorGui::Unused20() { Record(ZR_Call("Unused20")); }
void ZR_RecordingPresetEditorGui::SetNumberMin(int32_t control, int32_t value) {
  numberMins[control] = value;
  Record(ZR_Call("SetNumberMin", control, value));
}
void ZR_RecordingPresetEditorGui::SetNumberMax(int32_t control, int32_t value) {
  numberMaxes[control] = value;
  Record(ZR_Call("SetNumberMax", control, value));
}
void ZR_RecordingPresetEditorGui::SetNumberValue(int32_t control, float value) {
  numberValues[control] = value;
  Record(ZR_Call("SetNumberValue", control, value));
}
void ZR_RecordingPresetEditorGui::Unused24(const std::string& text) {
  Record(ZR_Call("Unused24", text));
}
void ZR_RecordingPresetEditorGui::EnableControl(int32_t control, bool on) {
  enabled[control] = on;
  Record(ZR_Call("EnableControl", control, on));
}
void ZR_RecordingPresetEditorGui::ShowControl(int32_t control, bool show) {
  shown[control] = show;
  Record(ZR_Call("ShowControl", control, show));
}
void ZR_RecordingPresetEditorGui::ShowEditor(bool show) {
  visible = show;
  Record(ZR_Call("ShowEditor", show));
}
void ZR_RecordingPresetEditorGui::Unused28(const std::string& text) {
  Record(ZR_Call("Unused28", text));
}
void ZR_RecordingPresetEditorGui::CloseEditor() {
  visible = false;
  Record(ZR_Call("CloseEditor"));
}
void ZR_RecordingPresetEditorGui::Unused30() { Record(ZR_Call("Unused30")); }
void ZR_RecordingPresetEditorGui::AttachEngine(ZR_PresetEditor* attached) {
  engine = attached;
  Record(ZR_Call("AttachEngine"));
}
bool ZR_RecordingPresetEditorGui::IsVisible() {
  Record(ZR_Call("IsVisible"));
  return visible;
}
