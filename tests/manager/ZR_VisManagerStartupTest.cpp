// Start-up of the manager: the log header, OnCreate's steps and its messages.
#include <gtest/gtest.h>

#include <cstdlib>

#include "core/ZR_Log.h"
#include "core/ZR_SystemInfo.h"
#include "manager/ZR_VisManager.h"
#include "tests/support/ZR_RecordingProgressBar.h"
#include "tests/support/ZR_RecordingVisGui.h"
#include "tests/support/ZR_StartupEnvironment.h"
#include "tests/support/ZR_TestData.h"

namespace {

// Stands in for the rendering back end: returns a chosen start-up code and remembers what
// the viewport table carried.
class StartupManager : public ZR_VisManager {
 public:
  using ZR_VisManager::ZR_VisManager;
  int32_t nViewportResult = VR_OK;
  bool bCanShade = true;
  ZR_DrawSurface* pSeenSurface3 = nullptr;
  int nCreateCalls = 0;

 protected:
  int32_t CreateOpenGlViewports() override {
    ++nCreateCalls;
    pSeenSurface3 = m_pViewports ? m_pViewports->aSurfaces[3] : nullptr;
    m_oAdapter.sGlRenderer = "llvmpipe (LLVM 15.0.6, 256 bits)";
    m_oAdapter.bCanShade = bCanShade;
    if (nViewportResult == VR_OG_SW_RENDER) m_oAdapter.bSoftwareRendering = true;
    return nViewportResult;
  }
};

class ManagerStartup : public ::testing::Test {
 protected:
  std::string Log() const { return environment.Log(); }

  ZR_StartupEnvironment environment;
  const std::filesystem::path& dir = environment.Dir();
  ZR_RecordingVisGui gui;
  ZR_RecordingProgressBar progress;
  ZR_ViewportTable viewports;
};

}  // namespace

TEST_F(ManagerStartup, OpenLogWritesTheHeaderAndDefaultsTheCaptureDirectory) {
  ZR_VisManager manager(&gui);
  manager.OpenLog(dir.string() + "/");
  EXPECT_EQ(manager.AppDir(), dir.string() + "/");
  EXPECT_EQ(manager.CaptureDir(), dir.string() + "/captured");
  EXPECT_EQ(Log(), "Log created on Mon Jun 28 14:03:55 2010\n\nv1.9 build 20100628\n");
}

TEST_F(ManagerStartup, OpenLogKeepsACaptureDirectorySetBefore) {
  ZR_VisManager manager(&gui);
  manager.SetCaptureDir("/data/out");
  manager.OpenLog(dir.string());
  EXPECT_EQ(manager.CaptureDir(), "/data/out");
  EXPECT_EQ(manager.AppDir(), dir.string() + "/");  // paths always end in '/'
}

TEST_F(ManagerStartup, ASecondRunReplacesTheFirstRunsLog) {
  {
    ZR_VisManager first(&gui);
    first.OpenLog(dir.string() + "/");
    ZR_Log::Entry("from the first run");
  }
  ZR_VisManager second(&gui);
  second.OpenLog(dir.string() + "/");
  EXPECT_EQ(Log().find("from the first run"), std::string::npos);
  EXPECT_EQ(Log().rfind("Log created on ", 0), 0u);
}

TEST_F(ManagerStartup, AnUnwritableDirectoryDoesNotStopStartUp) {
  StartupManager manager(&gui);
  manager.OpenLog("/dev/null/not-a-dir/");
  EXPECT_EQ(manager.CaptureDir(), "/dev/null/not-a-dir/captured");
  EXPECT_EQ(manager.OnCreate(&viewports), VR_OK);
  EXPECT_TRUE(manager.IsInitialised());
}

TEST_F(ManagerStartup, SuccessfulStartUpEnablesTheRegionToolsAndWritesTheExactLog) {
  StartupManager manager(&gui);
  manager.OpenLog(dir.string() + "/");
  EXPECT_EQ(manager.OnCreate(&viewports), VR_OK);
  EXPECT_TRUE(manager.IsInitialised());
  EXPECT_FALSE(manager.IsSoftwareRendering());
  EXPECT_EQ(gui.calls, (std::vector<std::string>{"EnableControl(13,true)", "EnableControl(14,true)",
                                                 "EnableControl(17,true)"}));
  EXPECT_EQ(Log(), "Log created on Mon Jun 28 14:03:55 2010\n\nv1.9 build 20100628\n");
}

