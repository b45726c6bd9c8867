#include "gui/ZR_BcGui.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>

#include "core/ZR_Ids.h"
#include "gui/TContinueCancelDialog.h"
#include "gui/TZR_RadioGroup.h"
#include "gui/ZR_BcAppGui.h"
#include "tests/gui/ZR_GuiTestHelpers.h"

namespace {
// A main window with one control of every kind the contract addresses.
struct Window {
  QWidget owner;
  ZR_BcAppGui gui{&owner};
  QToolButton latch, marked;
  QCheckBox check{"Shading"};
  TZR_RadioGroup radio{"Mode", {"MPVR", "MIP", "MinIP"}};
  QTabWidget pages;
  QScrollBar scroll{Qt::Horizontal};
  QSpinBox count;
  QDoubleSpinBox mm;
  QLineEdit edit;
  QLabel label;
  QAction menuItem{"Lock Active View"};
  QWidget panel;

  Window() {
    latch.setCheckable(true);
    marked.setCheckable(true);
    pages.addTab(new QWidget, "Volume Rendering");
    pages.addTab(new QWidget, "Fly-Thru");
    gui.RegisterControl(ZR_Ctl::SBtn_Rotate, &latch);
    gui.RegisterControl(ZR_Ctl::ToolBtn_Measures, &marked);
    gui.RegisterControl(ZR_Ctl::chk_ShadedVR, &check);
    gui.RegisterControl(ZR_Ctl::Rg_SlabMode, &radio);
    gui.RegisterControl(ZR_Ctl::pc_3D, &pages);
    gui.RegisterControl(ZR_Ctl::Sbtn_Curve, &scroll);  // any id will do for a scroll bar
    gui.RegisterControl(ZR_Ctl::Ed_Slices, &count);
    gui.RegisterControl(ZR_Ctl::Ed_Thickness, &mm);
    gui.RegisterControl(ZR_Ctl::Ed_SlabSize, &edit);
    gui.RegisterControl(ZR_Ctl::Lbl_MprThickness, &label);
    gui.RegisterMenu(ZR_Menu::Mi_LockActiveView, &menuItem);
    gui.RegisterPanel(ZR_Panel::Mpr2, &panel);
  }
};
}  // namespace

