#pragma once
// The settings service of the window: owns the one settings model (read from the settings
// file when it is made) and keeps whether anything changed during the run, which decides
// whether "Save Settings ?" is asked at the end. The "Options" dialog is not there yet:
// showing it, refreshing its controls and its changed list do nothing.

#include <memory>
#include <string>

#include "core/ZR_Settings.h"
#include "settings/ZR_Vis3DSettings.h"

class ZR_BcSettings : public ZR_Settings {
 public:
  explicit ZR_BcSettings(const std::string& fileName);
  ~ZR_BcSettings() override;

  ZR_Vis3DSettings* GetSettings() override { return m_pLive; }
  void SetSettings(ZR_Vis3DSettings* settings) override { m_pLive = settings; }
  const int32_t* GetChangedItems(int32_t& count) override;
  void RefreshItem(int32_t item) override;
  void Show() override;
  void Close() override;
  void MarkChanged() override { m_bChanged = true; }
  void SetSkipThresholdRange(int32_t minimum, int32_t maximum) override;
  bool IsChanged() override { return m_bChanged; }

  // Writes the model to its file; false when it cannot be written (the old file stays).
  [[nodiscard]] bool Save() const;
  // After a save the run's changes are in the file.
  void ClearChanged() { m_bChanged = false; }
  ZR_Vis3DSettings& Model() { return *m_pModel; }

 private:
  std::unique_ptr<ZR_Vis3DSettings> m_pModel;
  ZR_Vis3DSettings* m_pLive;
  bool m_bChanged = false;
};
