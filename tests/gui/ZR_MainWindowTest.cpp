// The main window without a study: every control id of the application contract reaches
// the control of that name, the contract's slots work on the real controls (ids without a
// control, radio items, scroll bars, menus, panel cursors), the start-up enabling, the
// layout of the MPR screen, numbers typed under a German locale, the help page, the about
// dialog, and closing with and without changed settings.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QUrl>
#include <clocale>
#include <cstring>
#include <filesystem>

#include "core/ZR_Ids.h"
#include "manager/ZR_VisManager.h"
#include "dicom/ZR_VolumePreview.h"
#include "gui/TAboutDialog.h"
#include "gui/TVolumePreview.h"
#include "gui/TZR_NumberEdit.h"
#include "gui/TZR_RadioGroup.h"
#include "gui/ZR_BcAppGui.h"
#include "gui/ZR_BcVolumePreviewGui.h"
#include "tests/gui/ZR_AppTestFixture.h"
#include "tests/gui/ZR_GuiTestHelpers.h"
#include "tests/support/ZR_TestData.h"

namespace {
// The control of every id, by name; "" where the id has no control.
const char* const kControls[ZR_Ctl::kAppControlCount] = {
    "", "pc_3D", "sbtn_3D", "ts_Volume", "ts_SSD", "", "sbtn_MPR", "btn_Inbox", "Btn_Subset", "", "",
    "Btn_FinalRender", "chk_ShadedVR", "SBtn_Roi", "SBtn_ZapSeed", "Btn_RegionSelectSettings", "", "Btn_Sculpt",
    "Btn_Undo", "SBtn_CutView", "SBtn_Rotate", "SBtn_Zoom", "SBtn_Pan", "SBtn_CutPlane", "Btn_ResetVolume",
    "Btn_Ortho", "SBtn_OpacityWl", "SBtn_Wl", "Btn_Presets", "Btn_DoRadialMIP", "Btn_MipThreshold", "Sbtn_Voi",
    "Sbtn_VoiPos", "Sbtn_VoiSize", "SBtn_SnapShot", "SBtn_Movie", "pnl_MPR", "cb_Cutaway", "Sbtn_MprZoom",
    "Sbtn_MprPan", "SBtn_MprWl", "Sbtn_Rot", "Sbtn_ColourMpr", "Sbtn_GrayMpr", "Sbtn_MprXhair", "ToolBtn_Measures",
    "Btn_MprPresets", "Sbtn_Curve", "Btn_Reset", "Sbtn_Single", "Sbtn_Multi", "Sbtn_Slab", "Ed_Slices",
    "Lbl_MprSLices", "Ed_Thickness", "Lbl_MprThickness", "Rg_SlabMode", "Ed_SlabSize", "Lbl_MprSlabSize",
    "Btn_MultiPreview", "Btn_MultiSave", "Btn_MultiStore", "SBtn_MprSnap", "", "", "", "", "SBtn_Seed",
    "SBtn_SsdRotate", "SBtn_SsdZoom", "SBtn_SsdPan", "RGrp_SsdQuality", "RGrp_SsdMethod", "Chk_SsdFusion",
    "btn_Display", "Btn_SsdReset", "Btn_SsdOrtho", "chbox_SurfaceOnly", "grpbox_Threshold", "Shape_Color",
    "SBtn_SsdMovie", "SBtn_SsdSnap"};
const char* const kMenus[ZR_Menu::kAppMenuCount] = {
    "", "Mi_Options", "", "Mi_MPR_Slice", "Mi_MultiMPRSeries", "Mi_MPR_Slab", "Mi_MPVR", "Mi_MIP", "Mi_MinIP",
    "Mi_PreviewMPRSeries", "Mi_LockActiveView", "Mi_MprWL", "Mi_MprRot3D", "Mi_MprRotH", "Mi_MprRotV"};

// Receives the help page instead of the desktop.
class UrlCatcher : public QObject {
  Q_OBJECT
 public:
  QUrl opened;
 public slots:
  void Open(const QUrl& url) { opened = url; }
};
}  // namespace

class MainWindow : public ZR_AppTestFixture {};

