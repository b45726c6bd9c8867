#pragma once
// The radial MIP dialog's engine: keeps start angle, end angle, angle step and frame count
// consistent with each other, shows them in the dialog and asks the manager for previews,
// playback and captures. It never renders; the manager does, through ZR_RadialsHost.
//
// Invariants after every operation: 1 <= frames <= kFrameLimit, angle step > 0,
// start angle < end angle.

#include <cstdint>

#include "core/ZR_DialogEngine.h"
#include "output/ZR_RadialsSettings.h"

class ZR_RadialsGui;
class ZR_RadialsHost;
struct ZR_SaveInfo;

// Numbers under which the dialog registers its controls.
namespace ZR_RadialsCtl {
enum : int32_t {
  Edit_Start = 2,
  Edit_End = 3,
  Edit_AngleStep = 4,
  Edit_Frames = 5,
  Scb_AngleRange = 6,
  Btn_Store = 7,
  Btn_Save = 8,
  Btn_Display = 9,
  Rg_Output = 10,
  Rg_Axis = 11,
  SBtn_FlipX = 12,
  SBtn_FlipY = 13,
};
}  // namespace ZR_RadialsCtl

// The events the dialog sends to HandleEvent; an edit's or a control's event carries its id.
namespace ZR_RadialsEvent {
enum : int32_t {
  Command = 1,  // value 0: shown or a preview panel painted; value 3: "Close"
  Start = ZR_RadialsCtl::Edit_Start,
  End = ZR_RadialsCtl::Edit_End,
  AngleStep = ZR_RadialsCtl::Edit_AngleStep,
  Frames = ZR_RadialsCtl::Edit_Frames,
  Scroll = ZR_RadialsCtl::Scb_AngleRange,
  Store = ZR_RadialsCtl::Btn_Store,
  Save = ZR_RadialsCtl::Btn_Save,
  Display = ZR_RadialsCtl::Btn_Display,
  Output = ZR_RadialsCtl::Rg_Output,
  Axis = ZR_RadialsCtl::Rg_Axis,
  FlipX = ZR_RadialsCtl::SBtn_FlipX,
  FlipY = ZR_RadialsCtl::SBtn_FlipY,
};
}  // namespace ZR_RadialsEvent

class ZR_Radials : public ZR_DialogEngine {
 public:
  static constexpr int32_t kAngleLimit = 360;
  static constexpr int32_t kFrameLimit = 360;

  // Neither is owned; both must outlive the driver's use of them (the driver's destructor
  // touches neither). Gives the dialog its driver, sets the control ranges and shows the
  // defaults, without asking for a preview.
  ZR_Radials(ZR_RadialsGui* gui, ZR_RadialsHost* host, bool askForNames);
  ~ZR_Radials() override = default;
  ZR_Radials(const ZR_Radials&) = delete;
  ZR_Radials& operator=(const ZR_Radials&) = delete;

  // The dialog's only entry. `value` is the edit's number truncated to a whole number, the
  // scroll position, the radio item or the button state (non-zero: down). `request` is used by
  // ZR_RadialsEvent::Save only; without one the save goes out with an empty file name (the
  // manager then names the files itself). Unknown events and values are ignored.
  void HandleEvent(int32_t event, int32_t value, const ZR_SaveInfo* request = nullptr);

  // Parameter edits. A value that would give no frame or more than kFrameLimit frames is
  // refused: the settings stay and the edit shows the previous value again.
  void SetStart(int32_t angle);  // taken clamped to 0..180
  void SetEnd(int32_t angle);    // taken clamped to 0..kAngleLimit
  void SetStep(float step);      // must lie strictly between 0 and kAngleLimit
  void SetFrames(int32_t frames);

  // Derives the dependent values from the one that changed (kind: the event number of the
  // edit, 2 start, 3 end, 4 step, 5 frames, 6 scroll; any other kind derives nothing), shows
  // all four and the scroll bar, and asks for a preview except on the first call. Values
  // written into Settings() from outside are brought back within the invariants first.
  void Update(int32_t kind);

  ZR_RadialsSettings* Settings() { return &m_oSettings; }
  const ZR_RadialsSettings& Settings() const { return m_oSettings; }
  // The dialog asks for file names on "Save" only when set (the manager's save-to-folder
  // flag off).
  bool AskForNames() const { return m_bAskForNames; }
  void SetAskForNames(bool ask) { m_bAskForNames = ask; }

 private:
  // Frames a range gives at the current step: ranges and steps are whole numbers or quotients
  // of them, which a float step does not always give back exactly.
  int32_t FramesFor(double range) const;
  void Repair();

  ZR_RadialsSettings m_oSettings;
  ZR_RadialsGui* m_pGui;
  ZR_RadialsHost* m_pHost;
  bool m_bAskForNames;
  bool m_bUpdated = false;  // the first Update (at construction) asks for no preview
};
