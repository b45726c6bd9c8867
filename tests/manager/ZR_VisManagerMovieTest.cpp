// Movies through the manager: capture on records large enough drags of the 3D view from the
// state it had; capture off replays them into the movie writer, one frame each, from that
// state, writes the study's summary beside the movie and gives the view back as it was.
// Cancel and a frame that cannot be written leave no movie.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/ZR_Ids.h"
#include "tests/manager/ZR_LoadingFixture.h"
#include "tests/support/ZR_RecordingMovie.h"
#include "tests/support/ZR_TestData.h"

namespace fs = std::filesystem;

namespace {
class Movie : public ZR_LoadingFixture {
 protected:
  void LoadCube() {
    const std::vector<std::string> files = Files("movie", 12, 32);
    int32_t count = static_cast<int32_t>(files.size());
    ASSERT_EQ(manager->LoadStudy(files, count), VR_OK);
    ASSERT_EQ(LoadRange(0, 11), VR_OK);
    ASSERT_TRUE(manager->Show3DScreen());
    manager->SetMovie(&movie);
    movie.calls.clear();  // the settings' options, handed over with the writer
    dir = ZR_TestData::ScratchDir("movie-out");
  }

  // A left drag in the 3D view through the points.
  void Drag(const std::vector<std::array<int32_t, 2>>& path) {
    manager->LeftDown(ZR_Panel::View3D, path[0][0], path[0][1]);
    for (size_t i = 1; i < path.size(); ++i) manager->PointerMove(ZR_Panel::View3D, path[i][0], path[i][1]);
    manager->LeftUp(ZR_Panel::View3D);
  }

  std::vector<float> Rotation() const { return {shared.Rotation(), shared.Rotation() + 16}; }

  std::unique_ptr<uint8_t[]> Shown(int32_t* w, int32_t* h) {
    return manager->ReadPanel(ZR_Panel::View3D, w, h, GL_BGR, GL_UNSIGNED_BYTE, 3, 1, false);
  }

