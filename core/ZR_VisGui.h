#pragma once
// The general GUI contract: the engine addresses controls, menus and panels by number and
// never touches a window. The order of the virtual operations is fixed (it is the slot table
// that windowing implementations and recording doubles follow).

#include <cstdint>
#include <string>

class ZR_Canvas;
class ZR_DialogEngine;

class ZR_VisGui {
 public:
  virtual int32_t GetControlCount() = 0;                                // 0
  virtual void SetPanelCursor(int32_t panel, int32_t cursor) = 0;       // 1
  virtual int32_t GetPanelCursor(int32_t panel) = 0;                    // 2
  virtual void SetButtonDown(int32_t id, bool down) = 0;                // 3
  virtual void SetToolButtonMarked(int32_t id, bool marked) = 0;        // 4
  virtual void SetChecked(int32_t id, bool checked) = 0;                // 5
  virtual void SetRadioIndex(int32_t id, int32_t index) = 0;            // 6
  virtual void EnableRadioItem(int32_t id, int32_t item, bool on) = 0;  // 7
  virtual void SetPage(int32_t id, int32_t page) = 0;                   // 8
  virtual void SetScrollMin(int32_t id, int32_t value) = 0;             // 9
  virtual void SetScrollMax(int32_t id, int32_t value) = 0;             // 10
  virtual void SetScrollPage(int32_t id, int32_t value) = 0;            // 11
  virtual void SetScrollPosition(int32_t id, int32_t value) = 0;        // 12
  virtual void SetNumberMin(int32_t id, int32_t value) = 0;             // 13
  virtual void SetNumberMax(int32_t id, int32_t value) = 0;             // 14
  virtual void SetNumberValue(int32_t id, float value) = 0;             // 15
  virtual void SetEditText(int32_t id, const std::string& text) = 0;    // 16
  virtual void EnableControl(int32_t id, bool on) = 0;                  // 17
  virtual void ShowControl(int32_t id, bool visible) = 0;               // 18
  virtual bool IsControlVisible(int32_t id) = 0;                        // 19
  virtual void SetLabelText(int32_t id, const std::string& text) = 0;   // 20
  virtual bool IsControlEnabled(int32_t id) = 0;                        // 21
  virtual void ShowMessage(const std::string& text) = 0;                // 22
  virtual bool AskYesNo(const std::string& question) = 0;               // 23
  virtual void ShowDialog(bool modal) = 0;                              // 24
  virtual void CloseDialog() = 0;                                       // 25
  virtual void SetFlag(uint8_t flag) = 0;                               // 26
  virtual uint8_t GetFlag() = 0;                                        // 27
  // Dialog hooks; nothing in the general contract.
  virtual ZR_Canvas* GetImageDC(int32_t id) { return nullptr; }         // 28
  virtual void RefreshImage(int32_t id) {}                              // 29
  virtual void SetEngine(ZR_DialogEngine* engine) {}                    // 30
  virtual void SetMenuChecked(int32_t menu, bool checked) {}            // 31
  virtual void EnableMenu(int32_t menu, bool on) {}                     // 32
  virtual ~ZR_VisGui() = default;                                       // 33

 protected:
  ZR_VisGui() = default;
  ZR_VisGui(const ZR_VisGui&) = delete;
  ZR_VisGui& operator=(const ZR_VisGui&) = delete;
};