TEST_F(ManagerStartup, SoftwareRenderingWarnsAndStillSucceeds) {
  StartupManager manager(&gui);
  manager.nViewportResult = VR_OG_SW_RENDER;
  manager.bCanShade = false;
  manager.OpenLog(dir.string() + "/");
  EXPECT_EQ(manager.OnCreate(&viewports), VR_OK);
  EXPECT_TRUE(manager.IsInitialised());
  EXPECT_TRUE(manager.IsSoftwareRendering());
  EXPECT_EQ(gui.calls,
            (std::vector<std::string>{
                "ShowMessage(\"ERROR! Shaded Volume Rendering not supported by the graphics "
                "card.\n\")",
                "ShowMessage(\"Renderer: llvmpipe (LLVM 15.0.6, 256 bits)\nWARNING! OpenGL "
                "Graphics acceleration not available. Rendering performance will be lower.\")",
                "EnableControl(13,true)", "EnableControl(14,true)", "EnableControl(17,true)"}));
  EXPECT_EQ(Log(),
            "Log created on Mon Jun 28 14:03:55 2010\n\n"
            "v1.9 build 20100628\n"
            "OnCreate(): Shaded Volume Rendering not supported by the graphics card.\n\n"
            "OnCreate(): CreateOpenGlViewports() returned VR_OG_SW_RENDER\n");
}

TEST_F(ManagerStartup, OtherStartUpCodesAreReturnedUnchanged) {
  for (int32_t code : {VR_OG_PIXEL_FORMAT, VR_OG_CONTEXT, VR_OG_NOT_SUPPORTED}) {
    ZR_RecordingVisGui localGui;
    StartupManager manager(&localGui);
    manager.nViewportResult = code;
    manager.OpenLog(dir.string() + "/");
    EXPECT_EQ(manager.OnCreate(&viewports), code);
    EXPECT_FALSE(manager.IsInitialised());
    EXPECT_EQ(localGui.Messages().back(),
              "Renderer: llvmpipe (LLVM 15.0.6, 256 bits)\n" + ZR_Result::DisplayText(code));
    EXPECT_TRUE(localGui.CallsTo("EnableControl").empty());
    EXPECT_NE(Log().find("OnCreate(): CreateOpenGlViewports() failed; returned " +
                         std::to_string(code) + "\n"),
              std::string::npos);
  }
}

TEST_F(ManagerStartup, LowPhysicalMemoryWarnsFirstAndGoesOn) {
  ZR_SystemInfo::SetPhysicalMemoryForTesting((256ull << 20) - 1);
  StartupManager manager(&gui);
  manager.SetProgressBar(&progress);
  EXPECT_EQ(manager.OnCreate(&viewports), VR_OK);
  ASSERT_FALSE(gui.calls.empty());
  EXPECT_EQ(gui.calls.front(),
            "ShowMessage(\"WARNING! Available physical memory may be insufficient.\")");
  EXPECT_EQ(manager.nCreateCalls, 1);

  ZR_RecordingVisGui enoughGui;
  ZR_SystemInfo::SetPhysicalMemoryForTesting(256ull << 20);
  StartupManager enough(&enoughGui);
  EXPECT_EQ(enough.OnCreate(&viewports), VR_OK);
  EXPECT_TRUE(enoughGui.Messages().empty());
}

TEST_F(ManagerStartup, SurfaceHandlesKeepAllTheirBits) {
  // A 64-bit handle must reach the back end intact; a 32-bit slot would cut it.
  auto* handle = reinterpret_cast<ZR_DrawSurface*>(static_cast<uintptr_t>(0xFFFF800012345678ull));
  viewports.aSurfaces[3] = handle;
  viewports.SetSize(3, 640, 480);
  StartupManager manager(&gui);
  ASSERT_EQ(manager.OnCreate(&viewports), VR_OK);
  EXPECT_EQ(manager.pSeenSurface3, handle);
  EXPECT_EQ(manager.Viewports()->Width(3), 640);
  EXPECT_EQ(manager.Viewports()->Height(3), 480);
}

TEST_F(ManagerStartup, WithoutARenderingPlatformThereIsNoContext) {
  ZR_VisManager manager(&gui);
  manager.OpenLog(dir.string() + "/");
  EXPECT_EQ(manager.OnCreate(&viewports), VR_OG_CONTEXT);
  EXPECT_FALSE(manager.IsInitialised());
  EXPECT_NE(Log().find("CreateOpenGlViewports(): no rendering platform\n"), std::string::npos);
}
