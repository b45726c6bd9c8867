#pragma once
// The radial MIP dialog as the radials driver sees it. The order of the virtual operations is
// fixed (the slot table windowing implementations and doubles follow); its slot positions
// mirror those of the general contract (ZR_VisGui), so slots 9..15 address the dialog's
// controls by number the same way. Slots with an empty body are not used by the dialog.

#include <cstdint>
#include <string>

class ZR_DrawSurface;
class ZR_Radials;
struct ZR_RadialsSettings;

class ZR_RadialsGui {
 public:
  // The two preview panels; the manager draws into them as panels 10 and 11.
  virtual ZR_DrawSurface* GetStartFrameDC() = 0;                          // 0
  virtual ZR_DrawSurface* GetEndFrameDC() = 0;                            // 1
  // A record owned by the contract; the driver keeps its own.
  virtual ZR_RadialsSettings* GetSettingsRecord() = 0;                    // 2
  // Size of the start panel; both previews are drawn at it.
  virtual void GetFramePanelSize(int32_t& width, int32_t& height) = 0;    // 3
  virtual void SetRadials(ZR_Radials* radials) = 0;                       // 4
  virtual void Unused5() {}                                               // 5
  virtual void Unused6() {}                                               // 6
  virtual void Unused7() {}                                               // 7
  virtual void Unused8() {}                                               // 8
  virtual void SetScrollMin(int32_t id, int32_t value) = 0;               // 9
  virtual void SetScrollMax(int32_t id, int32_t value) = 0;               // 10
  virtual void SetScrollPage(int32_t id, int32_t value) = 0;              // 11
  virtual void SetScrollPosition(int32_t id, int32_t value) = 0;          // 12
  virtual void SetNumberMin(int32_t id, int32_t value) = 0;               // 13
  virtual void SetNumberMax(int32_t id, int32_t value) = 0;               // 14
  virtual void SetNumberValue(int32_t id, float value) = 0;               // 15
  virtual void Unused16(const std::string& text) {}                       // 16
  virtual void Unused17() {}                                              // 17
  virtual void Unused18() {}                                              // 18
  virtual void SetVisible(bool visible) = 0;                              // 19
  virtual void Unused20(const std::string& text) {}                       // 20
  virtual void Hide() = 0;                                                // 21
  virtual void Unused22() {}                                              // 22
  virtual ~ZR_RadialsGui() = default;

 protected:
  ZR_RadialsGui() = default;
  ZR_RadialsGui(const ZR_RadialsGui&) = delete;
  ZR_RadialsGui& operator=(const ZR_RadialsGui&) = delete;
};
