// The preset engine: preset files, the factory presets, snapshots, reset and window events.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/presets/ZR_PresetEditorFixture.h"
#include "tests/support/ZR_TestData.h"

namespace fs = std::filesystem;
using namespace ZR_PresetCtl;

namespace {
struct BandState {
  std::vector<int32_t> pixels;
  std::vector<uint16_t> edges;
  std::vector<float> colours;
  std::vector<int32_t> bytes;
  bool operator==(const BandState&) const = default;
};
BandState StateOf(const ZR_PresetEditor& e) {
  BandState s{{e.EdgePixels(), e.EdgePixels() + 4}, {e.BandEdges(), e.BandEdges() + 4}, {}, {}};
  for (int b = 0; b < 5; ++b) {
    s.colours.insert(s.colours.end(), e.BandColour(b), e.BandColour(b) + 4);
    s.bytes.insert(s.bytes.end(), e.BandColourBytes(b), e.BandColourBytes(b) + 4);
  }
  return s;
}
}  // namespace

// Saving rounds each edge to a data value and loading rounds it back, so a preset survives
// any number of cycles; colour bytes are rounded back too (0.498039 * 255 truncated is 126).
TEST_F(PresetEditorTest, SaveLoadSaveGivesIdenticalFilesAndKeepsTheColours) {
  const fs::path dir = ZR_TestData::ScratchDir("engine_save_load_save");
  LoadMr();
  engine->SetMode(ZR_PresetEditor::kBandMode);
  engine->HandleEditorEvent(4, Values(1, 137));
  engine->HandleEditorEvent(6, Values(2, 1, 128, 254));
  engine->HandleEditorEvent(2, Values(4, 37));
  const BandState edited = StateOf(*engine);
  ASSERT_TRUE(engine->SavePreset((dir / "a.prs").string()));
  engine->ResetBands();
  host.calls.clear();
  ASSERT_TRUE(engine->LoadPreset((dir / "a.prs").string(), true));
  EXPECT_EQ(host.calls, std::vector<std::string>{"RedrawForPresetEditor(0)"});
  // A data value spans about 4 indices here, so the edge comes back to within 2 of where it was.
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(engine->BandEdges()[i], edited.edges[i], 2) << i;
  EXPECT_EQ(StateOf(*engine).bytes, edited.bytes);
  EXPECT_EQ(gui.bandColours[2][1], 128);
  ASSERT_TRUE(engine->SavePreset((dir / "b.prs").string()));
  EXPECT_EQ(ZR_TestData::ReadText(dir / "b.prs"), ZR_TestData::ReadText(dir / "a.prs"));
  // An edit after loading recomputes the colours from the bytes: still the same file.
  engine->HandleEditorEvent(2, Values(4, 37));
  ASSERT_TRUE(engine->SavePreset((dir / "c.prs").string()));
  EXPECT_EQ(ZR_TestData::ReadText(dir / "c.prs"), ZR_TestData::ReadText(dir / "a.prs"));
}

TEST_F(PresetEditorTest, PresetOfTheOtherClassOrDamagedChangesNothing) {
  const fs::path dir = ZR_TestData::ScratchDir("engine_other_class");
  LoadCt();
  engine->SetMode(ZR_PresetEditor::kBandMode);
  engine->HandleEditorEvent(4, Values(2, 333));
  ASSERT_TRUE(engine->SavePreset((dir / "ct.prs").string()));
  std::ofstream(dir / "short.prs") << "1\n5\n10 20 30 40 \n0 0 0 0\n";
  LoadMr();
  engine->SetMode(ZR_PresetEditor::kBandMode);
  const BandState before = StateOf(*engine);
  const std::vector<float> table = Colours();
  for (const char* name : {"ct.prs", "short.prs", "missing.prs"}) {
    host.calls.clear();
    gui.Clear();
    EXPECT_FALSE(engine->LoadPreset((dir / name).string(), false)) << name;
    EXPECT_TRUE(StateOf(*engine) == before) << name;
    EXPECT_EQ(Colours(), table) << name;
    EXPECT_TRUE(host.calls.empty()) << name;
    EXPECT_TRUE(gui.CallsTo("SetBandColours").empty()) << name;
  }
}