TEST(BcGui, EverySlotReachesItsKindOfControl) {
  Window w;
  EXPECT_EQ(w.gui.GetControlCount(), 82);

  w.gui.SetButtonDown(ZR_Ctl::SBtn_Rotate, true);
  EXPECT_TRUE(w.latch.isChecked());
  w.gui.SetToolButtonMarked(ZR_Ctl::ToolBtn_Measures, true);
  EXPECT_TRUE(w.marked.isChecked());
  w.gui.SetChecked(ZR_Ctl::chk_ShadedVR, true);
  EXPECT_TRUE(w.check.isChecked());
  w.gui.SetRadioIndex(ZR_Ctl::Rg_SlabMode, 2);
  EXPECT_EQ(w.radio.Index(), 2);
  w.gui.EnableRadioItem(ZR_Ctl::Rg_SlabMode, 1, false);
  EXPECT_FALSE(w.radio.Item(1)->isEnabled());
  EXPECT_TRUE(w.radio.Item(0)->isEnabled());
  w.gui.SetPage(ZR_Ctl::pc_3D, 1);
  EXPECT_EQ(w.pages.currentIndex(), 1);
  w.gui.SetPage(ZR_Ctl::pc_3D, 7);  // no such page
  EXPECT_EQ(w.pages.currentIndex(), 1);

  w.gui.SetScrollMin(ZR_Ctl::Sbtn_Curve, 10);
  w.gui.SetScrollMax(ZR_Ctl::Sbtn_Curve, 90);
  w.gui.SetScrollPage(ZR_Ctl::Sbtn_Curve, 5);
  w.gui.SetScrollPosition(ZR_Ctl::Sbtn_Curve, 42);
  EXPECT_EQ(w.scroll.minimum(), 10);
  EXPECT_EQ(w.scroll.maximum(), 90);
  EXPECT_EQ(w.scroll.pageStep(), 5);
  EXPECT_EQ(w.scroll.value(), 42);

  w.gui.SetNumberMin(ZR_Ctl::Ed_Slices, 2);
  w.gui.SetNumberMax(ZR_Ctl::Ed_Slices, 64);
  w.gui.SetNumberValue(ZR_Ctl::Ed_Slices, 12.9f);
  EXPECT_EQ(w.count.minimum(), 2);
  EXPECT_EQ(w.count.maximum(), 64);
  EXPECT_EQ(w.count.value(), 12);
  w.gui.SetNumberMax(ZR_Ctl::Ed_Thickness, 100);
  w.gui.SetNumberValue(ZR_Ctl::Ed_Thickness, 2.5f);
  EXPECT_DOUBLE_EQ(w.mm.value(), 2.5);

  w.gui.SetEditText(ZR_Ctl::Ed_SlabSize, "Müller");
  EXPECT_EQ(w.edit.text(), QString::fromUtf8("Müller"));
  w.gui.SetLabelText(ZR_Ctl::Lbl_MprThickness, "Thickness (mm)");
  EXPECT_EQ(w.label.text(), "Thickness (mm)");

  w.gui.EnableControl(ZR_Ctl::chk_ShadedVR, false);
  EXPECT_FALSE(w.gui.IsControlEnabled(ZR_Ctl::chk_ShadedVR));
  w.gui.EnableControl(ZR_Ctl::chk_ShadedVR, true);
  EXPECT_TRUE(w.gui.IsControlEnabled(ZR_Ctl::chk_ShadedVR));
  w.gui.ShowControl(ZR_Ctl::Lbl_MprThickness, false);
  EXPECT_FALSE(w.gui.IsControlVisible(ZR_Ctl::Lbl_MprThickness));
  w.gui.ShowControl(ZR_Ctl::Lbl_MprThickness, true);
  EXPECT_TRUE(w.gui.IsControlVisible(ZR_Ctl::Lbl_MprThickness));  // its own flag

  w.gui.SetMenuChecked(ZR_Menu::Mi_LockActiveView, true);
  EXPECT_TRUE(w.menuItem.isChecked());
  w.gui.EnableMenu(ZR_Menu::Mi_LockActiveView, false);
  EXPECT_FALSE(w.menuItem.isEnabled());

  w.gui.SetFlag(7);
  EXPECT_EQ(w.gui.GetFlag(), 7);
}

TEST(BcGui, IdsWithoutAControlAndControlsOfAnotherKindAreLeftAlone) {
  Window w;
  for (int32_t id : {0, 5, 9, 10, 16, 63, 64, 65, 66, 82, 1000, -1}) {
    w.gui.SetButtonDown(id, true);
    w.gui.SetChecked(id, true);
    w.gui.SetRadioIndex(id, 1);
    w.gui.SetPage(id, 1);
    w.gui.SetScrollPosition(id, 3);
    w.gui.SetNumberValue(id, 3);
    w.gui.SetEditText(id, "x");
    w.gui.SetLabelText(id, "x");
    w.gui.EnableControl(id, false);
    w.gui.ShowControl(id, false);
    EXPECT_FALSE(w.gui.IsControlVisible(id));
    EXPECT_FALSE(w.gui.IsControlEnabled(id));
    w.gui.SetMenuChecked(id, true);
    w.gui.EnableMenu(id, false);
    w.gui.SetPanelCursor(id, ZR_Cursor::Zoom);
  }
  // A check-box operation on a label, a label operation on a check box: nothing happens.
  w.gui.SetChecked(ZR_Ctl::Lbl_MprThickness, true);
  w.gui.SetLabelText(ZR_Ctl::chk_ShadedVR, "changed");
  EXPECT_EQ(w.check.text(), "Shading");
  w.gui.SetNumberValue(ZR_Ctl::Ed_SlabSize, 5);
  EXPECT_TRUE(w.edit.text().isEmpty());
}

