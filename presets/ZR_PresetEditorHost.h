#pragma once
// What the preset engine asks of the visualization manager: redraws after the transfer
// function changed. The engine never depends on the manager itself.

#include <cstdint>

class ZR_PresetEditorHost {
 public:
  // Quality levels of a redraw.
  static constexpr int32_t kComplete = 0;     // full quality, e.g. after a mouse release
  static constexpr int32_t kInteractive = 3;  // while the user drags or types

  // The tables changed: upload the active one and redraw the affected panels.
  virtual void RedrawForPresetEditor(int32_t quality) = 0;
  // The quality of the next repaint from the window system.
  virtual void SetRepaintQuality(int32_t quality) = 0;
  virtual ~ZR_PresetEditorHost() = default;

 protected:
  ZR_PresetEditorHost() = default;
  ZR_PresetEditorHost(const ZR_PresetEditorHost&) = delete;
  ZR_PresetEditorHost& operator=(const ZR_PresetEditorHost&) = delete;
};
