// The windowed program's small helpers: numbers typed under any locale, where files go when
// the program's folder is read-only, cursor files, the display adapter's identifier, and the
// engine's codes of the keys.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <filesystem>
#include <fstream>

#include "core/ZR_Ids.h"
#include "core/ZR_Keys.h"
#include "gui/TZR_NumberEdit.h"
#include "gui/Tfrm_Visualization.h"
#include "gui/ZR_AppPaths.h"
#include "gui/ZR_BcAppGui.h"
#include "gui/ZR_CursorArt.h"
#include "gui/ZR_CursorFile.h"
#include "gui/ZR_QtRenderPlatform.h"
#include "tests/support/ZR_TestData.h"

namespace fs = std::filesystem;

TEST(NumberEdit, ReadsTheCLocaleFirstAndTheUsersSecond) {
  const QLocale previous;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  struct Case {
    const char* text;
    std::optional<double> value;
  };
  const Case kCases[] = {
      {"2.5", 2.5}, {"2,5", 2.5}, {" 12 ", 12.0}, {"-0.75", -0.75},
      // A group separator is never taken: "1,500" is the German 1.5, not 1500.
      {"1,500", 1.5}, {"1.500", 1.5}, {"1e3", 1000.0}, {"", std::nullopt}, {"abc", std::nullopt}, {"2.5.1", std::nullopt}};
  for (const Case& c : kCases) EXPECT_EQ(TZR_NumberEdit::Parse(c.text), c.value) << c.text;

  TZR_NumberEdit field(4);
  field.setValue(2.5);
  EXPECT_EQ(field.text(), "2.5");  // shown with a point whatever the locale
  field.setValue(12);
  EXPECT_EQ(field.text(), "12");
  QLocale::setDefault(previous);
}

TEST(AppPaths, EverythingStaysInAWritableProgramFolder) {
  const ZR_AppPaths paths = ZR_AppPaths::Decide("/opt/lumetra", true);
  EXPECT_FALSE(paths.IsRedirected());
  EXPECT_EQ(paths.SettingsFile(), "/opt/lumetra/lmx_settings.stg");
  EXPECT_EQ(paths.ConfigDir(), "/opt/lumetra/");
  EXPECT_EQ(paths.CaptureDir(), "/opt/lumetra/captured");
  EXPECT_EQ(paths.PresetBase(), "/opt/lumetra/Presets/");
  EXPECT_EQ(paths.LogNote(), "");
  // A folder this program can write is taken as writable.
  EXPECT_FALSE(ZR_AppPaths::Decide(ZR_TestData::ScratchDir("paths-probe").string()).IsRedirected());
}

TEST(AppPaths, AReadOnlyProgramFolderSendsTheUsersFilesToTheirPlacesAndKeepsTheFactoryPresets) {
  QStandardPaths::setTestModeEnabled(true);
  const fs::path program = ZR_TestData::ScratchDir("paths-program");
  for (const char* modality : {"CT", "MR"})
    for (const char* folder : {"Presets", "WlPresets"}) {
      fs::create_directories(program / "Presets" / modality / folder);
      std::ofstream(program / "Presets" / modality / folder / "Bone.prs") << "factory";
    }
  const ZR_AppPaths paths = ZR_AppPaths::Decide(program.string(), false);
  ASSERT_TRUE(paths.IsRedirected());
  const std::string config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation).toStdString() + "/";
  const std::string data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString() + "/";
  EXPECT_EQ(paths.SettingsFile(), config + "lmx_settings.stg");
  EXPECT_EQ(paths.CaptureDir(), data + "captured");
  EXPECT_EQ(paths.PresetBase(), data + "Presets/");
  EXPECT_EQ(paths.FactoryPresetDir(), program.string() + "/Presets/");
  EXPECT_NE(paths.LogNote().find(config), std::string::npos);
  EXPECT_NE(paths.LogNote().find(data), std::string::npos);

  fs::remove_all(data);
  ASSERT_TRUE(paths.Prepare());
  ASSERT_TRUE(paths.Prepare());  // again: nothing to do, nothing fails
  // Factory presets read through the user's folder come from the program's.
  EXPECT_EQ(ZR_TestData::ReadText(fs::path(paths.PresetBase()) / "CT/Presets/Bone.prs"), "factory");
  EXPECT_EQ(fs::read_symlink(fs::path(paths.PresetBase()) / "MR/WlPresets"), program / "Presets/MR/WlPresets");
  for (const char* user : {"CT/UserDefined", "CT/WlUserDefined", "MR/UserDefined", "MR/WlUserDefined"})
    EXPECT_TRUE(fs::is_directory(fs::path(paths.PresetBase()) / user)) << user;
  EXPECT_TRUE(fs::is_directory(config));
  QStandardPaths::setTestModeEnabled(false);
}

TEST(CursorFiles, OurPicturesRoundTripWithTheirHotSpots) {
  for (const QString& name : ZR_CursorArt::FileNames()) {
    QPoint hot;
    const QImage image = ZR_CursorArt::Draw(name, &hot);
    ASSERT_FALSE(image.isNull()) << name.toStdString();
    const auto read = ZR_CursorFile::Parse(ZR_CursorFile::Encode(image, hot));
    ASSERT_TRUE(read) << name.toStdString();
    EXPECT_EQ(read->hotSpot, hot);
    EXPECT_EQ(read->image.convertToFormat(QImage::Format_ARGB32), image);
  }
  QPoint hot;
  EXPECT_TRUE(ZR_CursorArt::Draw("unknown.cur", &hot).isNull());
}

