// The preset engine: set-up, histogram analysis, band editing, windows and drags.

#include <gtest/gtest.h>

#include <cmath>

#include "core/ZR_Result.h"
#include "tests/presets/ZR_PresetEditorFixture.h"

using namespace ZR_PresetCtl;

TEST_F(PresetEditorTest, AttachesItselfAndReadsTheChartAtConstruction) {
  ASSERT_GE(gui.calls.size(), 3u);
  EXPECT_EQ(gui.calls[0], "AttachEngine()");
  EXPECT_EQ(gui.calls[1], "GetChartSize()");
  EXPECT_EQ(gui.calls[2], "GetChartOrigin()");
  EXPECT_EQ(gui.engine, engine.get());
  EXPECT_EQ(engine->WindowMode(), ZR_PresetEditor::kWindowMode);
  // The manager reports an allocation failure of the engine with a generic message.
  EXPECT_NE(ZR_Result::DisplayText(VR_PRESET_NO_MEMORY).find("17"), std::string::npos);
}

TEST_F(PresetEditorTest, HistogramAnalysisFindsExtentAndDefaults) {
  LoadCt();
  EXPECT_EQ(engine->DataExtent(), 3024);  // 3500 holds 99 voxels, below 1e6 * 0.0001
  EXPECT_EQ(engine->HistogramMaximum(), 300000u);
  EXPECT_FLOAT_EQ(engine->PixelsPerIndex(), 512.0f / 3024);
  // Plotted bins: the lowest 16 cleared, a small population lifted by a tenth of the maximum.
  ASSERT_EQ(gui.histogram.size(), 3024u);
  EXPECT_EQ(gui.histogram[5], 0);
  EXPECT_EQ(gui.histogram[200], 50 + 30000);
  EXPECT_EQ(gui.histogram[1064], 300000);
  EXPECT_EQ(gui.histogram[1500], 20000 + 30000);
  EXPECT_TRUE(gui.Has("SetHistogram(5,3024,300000)"));
  EXPECT_EQ(gui.numberMins[EditBandPos0], -1024);
  EXPECT_EQ(gui.numberMaxes[EditBandPos0 + 3], 2000);
  // Default windows span the data: level at half the extent, width the extent.
  EXPECT_EQ(engine->GreyWindow(), (ZR_Window{3024, 488}));
  EXPECT_EQ(engine->OpacityWindow(), (ZR_Window{3024, 488}));
  EXPECT_EQ(lut.GreyWindow(), (ZR_Window{3024, 488}));
  EXPECT_EQ(gui.numberValues[Edit_Width], 3024);
  EXPECT_EQ(gui.numberValues[Edit_OpacityLevel], 488);
}

// Nothing above the cleared bins (or an empty volume): the whole table is the extent, so
// pixels per index and the default windows stay finite and span the data.
TEST_F(PresetEditorTest, DataExtentZeroTakesTheWholeTable) {
  std::vector<uint32_t> h(4096, 0);
  h[3] = 1000;
  for (uint64_t voxels : {uint64_t{1000}, uint64_t{0}}) {
    engine->InitialiseForVolume(h.data(), voxels, 1.0f, -1024, 0, 4095, 4095, 0);
    engine->ResetBands();
    engine->ResetWindows();
    EXPECT_EQ(engine->DataExtent(), 4095);
    EXPECT_TRUE(std::isfinite(engine->PixelsPerIndex()));
    EXPECT_EQ(engine->GreyWindow(), (ZR_Window{4095, 1023}));
    for (int i = 1; i < 4; ++i) EXPECT_GT(engine->BandEdges()[i], engine->BandEdges()[i - 1]);
    EXPECT_TRUE(lut.GuardsIntact());
  }
}