TEST(BcGui, ProgrammaticChangesDoNotFireUserActionHandlers) {
  Window w;
  int fired = 0;
  QObject::connect(&w.check, &QCheckBox::toggled, [&] { ++fired; });
  QObject::connect(&w.radio, &TZR_RadioGroup::itemChosen, [&] { ++fired; });
  QObject::connect(&w.count, &QSpinBox::valueChanged, [&] { ++fired; });
  QObject::connect(&w.pages, &QTabWidget::currentChanged, [&] { ++fired; });
  w.gui.SetChecked(ZR_Ctl::chk_ShadedVR, true);
  w.gui.SetRadioIndex(ZR_Ctl::Rg_SlabMode, 1);
  w.gui.SetNumberValue(ZR_Ctl::Ed_Slices, 9);
  w.gui.SetPage(ZR_Ctl::pc_3D, 1);
  EXPECT_EQ(fired, 0);
}

TEST(BcGui, TheEngineCanReleaseALatchedButtonOfAnExclusiveGroup) {
  Window w;
  QToolButton other;
  other.setCheckable(true);
  QButtonGroup group;
  group.addButton(&w.latch);
  group.addButton(&other);
  w.gui.SetButtonDown(ZR_Ctl::SBtn_Rotate, true);
  w.gui.SetButtonDown(ZR_Ctl::SBtn_Rotate, false);
  EXPECT_FALSE(w.latch.isChecked());
  EXPECT_TRUE(group.exclusive());
}

TEST(BcGui, PanelCursorsFollowTheirIdsAndFallBackToTheArrow) {
  Window w;
  w.gui.SetCursorShape(ZR_Cursor::Zoom, QCursor(Qt::SizeVerCursor));
  w.gui.SetPanelCursor(ZR_Panel::Mpr2, ZR_Cursor::Zoom);
  EXPECT_EQ(w.gui.GetPanelCursor(ZR_Panel::Mpr2), ZR_Cursor::Zoom);
  EXPECT_EQ(w.panel.cursor().shape(), Qt::SizeVerCursor);
  w.gui.SetPanelCursor(ZR_Panel::Mpr2, ZR_Cursor::VoiSize);  // never given a shape
  EXPECT_EQ(w.gui.GetPanelCursor(ZR_Panel::Mpr2), ZR_Cursor::VoiSize);
  EXPECT_EQ(w.panel.cursor().shape(), Qt::ArrowCursor);
  EXPECT_EQ(w.gui.GetPanelCursor(ZR_Panel::Mpr0), ZR_Cursor::Arrow);  // no panel registered
}

TEST(BcGui, QuestionsAlternateBetweenTwoPlacesAndAnswerContinueAsYes) {
  Window w;
  std::vector<QPoint> places;
  std::vector<QString> texts;
  auto answer = [&](bool yes) {
    WhenModalAppears([&, yes](QWidget* modal) {
      auto* dialog = qobject_cast<TContinueCancelDialog*>(modal);
      ASSERT_NE(dialog, nullptr);
      places.push_back(dialog->pos());
      texts.push_back(dialog->findChild<QLabel*>("Lbl_Question")->text());
      (yes ? dialog->ContinueButton() : dialog->CancelButton())->click();
    });
  };
  answer(true);
  const bool first = w.gui.AskYesNo("Exit Lumetra ?");
  answer(false);
  const bool second = w.gui.AskYesNo("Save Settings ?");
  EXPECT_TRUE(first);
  EXPECT_FALSE(second);
  ASSERT_EQ(places.size(), 2u);
  // The toggle is process-wide; whichever place came first, the next one is the other.
  EXPECT_NE(places[0], places[1]);
  for (const QPoint& p : places) EXPECT_TRUE(p == QPoint(300, 300) || p == QPoint(500, 500)) << p.x();
  EXPECT_EQ(texts[0], "Exit Lumetra ?");
}

TEST(BcGui, MessagesAreModalInformationBoxesWithTheText) {
  Window w;
  QString shown;
  WhenModalAppears([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    shown = box->text();
    box->accept();
  });
  w.gui.ShowMessage("ERROR! Failed to load volume (too few slices).");
  EXPECT_EQ(shown, "ERROR! Failed to load volume (too few slices).");
}