  ZR_RecordingMovie movie;
  fs::path dir;
};

TEST_F(Movie, ItsFramesAreTheRecordedDragsReplayedFromTheStartAndTheViewComesBack) {
  LoadCube();
  const std::vector<float> start = Rotation();
  manager->ToggleMovie(true, "");
  ASSERT_TRUE(manager->MovieCapture());
  // 14 pixels in all: neither applied nor recorded; one more makes one event of 15.
  Drag({{20, 20}, {27, 20}, {34, 20}});
  EXPECT_EQ(Rotation(), start);
  EXPECT_EQ(manager->MovieEventCount(), 0);
  Drag({{20, 20}, {27, 20}, {34, 20}, {35, 20}});
  EXPECT_EQ(manager->MovieEventCount(), 1);
  EXPECT_NE(Rotation(), start);
  Drag({{30, 30}, {30, 50}, {30, 70}});
  ASSERT_EQ(manager->MovieEventCount(), 3);
  // Whatever the view shows when capture stops is what it shows after the movie.
  const std::vector<float> before = Rotation();

  const std::string name = (dir / "clip.avi").string();
  manager->ToggleMovie(false, name);
  EXPECT_FALSE(manager->MovieCapture());
  EXPECT_EQ(manager->MovieEventCount(), 0);
  ASSERT_EQ(movie.calls.size(), 5u);
  EXPECT_EQ(movie.calls.front().rfind("Open " + name + " ", 0), 0u) << movie.calls.front();
  EXPECT_EQ(movie.calls[1], "AddFrame 0");
  EXPECT_EQ(movie.calls[3], "AddFrame 2");
  EXPECT_EQ(movie.calls.back(), "Close");
  EXPECT_EQ(Rotation(), before);
  const std::string text = ZR_TestData::ReadText(dir / "clip.txt");
  EXPECT_EQ(text.rfind("Patient Name: ", 0), 0u) << text;

  // The first frame is the start state turned by the first drag, drawn directly.
  manager->ToggleMovie(true, "");
  float turned[16];
  std::copy(start.begin(), start.end(), turned);
  shared.SetRotation(turned);
  Drag({{20, 20}, {35, 20}});
  manager->RenderFullQuality();
  int32_t w = 0, h = 0;
  const auto direct = Shown(&w, &h);
  ASSERT_NE(direct, nullptr);
  ASSERT_EQ(movie.firstFrame.size(), static_cast<size_t>(w) * h * 3);
  int32_t differing = 0;
  for (size_t k = 0; k < movie.firstFrame.size(); ++k) differing += std::abs(movie.firstFrame[k] - direct[k]) > 2;
  EXPECT_EQ(differing, 0);
  manager->ToggleMovie(false, "");  // a cancelled dialog: nothing made
  EXPECT_EQ(movie.frames, 3);
}

TEST_F(Movie, CancelAndAFailedFrameLeaveNoMovieAndNoRecordingLeavesNoFile) {
  LoadCube();
  manager->ToggleMovie(true, "");
  manager->ToggleMovie(false, (dir / "empty.avi").string());
  EXPECT_TRUE(movie.calls.empty());  // nothing recorded: nothing opened
  EXPECT_FALSE(fs::exists(dir / "empty.txt"));

  struct Case {
    const char* name;
    int32_t failAt, cancelAt, resizeAt;
    const char* message;
  };
  // A view resized while the movie is made would hand over frames of another size.
  for (const Case& c : {Case{"failed.avi", 1, -1, -1, "Unable to write the movie "},
                        Case{"cancelled.avi", -1, 0, -1, nullptr},
                        Case{"resized.avi", -1, -1, 0, "Unable to write the movie "}}) {
    movie.calls.clear();
    movie.failAt = c.failAt;
    movie.onFrame = [&](int32_t frame) {
      if (frame == c.cancelAt) manager->CancelMovie();
      if (frame == c.resizeAt) ASSERT_TRUE(panels->Resize(ZR_Panel::View3D, kPanel + 8, kPanel + 8));
    };
    manager->ToggleMovie(true, "");
    for (int32_t k = 0; k < 3; ++k) Drag({{20, 20 + 5 * k}, {40, 20 + 5 * k}});
    ASSERT_EQ(manager->MovieEventCount(), 3);
    gui.Clear();
    manager->ToggleMovie(false, (dir / c.name).string());
    // Stopped after the current frame; the writer drops the movie instead of closing it.
    EXPECT_EQ(movie.calls.back(), "Abandon") << c.name;
    EXPECT_EQ(std::count(movie.calls.begin(), movie.calls.end(), "Close"), 0) << c.name;
    // Open, the frames taken (the failed one too), Abandon.
    EXPECT_EQ(movie.calls.size(), c.failAt >= 0 ? 4u : 3u) << c.name;
    EXPECT_FALSE(fs::exists(dir / (std::string(c.name, std::strlen(c.name) - 4) + ".txt")));
    if (c.message) {
      ASSERT_EQ(gui.Messages().size(), 1u);
      EXPECT_EQ(gui.Messages()[0].rfind(c.message, 0), 0u) << gui.Messages()[0];
    } else {
      EXPECT_TRUE(gui.Messages().empty());
    }
    EXPECT_FALSE(manager->IsBusy());
    if (c.resizeAt >= 0) ASSERT_TRUE(panels->Resize(ZR_Panel::View3D, kPanel, kPanel));
  }
}

TEST(MovieText, TheTextFileBesideAMovieNeverTakesTheMoviesOwnName) {
  const std::pair<const char*, const char*> cases[] = {
      {"/d/clip.avi", "/d/clip.txt"}, {"/d/clip.txt", "/d/clip.txt.txt"}, {"/d/clip", ""}, {"clip.AVI", "clip.txt"}};
  for (const auto& [movie, text] : cases) EXPECT_EQ(ZR_VisManager::MovieTextName(movie), text) << movie;
}
}  // namespace
