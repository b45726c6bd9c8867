#include "tests/support/ZR_RecordingSettings.h"

#include <algorithm>

bool ZR_RecordingSettings::Has(const std::string& call) const {
  return std::find(calls.begin(), calls.end(), call) != calls.end();
}

ZR_Vis3DSettings* ZR_RecordingSettings::GetSettings() {
  calls.emplace_back("GetSettings");
  return model;
}

void ZR_RecordingSettings::SetSettings(ZR_Vis3DSettings* settings) {
  calls.emplace_back("SetSettings");
  model = settings;
}

const int32_t* ZR_RecordingSettings::GetChangedItems(int32_t& count) {
  calls.emplace_back("GetChangedItems");
  count = static_cast<int32_t>(changedItems.size());
  return changedItems.data();
}

void ZR_RecordingSettings::RefreshItem(int32_t item) {
  calls.push_back("RefreshItem " + std::to_string(item));
  refreshed.push_back(item);
}

void ZR_RecordingSettings::Show() { calls.emplace_back("Show"); }
void ZR_RecordingSettings::Close() { calls.emplace_back("Close"); }

void ZR_RecordingSettings::MarkChanged() {
  calls.emplace_back("MarkChanged");
  changed = true;
}

void ZR_RecordingSettings::SetSkipThresholdRange(int32_t minimum, int32_t maximum) {
  calls.push_back("SetSkipThresholdRange " + std::to_string(minimum) + " " + std::to_string(maximum));
  skipMinimum = minimum;
  skipMaximum = maximum;
}

bool ZR_RecordingSettings::IsChanged() {
  calls.emplace_back("IsChanged");
  return changed;
}
