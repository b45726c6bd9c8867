// The windowed rendering platform on a real X server: the engine starts on native panel
// windows, what it draws through its entry points is what the window shows, offscreen
// buffers share the context without disturbing the panels, and graphics objects can still
// be released once every panel is gone.
#include "gui/ZR_QtRenderPlatform.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <memory>

#include "core/ZR_Log.h"
#include "manager/ZR_VisManager.h"
#include "gui/TPaintPanel.h"
#include "gui/ZR_QtGlContext.h"
#include "tests/support/ZR_RecordingVisGui.h"
#include "tests/support/ZR_TestData.h"

namespace {
constexpr int kPanel = 64;

class QtPlatform : public ::testing::Test {
 protected:
  void SetUp() override {
    host.resize(9 * (kPanel + 4), kPanel + 4);
    for (int32_t index = 0; index < 9; ++index) {
      panels[index] = new TPaintPanel(QString("Pnl_%1").arg(index), index, context, &host);
      panels[index]->SetViewportTable(&table);
      panels[index]->Place({index * (kPanel + 4), 0, kPanel + 2, kPanel + 2});
      table.aSurfaces[index] = panels[index]->Surface();
    }
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
  }
  // The colour the X server shows at the middle of a panel.
  static QColor Shown(TPaintPanel* panel) {
    QTest::qWait(50);
    const QImage shot = QGuiApplication::primaryScreen()->grabWindow(panel->NativeWindow()->winId()).toImage();
    return shot.pixelColor(shot.width() / 2, shot.height() / 2);
  }
  static void Clear(const ZR_GlFunctions& gl, float r, float g, float b) {
    gl.ClearColor(r, g, b, 1);
    gl.Clear(GL_COLOR_BUFFER_BIT);
  }
  static QColor Read(ZR_DrawSurface& surface, bool back) {
    uint8_t rgb[3] = {0, 0, 0};
    EXPECT_TRUE(surface.ReadPixels(surface.Width() / 2, surface.Height() / 2, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, back, rgb));
    return QColor(rgb[0], rgb[1], rgb[2]);
  }

  ZR_QtGlContext context;
  ZR_QtRenderPlatform platform{context};
  ZR_ViewportTable table;
  QWidget host;
  TPaintPanel* panels[9] = {};
};
}  // namespace

TEST_F(QtPlatform, TheEngineStartsOnNativePanelsAndDrawsWhatTheWindowShows) {
  ZR_Log::Instance().Open((ZR_TestData::ScratchDir("qt-platform") / "lmx_log.txt").string());
  ZR_RecordingVisGui gui;
  auto manager = std::make_unique<ZR_VisManager>(&gui);
  manager->SetRenderPlatform(&platform);
  const int32_t result = manager->OnCreate(&table);
  ASSERT_TRUE(result == VR_OK || result == VR_OG_SW_RENDER) << result;
  ZR_Log::Instance().Close();
  const std::string log = ZR_TestData::ReadText(ZR_TestData::ScratchDir("qt-platform-read").parent_path() /
                                                "qt-platform/lmx_log.txt");
  EXPECT_NE(log.find("CreateOpenGlViewports(): Pixel Format OK"), std::string::npos) << log;
  // A software rasteriser is no adapter.
  EXPECT_NE(log.find("Unable to locate device information"), std::string::npos) << log;
  // The viewport table holds each picture's size in device pixels.
  const qreal ratio = panels[6]->NativeWindow()->devicePixelRatio();
  EXPECT_EQ(table.Width(6), qRound(kPanel * ratio));
  EXPECT_EQ(table.Height(6), qRound(kPanel * ratio));
  EXPECT_EQ(panels[6]->Surface()->Width(), table.Width(6));

  // Drawn through the engine's table, shown by the window.
  ZR_GlFunctions* gl = platform.Gl();
  ASSERT_NE(gl, nullptr);
  ZR_DrawSurface& panel = *panels[6]->Surface();
  ASSERT_TRUE(panel.MakeCurrent());
  Clear(*gl, 1, 0, 0);
  ASSERT_TRUE(panel.SwapBuffers());
  EXPECT_EQ(Shown(panels[6]), QColor(255, 0, 0));
  EXPECT_EQ(Read(panel, false), QColor(255, 0, 0));

  // An offscreen buffer draws into itself only; the panel draws into its window again after.
  std::unique_ptr<ZR_DrawSurface> offscreen = platform.CreateOffscreenSurface(96, 80);
  ASSERT_NE(offscreen, nullptr);
  EXPECT_EQ(offscreen->Width(), 96);
  ASSERT_TRUE(offscreen->MakeCurrent());
  Clear(*gl, 0, 1, 0);
  EXPECT_EQ(Read(*offscreen, true), QColor(0, 255, 0));
  ASSERT_TRUE(panel.MakeCurrent());
  Clear(*gl, 0, 0, 1);
  EXPECT_EQ(Read(panel, true), QColor(0, 0, 255));
  EXPECT_EQ(Read(*offscreen, true), QColor(0, 255, 0));
  ASSERT_TRUE(panel.SwapBuffers());
  EXPECT_EQ(Shown(panels[6]), QColor(0, 0, 255));
  EXPECT_FALSE(platform.CreateOffscreenSurface(0, 10));
  offscreen.reset();

  // With every panel gone the context still releases what the manager made.
  for (TPaintPanel*& p : panels) {
    delete p;
    p = nullptr;
  }
  for (ZR_DrawSurface*& s : table.aSurfaces) s = nullptr;
  ASSERT_TRUE(context.MakeOffscreenCurrent());
  GLuint texture = 0;
  gl->GenTextures(1, &texture);
  gl->DeleteTextures(1, &texture);
  EXPECT_EQ(gl->GetError(), static_cast<GLenum>(GL_NO_ERROR));
  manager.reset();
  EXPECT_EQ(gl->GetError(), static_cast<GLenum>(GL_NO_ERROR));
}
