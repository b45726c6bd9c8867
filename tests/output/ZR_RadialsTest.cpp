// The radial series driver: start, end, step and frames kept consistent through the dialog's
// edits, the refusals, the angle-range scroll bar and what reaches the manager.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "output/ZR_Radials.h"
#include "output/ZR_RadialsHost.h"
#include "output/ZR_SaveInfo.h"
#include "tests/support/ZR_RecordingRadialsGui.h"
#include "tests/support/ZR_RecordingVisGui.h"

namespace {
namespace Ctl = ZR_RadialsCtl;
namespace Ev = ZR_RadialsEvent;

class RecordingHost : public ZR_RadialsHost {
 public:
  struct Call {
    int32_t command;
    bool hasRequest;
    std::string fileName;
    int32_t writeMode;
  };
  std::vector<Call> calls;
  void RadialCommand(int32_t command, const ZR_SaveInfo* request) override {
    calls.push_back(
        {command, request != nullptr, request ? request->sFileName : "", request ? request->nWriteMode : -1});
  }
};

struct Dialog {
  ZR_RecordingRadialsGui gui;
  RecordingHost host;
  ZR_Radials radials{&gui, &host, true};

  const ZR_RadialsSettings& s() const { return radials.Settings(); }
  void Clear() {
    gui.Clear();
    host.calls.clear();
  }
};

// The invariants every operation keeps, and the edits showing the record.
void ExpectConsistent(const Dialog& d, const std::string& where) {
  SCOPED_TRACE(where);
  const ZR_RadialsSettings& s = d.s();
  EXPECT_GE(s.nFrames, 1);
  EXPECT_LE(s.nFrames, ZR_Radials::kFrameLimit);
  EXPECT_TRUE(std::isfinite(s.fAngleStep));
  EXPECT_GT(s.fAngleStep, 0.0f);
  EXPECT_LT(s.nStartAngle, s.nEndAngle);
  EXPECT_GE(s.nStartAngle, 0);
  EXPECT_LE(s.nEndAngle, ZR_Radials::kAngleLimit);
  EXPECT_EQ(d.gui.numberValue.at(Ctl::Edit_Start), s.nStartAngle);
  EXPECT_EQ(d.gui.numberValue.at(Ctl::Edit_End), s.nEndAngle);
  EXPECT_EQ(d.gui.numberValue.at(Ctl::Edit_AngleStep), s.fAngleStep);
  EXPECT_EQ(d.gui.numberValue.at(Ctl::Edit_Frames), s.nFrames);
  EXPECT_EQ(d.gui.scrollPosition.at(Ctl::Scb_AngleRange), s.nStartAngle);
}

TEST(Radials, ConstructionShowsTheDefaultsAndSetsTheRangesWithoutAPreview) {
  Dialog d;
  EXPECT_EQ(d.gui.radials, &d.radials);
  EXPECT_EQ(d.gui.calls.front(), "SetRadials(true)");
  EXPECT_TRUE(d.host.calls.empty());
  EXPECT_TRUE(d.radials.AskForNames());

  EXPECT_EQ(d.gui.numberValue[Ctl::Edit_Start], 0.0f);
  EXPECT_EQ(d.gui.numberValue[Ctl::Edit_End], 180.0f);
  EXPECT_EQ(d.gui.numberValue[Ctl::Edit_AngleStep], 6.0f);
  EXPECT_EQ(d.gui.numberValue[Ctl::Edit_Frames], 30.0f);
  const ZR_RadialsSettings& s = d.s();
  EXPECT_EQ(s.nAxis, 2);
  EXPECT_FALSE(s.bFlipX);
  EXPECT_FALSE(s.bFlipY);
  EXPECT_EQ(s.nOutput, 0);

  EXPECT_EQ(d.gui.scrollMin[Ctl::Scb_AngleRange], 0);
  EXPECT_EQ(d.gui.scrollMax[Ctl::Scb_AngleRange], 360);
  EXPECT_EQ(d.gui.scrollPage[Ctl::Scb_AngleRange], 180);
  EXPECT_EQ(d.gui.scrollPosition[Ctl::Scb_AngleRange], 0);
  EXPECT_EQ(d.gui.numberMin[Ctl::Edit_Frames], 1);
  EXPECT_EQ(d.gui.numberMax[Ctl::Edit_Frames], 360);
  EXPECT_EQ(d.gui.numberMin[Ctl::Edit_AngleStep], 0);
  EXPECT_EQ(d.gui.numberMax[Ctl::Edit_AngleStep], 359);
  EXPECT_EQ(d.gui.numberMin[Ctl::Edit_Start], 0);
  EXPECT_EQ(d.gui.numberMax[Ctl::Edit_End], 360);
  // The limits that follow the values: the start may move up to where 180 degrees still fit.
  EXPECT_EQ(d.gui.numberMax[Ctl::Edit_Start], 180);
  EXPECT_EQ(d.gui.numberMin[Ctl::Edit_End], 1);

  // Only the first update is silent.
  d.radials.Update(0);
  ASSERT_EQ(d.host.calls.size(), 1u);
  EXPECT_EQ(d.host.calls[0].command, ZR_RadialCommand::Preview);
  EXPECT_FALSE(d.host.calls[0].hasRequest);
}

struct Edit {
  int32_t event;
  int32_t value;
};

struct EditCase {
  const char* name;
  std::vector<Edit> edits;
  int32_t start, end;
  float step;
  int32_t frames;
  std::vector<bool> refused;  // per edit
};

TEST(Radials, EditsKeepTheParametersConsistentAndRefuseImpossibleValues) {
  // 180 / 13 as a float is a little above the quotient: 180 / it gives 12.9999997.
  const float step13 = 180.0f / 13.0f;
  const std::vector<EditCase> cases = {
      {"ten frames give a step of 18, a step of 45 then 4 frames",
       {{Ev::Frames, 10}, {Ev::AngleStep, 45}}, 0, 180, 45.0f, 4, {false, false}},
      {"an end equal to the start is refused", {{Ev::End, 0}}, 0, 180, 6.0f, 30, {true}},
      {"an end less than one step past the start is refused", {{Ev::End, 5}}, 0, 180, 6.0f, 30, {true}},
      {"a start above the end is refused", {{Ev::Start, 200}}, 0, 180, 6.0f, 30, {true}},
      {"a start less than one step before the end is refused", {{Ev::Start, 178}}, 0, 180, 6.0f, 30, {true}},
      {"a start is taken up to 180", {{Ev::End, 360}, {Ev::Start, 250}}, 180, 360, 6.0f, 30, {false, false}},
      {"a negative start is taken as 0", {{Ev::Start, 30}, {Ev::Start, -20}}, 0, 180, 6.0f, 30, {false, false}},
      {"an end is taken up to 360", {{Ev::End, 500}}, 0, 360, 6.0f, 60, {false}},
      {"an end that would need more than 360 frames is refused",
       {{Ev::AngleStep, 1}, {Ev::Start, 100}, {Ev::End, 500}, {Ev::End, 460}}, 100, 360, 1.0f, 260,
       {false, false, true, false}},
      {"an end or a start that would need more than 360 frames is refused",
       {{Ev::Frames, 360}, {Ev::End, 360}, {Ev::Start, -1}}, 0, 180, 0.5f, 360, {false, true, true}},
      {"a new range keeps the step and recounts the frames", {{Ev::Start, 60}, {Ev::End, 300}}, 60, 300, 6.0f, 40,
       {false, false}},
      {"a step that does not divide the range drops the rest", {{Ev::AngleStep, 7}}, 0, 180, 7.0f, 25, {false}},
      {"a step wider than the range gives one frame of the whole range", {{Ev::AngleStep, 359}}, 0, 180, 180.0f, 1,
       {false}},
      {"steps of 0 and 360 are refused", {{Ev::AngleStep, 0}, {Ev::AngleStep, 360}, {Ev::AngleStep, -4}}, 0, 180, 6.0f,
       30, {true, true, true}},
      {"frame counts outside 1..360 are refused", {{Ev::Frames, 0}, {Ev::Frames, 361}, {Ev::Frames, -3}}, 0, 180,
       6.0f, 30, {true, true, true}},
      {"360 frames are taken", {{Ev::Frames, 360}}, 0, 180, 0.5f, 360, {false}},
      {"a step that is not a whole number still counts its frames back",
       {{Ev::Frames, 13}, {Ev::End, 180}, {Ev::Start, 0}}, 0, 180, step13, 13, {false, false, false}},
  };
  for (const EditCase& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(c.edits.size(), c.refused.size());
    Dialog d;
    for (size_t i = 0; i < c.edits.size(); ++i) {
      SCOPED_TRACE("edit " + std::to_string(i));
      const ZR_RadialsSettings before = d.s();
      d.Clear();
      d.radials.HandleEvent(c.edits[i].event, c.edits[i].value);
      if (c.refused[i]) {
        // The settings stay, the edit shows its old value again and nothing is rendered.
        EXPECT_TRUE(d.host.calls.empty());
        EXPECT_EQ(d.s().nStartAngle, before.nStartAngle);
        EXPECT_EQ(d.s().nEndAngle, before.nEndAngle);
        EXPECT_EQ(d.s().fAngleStep, before.fAngleStep);
        EXPECT_EQ(d.s().nFrames, before.nFrames);
        const float shown = c.edits[i].event == Ev::Start       ? static_cast<float>(before.nStartAngle)
                            : c.edits[i].event == Ev::End       ? static_cast<float>(before.nEndAngle)
                            : c.edits[i].event == Ev::AngleStep ? before.fAngleStep
                                                                : static_cast<float>(before.nFrames);
        EXPECT_EQ(d.gui.calls, std::vector<std::string>{ZR_Call("SetNumberValue", c.edits[i].event, shown)});
      } else {
        ASSERT_EQ(d.host.calls.size(), 1u);
        EXPECT_EQ(d.host.calls[0].command, ZR_RadialCommand::Preview);
      }
      ExpectConsistent(d, "after the edit");
    }
    EXPECT_EQ(d.s().nStartAngle, c.start);
    EXPECT_EQ(d.s().nEndAngle, c.end);
    EXPECT_EQ(d.s().fAngleStep, c.step);
    EXPECT_EQ(d.s().nFrames, c.frames);
  }
}

TEST(Radials, NoSequenceOfEditsBreaksTheInvariants) {
  std::mt19937 random(20240611);
  std::uniform_int_distribution<int32_t> event(Ev::Start, Ev::Scroll);
  std::uniform_int_distribution<int32_t> value(-60, 800);
  std::uniform_int_distribution<int32_t> small(-2, 40);
  for (int run = 0; run < 200; ++run) {
    Dialog d;
    for (int i = 0; i < 40; ++i) {
      const int32_t e = event(random);
      const int32_t v = (e == Ev::AngleStep || e == Ev::Frames) && i % 2 ? small(random) : value(random);
      d.radials.HandleEvent(e, v);
      if (::testing::Test::HasFailure()) return;
      ExpectConsistent(d, "run " + std::to_string(run) + ", event " + std::to_string(e) + " value " +
                              std::to_string(v));
    }
  }
}

TEST(Radials, FractionalStepsThatNeedTooManyFramesAreRefused) {
  Dialog d;
  d.radials.SetStep(0.5f);  // 180 degrees: exactly the limit
  EXPECT_EQ(d.s().nFrames, 360);
  d.radials.SetStep(6.0f);
  d.radials.SetEnd(360);
  d.Clear();
  d.radials.SetStep(0.5f);  // 720 frames
  EXPECT_EQ(d.s().fAngleStep, 6.0f);
  EXPECT_EQ(d.s().nFrames, 60);
  EXPECT_EQ(d.gui.calls, std::vector<std::string>{ZR_Call("SetNumberValue", Ctl::Edit_AngleStep, 6.0f)});
  for (float bad : {0.0f, -1.0f, 360.0f, std::numeric_limits<float>::quiet_NaN(),
                    std::numeric_limits<float>::denorm_min()}) {
    d.radials.SetStep(bad);
    EXPECT_EQ(d.s().fAngleStep, 6.0f) << bad;
  }
  EXPECT_TRUE(d.host.calls.empty());
}

// The manager holds the record too; Update must not divide by a count or step it broke.
TEST(Radials, UpdateBringsABrokenRecordBackWithinTheInvariants) {
  struct Broken {
    const char* name;
    int32_t start, end;
    float step;
    int32_t frames;
    int32_t kind;
  };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (const Broken& b : std::vector<Broken>{{"no frames, new count", 0, 180, 6.0f, 0, Ev::Frames},
                                             {"negative frames, new count", 0, 180, 6.0f, -5, Ev::Frames},
                                             {"too many frames, new count", 0, 180, 6.0f, 1000, Ev::Frames},
                                             {"no frames, scrolled", 0, 180, 6.0f, 0, Ev::Scroll},
                                             {"no step, new start", 0, 180, 0.0f, 30, Ev::Start},
                                             {"negative step, scrolled", 0, 180, -6.0f, 30, Ev::Scroll},
                                             {"step not a number, new step", 0, 180, nan, 30, Ev::AngleStep},
                                             {"tiny step, new end", 0, 180, 1e-6f, 30, Ev::End},
                                             {"end before start, new end", 90, 30, 6.0f, 30, Ev::End},
                                             {"end at start, axis", 90, 90, 6.0f, 30, 0}}) {
    SCOPED_TRACE(b.name);
    Dialog d;
    ZR_RadialsSettings* s = d.radials.Settings();
    s->nStartAngle = b.start;
    s->nEndAngle = b.end;
    s->fAngleStep = b.step;
    s->nFrames = b.frames;
    d.radials.Update(b.kind);
    ExpectConsistent(d, "after the update");
  }
}

TEST(Radials, ScrollingMovesBothEndsAndKeepsFramesAndStep) {
  Dialog d;
  d.Clear();
  d.radials.HandleEvent(Ev::Scroll, 30);
  EXPECT_EQ(d.s().nStartAngle, 30);
  EXPECT_EQ(d.s().nEndAngle, 210);
  EXPECT_EQ(d.s().nFrames, 30);
  EXPECT_EQ(d.s().fAngleStep, 6.0f);
  EXPECT_EQ(d.gui.numberValue[Ctl::Edit_Start], 30.0f);
  EXPECT_EQ(d.gui.numberValue[Ctl::Edit_End], 210.0f);
  EXPECT_EQ(d.gui.scrollPosition[Ctl::Scb_AngleRange], 30);
  EXPECT_EQ(d.gui.scrollPage[Ctl::Scb_AngleRange], 180);
  EXPECT_EQ(d.gui.numberMax[Ctl::Edit_Start], 180);
  EXPECT_EQ(d.gui.numberMin[Ctl::Edit_End], 31);
  ASSERT_EQ(d.host.calls.size(), 1u);
  EXPECT_EQ(d.host.calls[0].command, ZR_RadialCommand::Preview);

  // Past the end of the bar the start stops where the end reaches 360; before 0 at 0.
  d.radials.HandleEvent(Ev::Scroll, 300);
  EXPECT_EQ(d.s().nStartAngle, 180);
  EXPECT_EQ(d.s().nEndAngle, 360);
  d.radials.HandleEvent(Ev::End, 400);  // taken as 360: still one turn's half
  ExpectConsistent(d, "end typed past the limit after scrolling");
  d.radials.HandleEvent(Ev::Scroll, -10);
  EXPECT_EQ(d.s().nStartAngle, 0);
  EXPECT_EQ(d.s().nEndAngle, 180);

  // The span is frames x step, not the typed range: 25 steps of 7 degrees.
  d.radials.HandleEvent(Ev::AngleStep, 7);
  d.radials.HandleEvent(Ev::Scroll, 10);
  EXPECT_EQ(d.s().nEndAngle, 185);
  EXPECT_EQ(d.s().nFrames, 25);

  // Seven steps of 180/7 degrees span 180, not 179.
  d.radials.HandleEvent(Ev::Scroll, 0);
  d.radials.HandleEvent(Ev::End, 180);
  d.radials.HandleEvent(Ev::Frames, 7);
  d.radials.HandleEvent(Ev::Scroll, 20);
  EXPECT_EQ(d.s().nEndAngle, 200);
  EXPECT_EQ(d.s().nFrames, 7);
}

TEST(Radials, ScrollingAFullTurnDoesNothing) {
  Dialog d;
  d.radials.HandleEvent(Ev::End, 360);
  ASSERT_EQ(d.s().nEndAngle - d.s().nStartAngle, 360);
  d.Clear();
  d.radials.HandleEvent(Ev::Scroll, 20);
  EXPECT_EQ(d.s().nStartAngle, 0);
  EXPECT_TRUE(d.gui.calls.empty());
  EXPECT_TRUE(d.host.calls.empty());
}

TEST(Radials, ButtonsAndChoicesReachTheManager) {
  struct Case {
    const char* name;
    int32_t event, value;
    std::vector<int32_t> commands;  // what the host receives
    bool changesEdits;
  };
  const std::vector<Case> cases = {
      {"shown or painted: preview", Ev::Command, 0, {ZR_RadialCommand::Preview}, false},
      {"close", Ev::Command, 3, {ZR_RadialCommand::Close}, false},
      {"a save without its request is not taken from event 1", Ev::Command, 2, {}, false},
      {"store", Ev::Store, 1, {ZR_RadialCommand::Store}, false},
      {"display", Ev::Display, 1, {ZR_RadialCommand::Display}, false},
      {"axis", Ev::Axis, 1, {ZR_RadialCommand::Preview}, true},
      {"an axis that does not exist", Ev::Axis, 3, {}, false},
      {"flip X", Ev::FlipX, 1, {ZR_RadialCommand::Preview}, true},
      {"flip Y", Ev::FlipY, 1, {ZR_RadialCommand::Preview}, true},
      {"output: nothing to render", Ev::Output, 1, {}, false},
      {"an unknown event", 14, 1, {}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Dialog d;
    d.Clear();
    d.radials.HandleEvent(c.event, c.value);
    std::vector<int32_t> commands;
    for (const RecordingHost::Call& call : d.host.calls) {
      commands.push_back(call.command);
      EXPECT_FALSE(call.hasRequest);
    }
    EXPECT_EQ(commands, c.commands);
    EXPECT_EQ(d.gui.calls.empty(), !c.changesEdits);
  }

  Dialog d;
  d.radials.HandleEvent(Ev::Axis, 0);
  d.radials.HandleEvent(Ev::FlipX, 1);
  d.radials.HandleEvent(Ev::FlipY, 1);
  d.radials.HandleEvent(Ev::Output, 1);
  EXPECT_EQ(d.s().nAxis, 0);
  EXPECT_TRUE(d.s().bFlipX);
  EXPECT_TRUE(d.s().bFlipY);
  EXPECT_EQ(d.s().nOutput, 1);
  d.radials.HandleEvent(Ev::FlipX, 0);
  d.radials.HandleEvent(Ev::Axis, -1);
  d.radials.HandleEvent(Ev::Output, 2);
  EXPECT_FALSE(d.s().bFlipX);
  EXPECT_EQ(d.s().nAxis, 0);
  EXPECT_EQ(d.s().nOutput, 1);
  // The angles are untouched by any of these.
  EXPECT_EQ(d.s().nStartAngle, 0);
  EXPECT_EQ(d.s().nEndAngle, 180);
  EXPECT_EQ(d.s().nFrames, 30);
}

TEST(Radials, SaveHandsTheRequestOnOrAnUnnamedOne) {
  Dialog d;
  d.Clear();
  const ZR_SaveInfo request{"/tmp/r", 1};
  d.radials.HandleEvent(Ev::Save, 0, &request);
  d.radials.HandleEvent(Ev::Save, 0);
  ASSERT_EQ(d.host.calls.size(), 2u);
  for (const RecordingHost::Call& call : d.host.calls) {
    EXPECT_EQ(call.command, ZR_RadialCommand::Save);
    EXPECT_TRUE(call.hasRequest);
  }
  EXPECT_EQ(d.host.calls[0].fileName, "/tmp/r");
  EXPECT_EQ(d.host.calls[0].writeMode, 1);
  EXPECT_EQ(d.host.calls[1].fileName, "");
  EXPECT_TRUE(d.gui.calls.empty());
}
}  // namespace
