#include "gui/ZR_BcGui.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolButton>

#include "core/ZR_Ids.h"
#include "gui/TContinueCancelDialog.h"
#include "gui/ZR_CursorFile.h"
#include "gui/TZR_RadioGroup.h"

namespace {
QString ToQt(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// Programmatic changes never fire the widgets' user-action handlers back into the engine.
template <typename W, typename F>
void With(QWidget* control, F&& apply) {
  if (auto* w = qobject_cast<W*>(control)) {
    const QSignalBlocker block(w);
    apply(w);
  }
}

void SetButtonChecked(QAbstractButton* button, bool on) {
  if (!button->isCheckable()) {
    button->setDown(on);
    return;
  }
  // An exclusive group refuses to release its checked button; the engine may release it.
  QButtonGroup* group = button->group();
  const bool exclusive = group && group->exclusive() && !on;
  if (exclusive) group->setExclusive(false);
  button->setChecked(on);
  if (exclusive) group->setExclusive(true);
}
}  // namespace

ZR_BcGui::ZR_BcGui(QWidget* owner, int32_t controlCount, int32_t menuCount)
    : m_pOwner(owner), m_aControls(controlCount > 0 ? controlCount : 0),
      m_aMenus(menuCount > 0 ? menuCount : 0) {
  m_aPanelCursors.fill(ZR_Cursor::Arrow);
  m_aCursorShapes.fill(QCursor(Qt::ArrowCursor));
}

ZR_BcGui::~ZR_BcGui() = default;

void ZR_BcGui::RegisterControl(int32_t id, QWidget* control) {
  if (id >= 0 && id < static_cast<int32_t>(m_aControls.size())) m_aControls[id] = control;
}

void ZR_BcGui::RegisterMenu(int32_t id, QAction* item) {
  if (id >= 0 && id < static_cast<int32_t>(m_aMenus.size())) m_aMenus[id] = item;
}

void ZR_BcGui::RegisterPanel(int32_t panel, QWidget* widget) {
  if (panel >= 0 && panel < static_cast<int32_t>(m_aPanels.size())) m_aPanels[panel] = widget;
}

void ZR_BcGui::SetCursorShape(int32_t id, const QCursor& cursor) {
  if (id >= ZR_Cursor::kFirst && id <= ZR_Cursor::kLast) m_aCursorShapes[id - ZR_Cursor::kFirst] = cursor;
}

int32_t ZR_BcGui::LoadCursorFiles(const QString& dir) {
  int32_t loaded = 0;
  for (int32_t id = ZR_Cursor::kFirst + 1; id <= ZR_Cursor::kLast; ++id) {
    const std::optional<QCursor> cursor = ZR_CursorFile::Load(dir + ZR_Cursor::FileName(id));
    if (!cursor) break;
    SetCursorShape(id, *cursor);
    ++loaded;
  }
  return loaded;
}

QWidget* ZR_BcGui::Control(int32_t id) const {
  if (id < 0 || id >= static_cast<int32_t>(m_aControls.size())) return nullptr;
  return m_aControls[id];
}

QAction* ZR_BcGui::Menu(int32_t id) const {
  if (id < 0 || id >= static_cast<int32_t>(m_aMenus.size())) return nullptr;
  return m_aMenus[id];
}

QWidget* ZR_BcGui::Panel(int32_t panel) const {
  if (panel < 0 || panel >= static_cast<int32_t>(m_aPanels.size())) return nullptr;
  return m_aPanels[panel];
}

int32_t ZR_BcGui::GetControlCount() { return static_cast<int32_t>(m_aControls.size()); }

void ZR_BcGui::SetPanelCursor(int32_t panel, int32_t cursor) {
  QWidget* widget = Panel(panel);
  if (!widget) return;
  m_aPanelCursors[panel] = cursor;
  const bool known = cursor >= ZR_Cursor::kFirst && cursor <= ZR_Cursor::kLast;
  widget->setCursor(known ? m_aCursorShapes[cursor - ZR_Cursor::kFirst] : QCursor(Qt::ArrowCursor));
}

int32_t ZR_BcGui::GetPanelCursor(int32_t panel) {
  return Panel(panel) ? m_aPanelCursors[panel] : ZR_Cursor::Arrow;
}

void ZR_BcGui::SetButtonDown(int32_t id, bool down) {
  With<QAbstractButton>(Control(id), [&](QAbstractButton* b) { SetButtonChecked(b, down); });
}

void ZR_BcGui::SetToolButtonMarked(int32_t id, bool marked) {
  With<QToolButton>(Control(id), [&](QToolButton* b) { SetButtonChecked(b, marked); });
}

void ZR_BcGui::SetChecked(int32_t id, bool checked) {
  With<QCheckBox>(Control(id), [&](QCheckBox* b) { b->setChecked(checked); });
}

void ZR_BcGui::SetRadioIndex(int32_t id, int32_t index) {
  With<TZR_RadioGroup>(Control(id), [&](TZR_RadioGroup* g) { g->SetIndex(index); });
}

void ZR_BcGui::EnableRadioItem(int32_t id, int32_t item, bool on) {
  With<TZR_RadioGroup>(Control(id), [&](TZR_RadioGroup* g) { g->EnableItem(item, on); });
}

void ZR_BcGui::SetPage(int32_t id, int32_t page) {
  QWidget* control = Control(id);
  With<QTabWidget>(control, [&](QTabWidget* t) { if (page >= 0 && page < t->count()) t->setCurrentIndex(page); });
  With<QStackedWidget>(control, [&](QStackedWidget* s) { if (page >= 0 && page < s->count()) s->setCurrentIndex(page); });
}

void ZR_BcGui::SetScrollMin(int32_t id, int32_t value) {
  With<QAbstractSlider>(Control(id), [&](QAbstractSlider* s) { s->setMinimum(value); });
}
void ZR_BcGui::SetScrollMax(int32_t id, int32_t value) {
  With<QAbstractSlider>(Control(id), [&](QAbstractSlider* s) { s->setMaximum(value); });
}
void ZR_BcGui::SetScrollPage(int32_t id, int32_t value) {
  With<QAbstractSlider>(Control(id), [&](QAbstractSlider* s) { s->setPageStep(value); });
}
void ZR_BcGui::SetScrollPosition(int32_t id, int32_t value) {
  With<QAbstractSlider>(Control(id), [&](QAbstractSlider* s) { s->setValue(value); });
}

void ZR_BcGui::SetNumberMin(int32_t id, int32_t value) {
  QWidget* control = Control(id);
  With<QSpinBox>(control, [&](QSpinBox* s) { s->setMinimum(value); });
  With<QDoubleSpinBox>(control, [&](QDoubleSpinBox* s) { s->setMinimum(value); });
}
void ZR_BcGui::SetNumberMax(int32_t id, int32_t value) {
  QWidget* control = Control(id);
  With<QSpinBox>(control, [&](QSpinBox* s) { s->setMaximum(value); });
  With<QDoubleSpinBox>(control, [&](QDoubleSpinBox* s) { s->setMaximum(value); });
}
void ZR_BcGui::SetNumberValue(int32_t id, float value) {
  QWidget* control = Control(id);
  With<QSpinBox>(control, [&](QSpinBox* s) { s->setValue(static_cast<int>(value)); });
  With<QDoubleSpinBox>(control, [&](QDoubleSpinBox* s) { s->setValue(value); });
}

void ZR_BcGui::SetEditText(int32_t id, const std::string& text) {
  With<QLineEdit>(Control(id), [&](QLineEdit* e) { e->setText(ToQt(text)); });
}

void ZR_BcGui::EnableControl(int32_t id, bool on) {
  if (QWidget* control = Control(id)) control->setEnabled(on);
}

void ZR_BcGui::ShowControl(int32_t id, bool visible) {
  if (QWidget* control = Control(id)) control->setVisible(visible);
}

bool ZR_BcGui::IsControlVisible(int32_t id) {
  QWidget* control = Control(id);
  return control && !control->isHidden();  // its own flag, as when its window is not shown yet
}

void ZR_BcGui::SetLabelText(int32_t id, const std::string& text) {
  With<QLabel>(Control(id), [&](QLabel* l) { l->setText(ToQt(text)); });
}

bool ZR_BcGui::IsControlEnabled(int32_t id) {
  QWidget* control = Control(id);
  return control && !control->testAttribute(Qt::WA_Disabled);
}

void ZR_BcGui::ShowMessage(const std::string& text) {
  QMessageBox box(QMessageBox::Information, "Lumetra", ToQt(text), QMessageBox::Ok, m_pOwner);
  box.setObjectName("MessageBox");
  box.exec();
}

QPoint ZR_BcGui::NextQuestionPosition() {
  static bool second = false;
  const QPoint at = second ? QPoint(500, 500) : QPoint(300, 300);
  second = !second;
  return at;
}

bool ZR_BcGui::AskYesNo(const std::string& question) {
  TContinueCancelDialog dialog(m_pOwner);
  dialog.SetQuestion(ToQt(question));
  dialog.move(NextQuestionPosition());
  return dialog.exec() == QDialog::Accepted;
}

void ZR_BcGui::SetMenuChecked(int32_t menu, bool checked) {
  if (QAction* item = Menu(menu)) {
    const QSignalBlocker block(item);
    item->setCheckable(true);
    item->setChecked(checked);
  }
}

void ZR_BcGui::EnableMenu(int32_t menu, bool on) {
  if (QAction* item = Menu(menu)) item->setEnabled(on);
}