TEST_F(PresetEditorTest, DefaultBandsLayTheChartOutAndBuildTheColourTable) {
  LoadCt();
  const int32_t* px = engine->EdgePixels();
  EXPECT_EQ(px[0], 102);  // 604 indices per band, 102 pixels
  EXPECT_EQ(px[3], 408);
  const ZR_ChartPoint expected[7] = {{0, 0},     {51, 0},    {153, 16}, {255, 166},
                                     {357, 200}, {460, 200}, {512, 200}};
  for (int p = 0; p < 7; ++p) EXPECT_EQ(engine->ControlPoints()[p], expected[p]) << p;
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(engine->BandEdges()[i], 604 * (i + 1), 2 / engine->PixelsPerIndex()) << i;
    EXPECT_EQ(gui.numberValues[EditBandPos0 + i], lut.RoundedValue(engine->BandEdges()[i]));
  }
  const float percents[5] = {0, 0, 8, 83, 100};
  for (int k = 0; k < 5; ++k) EXPECT_EQ(gui.numberValues[EditOpacity0 + k], percents[k]) << k;
  EXPECT_EQ(engine->BandColourBytes(1)[0], 127);
  EXPECT_FLOAT_EQ(engine->BandColour(2)[3], 211 / 255.0f);
  // The table: band 0 transparent black at the bottom, band 4 opaque white at the top.
  EXPECT_EQ(lut.ColourTable()[3], 0.0f);
  EXPECT_EQ(lut.ColourTable()[4095 * 4], 1.0f);
  EXPECT_EQ(lut.ColourTable()[4095 * 4 + 3], 1.0f);
}

TEST_F(PresetEditorTest, MovingAnEdgePastItsNeighbourPushesOnlyThatNeighbour) {
  LoadCt();
  host.calls.clear();
  engine->HandleEditorEvent(4, Values(1, 320));  // edge 2 sits at 306
  EXPECT_EQ(engine->EdgePixels()[1], 320);
  EXPECT_EQ(engine->EdgePixels()[2], 321);
  EXPECT_EQ(engine->EdgePixels()[3], 408);
  engine->HandleEditorEvent(4, Values(1, 420));
  EXPECT_EQ(engine->EdgePixels()[2], 421);
  EXPECT_EQ(engine->EdgePixels()[3], 408);  // not moved further
  engine->HandleEditorEvent(4, Values(2, 10));
  EXPECT_EQ(engine->EdgePixels()[1], 9);
  EXPECT_EQ(engine->EdgePixels()[0], 102);
  engine->HandleEditorEvent(4, Values(3, 100000));  // kept on the chart
  EXPECT_EQ(engine->EdgePixels()[3], kWidth);
  engine->HandleEditorEvent(4, Values(7, 50));  // no such edge
  EXPECT_EQ(host.calls, std::vector<std::string>(4, "RedrawForPresetEditor(3)"));
  // Band edges follow the pixels, and the table follows the edges.
  EXPECT_EQ(lut.BandEdges()[1], engine->BandEdges()[1]);
  EXPECT_NEAR(engine->BandEdges()[1], 9 / engine->PixelsPerIndex(), 1.0);
}

TEST_F(PresetEditorTest, TypedEdgeValueMovesTheEdgeAndRedrawsCompletely) {
  LoadCt();
  host.calls.clear();
  engine->HandleEditorEvent(3, Values(0, 0));  // 0 HU
  EXPECT_EQ(engine->EdgePixels()[0], static_cast<int>(1024 * engine->PixelsPerIndex()));
  EXPECT_NEAR(gui.numberValues[EditBandPos0], 0, 1 / engine->PixelsPerIndex() + 1);
  EXPECT_EQ(host.calls, std::vector<std::string>{"RedrawForPresetEditor(0)"});
  engine->HandleEditorEvent(3, Values(0, -100000));  // far below the data: the chart's start
  EXPECT_EQ(engine->EdgePixels()[0], 0);
}

TEST_F(PresetEditorTest, OpacityEditsSetTheBandAlphaAndTheControlPoint) {
  LoadCt();
  engine->HandleEditorEvent(2, Values(3, 50));
  EXPECT_EQ(engine->ControlPoints()[3].y, 100);
  EXPECT_EQ(engine->BandColour(2)[3], 0.5f);
  EXPECT_EQ(engine->BandColourBytes(2)[3], 127);
  EXPECT_EQ(gui.numberValues[EditOpacity0 + 3], 50);
  EXPECT_FLOAT_EQ(lut.BandColours()[2 * 4 + 3], 0.5f);

  engine->HandleEditorEvent(5, Values(5, 50));  // 50 pixels from the top: 75 %
  EXPECT_EQ(engine->ControlPoints()[5].y, 150);
  EXPECT_EQ(engine->ControlPoints()[6].y, 150);  // the far corner follows the last band
  EXPECT_FLOAT_EQ(lut.ColourTable()[4095 * 4 + 3], 0.75f);

  engine->HandleEditorEvent(5, Values(1, 900));  // below the chart: 0 %
  EXPECT_EQ(engine->BandColour(0)[3], 0.0f);
  engine->HandleEditorEvent(2, Values(2, 250));  // clamped to 100 %
  EXPECT_EQ(engine->BandColour(1)[3], 1.0f);

  gui.Clear();
  engine->HandleEditorEvent(2, Values(0, 50));  // the origin and the far corner are fixed
  engine->HandleEditorEvent(2, Values(6, 50));
  EXPECT_TRUE(gui.calls.empty());
}