TEST(CursorFiles, DamagedFilesAreRefused) {
  QPoint hot;
  const QByteArray good = ZR_CursorFile::Encode(ZR_CursorArt::Draw("zoom.cur", &hot), hot);
  QByteArray icon = good;
  icon[2] = 1;  // an icon, not a cursor
  QByteArray outside = good;
  outside[18] = static_cast<char>(0xFF);  // the image offset points past the end
  QByteArray hotOutside = good;
  hotOutside[10] = 40;  // hot spot beyond the 32 x 32 picture
  for (const QByteArray& bytes : {good.left(30), icon, outside, hotOutside, QByteArray()})
    EXPECT_FALSE(ZR_CursorFile::Parse(bytes));
}

TEST(CursorFiles, LoadingStopsAtTheFirstMissingFileAndLaterIdsKeepTheArrow) {
  const fs::path dir = ZR_TestData::ScratchDir("cursors");
  // rotate.cur and zoom.cur (ids 11, 12) are there, pan.cur (13) is not, wl.cur (14) is.
  for (const char* name : {"rotate.cur", "zoom.cur", "wl.cur"}) {
    QPoint hot;
    ASSERT_TRUE(ZR_CursorFile::Write(QString::fromStdString((dir / name).string()), ZR_CursorArt::Draw(name, &hot), hot));
  }
  QWidget owner, panel;
  ZR_BcAppGui gui(&owner);
  gui.RegisterPanel(ZR_Panel::Mpr2, &panel);
  EXPECT_EQ(gui.LoadCursorFiles(QString::fromStdString(dir.string()) + "/"), 2);
  gui.SetPanelCursor(ZR_Panel::Mpr2, ZR_Cursor::Zoom);
  EXPECT_EQ(panel.cursor().shape(), Qt::BitmapCursor);
  EXPECT_EQ(panel.cursor().hotSpot(), QPoint(13, 13));
  for (int32_t id : {ZR_Cursor::Pan, ZR_Cursor::WindowLevel, ZR_Cursor::VoiHorizontal}) {
    gui.SetPanelCursor(ZR_Panel::Mpr2, id);
    EXPECT_EQ(panel.cursor().shape(), Qt::ArrowCursor) << id;
  }
}

TEST(DisplayAdapter, TheCardThatBootedTheDisplayNamesTheAdapter) {
  const fs::path root = ZR_TestData::ScratchDir("sysfs");
  auto card = [&](const std::string& name, const char* bootVga, const char* vendor, const char* device) {
    const fs::path dir = root / "class/drm" / name / "device";
    fs::create_directories(dir);
    if (bootVga) std::ofstream(dir / "boot_vga") << bootVga << "\n";
    std::ofstream(dir / "vendor") << vendor << "\n";
    std::ofstream(dir / "device") << device << "\n";
  };
  EXPECT_EQ(ZR_QtRenderPlatform::BootVgaAdapterId(root.string()), "");
  card("card0", "0", "0x8086", "0x3e92");
  card("card0-HDMI-A-1", "1", "0x0000", "0x0000");  // a connector, not a card
  card("renderD128", "1", "0x1234", "0x5678");
  EXPECT_EQ(ZR_QtRenderPlatform::BootVgaAdapterId(root.string()), "");
  card("card1", "1", "0x10de", "0x0640");
  EXPECT_EQ(ZR_QtRenderPlatform::BootVgaAdapterId(root.string()), "PCI\\VEN_10DE&DEV_0640");

  EXPECT_TRUE(ZR_QtRenderPlatform::IsSoftwareRenderer("llvmpipe (LLVM 15.0.6, 256 bits)"));
  EXPECT_TRUE(ZR_QtRenderPlatform::IsSoftwareRenderer("softpipe"));
  EXPECT_FALSE(ZR_QtRenderPlatform::IsSoftwareRenderer("NVIDIA GeForce GTX 1080/PCIe/SSE2"));
}

TEST(WindowKeys, QtKeysBecomeTheEnginesCodes) {
  // Qt's codes of the keys that are not letters or digits lie far above the engine's; passed
  // on unchanged, Escape and Delete would never reach their operations.
  const std::pair<int, int32_t> keys[] = {
      {Qt::Key_A, ZR_Key::A},    {Qt::Key_X, ZR_Key::X},       {Qt::Key_7, '7'},
      {Qt::Key_Escape, ZR_Key::Escape}, {Qt::Key_Delete, ZR_Key::Delete}, {Qt::Key_Left, 0x25},
      {Qt::Key_F1, 0x70},        {Qt::Key_F12, 0x7B},          {Qt::Key_Shift, 0},
      {Qt::Key_Control, 0},      {Qt::Key_unknown, 0}};
  for (const auto& [qt, engine] : keys) EXPECT_EQ(Tfrm_Visualization::EngineKey(qt), engine) << std::hex << qt;
}
