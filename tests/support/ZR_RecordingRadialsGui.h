#pragma once
// Test double of the radial MIP dialog's contract: logs every slot call like the general
// double ("SetNumberValue(2,0)"), keeps the control values last set and whether the dialog
// is shown.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/ZR_RadialsGui.h"
#include "output/ZR_RadialsSettings.h"

class ZR_RecordingRadialsGui : public ZR_RadialsGui {
 public:
  // --- The record --------------------------------------------------------------------------
  std::vector<std::string> calls;
  bool visible = false;
  ZR_Radials* radials = nullptr;
  // What the preview slots hand out; tests may point them at their own surfaces.
  ZR_DrawSurface* startFrame = nullptr;
  ZR_DrawSurface* endFrame = nullptr;
  int32_t frameWidth = 128;
  int32_t frameHeight = 128;
  ZR_RadialsSettings record;  // the contract's own record (slot 2)

  // Control values by id, as last set.
  std::map<int32_t, int32_t> scrollMin, scrollMax, scrollPage, scrollPosition;
  std::map<int32_t, int32_t> numberMin, numberMax;
  std::map<int32_t, float> numberValue;

  void Clear() { calls.clear(); }
  bool Has(const std::string& call) const;
  // Every call of one slot, e.g. CallsTo("SetNumberValue").
  std::vector<std::string> CallsTo(const std::string& slot) const;

  // --- The contract ----------------------------------------------------------------------------
  ZR_DrawSurface* GetStartFrameDC() override;
  ZR_DrawSurface* GetEndFrameDC() override;
  ZR_RadialsSettings* GetSettingsRecord() override;
  void GetFramePanelSize(int32_t& width, int32_t& height) override;
  void SetRadials(ZR_Radials* driver) override;
  void Unused5() override;
  void Unused6() override;
  void Unused7() override;
  void Unused8() override;
  void SetScrollMin(int32_t id, int32_t value) override;
  void SetScrollMax(int32_t id, int32_t value) override;
  void SetScrollPage(int32_t id, int32_t value) override;
  void SetScrollPosition(int32_t id, int32_t value) override;
  void SetNumberMin(int32_t id, int32_t value) override;
  void SetNumberMax(int32_t id, int32_t value) override;
  void SetNumberValue(int32_t id, float value) override;
  void Unused16(const std::string& text) override;
  void Unused17() override;
  void Unused18() override;
  void SetVisible(bool show) override;
  void Unused20(const std::string& text) override;
  void Hide() override;
  void Unused22() override;
};