TEST_F(PresetEditorTest, ColourChangeRecolourstheBand) {
  LoadCt();
  engine->HandleEditorEvent(6, Values(4, 10, 20, 300));
  EXPECT_EQ(gui.bandColours[4][0], 10);
  EXPECT_EQ(gui.bandColours[4][2], 255);
  EXPECT_FLOAT_EQ(lut.ColourTable()[4095 * 4 + 1], 20 / 255.0f);
  EXPECT_EQ(lut.ColourTable()[4095 * 4 + 3], 1.0f);  // opacity untouched
}

// Typed values are clamped to the data and written back into the box they came from.
// Bounds are in data units: raw range times the slope, plus the intercept.
TEST_F(PresetEditorTest, TypedWindowsAreClampedInDataUnits) {
  const struct {
    float slope;
    int32_t intercept, rawMin, rawMax;
    int32_t control, typed, expected;
  } cases[] = {
      {1, -1024, 0, 4095, Edit_Width, 99999, 4095},  {1, -1024, 0, 4095, Edit_Width, -5, 0},
      {1, -1024, 0, 4095, Edit_Level, -5000, -1024}, {1, -1024, 0, 4095, Edit_Level, 5000, 3071},
      {1, -1024, 0, 4095, Edit_OpacityWidth, 100, 100},
      {1, -1024, 0, 4095, Edit_OpacityLevel, 9999, 3071},
      {2, 0, 100, 1100, Edit_Level, 2000, 2000},     {2, 0, 100, 1100, Edit_Level, 5000, 2200},
      {2, 0, 100, 1100, Edit_Level, 0, 200},         {2, 0, 100, 1100, Edit_Width, 5000, 2000},
      {2, 0, 100, 1100, Edit_OpacityLevel, 1500, 1500},
  };
  std::vector<uint32_t> h(4096, 100);
  for (const auto& c : cases) {
    engine->InitialiseForVolume(h.data(), 4096 * 100, c.slope, c.intercept, c.rawMin, c.rawMax,
                                4095, 0);
    engine->ResetWindows();
    gui.Clear();
    host.calls.clear();
    engine->HandleEditorEvent(c.control, Values(c.typed));
    EXPECT_EQ(gui.CallsTo("SetNumberValue"),
              std::vector<std::string>{"SetNumberValue(" + std::to_string(c.control) + "," +
                                       std::to_string(c.expected) + ")"})
        << c.control << " " << c.typed;
    const bool grey = c.control == Edit_Width || c.control == Edit_Level;
    const ZR_Window w = grey ? lut.GreyWindow() : lut.OpacityWindow();
    const bool width = c.control == Edit_Width || c.control == Edit_OpacityWidth;
    EXPECT_EQ(width ? w.nWidth : w.nLevel, c.expected) << c.control << " " << c.typed;
    EXPECT_EQ(host.calls, std::vector<std::string>{"RedrawForPresetEditor(0)"});
  }
}

TEST_F(PresetEditorTest, ThresholdHoldsTheGreyWidthAtZeroUntilSwitchedOff) {
  LoadCt();
  engine->HandleEditorEvent(20, Values(400));
  engine->HandleEditorEvent(19, Values(1));
  EXPECT_TRUE(engine->IsThresholdOn());
  EXPECT_FALSE(gui.enabled[Edit_Width]);
  EXPECT_EQ(gui.numberValues[Edit_Width], 0);
  EXPECT_EQ(lut.GreyWindow().nWidth, 0);
  const int32_t level = engine->GreyWindow().nLevel;

  engine->DragWindow(50, 10);
  EXPECT_EQ(engine->GreyWindow(), (ZR_Window{0, level + 10}));
  engine->HandleEditorEvent(19, Values(1));  // a second "on" keeps the remembered width
  engine->HandleEditorEvent(19, Values(0));
  EXPECT_TRUE(gui.enabled[Edit_Width]);
  EXPECT_EQ(engine->GreyWindow(), (ZR_Window{400, level + 10}));
  EXPECT_EQ(lut.GreyWindow(), (ZR_Window{400, level + 10}));
  engine->DragWindow(1, 0);  // the drag goes on from the restored width
  EXPECT_EQ(engine->GreyWindow().nWidth, 401);

  engine->HandleEditorEvent(19, Values(1));
  LoadMr();  // a new volume starts without the threshold
  EXPECT_FALSE(engine->IsThresholdOn());
  EXPECT_TRUE(gui.enabled[Edit_Width]);
  EXPECT_FALSE(gui.checked[ChBox_threshold]);
  EXPECT_GT(engine->GreyWindow().nWidth, 0);
}

