#include "output/ZR_Radials.h"

#include <algorithm>
#include <cmath>

#include "core/ZR_RadialsGui.h"
#include "output/ZR_RadialsHost.h"
#include "output/ZR_SaveInfo.h"

namespace {
constexpr int32_t kStartMaximum = 180;
constexpr int32_t kStepEditMaximum = ZR_Radials::kAngleLimit - 1;

// Truncation towards zero that forgives the rounding of a float step: 180 / 7 stored as a
// float gives 6.9999998 frames back, and 7 steps of it 179.99999 degrees. The values are
// bounded so that the conversion stays defined for any step the edits let through.
int32_t Whole(double value) {
  constexpr double kTolerance = 1e-4;
  constexpr double kBound = 1e9;
  value = std::clamp(value + (value < 0 ? -kTolerance : kTolerance), -kBound, kBound);
  return static_cast<int32_t>(std::trunc(value));
}
}  // namespace

ZR_Radials::ZR_Radials(ZR_RadialsGui* gui, ZR_RadialsHost* host, bool askForNames)
    : m_pGui(gui), m_pHost(host), m_bAskForNames(askForNames) {
  m_pGui->SetRadials(this);
  m_pGui->SetScrollMin(ZR_RadialsCtl::Scb_AngleRange, 0);
  m_pGui->SetScrollMax(ZR_RadialsCtl::Scb_AngleRange, kAngleLimit);
  const ZR_RadialsSettings& s = m_oSettings;
  m_pGui->SetScrollPage(ZR_RadialsCtl::Scb_AngleRange, Whole(s.nFrames * static_cast<double>(s.fAngleStep)));
  m_pGui->SetScrollPosition(ZR_RadialsCtl::Scb_AngleRange, 0);
  m_pGui->SetNumberMin(ZR_RadialsCtl::Edit_Frames, 1);
  m_pGui->SetNumberMax(ZR_RadialsCtl::Edit_Frames, kFrameLimit);
  m_pGui->SetNumberMin(ZR_RadialsCtl::Edit_AngleStep, 0);
  m_pGui->SetNumberMax(ZR_RadialsCtl::Edit_AngleStep, kStepEditMaximum);
  m_pGui->SetNumberMin(ZR_RadialsCtl::Edit_Start, 0);
  m_pGui->SetNumberMax(ZR_RadialsCtl::Edit_End, kAngleLimit);
  Update(ZR_RadialsEvent::Start);
}

void ZR_Radials::HandleEvent(int32_t event, int32_t value, const ZR_SaveInfo* request) {
  ZR_RadialsSettings& s = m_oSettings;
  switch (event) {
    case ZR_RadialsEvent::Command:
      // Only what the dialog may ask for here; a save always needs its request.
      if (value == ZR_RadialCommand::Preview || value == ZR_RadialCommand::Close)
        m_pHost->RadialCommand(value, nullptr);
      break;
    case ZR_RadialsEvent::Start: SetStart(value); break;
    case ZR_RadialsEvent::End: SetEnd(value); break;
    case ZR_RadialsEvent::AngleStep: SetStep(static_cast<float>(value)); break;
    case ZR_RadialsEvent::Frames: SetFrames(value); break;
    case ZR_RadialsEvent::Scroll: {
      if (s.nEndAngle - s.nStartAngle == kAngleLimit) break;  // a full turn has nowhere to go
      // Both ends move with frames and step kept; the start stops where the end reaches the
      // limit, so that the end edit (maximum kAngleLimit) can show it.
      const int32_t span = Whole(s.nFrames * static_cast<double>(s.fAngleStep));
      s.nStartAngle = std::clamp(value, 0, std::max(0, kAngleLimit - span));
      Update(ZR_RadialsEvent::Scroll);
      break;
    }
    case ZR_RadialsEvent::Store: m_pHost->RadialCommand(ZR_RadialCommand::Store, nullptr); break;
    case ZR_RadialsEvent::Save: {
      const ZR_SaveInfo unnamed;
      m_pHost->RadialCommand(ZR_RadialCommand::Save, request ? request : &unnamed);
      break;
    }
    case ZR_RadialsEvent::Display: m_pHost->RadialCommand(ZR_RadialCommand::Display, nullptr); break;
    case ZR_RadialsEvent::Output:
      if (value == 0 || value == 1) s.nOutput = value;
      break;
    case ZR_RadialsEvent::Axis:
      if (value < 0 || value > 2) break;
      s.nAxis = value;
      Update(0);
      break;
    case ZR_RadialsEvent::FlipX:
      s.bFlipX = value != 0;
      Update(0);
      break;
    case ZR_RadialsEvent::FlipY:
      s.bFlipY = value != 0;
      Update(0);
      break;
    default: break;
  }
}

int32_t ZR_Radials::FramesFor(double range) const {
  return m_oSettings.fAngleStep > 0 ? Whole(range / m_oSettings.fAngleStep) : 0;
}

