#pragma once
// Test double of what the preset engine asks of the manager: logs each request.

#include <string>
#include <vector>

#include "presets/ZR_PresetEditorHost.h"

class ZR_RecordingPresetEditorHost : public ZR_PresetEditorHost {
 public:
  std::vector<std::string> calls;
  void RedrawForPresetEditor(int32_t quality) override {
    calls.push_back("RedrawForPresetEditor(" + std::to_string(quality) + ")");
  }
  void SetRepaintQuality(int32_t quality) override {
    calls.push_back("SetRepaintQuality(" + std::to_string(quality) + ")");
  }
};