TEST_F(PresetEditorTest, WindowDragsAccumulateAndStayInsideTheData) {
  LoadCt();
  gui.Clear();
  engine->DragWindow(10, -20);
  EXPECT_EQ(engine->GreyWindow(), (ZR_Window{3034, 468}));
  EXPECT_EQ(gui.numberValues[Edit_Width], 3034);
  EXPECT_EQ(gui.numberValues[Edit_Level], 468);
  EXPECT_EQ(gui.CallsTo("ApplyBinColours").size(), 1u);  // the editor is visible
  engine->DragWindow(100000, 100000);
  EXPECT_EQ(engine->GreyWindow(), (ZR_Window{4095, 3071}));
  engine->DragWindow(-200000, -200000);
  EXPECT_EQ(engine->GreyWindow(), (ZR_Window{0, -1024}));

  gui.visible = false;
  gui.Clear();
  engine->DragWindow(5, 5);
  EXPECT_TRUE(gui.CallsTo("ApplyBinColours").empty());
  engine->DragOpacityWindow(-100, 40);  // always recolours
  EXPECT_EQ(gui.CallsTo("ApplyBinColours").size(), 1u);
  EXPECT_EQ(engine->OpacityWindow(), (ZR_Window{2924, 528}));
  EXPECT_EQ(lut.OpacityWindow(), (ZR_Window{2924, 528}));
}

TEST_F(PresetEditorTest, BandDragMovesOrSpreadsTheEdges) {
  LoadCt();
  const std::vector<int32_t> before(engine->EdgePixels(), engine->EdgePixels() + 4);
  engine->DragBands(1, 10);  // vertical dominates: offset +5 pixels moves every edge by 5
  for (int i = 0; i < 4; ++i) EXPECT_EQ(engine->EdgePixels()[i], before[i] + 5) << i;
  engine->DragBands(40, 2);  // horizontal: the span grows by 20 around the same offset
  const int32_t spread = engine->EdgePixels()[3] - engine->EdgePixels()[0];
  EXPECT_NEAR(spread, (before[3] - before[0]) + 20, 2);
  EXPECT_EQ(lut.BandEdges()[0], engine->BandEdges()[0]);
  engine->DragBands(0, -100000);  // the offset is clamped, the edges stay on the chart
  for (int i = 0; i < 4; ++i) EXPECT_GE(engine->EdgePixels()[i], 0);
  engine->DragBands(-100000, 0);
  for (int i = 0; i < 4; ++i) EXPECT_LE(engine->EdgePixels()[i], kWidth);
  EXPECT_TRUE(lut.GuardsIntact());
}

TEST_F(PresetEditorTest, ModeSwitchShowsItsPanelAndPointsTheListsAtItsFolders) {
  engine->SetBasePath("/opt/lmx/Presets/");
  EXPECT_TRUE(gui.Has("StoreBasePath(\"/opt/lmx/Presets/\")"));
  LoadCt();
  gui.Clear();
  engine->SetMode(ZR_PresetEditor::kBandMode);
  const std::vector<std::string> expected = {
      "EnableControl(16,false)", "ShowControl(16,false)", "EnableControl(17,true)",
      "ShowControl(17,true)",    "ShowMode(0)",
      "SetListDirectories(\"/opt/lmx/Presets/CT/Presets\",\"/opt/lmx/Presets/CT/UserDefined\")",
      "SetBinColours()",         "ApplyBinColours()"};
  EXPECT_EQ(gui.calls, expected);
  // The chart shows the colour table in band mode and the grey table in window mode.
  const int bin = 2000;
  EXPECT_EQ(engine->BinColours()[bin * 3], static_cast<uint8_t>(lut.ColourTable()[bin * 4] * 255));
  LoadMr();
  engine->SetMode(ZR_PresetEditor::kWindowMode);
  EXPECT_EQ(gui.presetDir, "/opt/lmx/Presets/MR/WlPresets");
  EXPECT_EQ(gui.userDir, "/opt/lmx/Presets/MR/WlUserDefined");
  EXPECT_EQ(engine->BinColours()[bin * 3], static_cast<uint8_t>(lut.GreyTable()[bin * 4] * 255));
}