TEST_F(PresetEditorTest, WindowPresetsSaveAndLoadAllFourValues) {
  const fs::path dir = ZR_TestData::ScratchDir("engine_window_presets");
  LoadCt();
  engine->HandleEditorEvent(20, Values(350));
  engine->HandleEditorEvent(21, Values(50));
  engine->HandleEditorEvent(22, Values(600));
  engine->HandleEditorEvent(23, Values(150));
  // Saved into a user folder that does not exist yet.
  ASSERT_TRUE(engine->SavePreset((dir / "CT" / "WlUserDefined" / "m.prs").string()));
  EXPECT_EQ(ZR_TestData::ReadText(dir / "CT" / "WlUserDefined" / "m.prs"), "0\n350 50 600 150\n");
  EXPECT_FALSE(engine->SavePreset(""));
  engine->ResetWindows();
  gui.Clear();
  ASSERT_TRUE(engine->LoadPreset((dir / "CT" / "WlUserDefined" / "m.prs").string(), true));
  EXPECT_EQ(gui.calls.front(), "EnableControl(18,true)");
  EXPECT_EQ(engine->GreyWindow(), (ZR_Window{350, 50}));
  EXPECT_EQ(engine->OpacityWindow(), (ZR_Window{600, 150}));
  EXPECT_EQ(lut.GreyWindow(), (ZR_Window{350, 50}));
  EXPECT_EQ(gui.numberValues[Edit_OpacityLevel], 150);
  EXPECT_NEAR(GreyAt(50 + 1024, 4095)[0], 0.5f, 0.01f);
  EXPECT_TRUE(engine->IsPresetSelected());
  engine->DragWindow(4, 0);  // the drag continues from the loaded window
  EXPECT_EQ(engine->GreyWindow().nWidth, 354);
}

