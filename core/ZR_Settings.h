#pragma once
// The settings service: the one settings model and the dialog that edits it. The engine
// reaches both only through this contract; the order of the operations is fixed (the slot
// table that the window's implementation and the recording double follow).

#include <cstdint>

class ZR_Vis3DSettings;

class ZR_Settings {
 public:
  virtual ~ZR_Settings() = default;                                            // 0
  virtual ZR_Vis3DSettings* GetSettings() = 0;                                 // 1
  virtual void SetSettings(ZR_Vis3DSettings* settings) = 0;                    // 2
  // The setting items the dialog found changed when it closed; `count` of them.
  virtual const int32_t* GetChangedItems(int32_t& count) = 0;                  // 3
  // Shows the model's value of an item the engine changed itself.
  virtual void RefreshItem(int32_t item) = 0;                                  // 4
  virtual void Show() = 0;                                                     // 5
  virtual void Close() = 0;                                                    // 6
  // Something changed during the run: the model is offered for saving at the end.
  virtual void MarkChanged() = 0;                                              // 7
  virtual void SetSkipThresholdRange(int32_t minimum, int32_t maximum) = 0;    // 8
  virtual bool IsChanged() = 0;                                                // 9

 protected:
  ZR_Settings() = default;
  ZR_Settings(const ZR_Settings&) = delete;
  ZR_Settings& operator=(const ZR_Settings&) = delete;
};