TEST_F(MainWindow, EveryIdReachesItsNamedControlAndTheSlotsWorkOnThem) {
  Start();
  ZR_BcAppGui& gui = *window->AppGui();
  for (int32_t id = 0; id < ZR_Ctl::kAppControlCount; ++id) {
    QWidget* control = gui.Control(id);
    EXPECT_EQ(control ? control->objectName().toStdString() : "", kControls[id]) << "id " << id;
  }
  for (int32_t id = 0; id < ZR_Menu::kAppMenuCount; ++id) {
    QAction* item = gui.Menu(id);
    EXPECT_EQ(item ? item->objectName().toStdString() : "", kMenus[id]) << "menu " << id;
  }
  for (int32_t panel = 0; panel <= ZR_Panel::MprView3D; ++panel) EXPECT_EQ(gui.Panel(panel), window->Panel(panel));

  // Ids without a control take every slot and nothing changes.
  for (int32_t id : {0, 5, 9, 10, 16, 63, 64, 65, 66}) {
    gui.SetButtonDown(id, true);
    gui.SetRadioIndex(id, 2);
    gui.SetNumberValue(id, 3);
    gui.EnableControl(id, false);
    gui.ShowControl(id, false);
    EXPECT_FALSE(gui.IsControlVisible(id));
    gui.SetMenuChecked(id, true);
  }
  // Latching buttons, the check box, the page control, labels.
  gui.SetButtonDown(ZR_Ctl::Sbtn_MprXhair, false);
  EXPECT_FALSE(Find<QAbstractButton>("Sbtn_MprXhair")->isChecked());
  gui.SetButtonDown(ZR_Ctl::Sbtn_Slab, true);
  EXPECT_TRUE(Find<QAbstractButton>("Sbtn_Slab")->isChecked());
  EXPECT_FALSE(Find<QAbstractButton>("Sbtn_Single")->isChecked());  // one of the three
  gui.SetToolButtonMarked(ZR_Ctl::ToolBtn_Measures, true);
  EXPECT_TRUE(Find<QToolButton>("ToolBtn_Measures")->isChecked());
  gui.SetLabelText(ZR_Ctl::Lbl_MprThickness, "Thickness (mm)");
  EXPECT_EQ(Find<QLabel>("Lbl_MprThickness")->text(), "Thickness (mm)");
  gui.SetPage(ZR_Ctl::pc_3D, 0);
  EXPECT_EQ(Find<QTabWidget>("pc_3D")->currentIndex(), 0);
  // Radio items.
  auto* slab = Find<TZR_RadioGroup>("Rg_SlabMode");
  gui.SetRadioIndex(ZR_Ctl::Rg_SlabMode, 2);
  EXPECT_EQ(slab->Index(), 2);
  gui.EnableRadioItem(ZR_Ctl::Rg_SlabMode, 1, false);
  EXPECT_FALSE(slab->Item(1)->isEnabled());
  EXPECT_TRUE(slab->Item(2)->isEnabled());
  // Numeric fields show numbers with a point whatever the locale.
  gui.SetNumberValue(ZR_Ctl::Ed_Thickness, 2.5f);
  EXPECT_EQ(Find<TZR_NumberEdit>("Ed_Thickness")->text(), "2.5");
  // Menus.
  gui.SetMenuChecked(ZR_Menu::Mi_MIP, true);
  EXPECT_TRUE(Find<QAction>("Mi_MIP")->isChecked());
  gui.SetMenuChecked(ZR_Menu::Mi_MIP, false);
  EXPECT_FALSE(Find<QAction>("Mi_MIP")->isChecked());
  gui.EnableMenu(ZR_Menu::Options, true);
  EXPECT_TRUE(Find<QAction>("Mi_Options")->isEnabled());
  // The preview contract's scroll bar.
  ZR_BcVolumePreviewGui& preview = *window->VolumePreviewGui();
  preview.SetScrollMin(ZR_PreviewCtl::Scb_Select, 0);
  preview.SetScrollMax(ZR_PreviewCtl::Scb_Select, 99);
  preview.SetScrollPage(ZR_PreviewCtl::Scb_Select, 20);
  preview.SetScrollPosition(ZR_PreviewCtl::Scb_Select, 42);
  const QScrollBar* bar = preview.Dialog()->ScrollBar();
  EXPECT_EQ(bar->maximum(), 99);
  EXPECT_EQ(bar->pageStep(), 20);
  EXPECT_EQ(bar->value(), 42);
  // Our own cursors, with their hot spots, on the panels' native windows.
  gui.SetPanelCursor(ZR_Panel::Mpr2, ZR_Cursor::Zoom);
  const QCursor cursor = window->Panel(ZR_Panel::Mpr2)->NativeWindow()->cursor();
  EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
  EXPECT_EQ(cursor.hotSpot(), QPoint(13, 13));
  EXPECT_EQ(gui.GetPanelCursor(ZR_Panel::Mpr2), ZR_Cursor::Zoom);
}

