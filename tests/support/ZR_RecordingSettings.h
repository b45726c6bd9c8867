#pragma once
// Test double of the settings contract: logs every call, serves the model it is given and a
// changed-items list the test fills, and keeps the changed flag.

#include <cstdint>
#include <string>
#include <vector>

#include "core/ZR_Settings.h"

class ZR_RecordingSettings : public ZR_Settings {
 public:
  std::vector<std::string> calls;
  ZR_Vis3DSettings* model = nullptr;
  std::vector<int32_t> changedItems;
  std::vector<int32_t> refreshed;
  bool changed = false;
  int32_t skipMinimum = 0;
  int32_t skipMaximum = 0;

  bool Has(const std::string& call) const;

  ZR_Vis3DSettings* GetSettings() override;
  void SetSettings(ZR_Vis3DSettings* settings) override;
  const int32_t* GetChangedItems(int32_t& count) override;
  void RefreshItem(int32_t item) override;
  void Show() override;
  void Close() override;
  void MarkChanged() override;
  void SetSkipThresholdRange(int32_t minimum, int32_t maximum) override;
  bool IsChanged() override;
};
