#include "gui/ZR_BcProgressBar.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QProgressBar>
#include <QPushButton>

#include "gui/TCancellableProgressDialog.h"
#include "gui/ZR_UserEvent.h"

namespace {
class MainWindow : public QWidget {
 public:
  int cancels = 0;

 protected:
  bool event(QEvent* e) override {
    if (e->type() == ZR_UserEvent::TypeOf(ZR_UserEvent::Cancel)) {
      ++cancels;
      return true;
    }
    return QWidget::event(e);
  }
};
}  // namespace

TEST(BcProgressBar, PositionGoesToTheCurrentWindowAndMaximumToBoth) {
  MainWindow main;
  ZR_BcProgressBar progress(&main);
  progress.SetMax(200);
  progress.Show(false);
  progress.SetPosition(40);
  EXPECT_EQ(progress.CancellableWindow()->Bar()->value(), 40);
  EXPECT_NE(progress.PlainWindow()->Bar()->value(), 40);
  EXPECT_EQ(progress.PlainWindow()->Bar()->maximum(), 200);
  EXPECT_EQ(progress.CancellableWindow()->Bar()->maximum(), 200);
  progress.Step(5);
  EXPECT_EQ(progress.CancellableWindow()->Bar()->value(), 45);
  int32_t w = 0, h = 0;
  progress.GetSize(w, h);
  EXPECT_EQ(w, 450);
  EXPECT_EQ(h, 130);

  progress.Show(true);  // back to the plain window, starting at 0
  EXPECT_EQ(progress.Current(), progress.PlainWindow());
  EXPECT_EQ(progress.PlainWindow()->Bar()->value(), 0);
  progress.Close();
  EXPECT_TRUE(progress.PlainWindow()->isHidden());
}

TEST(BcProgressBar, CancelPostsTheCancelMessageAndHides) {
  MainWindow main;
  ZR_BcProgressBar progress(&main);
  progress.Show(false);
  progress.CancellableWindow()->CancelButton()->click();
  EXPECT_TRUE(progress.CancellableWindow()->isHidden());
  EXPECT_EQ(main.cancels, 0);  // posted, not sent
  progress.SetPosition(1);     // a long operation's next step lets the window see it
  EXPECT_EQ(main.cancels, 1);
}

TEST(BcProgressBar, SurvivesItsMainWindowGoingFirst) {
  auto* main = new MainWindow;
  ZR_BcProgressBar progress(main);
  delete main;
  progress.Show(true);
  progress.SetPosition(3);
  progress.Close();
}