TEST_F(MainWindow, StartsWithTheMprScreenAndTheStartUpEnabling) {
  Start();
  ZR_BcAppGui& gui = *window->AppGui();
  for (int32_t id : {ZR_Ctl::Btn_Subset, ZR_Ctl::pc_3D, ZR_Ctl::SBtn_Movie, ZR_Ctl::SBtn_CutPlane,
                     ZR_Ctl::chk_ShadedVR, ZR_Ctl::Sbtn_Curve, ZR_Ctl::sbtn_MPR, ZR_Ctl::Btn_MultiStore})
    EXPECT_FALSE(gui.IsControlEnabled(id)) << kControls[id];
  for (int32_t id : {ZR_Ctl::Btn_DoRadialMIP, ZR_Ctl::Btn_MipThreshold, ZR_Ctl::SBtn_OpacityWl})
    EXPECT_FALSE(gui.IsControlVisible(id)) << kControls[id];
  EXPECT_TRUE(gui.IsControlVisible(ZR_Ctl::SBtn_Wl));
  EXPECT_FALSE(Find<QAction>("Mi_Options")->isEnabled());
  EXPECT_TRUE(gui.IsControlEnabled(ZR_Ctl::btn_Inbox));
  const auto* pages = Find<QTabWidget>("pc_3D");
  for (int page = 1; page < pages->count(); ++page) EXPECT_FALSE(pages->isTabVisible(page));

  // The MPR arrangement: four squares of side a in the corner, the control panel beside
  // them, the MPR screen's 3D view above "Single MPR".
  EXPECT_EQ(window->ScreenShown(), ZR_Screen::Mpr);
  const int W = window->DrawWidth(), H = window->DrawHeight();
  const int a = std::min(W - qRound(0.25 * W), H) / 2;
  EXPECT_EQ(window->Panel(ZR_Panel::Mpr1)->geometry(), QRect(0, 0, a, a));
  EXPECT_EQ(window->Panel(ZR_Panel::Mpr0)->geometry(), QRect(a + 1, 0, a, a));
  EXPECT_EQ(window->Panel(ZR_Panel::Mpr2)->geometry(), QRect(0, a + 1, a, a));
  EXPECT_EQ(window->Panel(ZR_Panel::Mpr3)->geometry(), QRect(a + 1, a + 1, a, a));
  const QRect mprPanel = window->ControlPanelMpr()->geometry();
  EXPECT_EQ(mprPanel.left(), 2 * a + 1);
  EXPECT_EQ(mprPanel.width(), W - 2 * a + 1);
  const QRect view = window->Panel(ZR_Panel::MprView3D)->geometry();
  const QRect single = Find<QWidget>("Sbtn_Single")->geometry().translated(mprPanel.topLeft());
  EXPECT_EQ(view.width(), view.height());
  EXPECT_LT(view.bottom(), single.top());
  EXPECT_NEAR(view.center().x(), mprPanel.center().x(), 1);
  for (int32_t panel : {ZR_Panel::Mpr0, ZR_Panel::MprView3D}) EXPECT_TRUE(window->Panel(panel)->isVisible());
  EXPECT_FALSE(window->Panel(ZR_Panel::View3D)->isVisible());
  // Every panel's viewport is its picture in device pixels.
  const ZR_ViewportTable* table = window->Manager()->Viewports();
  const QSize picture = window->Panel(ZR_Panel::Mpr3)->PictureSize();
  EXPECT_EQ(table->Width(ZR_Panel::Mpr3), picture.width());
  EXPECT_EQ(table->Height(ZR_Panel::Mpr3), picture.height());

  // The program's folder is read-only here: the log says once where the user's files went,
  // and the user's presets folder leads to the factory presets.
  const std::string log = ZR_TestData::ReadText(window->Paths().ConfigDir() + "lmx_log.txt");
  const std::string note = window->Paths().LogNote();
  ASSERT_FALSE(note.empty());
  EXPECT_NE(log.find(note), std::string::npos) << log;
  EXPECT_EQ(log.find(note), log.rfind(note));
  EXPECT_TRUE(std::filesystem::is_symlink(window->Paths().PresetBase() + "CT/Presets"));

  // A smaller window arranges again.
  window->resize(window->minimumSize());
  Settle();
  EXPECT_LT(window->Panel(ZR_Panel::Mpr1)->width(), a);
  EXPECT_EQ(table->Width(ZR_Panel::Mpr1), window->Panel(ZR_Panel::Mpr1)->PictureSize().width());
}

