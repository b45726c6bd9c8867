#pragma once
// The real main window as the program starts it, on the tests' own X server: created,
// shown, activated. Helpers find its controls by object name, answer its questions and take
// screenshots of its panels as the X server shows them.

#include <gtest/gtest.h>

#include <QImage>
#include <QString>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "gui/Tfrm_Visualization.h"

class ZR_AppTestFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Creates, shows and activates the window, with no settings file of an earlier run;
  // `filesAtStart` as given on the command line.
  void Start(const std::vector<std::string>& filesAtStart = {});
  // The regular files of a folder in name order, as the command line takes a folder.
  static std::vector<std::string> FilesOf(const std::string& folder);
  template <typename T>
  T* Find(const char* name) const {
    T* found = window->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  // Answers the next questions in order (true "Continue", false "Cancel") and records them.
  void Answer(std::vector<bool> answers);
  // What the X server shows of a panel's picture.
  QImage Shot(const char* panel) const;
  // Lets queued repaints and redraws happen.
  static void Settle(int ms = 200);

  std::unique_ptr<Tfrm_Visualization> window;
  std::vector<QString> questions;
  // Every message box shown is answered with OK and its text kept here.
  std::vector<QString> messages;

 private:
  std::unique_ptr<QTimer> m_pMessages;
  // A test that waits for a window that never comes fails instead of hanging: the modal
  // windows still open are closed.
  std::unique_ptr<QTimer> m_pWatchdog;
};
