// How long the window keeps a user waiting, on the sample study in a 1600 x 1000 window: from
// pressing "3D" (after "Load Volume" on the MPR screen) until the last picture of the 3D
// screen is drawn, and from releasing a short rotating drag in the 3D view until its final
// picture. Each time runs until the window has drawn nothing more for two seconds; the 3D
// frames drawn in it are counted.
//
//   build/release/bench/bench_window [DIR]   (default: build/sample/ct-head)
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

#include "gui/TVolumePreview.h"
#include "gui/ZR_Application.h"
#include "manager/ZR_VisManager.h"
#include "tests/gui/ZR_AppTestFixture.h"
#include "tests/gui/ZR_GuiTestHelpers.h"
#include "tests/gui/ZR_XvfbServer.h"

namespace {

std::string g_sStudy = "build/sample/ct-head";

using Clock = std::chrono::steady_clock;

class Window : public ZR_AppTestFixture {
 protected:
  // Processes events until no 3D frame has been drawn for `quiet` seconds; the seconds from
  // `since` to the end of the last frame, and the frames drawn.
  std::pair<double, int64_t> UntilQuiet(Clock::time_point since, int64_t framesBefore, double quiet = 2.0) {
    ZR_VisManager* manager = window->Manager();
    int64_t frames = manager->FramesDrawn();
    Clock::time_point last = Clock::now();
    while (std::chrono::duration<double>(Clock::now() - last).count() < quiet) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
      if (manager->FramesDrawn() != frames) {
        frames = manager->FramesDrawn();
        last = Clock::now();
      }
    }
    return {std::chrono::duration<double>(last - since).count(), frames - framesBefore};
  }
};

TEST_F(Window, TimesOfTheThreeDButtonAndOfADragRelease) {
  WhenDialogAppears<TVolumePreview>([](TVolumePreview* preview) { preview->LoadButton()->click(); });
  Start(FilesOf(g_sStudy));
  ASSERT_TRUE(QTest::qWaitFor([this] { return window->Manager()->IsVolumeLoaded(); }, 120000));
  Settle(2000);
  ZR_VisManager* manager = window->Manager();

  const int64_t before = manager->FramesDrawn();
  const Clock::time_point pressed = Clock::now();
  Find<QAbstractButton>("sbtn_3D")->click();
  const auto [shown, frames] = UntilQuiet(pressed, before);
  std::printf("\"3D\" pressed: the 3D screen is drawn after %.2f s (%lld 3D frames)\n", shown,
              static_cast<long long>(frames));

  QWindow* view = window->Panel(ZR_Panel::View3D)->NativeWindow();
  const QPoint from(view->width() / 2, view->height() / 2);
  QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, from);
  for (int step = 1; step <= 5; ++step) {
    QTest::mouseMove(view, from + QPoint(6 * step, 0));
    QCoreApplication::processEvents();
  }
  const int64_t beforeRelease = manager->FramesDrawn();
  const Clock::time_point released = Clock::now();
  QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, from + QPoint(30, 0));
  const auto [final, releaseFrames] = UntilQuiet(released, beforeRelease);
  std::printf("drag released: the final picture is drawn after %.2f s (%lld 3D frames)\n", final,
              static_cast<long long>(releaseFrames));
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc > 1) g_sStudy = argv[1];
  ZR_XvfbServer server("1600x1000x24");
  if (!server.UseForQt("bench_window")) return 1;
  int result = 1;
  {
    QApplication app(argc, argv);
    ZR_Application::Prepare();
    result = RUN_ALL_TESTS();
  }
  return result;
}