// Every factory preset loads on a volume of its class and on no other, and shows what its
// name promises on a typical study.
TEST_F(PresetEditorTest, FactoryPresetsLoadOnTheirModalityAndShowWhatTheyPromise) {
  const fs::path factory = LMX_FACTORY_PRESETS;
  struct Volume {
    const char* modality;
    int presetClass;
  };
  for (const Volume& v : {Volume{"CT", 0}, Volume{"MR", 1}}) {
    v.presetClass == 0 ? LoadCt() : LoadMr();
    for (const char* folder : {"Presets", "WlPresets"}) {
      engine->SetMode(std::string(folder) == "Presets" ? ZR_PresetEditor::kBandMode
                                                       : ZR_PresetEditor::kWindowMode);
      int count = 0;
      for (const auto& modality : {"CT", "MR"}) {
        for (const auto& file : fs::directory_iterator(factory / modality / folder)) {
          const bool own = std::string(modality) == v.modality;
          EXPECT_EQ(engine->LoadPreset(file.path().string(), false), own) << file.path();
          count += own;
          if (own && engine->WindowMode() == ZR_PresetEditor::kWindowMode) {
            // Black below the window, white above it, grey at its level (ends outside the
            // data are not checked: the ramp is cut there).
            const ZR_Window w = lut.GreyWindow();
            const int minimum = v.presetClass == 0 ? -1024 : 0;
            const int range = v.presetClass == 0 ? 4095 : 1000;
            auto grey = [&](int value) { return GreyAt(value - minimum, range)[0]; };
            EXPECT_GT(grey(w.nLevel), 0.0f) << file.path();
            EXPECT_LT(grey(w.nLevel), 1.0f) << file.path();
            if (w.nLevel - w.nWidth / 2 - 1 >= minimum) {
              EXPECT_EQ(grey(w.nLevel - w.nWidth / 2 - 1), 0.0f) << file.path();
            }
            if (w.nLevel + w.nWidth / 2 + 1 <= minimum + range) {
              EXPECT_EQ(grey(w.nLevel + w.nWidth / 2 + 1), 1.0f) << file.path();
            }
          }
        }
      }
      EXPECT_GE(count, 3) << v.modality << "/" << folder;
    }
  }

  // Opacity at data values of a typical study, as the volume loader indexes the voxels.
  const struct {
    const char* file;
    int value;
    float low, high;  // expected opacity range
  } promises[] = {
      {"CT/Presets/Bone.prs", 1000, 0.5f, 1},     {"CT/Presets/Bone.prs", 40, 0, 0.05f},
      {"CT/Presets/Bone.prs", -1000, 0, 0},       {"CT/Presets/Soft Tissue.prs", 40, 0.1f, 0.6f},
      {"CT/Presets/Soft Tissue.prs", -600, 0, 0}, {"CT/Presets/Lung.prs", -750, 0.05f, 0.3f},
      {"CT/Presets/Lung.prs", -1000, 0, 0},       {"CT/Presets/Lung.prs", 40, 0, 0.05f},
      {"CT/Presets/Vessels with Contrast.prs", 300, 0.4f, 1},
      {"CT/Presets/Vessels with Contrast.prs", 40, 0, 0.02f},
      {"CT/Presets/Vessels with Contrast.prs", 1200, 0.6f, 1},
      {"CT/Presets/Skin.prs", -50, 0.7f, 1},      {"CT/Presets/Skin.prs", -600, 0, 0.05f},
      {"MR/Presets/Soft Tissue.prs", 600, 0.3f, 0.6f}, {"MR/Presets/Soft Tissue.prs", 20, 0, 0},
      {"MR/Presets/Bright Structures.prs", 900, 0.5f, 1},
      {"MR/Presets/Bright Structures.prs", 200, 0, 0},
      {"MR/Presets/Skin Surface.prs", 150, 0.7f, 1}, {"MR/Presets/Skin Surface.prs", 10, 0, 0},
  };
  for (const auto& p : promises) {
    const bool ct = std::string(p.file).starts_with("CT");
    ct ? LoadCt() : LoadMr();
    engine->SetMode(ZR_PresetEditor::kBandMode);
    ASSERT_TRUE(engine->LoadPreset((factory / p.file).string(), false)) << p.file;
    const float alpha = ct ? ColourAt(p.value + 1024, 4095)[3] : ColourAt(p.value, 1000)[3];
    EXPECT_GE(alpha, p.low) << p.file << " at " << p.value;
    EXPECT_LE(alpha, p.high) << p.file << " at " << p.value;
  }
}

// Four coinciding edges have no span: normalised edges are 0 and a band drag stays finite.
TEST_F(PresetEditorTest, CoincidingEdgesDragWithoutDividingByZero) {
  const fs::path dir = ZR_TestData::ScratchDir("engine_span_zero");
  LoadCt();
  engine->SetMode(ZR_PresetEditor::kBandMode);
  std::ofstream(dir / "one.prs") << "0\n5\n100 100 100 100 \n0 0 0 0\n1 0 0 1\n0 1 0 1\n"
                                    "0 0 1 1\n1 1 1 1\n";
  ASSERT_TRUE(engine->LoadPreset((dir / "one.prs").string(), false));
  const int32_t x = engine->EdgePixels()[0];
  engine->DragBands(30, 0);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(engine->EdgePixels()[i], x) << i;
  engine->DragBands(0, 8);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(engine->EdgePixels()[i], x + 4) << i;
  EXPECT_TRUE(lut.GuardsIntact());
}

