// How much each user action draws: every panel shown once per screen switch, one reduced 3D
// frame per drag step and one full-quality frame on the release. A frame beyond those is
// time the user waits for a picture nobody sees (seconds each on a software rasteriser).
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/ZR_Ids.h"
#include "tests/manager/ZR_MprTestManager.h"
#include "tests/support/ZR_RecordingDrawSurface.h"

namespace {

class Frames : public ZR_MprFixture {
 protected:
  void SetUp() override {
    StartPhantom();
    // Every panel's surface recorded, the drawing forwarded to the real one.
    for (int32_t panel = 0; panel < ZR_Panel::kPanelCount; ++panel) {
      ZR_DrawSurface*& surface = panels->table.aSurfaces[panel];
      if (!surface) continue;
      recorders.push_back(std::make_unique<ZR_RecordingDrawSurface>(*surface));
      recorded[panel] = recorders.back().get();
      surface = recorders.back().get();
    }
  }
  // Swaps per panel and 3D frames since the last call.
  std::map<int32_t, int32_t> Shown() {
    std::map<int32_t, int32_t> shown;
    for (auto& [panel, recorder] : recorded) {
      int32_t swaps = 0;
      for (const std::string& call : recorder->calls) swaps += call == "SwapBuffers";
      if (swaps) shown[panel] = swaps;
      recorder->calls.clear();
    }
    return shown;
  }
  int64_t Frames3D() {
    const int64_t now = manager->FramesDrawn();
    const int64_t drawn = now - m_nFrames;
    m_nFrames = now;
    return drawn;
  }
  void Reset() {
    (void)Shown();
    (void)Frames3D();
  }

  std::vector<std::unique_ptr<ZR_RecordingDrawSurface>> recorders;
  std::map<int32_t, ZR_RecordingDrawSurface*> recorded;

 private:
  int64_t m_nFrames = 0;
};

using Panels = std::map<int32_t, int32_t>;

TEST_F(Frames, SwitchingScreensShowsEachPanelOfTheNewScreenOnce) {
  Reset();
  ASSERT_TRUE(manager->Show3DScreen());
  EXPECT_EQ(Shown(), (Panels{{0, 1}, {1, 1}, {2, 1}, {3, 1}}));
  EXPECT_EQ(Frames3D(), 1);

  ASSERT_TRUE(manager->ShowMprScreen());
  EXPECT_EQ(Shown(), (Panels{{4, 1}, {5, 1}, {6, 1}, {7, 1}, {8, 1}}));
  EXPECT_EQ(Frames3D(), 1);

  ASSERT_TRUE(manager->Show3DScreen());
  EXPECT_EQ(Shown(), (Panels{{0, 1}, {1, 1}, {2, 1}, {3, 1}}));
  EXPECT_EQ(Frames3D(), 1);
}

// The window flags the panels of the new screen for a repaint when it lays them out, and
// each one exposed is flagged again: a panel that still holds its picture shows it again.
TEST_F(Frames, RepaintsAfterASwitchShowThePicturesAgainWithoutANewFrame) {
  uint8_t flags[ZR_Panel::kPanelCount] = {};
  manager->SetRepaintFlags(flags);
  ASSERT_TRUE(manager->Show3DScreen());
  manager->SetRepaintQuality(0);  // as the window's "3D" button sets it
  Reset();
  for (int32_t panel = 0; panel <= 3; ++panel) flags[panel] = 1;
  manager->RepaintFlagged();
  manager->Repaint(0);  // an expose
  EXPECT_EQ(Frames3D(), 0);
  EXPECT_EQ(Shown(), (Panels{{0, 2}, {1, 1}, {2, 1}, {3, 1}}));
  // A panel of another size needs a new picture.
  ASSERT_TRUE(panels->Resize(0, 48, 48));
  manager->Repaint(0);
  EXPECT_EQ(Frames3D(), 1);
  manager->Repaint(0);
  EXPECT_EQ(Frames3D(), 0);
  // So does a changed view.
  manager->LeftDown(0, 30, 30);
  manager->PointerMove(0, 34, 30);
  manager->LeftUp(0);
  EXPECT_EQ(Frames3D(), 2);
  manager->Repaint(0);
  EXPECT_EQ(Frames3D(), 0);
  manager->SetRepaintFlags(nullptr);
}

TEST_F(Frames, ADragStepDrawsOneReducedFrameAndTheReleaseOneFullFrame) {
  ASSERT_TRUE(manager->Show3DScreen());
  manager->Select3dTool(ZR_Tool3d::Rotate);  // rotate
  Reset();
  manager->LeftDown(0, 30, 30);
  EXPECT_EQ(Frames3D(), 0);
  for (int32_t step = 1; step <= 3; ++step) {
    manager->PointerMove(0, 30 + 4 * step, 30);
    EXPECT_EQ(Frames3D(), 1) << "step " << step;
    EXPECT_EQ(manager->RenderQuality(), 3);
    EXPECT_EQ(Shown()[0], 1) << "step " << step;
  }
  manager->LeftUp(0);
  EXPECT_EQ(Frames3D(), 1);
  EXPECT_EQ(manager->RenderQuality(), 0);
  EXPECT_EQ(Shown()[0], 1);
}

}  // namespace
