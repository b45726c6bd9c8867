// The tests of the real application windows. Each run starts its own X server (Xvfb, on a
// display it picks itself) and stops it at the end, so the tests need no display around them
// and parallel runs do not meet. Listing the tests needs no server.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

#include "gui/ZR_Application.h"
#include "tests/gui/ZR_XvfbServer.h"

namespace {
// The screen of the tests: small enough to render quickly under the sanitizers.
constexpr const char* kScreen = "1024x768x24";
}

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
  ZR_XvfbServer server(kScreen);
  if (!server.UseForQt("test_gui_app")) return 1;
  int result = 1;
  {
    QApplication app(argc, argv);
    ZR_Application::Prepare();
    result = RUN_ALL_TESTS();
  }
  return result;
}