TEST_F(PresetEditorTest, RestoringASnapshotRebuildsItsTable) {
  LoadCt();
  engine->SetMode(ZR_PresetEditor::kBandMode);
  engine->RestoreState(false);  // no snapshot yet: nothing happens
  engine->RestoreState(true);
  const BandState bands = StateOf(*engine);
  const std::vector<float> colours = Colours();
  const ZR_Window grey = engine->GreyWindow();
  const std::vector<float> greys = Greys();
  engine->SaveState(false);
  engine->SaveState(true);

  engine->DragBands(0, 30);
  engine->HandleEditorEvent(6, Values(0, 255, 0, 0));
  engine->DragWindow(-300, 77);
  engine->DragOpacityWindow(12, 13);
  ASSERT_NE(Colours(), colours);
  ASSERT_NE(Greys(), greys);

  engine->RestoreState(false);
  EXPECT_TRUE(StateOf(*engine) == bands);
  EXPECT_EQ(Colours(), colours);
  EXPECT_NE(Greys(), greys);  // the window part is separate
  engine->RestoreState(true);
  EXPECT_EQ(engine->GreyWindow(), grey);
  EXPECT_EQ(Greys(), greys);
  engine->DragWindow(1, 0);  // accumulators restored too
  EXPECT_EQ(engine->GreyWindow().nWidth, grey.nWidth + 1);
}

// Default also switches Threshold off: the window unchecks the box and re-enables the width
// box, so the engine must not keep holding the width at 0.
TEST_F(PresetEditorTest, DefaultButtonResetsTheModeAndTheThreshold) {
  LoadCt();
  engine->HandleEditorEvent(20, Values(100));
  engine->HandleEditorEvent(19, Values(1));
  gui.Clear();
  host.calls.clear();
  engine->ResetToDefault();
  EXPECT_EQ(gui.calls[0], "ClearListSelection()");
  EXPECT_EQ(gui.calls[1], "SetChecked(19,false)");
  EXPECT_EQ(gui.calls[2], "EnableControl(20,true)");
  EXPECT_FALSE(engine->IsThresholdOn());
  EXPECT_EQ(engine->GreyWindow(), (ZR_Window{3024, 488}));
  EXPECT_EQ(gui.numberValues[Edit_Width], 3024);
  EXPECT_EQ(host.calls, std::vector<std::string>{"RedrawForPresetEditor(0)"});

  // A Threshold event arriving during the reset is ignored.
  engine->HandleEditorEvent(19, Values(1));
  gui.onCall = [this](const std::string& call) {
    if (call == "SetChecked(19,false)") engine->HandleEditorEvent(19, Values(1));
  };
  engine->ResetToDefault();
  EXPECT_FALSE(engine->IsThresholdOn());
  gui.onCall = nullptr;
  engine->HandleEditorEvent(19, Values(1));  // and the handler works again afterwards
  EXPECT_TRUE(engine->IsThresholdOn());
}

TEST_F(PresetEditorTest, ChartEventsDrawTheOverlayAndAskForRedraws) {
  LoadCt();
  engine->SetMode(ZR_PresetEditor::kBandMode);
  gui.Clear();
  engine->HandleEditorEvent(24);
  EXPECT_EQ(gui.calls, std::vector<std::string>{
                           "DrawBands([102 204 306 408],[0 0 51 0 153 16 255 166 357 200 460 200 "
                           "512 200])"});
  engine->SetMode(ZR_PresetEditor::kWindowMode);
  engine->HandleEditorEvent(20, Values(1000));  // 488 -+ 500 HU
  gui.Clear();
  engine->HandleEditorEvent(24);
  ASSERT_EQ(gui.calls.size(), 2u);
  EXPECT_EQ(gui.calls[0], "DrawWindowMarkers(1012,2012)");
  EXPECT_EQ(gui.calls[1], "DrawOpacityRamp(0,196,511,1)");

  host.calls.clear();
  engine->HandleEditorEvent(26);
  engine->HandleEditorEvent(27);
  engine->HandleEditorEvent(28);
  engine->RequestRedraw();
  EXPECT_EQ(host.calls,
            (std::vector<std::string>{"RedrawForPresetEditor(0)", "RedrawForPresetEditor(0)",
                                      "SetRepaintQuality(0)", "RedrawForPresetEditor(0)"}));
  gui.Clear();
  host.calls.clear();
  for (int kind : {0, 1, 7, 18, 29, 1000, -1}) engine->HandleEditorEvent(kind, Values(1, 2, 3, 4));
  EXPECT_TRUE(gui.calls.empty());
  EXPECT_TRUE(host.calls.empty());
}
