// The real application, driven by object names as a user drives it: a real head CT imported
// through the data-set picker, its range taken in the subset preview, both screens showing
// the volume, a panel maximised and restored, the render modes, and the exit question
// declined and then accepted. While the study is read and loaded, "Import DICOM" and a close
// request do nothing harmful.
//
// References: tests/gui/references/*.png, what the X server shows of a panel on Mesa
// llvmpipe under Xvfb (1024 x 768). The tolerance is loose; the numeric checks carry the
// exact expectations.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QAction>
#include <QPushButton>
#include <QTest>
#include <QPointer>
#include <QTimer>
#include <QMenu>
#include <QWheelEvent>
#include <QWindow>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "manager/ZR_VisManager.h"
#include "dicom/ZR_DicomVolume.h"
#include "mpr/MprViewInfo.h"
#include "dicom/ZR_VolumePreview.h"
#include "presets/ZR_PresetEditor.h"
#include "gui/TContinueCancelDialog.h"
#include "gui/TFileBrowseDialog.h"
#include "gui/TVolumePreview.h"
#include "gui/TZR_NumberEdit.h"
#include "gui/TZR_PictureBox.h"
#include "gui/ZR_BcImageGallery.h"
#include "gui/ZR_BcSettings.h"
#include "gui/TProgressDialog.h"
#include "gui/TfrmDirSelect.h"
#include "gui/ZR_BcAppGui.h"
#include "gui/ZR_BcVolumePreviewGui.h"
#include "tests/gui/ZR_AppTestFixture.h"
#include "tests/gui/ZR_GuiTestHelpers.h"
#include "tests/support/ZR_ImageCompare.h"
#include "tests/support/ZR_TestData.h"

namespace {
ZR_TestImage FromQt(const QImage& shot) {
  ZR_TestImage image;
  image.nWidth = shot.width();
  image.nHeight = shot.height();
  image.nChannels = 3;
  for (int y = 0; y < shot.height(); ++y)
    image.aPixels.insert(image.aPixels.end(), shot.constScanLine(y), shot.constScanLine(y) + 3 * shot.width());
  return image;
}

::testing::AssertionResult MatchesReference(const QImage& shot, const char* name) {
  return ZR_ImageCompare::Matches(FromQt(shot),
                                  std::filesystem::path(LMX_SOURCE_DIR) / "tests/gui/references" / (std::string(name) + ".png"),
                                  std::filesystem::path(LMX_BINARY_DIR) / "test-output/gui",
                                  {24, int64_t{shot.width()} * shot.height() / 50});
}

// What a user does while a load runs: clicks "Import DICOM" (through the window system and
// as a programme would) and asks the window to close. Records what came of it.
struct Intruder {
  int acted = 0;
  std::vector<QPointer<QTimer>> answers;
  bool actedWhileReading = false, actedWhileLoading = false;
  bool pickerOpened = false, questionAsked = false, windowClosed = false, progressWasModal = false;
};
}  // namespace

class Application : public ZR_AppTestFixture {};

