#pragma once
// Test double of the progress contract: logs every call and can run a hook where the real
// window would process pending events (SetPosition and Step), to provoke re-entrancy.

#include <functional>
#include <string>
#include <vector>

#include "core/ZR_ProgressBar.h"

class ZR_RecordingProgressBar : public ZR_ProgressBar {
 public:
  std::vector<std::string> calls;
  // Runs inside SetPosition and Step, as the window system's event processing would.
  std::function<void()> onProcessEvents;

  bool visible = false;
  bool plain = true;
  int32_t position = 0;
  int32_t max = 100;
  std::string text;

  bool Has(const std::string& call) const;
  std::vector<std::string> CallsTo(const std::string& slot) const;

  void Show(bool plain) override;
  void SetPosition(int32_t position) override;
  void SetMax(int32_t max) override;
  void SetText(const std::string& text) override;
  void Step(int32_t delta) override;
  void Close() override;
  void Move(int32_t left, int32_t top) override;
  void GetSize(int32_t& width, int32_t& height) override;

 private:
  void ProcessEvents();
};
