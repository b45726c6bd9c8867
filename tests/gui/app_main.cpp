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
  if (server.Display().empty()) {
    std::fprintf(stderr, "test_gui_app: no X server: %s\n", server.Error().c_str());
    return 1;
  }
  setenv("DISPLAY", server.Display().c_str(), 1);
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  unsetenv("WAYLAND_DISPLAY");
  int result = 1;
  {
    QApplication app(argc, argv);
    ZR_Application::Prepare();
    result = RUN_ALL_TESTS();
  }
  return result;
}