// The typed angle and the one taken after clamping must both give a frame count within the
// limit: a clamped start could otherwise meet or pass the end.
void ZR_Radials::SetStart(int32_t angle) {
  ZR_RadialsSettings& s = m_oSettings;
  const int32_t taken = std::clamp(angle, 0, kStartMaximum);
  for (int32_t a : {angle, taken}) {
    const int32_t n = FramesFor(static_cast<double>(s.nEndAngle) - a);
    if (n <= 0 || n > kFrameLimit) {
      m_pGui->SetNumberValue(ZR_RadialsCtl::Edit_Start, static_cast<float>(s.nStartAngle));
      return;
    }
  }
  s.nStartAngle = taken;
  Update(ZR_RadialsEvent::Start);
}

void ZR_Radials::SetEnd(int32_t angle) {
  ZR_RadialsSettings& s = m_oSettings;
  const int32_t taken = std::clamp(angle, 0, kAngleLimit);
  for (int32_t a : {angle, taken}) {
    const int32_t n = FramesFor(static_cast<double>(a) - s.nStartAngle);
    if (n <= 0 || n > kFrameLimit) {
      m_pGui->SetNumberValue(ZR_RadialsCtl::Edit_End, static_cast<float>(s.nEndAngle));
      return;
    }
  }
  s.nEndAngle = taken;
  Update(ZR_RadialsEvent::End);
}

void ZR_Radials::SetStep(float step) {
  ZR_RadialsSettings& s = m_oSettings;
  // A step wider than the range still gives one frame (Update makes it the range); one so
  // fine that the range would take more frames than the limit is refused like the angles.
  const bool inRange = step > 0 && step < kAngleLimit;
  if (!inRange || Whole((static_cast<double>(s.nEndAngle) - s.nStartAngle) / step) > kFrameLimit) {
    m_pGui->SetNumberValue(ZR_RadialsCtl::Edit_AngleStep, s.fAngleStep);
    return;
  }
  s.fAngleStep = step;
  Update(ZR_RadialsEvent::AngleStep);
}

void ZR_Radials::SetFrames(int32_t frames) {
  if (frames < 1 || frames > kFrameLimit) {
    m_pGui->SetNumberValue(ZR_RadialsCtl::Edit_Frames, static_cast<float>(m_oSettings.nFrames));
    return;
  }
  m_oSettings.nFrames = frames;
  Update(ZR_RadialsEvent::Frames);
}

// The edits never leave the record outside the invariants, but the manager holds the record
// too; a broken one must not reach the divisions below.
void ZR_Radials::Repair() {
  ZR_RadialsSettings& s = m_oSettings;
  s.nFrames = std::clamp(s.nFrames, 1, kFrameLimit);
  if (s.nEndAngle <= s.nStartAngle) s.nEndAngle = s.nStartAngle + 1;
  if (!(s.fAngleStep > 0) || !std::isfinite(s.fAngleStep))
    s.fAngleStep = static_cast<float>(static_cast<double>(s.nEndAngle) - s.nStartAngle) / static_cast<float>(s.nFrames);
}

void ZR_Radials::Update(int32_t kind) {
  Repair();
  ZR_RadialsSettings& s = m_oSettings;
  const double range = static_cast<double>(s.nEndAngle) - s.nStartAngle;
  switch (kind) {
    case ZR_RadialsEvent::Start:
    case ZR_RadialsEvent::End:
    case ZR_RadialsEvent::AngleStep: {
      const int32_t n = FramesFor(range);
      if (n <= 0) {
        s.nFrames = 1;
        s.fAngleStep = static_cast<float>(range);
      } else if (n > kFrameLimit) {
        s.nFrames = kFrameLimit;
        s.fAngleStep = static_cast<float>(range / kFrameLimit);
      } else {
        s.nFrames = n;
      }
      break;
    }
    case ZR_RadialsEvent::Frames: s.fAngleStep = static_cast<float>(range / s.nFrames); break;
    case ZR_RadialsEvent::Scroll:
      s.nEndAngle = Whole(s.nStartAngle + s.nFrames * static_cast<double>(s.fAngleStep));
      break;
    default: break;
  }

  // The limits follow the values about to be shown.
  const int32_t span = Whole(s.nFrames * static_cast<double>(s.fAngleStep));
  m_pGui->SetNumberMax(ZR_RadialsCtl::Edit_Start, std::max(0, kAngleLimit - span));
  m_pGui->SetNumberMin(ZR_RadialsCtl::Edit_End, s.nStartAngle + 1);
  m_pGui->SetNumberValue(ZR_RadialsCtl::Edit_Start, static_cast<float>(s.nStartAngle));
  m_pGui->SetNumberValue(ZR_RadialsCtl::Edit_End, static_cast<float>(s.nEndAngle));
  m_pGui->SetNumberValue(ZR_RadialsCtl::Edit_AngleStep, s.fAngleStep);
  m_pGui->SetNumberValue(ZR_RadialsCtl::Edit_Frames, static_cast<float>(s.nFrames));
  m_pGui->SetScrollPage(ZR_RadialsCtl::Scb_AngleRange, span);
  m_pGui->SetScrollPosition(ZR_RadialsCtl::Scb_AngleRange, s.nStartAngle);

  if (m_bUpdated) m_pHost->RadialCommand(ZR_RadialCommand::Preview, nullptr);
  m_bUpdated = true;
}
