// The rendering start-up through OnCreate: the log on the headless driver, the result codes
// of each platform step, the adapter list (logged, never deciding) and capability detection
// (deciding), and the offscreen buffer.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "core/ZR_Log.h"
#include "tests/support/ZR_GlTestContext.h"
#include "tests/support/ZR_RecordingDrawSurface.h"
#include "tests/support/ZR_RecordingGl.h"
#include "tests/support/ZR_RecordingRenderPlatform.h"
#include "tests/support/ZR_RecordingVisGui.h"
#include "tests/support/ZR_StartupEnvironment.h"
#include "tests/support/ZR_TestData.h"
#include "tests/support/ZR_TestManager.h"
#include "tests/support/ZR_TestPanels.h"

namespace {

class ViewportStartup : public ::testing::Test {
 protected:
  void SetUp() override {
    gl = ZR_GlTestContext::Get();
    ASSERT_NE(gl, nullptr) << ZR_GlTestContext::Error();
    panels = std::make_unique<ZR_TestPanels>(*gl, 32);
  }
  std::vector<std::string> LogLines() const {
    std::istringstream in(environment.Log());
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  bool Logged(const std::string& line) const {
    const auto lines = LogLines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
  std::unique_ptr<ZR_TestManager> Manager(ZR_RenderPlatform& platform) {
    auto manager = std::make_unique<ZR_TestManager>(&gui, shared, text);
    manager->OpenLog(dir.string() + "/");
    manager->SetRenderPlatform(&platform);
    return manager;
  }
  bool SoftwareRasteriser() const {
    const std::string renderer = reinterpret_cast<const char*>(gl->Gl().GetString(GL_RENDERER));
    return renderer.find("llvmpipe") != std::string::npos || renderer.find("softpipe") != std::string::npos;
  }

  ZR_StartupEnvironment environment;
  const std::filesystem::path& dir = environment.Dir();
  ZR_GlTestContext* gl = nullptr;
  std::unique_ptr<ZR_TestPanels> panels;
  ZR_RecordingVisGui gui;
  RenderShared shared;
  OpenGlText text;
};

TEST_F(ViewportStartup, OnCreateOnTheHeadlessDriverWritesTheStartUpLog) {
  auto manager = Manager(panels->platform);
  ASSERT_EQ(manager->OnCreate(&panels->table), VR_OK);
  EXPECT_TRUE(manager->IsInitialised());
  EXPECT_FALSE(manager->IsSoftwareRendering());
  EXPECT_EQ(manager->CurrentRenderer(), &manager->TextureRenderer());
  // The driver's own strings are matched by their form.
  std::vector<std::string> expected = {
      R"(Log created on Mon Jun 28 14:03:55 2010)",
      R"()",
      R"(v1\.9 build 20100628)",
      R"(CreateOpenGlViewports\(\): Pixel Format OK)",
      R"(CreateOpenGlViewports\(\): Renderer = .+)",
      R"(CreateOpenGlViewports\(\): GL_VERSION = [0-9]\.[0-9].*)",
      R"(CreateOpenGlViewports\(\): GL_EXTENSIONS = .*\bGL_EXT_texture3D\b.*)",
  };
  // A software rasteriser has no PCI device; a real adapter's lines depend on the machine.
  const bool software = SoftwareRasteriser();
  if (software) {
    expected.push_back(R"(Unable to locate device information)");
    expected.push_back(R"(CreateOpenGlViewports\(\): adapter not on the qualified list; capability detection decides)");
  }
  for (const char* line : {R"(CreateOpenGlViewports\(\): nMaxSlices = 2048)",
                           R"(CreateOpenGlViewports\(\): m_oTexture3dRenderer\.Init\(\) OK)",
                           R"(CreateOpenGlViewports\(\): OpenGlText::SetDC\(\) OK)"})
    expected.push_back(line);
  if (!manager->CanShade())
    expected.push_back(R"(OnCreate\(\): Shaded Volume Rendering not supported by the graphics card\.)");
  std::vector<std::string> lines;
  const std::regex adapterLine(R"((Vendor ID|Device ID|Graphics card|Unable to locate|CreateOpenGlViewports\(\): adapter).*)");
  for (const std::string& line : LogLines())
    if (software || !std::regex_match(line, adapterLine)) lines.push_back(line);
  // The shading message ends in a line break of its own.
  if (!manager->CanShade()) expected.push_back("");
  ASSERT_EQ(lines.size(), expected.size());
  for (size_t i = 0; i < lines.size(); ++i)
    EXPECT_TRUE(std::regex_match(lines[i], std::regex(expected[i]))) << "line " << i << ": " << lines[i];
  EXPECT_TRUE(text.Enabled());
  EXPECT_NE(text.ListBase(), 0u);
}

// Each platform step that fails ends the start-up with its code, and nothing after it runs.
TEST_F(ViewportStartup, PlatformFailuresReturnTheirCodes) {
  struct Case {
    const char* label;
    int32_t code;
    std::function<void(ZR_RecordingRenderPlatform&, ZR_ViewportTable&, ZR_RecordingDrawSurface&)> script;
    std::vector<std::string> calls;
  };
  const std::vector<std::string> allFormats = {"ChoosePixelFormat(0)", "SetPixelFormat(0)", "SetPixelFormat(1)",
                                               "SetPixelFormat(2)",    "SetPixelFormat(3)", "SetPixelFormat(4)",
                                               "SetPixelFormat(5)",    "SetPixelFormat(6)", "SetPixelFormat(7)",
                                               "SetPixelFormat(8)"};
  auto with = [&](std::vector<std::string> calls, const std::vector<std::string>& more) {
    calls.insert(calls.end(), more.begin(), more.end());
    return calls;
  };
  const std::vector<Case> cases = {
      {"no pixel format for panel 0", VR_OG_PIXEL_FORMAT,
       [](auto& p, auto&, auto&) { p.chooseResult = false; }, {"ChoosePixelFormat(0)"}},
      {"panel 5 refuses the format", VR_OG_PIXEL_FORMAT, [](auto& p, auto&, auto&) { p.failSetOnPanel = 5; },
       std::vector<std::string>(allFormats.begin(), allFormats.begin() + 7)},
      {"panel 3 missing", VR_OG_PIXEL_FORMAT, [](auto&, auto& t, auto&) { t.aSurfaces[3] = nullptr; },
       std::vector<std::string>(allFormats.begin(), allFormats.begin() + 4)},
      {"no context", VR_OG_CONTEXT, [](auto& p, auto&, auto&) { p.createResult = false; },
       with(allFormats, {"CreateContext(0)"})},
      {"no entry points", VR_OG_CONTEXT, [](auto& p, auto&, auto&) { p.glAfterCreate = false; },
       with(allFormats, {"CreateContext(0)"})},
      {"panel 0 cannot be made current", VR_OG_CONTEXT,
       [](auto&, auto&, auto& panel0) { panel0.makeCurrentResult = false; }, with(allFormats, {"CreateContext(0)"})},
  };
  for (const Case& c : cases) {
    ZR_RecordingGl recording;  // nothing may reach OpenGL
    std::vector<std::unique_ptr<ZR_RecordingDrawSurface>> surfaces;
    ZR_ViewportTable table;
    for (int32_t i = 0; i < 10; ++i) {  // panel 9 has no format to set at start-up
      surfaces.push_back(std::make_unique<ZR_RecordingDrawSurface>(32, 32));
      table.aSurfaces[i] = surfaces.back().get();
    }
    ZR_RecordingRenderPlatform platform(table, &recording.Table());
    c.script(platform, table, *surfaces[0]);
    ZR_RecordingVisGui localGui;
    ZR_TestManager manager(&localGui, shared, text);
    manager.OpenLog(dir.string() + "/");
    manager.SetRenderPlatform(&platform);
    EXPECT_EQ(manager.OnCreate(&table), c.code) << c.label;
    EXPECT_FALSE(manager.IsInitialised()) << c.label;
    EXPECT_EQ(platform.calls, c.calls) << c.label;
    EXPECT_TRUE(Logged("OnCreate(): CreateOpenGlViewports() failed; returned " + std::to_string(c.code))) << c.label;
    EXPECT_FALSE(Logged("CreateOpenGlViewports(): Pixel Format OK")) << c.label;
    EXPECT_EQ(localGui.Messages().back(), "Renderer: \n" + ZR_Result::DisplayText(c.code)) << c.label;
  }
}

// The qualified list dates from the renderer's first adapters; what an adapter can do is
// found by capability detection, so neither an unlisted nor an unidentified adapter is
// refused for that alone.
TEST_F(ViewportStartup, TheAdapterListIsLoggedButDoesNotDecide) {
  struct Case {
    const char* id;
    std::vector<std::string> lines;
    bool unlisted;
  } cases[] = {
      {"PCI\\VEN_10DE&DEV_0640&SUBSYS_00000000", {"Vendor ID: 10DE", "Device ID: 0640"}, false},
      {"PCI\\VEN_1002&DEV_9442", {"Vendor ID: 1002", "Device ID: 9442"}, false},
      {"PCI\\VEN_10DE&DEV_0642", {"Vendor ID: 10DE", "Device ID: 0642", "Graphics card not supported"}, true},
      {"PCI\\VEN_8086&DEV_9A49", {"Vendor ID: 8086", "Device ID: 9A49", "Graphics card not supported"}, true},
      {"", {"Unable to locate device information"}, true},
  };
  for (const Case& c : cases) {
    ZR_RecordingRenderPlatform platform(panels->table, &gl->Gl());
    platform.adapterId = c.id;
    auto manager = Manager(platform);
    EXPECT_EQ(manager->OnCreate(&panels->table), VR_OK) << c.id;
    EXPECT_TRUE(manager->IsInitialised()) << c.id;
    const std::vector<std::string> lines = LogLines();
    const auto first = std::find(lines.begin(), lines.end(), c.lines.front());
    ASSERT_NE(first, lines.end()) << c.id;
    EXPECT_TRUE(std::equal(c.lines.begin(), c.lines.end(), first)) << c.id;
    EXPECT_EQ(Logged("CreateOpenGlViewports(): adapter not on the qualified list; capability detection decides"),
              c.unlisted)
        << c.id;
    EXPECT_FALSE(Logged("CreateOpenGlViewports(): VR_OG_NOT_SUPPORTED")) << c.id;
  }
}

// Capability detection decides: no minimum/maximum blending refuses the adapter, no 3D
// textures runs the MPR views in software, even for an adapter on the list.
TEST_F(ViewportStartup, CapabilityDetectionDecides) {
  struct Case {
    const char* label;
    const char* extensions;
    int32_t onCreate;
    bool software;
    const char* logged;
  } cases[] = {
      {"no min/max blending", "GL_EXT_texture3D GL_ARB_multitexture GL_ARB_fragment_program", VR_OG_NOT_SUPPORTED,
       false, "CreateOpenGlViewports(): VR_OG_NOT_SUPPORTED"},
      {"no 3D textures", "GL_EXT_blend_minmax GL_ARB_multitexture GL_ARB_fragment_program", VR_OK, true,
       "CreateOpenGlViewports(): VR_OG_SW_RENDER"},
  };
  for (const Case& c : cases) {
    ZR_RecordingGl recording(&gl->Gl());
    recording.extensions = c.extensions;
    recording.version = "1.1 Mesa";
    ZR_RecordingRenderPlatform platform(panels->table, &recording.Table());
    platform.adapterId = "PCI\\VEN_10DE&DEV_0640";
    ZR_RecordingVisGui localGui;
    ZR_TestManager manager(&localGui, shared, text);
    manager.OpenLog(dir.string() + "/");
    manager.SetRenderPlatform(&platform);
    EXPECT_EQ(manager.OnCreate(&panels->table), c.onCreate) << c.label;
    EXPECT_EQ(manager.IsSoftwareRendering(), c.software) << c.label;
    EXPECT_TRUE(Logged(c.logged)) << c.label;
    EXPECT_FALSE(Logged("CreateOpenGlViewports(): m_oTexture3dRenderer.Init() OK")) << c.label;
    if (c.software) {
      EXPECT_TRUE(manager.IsInitialised());
      EXPECT_EQ(manager.CurrentRenderer(), &manager.SoftwareRenderer());
      EXPECT_TRUE(Logged("OnCreate(): CreateOpenGlViewports() returned VR_OG_SW_RENDER"));
      // The software views keep their labels.
      EXPECT_TRUE(Logged("CreateOpenGlViewports(): OpenGlText::SetDC() OK"));
      EXPECT_NE(localGui.Messages().back().find("Rendering performance will be lower."), std::string::npos);
    }
    (void)gl->Context().MakeCurrent();
  }
}

TEST_F(ViewportStartup, AFontThatCannotBeReadSwitchesTextOff) {
  text.SetFontFile((dir / "missing.ttf").string());
  auto manager = Manager(panels->platform);
  ASSERT_EQ(manager->OnCreate(&panels->table), VR_OK);
  EXPECT_TRUE(Logged("CreateOpenGlViewports(): OpenGlText::SetDC() returned false"));
  EXPECT_FALSE(text.Enabled());
}

TEST_F(ViewportStartup, TheOffscreenBufferGrowsWithTheDrawingArea) {
  ZR_RecordingRenderPlatform platform(panels->table, &gl->Gl());
  platform.offscreen = [&](int32_t w, int32_t h) -> std::unique_ptr<ZR_DrawSurface> {
    auto surface = std::make_unique<ZR_FramebufferSurface>(gl->Context(), w, h);
    if (!surface->Create()) return nullptr;
    return surface;
  };
  auto manager = Manager(platform);
  manager->SetOffscreenSize(900, 700);  // before the context: nothing to make it with yet
  EXPECT_FALSE(manager->IsOffscreenReady());
  EXPECT_TRUE(manager->IsLargeViewport());
  ASSERT_EQ(manager->OnCreate(&panels->table), VR_OK);
  platform.calls.clear();
  // The first call with a context makes it, for the largest area asked so far.
  manager->SetOffscreenSize(800, 500);
  EXPECT_TRUE(manager->IsOffscreenReady());
  EXPECT_FALSE(manager->IsLargeViewport());  // 500 is not above 600
  ASSERT_NE(manager->OffscreenBuffer(), nullptr);
  EXPECT_EQ(manager->OffscreenBuffer()->Width(), 900);
  EXPECT_EQ(manager->OffscreenBuffer()->Height(), 900);
  // Within it: the buffer stays.
  manager->SetOffscreenSize(700, 650);
  EXPECT_TRUE(manager->IsLargeViewport());
  // Wider, though lower: a new square as wide.
  manager->SetOffscreenSize(1000, 300);
  EXPECT_EQ(manager->OffscreenBuffer()->Width(), 1000);
  EXPECT_EQ(platform.calls, (std::vector<std::string>{"CreateOffscreenSurface(900,900)",
                                                      "CreateOffscreenSurface(1000,1000)"}));
  EXPECT_FALSE(manager->IsLargeViewport());
  // The platform cannot make one: not ready, captures read the panel itself.
  platform.offscreen = nullptr;
  manager->SetOffscreenSize(1100, 1000);
  EXPECT_FALSE(manager->IsOffscreenReady());
  EXPECT_EQ(manager->OffscreenBuffer(), nullptr);
}

}  // namespace
