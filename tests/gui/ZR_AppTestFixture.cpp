#include "tests/gui/ZR_AppTestFixture.h"

#include <QGuiApplication>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <algorithm>
#include <filesystem>

#include "core/ZR_SystemInfo.h"
#include "gui/TContinueCancelDialog.h"
#include "gui/ZR_AppPaths.h"
#include "tests/gui/ZR_GuiTestHelpers.h"
#include "tests/support/ZR_TestData.h"

namespace {
constexpr int kWatchdogMs = 300000;
}

void ZR_AppTestFixture::SetUp() {
  m_pMessages = std::make_unique<QTimer>();
  m_pMessages->setInterval(20);
  QObject::connect(m_pMessages.get(), &QTimer::timeout, [this] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      messages.push_back(box->text());
      box->accept();
    }
  });
  m_pMessages->start();
  m_pWatchdog = std::make_unique<QTimer>();
  m_pWatchdog->setSingleShot(true);
  QObject::connect(m_pWatchdog.get(), &QTimer::timeout, [] {
    ADD_FAILURE() << "the test waited " << kWatchdogMs / 1000 << " s for a window; the open ones are closed";
    while (QWidget* modal = QApplication::activeModalWidget()) {
      if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->done(QDialog::Rejected);
      else
        modal->close();
      QCoreApplication::processEvents();
      if (QApplication::activeModalWidget() == modal) break;
    }
  });
  m_pWatchdog->start(kWatchdogMs);
}

void ZR_AppTestFixture::TearDown() {
  window.reset();
  m_pMessages.reset();
  m_pWatchdog.reset();
  Settle(50);
}

void ZR_AppTestFixture::Start(const std::vector<std::string>& filesAtStart) {
  // The program's folder (presets, cursors, help) as an installed, read-only one; the user's
  // files in a folder of this test's own, so that tests running side by side do not meet.
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::filesystem::path user = ZR_TestData::ScratchDir(std::string("app-") + test->test_suite_name() + "-" + test->name());
  const ZR_AppPaths paths =
      ZR_AppPaths::Redirected(ZR_SystemInfo::ApplicationDirectory(), (user / "config").string(), (user / "data").string());
  window = std::make_unique<Tfrm_Visualization>(paths);
  ASSERT_TRUE(window->FormCreate()) << "start-up failed with " << window->StartupResult();
  window->ImportAtStart(filesAtStart);
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get(), 20000));
  ASSERT_TRUE(QTest::qWaitFor([this] { return window->IsActivated(); }, 20000));
  Settle();
}

void ZR_AppTestFixture::Answer(std::vector<bool> answers) {
  if (answers.empty()) return;
  const bool yes = answers.front();
  answers.erase(answers.begin());
  WhenDialogAppears<TContinueCancelDialog>([this, yes, answers](TContinueCancelDialog* dialog) {
    questions.push_back(dialog->findChild<QLabel*>("Lbl_Question")->text());
    Answer(answers);
    (yes ? dialog->ContinueButton() : dialog->CancelButton())->click();
  });
}

QImage ZR_AppTestFixture::Shot(const char* panel) const {
  TPaintPanel* p = window->findChild<TPaintPanel*>(panel);
  if (!p || !p->isVisible()) return {};
  return QGuiApplication::primaryScreen()->grabWindow(p->NativeWindow()->winId()).toImage().convertToFormat(
      QImage::Format_RGB888);
}

void ZR_AppTestFixture::Settle(int ms) {
  QTest::qWait(ms);
  QCoreApplication::processEvents();
}

std::vector<std::string> ZR_AppTestFixture::FilesOf(const std::string& folder) {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.is_regular_file()) files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  return files;
}
