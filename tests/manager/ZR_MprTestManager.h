#pragma once
// The manager on headless 64 x 64 panels with a synthetic volume shown, its pointer state
// open, and the operations of later tools recorded as they are reached; helpers that find
// the crosshair lines in a panel's picture.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "render/OpenGlText.h"
#include "render/RenderShared.h"
#include "settings/ZR_Vis3DSettings.h"
#include "tests/support/ZR_GlTestContext.h"
#include "tests/support/ZR_RecordingVisGui.h"
#include "tests/support/ZR_TestImage.h"
#include "tests/support/ZR_TestManager.h"
#include "tests/support/ZR_TestPanels.h"

class ZR_MprTestManager : public ZR_TestManager {
 public:
  using ZR_TestManager::ZR_TestManager;

  // "CaptureView(6)", "StartMeasurement(6)", ...: what the dispatch handed to later tools.
  std::vector<std::string> later;


 protected:
  void CaptureView(int32_t panel) override { later.push_back("CaptureView(" + std::to_string(panel) + ")"); }
  int32_t CaptureRawView(int32_t panel, int32_t destination) override {
    later.push_back("CaptureRawView(" + std::to_string(panel) + "," + std::to_string(destination) + ")");
    return 0;
  }
  void StartMeasurement(int32_t panel, int32_t, int32_t) override {
    later.push_back("StartMeasurement(" + std::to_string(panel) + ")");
  }
  void RestartCurve() override { later.push_back("RestartCurve"); }
  void DeleteCurvePoint() override { later.push_back("DeleteCurvePoint"); }
  void ClearRoi() override { later.push_back("ClearRoi"); }
  void RecordMovieEvent(int32_t, int32_t lastX, int32_t, int32_t x, int32_t, bool, bool, bool, ZR_Tool3d) override {
    later.push_back("RecordMovieEvent(" + std::to_string(lastX) + "," + std::to_string(x) + ")");
  }
};

class ZR_MprFixture : public ::testing::Test {
 protected:
  static constexpr int32_t kPanel = 64;

  // A started manager showing `stored` (dims, scale) with a grey ramp, in the MPR screen.
  void Start(const int32_t dims[3], const float scale[3], std::vector<uint16_t> stored);
  // The phantom of 64 x 64 x 40 voxels, z scaled by 1.25: a 64-unit box, one pixel per unit.
  void StartPhantom();
  ZR_TestImage Read(int32_t panel);
  // Pixels of the crosshair colour in each column (or row) of a picture.
  static std::vector<int32_t> LineColumns(const ZR_TestImage& image);
  static std::vector<int32_t> LineRows(const ZR_TestImage& image);
  // The column (row) with the most crosshair pixels, -1 when none has `minimum`.
  static int32_t LineColumn(const ZR_TestImage& image, int32_t minimum = kPanel / 4);
  static int32_t LineRow(const ZR_TestImage& image, int32_t minimum = kPanel / 4);

  ZR_GlTestContext* gl = nullptr;
  std::unique_ptr<ZR_TestPanels> panels;
  ZR_RecordingVisGui gui;
  RenderShared shared;
  OpenGlText text;
  ZR_Vis3DSettings settings;
  std::unique_ptr<ZR_MprTestManager> manager;
};