TEST_F(Application, ImportsARealSeriesShowsBothScreensAndAsksBeforeItExits) {
  LMX_REQUIRE_DATA(dir, "series/ct-head-108");
  Start();
  ZR_VisManager* manager = window->Manager();
  auto* inbox = Find<QPushButton>("btn_Inbox");

  // The picker: the series' folder, "Select All", OK.
  int listed = 0;
  WhenDialogAppears<TfrmDirSelect>([&](TfrmDirSelect* picker) {
    picker->SetDirectory(QString::fromStdString(dir.string()));
    listed = picker->FileList()->count();
    picker->SelectAllButton()->click();
    picker->OkButton()->click();
  });
  // The preview: the whole study, pictures of its first and last slice; "Load Volume".
  QString totalShown, endShown;
  int firstGrey = -1, lastGrey = -1;
  WhenDialogAppears<TVolumePreview>([&](TVolumePreview* preview) {
    totalShown = preview->TotalLabel()->text();
    endShown = preview->EndField()->text();
    firstGrey = qGray(preview->FirstImage()->Picture().pixel(175, 175));
    lastGrey = qGray(preview->LastImage()->Picture().pixel(175, 175));
    preview->LoadButton()->click();
  });
  Intruder intruder;
  QTimer watch;
  watch.setInterval(5);
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (!manager->IsLoading()) return;
    const bool loading = window->VolumePreviewGui()->Dialog()->IsLoading();
    if (loading ? intruder.actedWhileLoading : intruder.actedWhileReading) return;
    (loading ? intruder.actedWhileLoading : intruder.actedWhileReading) = true;
    ++intruder.acted;
    intruder.progressWasModal = qobject_cast<TProgressDialog*>(QApplication::activeModalWidget()) != nullptr;
    intruder.answers.push_back(WhenDialogAppears<TfrmDirSelect>([&](TfrmDirSelect* picker) {
      intruder.pickerOpened = true;
      picker->reject();
    }));
    intruder.answers.push_back(WhenDialogAppears<TContinueCancelDialog>([&](TContinueCancelDialog* question) {
      intruder.questionAsked = true;
      question->CancelButton()->click();
    }));
    // Through the window system (held back by the modal progress window), then directly.
    const QPoint at = inbox->mapTo(window.get(), inbox->rect().center());
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
    inbox->click();
    window->close();
    QTest::qWait(30);
    intruder.windowClosed = !window->isVisible();
  });
  watch.start();
  QTest::mouseClick(inbox, Qt::LeftButton);
  watch.stop();

  EXPECT_EQ(listed, 108);
  EXPECT_EQ(totalShown, "108");
  EXPECT_EQ(endShown, "107");
  EXPECT_GT(firstGrey, 40);  // the lowest slice cuts through the head
  EXPECT_LT(lastGrey, 40);   // the highest lies above it
  ASSERT_TRUE(manager->IsVolumeLoaded());
  EXPECT_EQ(manager->GetVolume()->m_nLast, 107);
  // The transfer function came from the factory presets, read through the user's folder.
  EXPECT_EQ(manager->PresetEditor()->PresetDirectory().rfind(window->Paths().PresetBase(), 0), 0u)
      << manager->PresetEditor()->PresetDirectory();

  EXPECT_TRUE(intruder.actedWhileReading);
  EXPECT_TRUE(intruder.actedWhileLoading);
  EXPECT_TRUE(intruder.progressWasModal);
  EXPECT_FALSE(intruder.pickerOpened);
  EXPECT_FALSE(intruder.questionAsked);
  EXPECT_FALSE(intruder.windowClosed);
  EXPECT_TRUE(messages.empty()) << messages.front().toStdString();
  EXPECT_FALSE(window->IsImporting());
  // The intruder's answers were never needed: withdraw them.
  for (QPointer<QTimer>& timer : intruder.answers) delete timer.data();
  EXPECT_EQ(window->windowTitle(), "Lumetra - Sample Head - Head");

  // "Subset" opens the preview again on the range loaded.
  QString startAgain, endAgain;
  WhenDialogAppears<TVolumePreview>([&](TVolumePreview* preview) {
    startAgain = preview->StartField()->text();
    endAgain = preview->EndField()->text();
    preview->CancelButton()->click();
  });
  Find<QPushButton>("Btn_Subset")->click();
  EXPECT_EQ(startAgain, "0");
  EXPECT_EQ(endAgain, "107");
  EXPECT_TRUE(manager->IsVolumeLoaded());

  // The MPR screen (the one shown first) shows the volume; the transverse view's centre is
  // what the engine drew there.
  Settle(500);
  ASSERT_EQ(window->ScreenShown(), ZR_Screen::Mpr);
  const QImage transverse = Shot("Pnl_MprTransverse");
  ASSERT_FALSE(transverse.isNull());
  int32_t w = 0, h = 0;
  const auto drawn = manager->ReadPanel(ZR_Panel::Mpr2, &w, &h, GL_RGB, GL_UNSIGNED_BYTE, 3, 1, false);
  ASSERT_NE(drawn, nullptr);
  EXPECT_EQ(w, transverse.width() - transverse.width() % 4);
  const uint8_t* centre = drawn.get() + (size_t(h / 2) * w + w / 2) * 3;
  const QColor shown = transverse.pixelColor(w / 2, transverse.height() - 1 - h / 2);
  EXPECT_NEAR(shown.red(), centre[0], 2);
  EXPECT_NEAR(shown.green(), centre[1], 2);
  // The crosshair runs through the centre; beside it an axial slice through the head is tissue.
  const int besideX = w / 2 + w / 8, besideY = h / 2 + h / 8;
  const uint8_t* tissue = drawn.get() + (size_t(besideY) * w + besideX) * 3;
  EXPECT_NEAR(qRed(transverse.pixel(besideX, transverse.height() - 1 - besideY)), tissue[0], 2);
  EXPECT_GT(tissue[0], 40);
  EXPECT_EQ(tissue[0], tissue[1]) << "grey tissue, not a line";
  EXPECT_TRUE(MatchesReference(transverse, "mpr-transverse"));

  // The wheel over a view moves the transverse plane along its normal: Shift by 0.1, in the
  // wheel's direction, and back.
  const auto depth = [&] {
    const MprViewInfo& plane = manager->MprView(ZR_Panel::Mpr2);
    float d = 0;
    for (int i = 0; i < 3; ++i) d += plane.Position()[i] * plane.Axis(2)[i];
    return d;
  };
  QWindow* transverseWindow = window->Panel(ZR_Panel::Mpr2)->NativeWindow();
  const auto wheel = [&](int delta) {
    const QPointF at(30, 30);
    QWheelEvent event(at, transverseWindow->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::ShiftModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(transverseWindow, &event);
    EXPECT_TRUE(event.isAccepted());
  };
  const float before = depth();
  wheel(120);
  const float moved = depth() - before;
  EXPECT_NEAR(std::abs(moved), 0.1f, 1e-4f);
  wheel(-120);
  EXPECT_NEAR(depth(), before, 1e-4f);
  // Keys reach the manager with their modifiers: Ctrl+X hides the crosshair and shows it again.
  const bool crosshair = manager->CrosshairShown();
  QTest::keyClick(window.get(), Qt::Key_X, Qt::ControlModifier);
  EXPECT_NE(manager->CrosshairShown(), crosshair);
  QTest::keyClick(window.get(), Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(manager->CrosshairShown(), crosshair);
  // A right click in a view (no drag) opens the views' pop-up menu.
  QMenu* popup = nullptr;
  QTimer::singleShot(0, [&] {
    popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (popup) popup->close();
  });
  QTest::mouseClick(transverseWindow, Qt::RightButton, Qt::NoModifier, QPoint(40, 40));
  QTest::qWait(50);
  EXPECT_NE(popup, nullptr);
  EXPECT_EQ(popup, window->findChild<QMenu*>("PopupMenu_MprPanels"));
  // The MPR tool buttons and the pop-up's tools choose the manager's MPR tool.
  struct MprTool {
    const char* name;
    int32_t tool;
  };
  for (const MprTool& t : {MprTool{"Sbtn_MprZoom", 0}, {"Sbtn_MprPan", 1}, {"Sbtn_Rot", 2}, {"Mi_MprRotH", 3},
                           {"Mi_MprRotV", 4}, {"SBtn_MprWl", 5}}) {
    if (auto* button = window->findChild<QAbstractButton*>(t.name))
      button->click();
    else
      Find<QAction>(t.name)->trigger();
    EXPECT_EQ(ZR_Number(manager->MprTool()), t.tool) << t.name;
  }

  // Snapshot mode: the next click in a view puts what it shows into the gallery's window.
  Find<QAbstractButton>("SBtn_MprSnap")->click();
  ASSERT_TRUE(manager->SnapshotMode());
  QTest::mouseClick(transverseWindow, Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
  ASSERT_EQ(window->ImageGallery()->ImageCount(), 1);
  EXPECT_TRUE(window->ImageGallery()->Frame()->isVisible());
  EXPECT_EQ(window->ImageGallery()->Frame()->ThumbnailCount(), 1);
  Find<QAbstractButton>("SBtn_MprSnap")->click();
  EXPECT_FALSE(manager->SnapshotMode());
  window->ImageGallery()->Frame()->hide();

  // Colour MPR, the lock from the pop-up, cutaway correlation and "Update on Drag".
  Find<QAbstractButton>("Sbtn_ColourMpr")->click();
  EXPECT_FALSE(manager->MprLayout().bGray);
  Find<QAbstractButton>("Sbtn_GrayMpr")->click();
  EXPECT_TRUE(manager->MprLayout().bGray);
  Find<QAction>("Mi_LockActiveView")->trigger();
  EXPECT_TRUE(manager->LockActiveView());
  EXPECT_TRUE(Find<QAction>("Mi_LockActiveView")->isChecked());
  Find<QAction>("Mi_LockActiveView")->trigger();
  EXPECT_FALSE(manager->LockActiveView());
  Find<QCheckBox>("cb_Cutaway")->click();
  EXPECT_EQ(manager->Cutaway(), Find<QCheckBox>("cb_Cutaway")->isChecked());
  auto* liveCut = Find<QCheckBox>("chbox_DragCutPlane");
  const bool live = liveCut->isChecked();
  liveCut->click();
  EXPECT_EQ(window->Settings()->Renderer().liveCutView, !live);
  EXPECT_EQ(manager->MprLayout().bMprDisplay, live);
  liveCut->click();

  // Double-clicking a view fills the drawing area with it and hides the others; the screen
  // switch brings the layout back first.
  const QRect placed = window->Panel(ZR_Panel::Mpr2)->geometry();
  QTest::mouseDClick(window->Panel(ZR_Panel::Mpr2)->NativeWindow(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
  Settle();
  EXPECT_EQ(window->MaximisedPanel(), ZR_Panel::Mpr2);
  const QRect maximised = window->Panel(ZR_Panel::Mpr2)->geometry();
  EXPECT_EQ(maximised.topLeft(), QPoint(0, 0));
  EXPECT_EQ(maximised.width(), maximised.height());
  EXPECT_GE(maximised.width(), 2 * placed.width());
  EXPECT_LE(maximised.height(), window->DrawHeight());
  EXPECT_EQ(window->Panel(ZR_Panel::Mpr2)->PictureSize(), maximised.size() - QSize(2, 2));
  EXPECT_FALSE(window->Panel(ZR_Panel::Mpr0)->isVisible());
  QTest::mouseDClick(window->Panel(ZR_Panel::Mpr2)->NativeWindow(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
  Settle();
  EXPECT_EQ(window->Panel(ZR_Panel::Mpr2)->geometry(), placed);
  EXPECT_TRUE(window->Panel(ZR_Panel::Mpr0)->isVisible());
  QTest::mouseDClick(window->Panel(ZR_Panel::Mpr2)->NativeWindow(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
  Settle();
  Find<QAbstractButton>("sbtn_3D")->click();
  Settle(500);
  EXPECT_EQ(window->MaximisedPanel(), ZR_Panel::None);
  ASSERT_EQ(window->ScreenShown(), ZR_Screen::View3d);
  EXPECT_FALSE(window->Panel(ZR_Panel::Mpr2)->isVisible());
  EXPECT_TRUE(window->Panel(ZR_Panel::Ortho0)->isVisible());

  // The 3D screen: unshaded (the plainest picture), colour, against its reference.
  if (auto* shading = Find<QCheckBox>("chk_ShadedVR"); shading->isChecked()) shading->click();
  Settle(800);
  const QImage view = Shot("Pnl_MainImage");
  ASSERT_FALSE(view.isNull());
  EXPECT_TRUE(MatchesReference(view, "view3d-colour"));
  // A left drag in the 3D view turns the volume (the rotate tool is the 3D screen's first).
  int32_t w3 = 0, h3 = 0;
  const auto still = manager->ReadPanel(ZR_Panel::View3D, &w3, &h3, GL_RGB, GL_UNSIGNED_BYTE, 3, 1, false);
  QWindow* viewWindow = window->Panel(ZR_Panel::View3D)->NativeWindow();
  const QPoint from(viewWindow->width() / 2, viewWindow->height() / 2);
  QTest::mousePress(viewWindow, Qt::LeftButton, Qt::NoModifier, from);
  for (int step = 1; step <= 4; ++step) QTest::mouseMove(viewWindow, from + QPoint(5 * step, 0));
  QTest::mouseRelease(viewWindow, Qt::LeftButton, Qt::NoModifier, from + QPoint(20, 0));
  Settle(800);
  int32_t w4 = 0, h4 = 0;
  const auto turned = manager->ReadPanel(ZR_Panel::View3D, &w4, &h4, GL_RGB, GL_UNSIGNED_BYTE, 3, 1, false);
  ASSERT_TRUE(still && turned);
  ASSERT_EQ(w3 * h3, w4 * h4);
  EXPECT_NE(std::memcmp(still.get(), turned.get(), size_t(w3) * h3 * 3), 0) << "the drag did not turn the volume";
  // "Snap to nearest orthogonal orientation" turns the view onto the axes; a second snap
  // finds it there and changes nothing.
  const auto snap = [&] {
    Find<QAbstractButton>("Btn_Ortho")->click();
    Settle(800);
    int32_t sw = 0, sh = 0;
    auto picture = manager->ReadPanel(ZR_Panel::View3D, &sw, &sh, GL_RGB, GL_UNSIGNED_BYTE, 3, 1, false);
    EXPECT_EQ(sw * sh, w3 * h3);
    return picture;
  };
  const auto snapped = snap();
  const auto snappedAgain = snap();
  ASSERT_TRUE(snapped && snappedAgain);
  const size_t bytes = size_t(w3) * h3 * 3;
  EXPECT_NE(std::memcmp(snapped.get(), turned.get(), bytes), 0) << "the view did not snap";
  EXPECT_EQ(std::memcmp(snapped.get(), snappedAgain.get(), bytes), 0) << "a snapped view snapped again";

  // The cut view, the VOI and the reset, from their buttons.
  Find<QAbstractButton>("SBtn_CutView")->click();
  EXPECT_TRUE(manager->CutView());
  EXPECT_TRUE(window->AppGui()->IsControlEnabled(ZR_Ctl::SBtn_CutPlane));
  Find<QAbstractButton>("Sbtn_Voi")->click();
  EXPECT_TRUE(manager->VoiEnabled());
  EXPECT_EQ(manager->Tool3d(), ZR_Tool3d::VoiPosition);
  Find<QAbstractButton>("Btn_ResetVolume")->click();
  EXPECT_FALSE(manager->VoiEnabled());
  EXPECT_FALSE(Find<QAbstractButton>("Sbtn_Voi")->isChecked());
  Find<QAbstractButton>("SBtn_CutView")->click();
  EXPECT_FALSE(manager->CutView());
  EXPECT_EQ(manager->Tool3d(), ZR_Tool3d::Rotate);

  // The render modes show and hide their tools.
  ZR_BcAppGui& gui = *window->AppGui();
  struct Mode {
    const char* button;
    bool opacity, radials;
  };
  for (const Mode& m : {Mode{"Sbtn_MIP", false, true}, Mode{"Sbtn_GVR", true, false}, Mode{"Sbtn_CVR", false, false}}) {
    Find<QAbstractButton>(m.button)->click();
    EXPECT_EQ(gui.IsControlVisible(ZR_Ctl::SBtn_OpacityWl), m.opacity) << m.button;
    EXPECT_EQ(gui.IsControlVisible(ZR_Ctl::Btn_DoRadialMIP), m.radials) << m.button;
    EXPECT_EQ(gui.IsControlVisible(ZR_Ctl::Btn_MipThreshold), m.radials) << m.button;
  }
  EXPECT_EQ(manager->RenderMode(), ZR_RenderMode::Colour);

  // A multi-MPR series from its buttons: a cancelled save dialog writes nothing; a name with
  // the type's extension names the numbered files.
  Find<QAbstractButton>("sbtn_MPR")->click();
  Find<QAbstractButton>("Sbtn_Multi")->click();
  ASSERT_EQ(manager->MprView(manager->ActiveMprView()).Type(), MprViewInfo::kMulti);
  const std::filesystem::path seriesDir = ZR_TestData::ScratchDir("app-series");
  window->askSeriesName = [](std::string*, int32_t*) { return false; };
  Find<QAbstractButton>("Btn_MultiSave")->click();
  EXPECT_TRUE(std::filesystem::is_empty(seriesDir));
  window->askSeriesName = [&](std::string* name, int32_t* mode) {
    *name = (seriesDir / "cut.dcm").string();
    *mode = 4;
    return true;
  };
  Find<QAbstractButton>("Btn_MultiSave")->click();
  const int32_t slices = manager->MprView(manager->ActiveMprView()).nSliceCount;
  for (int32_t i = 0; i < slices; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "cut%0*d.dcm", slices >= 10 ? 2 : 1, i);
    EXPECT_TRUE(std::filesystem::exists(seriesDir / name)) << name;
  }

  // Ctrl+X changed a setting (and changed it back): "Save Settings ?" comes first, declined
  // here, which writes nothing. "Exit Lumetra ?" declined keeps the window and the volume;
  // accepted closes it.
  ASSERT_TRUE(window->SettingsService()->IsChanged());
  const std::filesystem::path settingsFile = window->Paths().SettingsFile();
  const bool existed = std::filesystem::exists(settingsFile);
  Answer({false, false});
  window->close();
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(manager->IsVolumeLoaded());
  Answer({false, true});
  window->close();
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(questions,
            (std::vector<QString>{"Save Settings ?", "Exit Lumetra ?", "Save Settings ?", "Exit Lumetra ?"}));
  EXPECT_EQ(std::filesystem::exists(settingsFile), existed);
}

TEST_F(Application, AStudyGivenAtStartIsImportedOnceTheWindowIsUp) {
  LMX_REQUIRE_DATA(dir, "series/mr-brain-20");
  const std::vector<std::string> files = FilesOf(dir.string());
  ASSERT_EQ(files.size(), 20u);
  QString total;
  WhenDialogAppears<TVolumePreview>([&](TVolumePreview* preview) {
    total = preview->TotalLabel()->text();
    preview->LoadButton()->click();
  });
  Start(files);
  ASSERT_TRUE(QTest::qWaitFor([&] { return window->Manager()->IsVolumeLoaded(); }, 60000));
  EXPECT_EQ(total, "20");
  EXPECT_TRUE(window->AppGui()->IsControlEnabled(ZR_Ctl::Btn_Subset));
  EXPECT_TRUE(Find<QAction>("Mi_Options")->isEnabled());

  // Nine files are too few: the message comes through the application contract.
  messages.clear();
  EXPECT_FALSE(window->ImportFiles(std::vector<std::string>(files.begin(), files.begin() + 9)));
  EXPECT_EQ(messages, (std::vector<QString>{"ERROR! Failed to load volume (too few slices)."}));
}