TEST_F(MainWindow, NumbersAreReadUnderTheUsersLocaleAndFilesAreWrittenWithAPoint) {
  // The program runs under de_DE: Qt took the locale, the window gave the numbers back to C.
  ASSERT_EQ(QLocale().decimalPoint(), ",") << "the test program runs under LC_ALL=de_DE.UTF-8";
  EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
  char text[16];
  std::snprintf(text, sizeof text, "%.1f", 0.2);
  EXPECT_STREQ(text, "0.2");
  Start();
  auto* thickness = Find<TZR_NumberEdit>("Ed_Thickness");
  for (const char* typed : {"2,5", "2.5"}) {
    thickness->setFocus();
    thickness->selectAll();
    QTest::keyClicks(thickness, typed);
    QTest::keyClick(thickness, Qt::Key_Return);
    EXPECT_DOUBLE_EQ(thickness->value(), 2.5) << typed;
    EXPECT_EQ(thickness->text(), "2.5");
  }

  // Closing with unchanged settings asks only the exit question, at once.
  QElapsedTimer clock;
  clock.start();
  Answer({false});
  window->close();
  EXPECT_LT(clock.elapsed(), Tfrm_Visualization::kSaveSettingsPauseMs);
  EXPECT_TRUE(window->isVisible());
  // Changed settings: "Save Settings ?" (yes: the file is written, with decimal points), the
  // pause, then the exit question.
  window->MarkSettingsChanged();
  const std::filesystem::path file = window->Paths().SettingsFile();
  clock.restart();
  Answer({true, false});
  window->close();
  EXPECT_GE(clock.elapsed(), Tfrm_Visualization::kSaveSettingsPauseMs);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(questions, (std::vector<QString>{"Exit Lumetra ?", "Save Settings ?", "Exit Lumetra ?"}));
  const std::string written = ZR_TestData::ReadText(file);
  EXPECT_NE(written.find("0.2"), std::string::npos) << written;
  EXPECT_EQ(written.find(','), std::string::npos) << written;
}

TEST_F(MainWindow, HelpOpensOurPageAndAboutNamesTheVersion) {
  Start();
  UrlCatcher catcher;
  QDesktopServices::setUrlHandler("file", &catcher, "Open");
  Find<QAction>("Mi_Contents")->trigger();
  QDesktopServices::unsetUrlHandler("file");
  EXPECT_TRUE(catcher.opened.isLocalFile());
  const std::filesystem::path page = catcher.opened.toLocalFile().toStdString();
  EXPECT_EQ(page.filename(), "index.htm");
  EXPECT_EQ(page.parent_path().filename(), "help");
  EXPECT_NE(ZR_TestData::ReadText(page).find("Import DICOM"), std::string::npos);

  QString version;
  WhenDialogAppears<TAboutDialog>([&](TAboutDialog* about) {
    version = about->findChild<QLabel*>("Lbl_Version")->text();
    about->findChild<QPushButton*>("Btn_Ok")->click();
  });
  Find<QAction>("Mi_About")->trigger();
  EXPECT_EQ(version, "Version 1.9.2 beta Build 20101109");
}

#include "ZR_MainWindowTest.moc"
