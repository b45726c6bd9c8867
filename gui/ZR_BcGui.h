#pragma once
// The general GUI contract over tables of Qt widgets. The window registers which widget
// stands behind each control id, menu id and panel index; an id without a widget, or with a
// widget of another kind than the operation needs, does nothing.

#include <QCursor>
#include <QPointer>
#include <QWidget>
#include <array>
#include <vector>

#include "core/ZR_VisGui.h"

class QAction;

class ZR_BcGui : public ZR_VisGui {
 public:
  ZR_BcGui(QWidget* owner, int32_t controlCount, int32_t menuCount);
  ~ZR_BcGui() override;

  // Registration, used by the windowing side only.
  void RegisterControl(int32_t id, QWidget* control);
  void RegisterMenu(int32_t id, QAction* item);
  void RegisterPanel(int32_t panel, QWidget* widget);
  // The pointer shapes behind the cursor ids; an id without one shows the arrow.
  void SetCursorShape(int32_t id, const QCursor& cursor);
  // Loads the cursor files of ids 11..26 from `dir` in id order and stops at the first that
  // is missing or unreadable (its id and all later ones keep the arrow); returns how many
  // were loaded.
  int32_t LoadCursorFiles(const QString& dir);

  QWidget* Owner() const { return m_pOwner; }
  QWidget* Control(int32_t id) const;
  QAction* Menu(int32_t id) const;
  QWidget* Panel(int32_t panel) const;

  int32_t GetControlCount() override;
  void SetPanelCursor(int32_t panel, int32_t cursor) override;
  int32_t GetPanelCursor(int32_t panel) override;
  void SetButtonDown(int32_t id, bool down) override;
  void SetToolButtonMarked(int32_t id, bool marked) override;
  void SetChecked(int32_t id, bool checked) override;
  void SetRadioIndex(int32_t id, int32_t index) override;
  void EnableRadioItem(int32_t id, int32_t item, bool on) override;
  void SetPage(int32_t id, int32_t page) override;
  void SetScrollMin(int32_t id, int32_t value) override;
  void SetScrollMax(int32_t id, int32_t value) override;
  void SetScrollPage(int32_t id, int32_t value) override;
  void SetScrollPosition(int32_t id, int32_t value) override;
  void SetNumberMin(int32_t id, int32_t value) override;
  void SetNumberMax(int32_t id, int32_t value) override;
  void SetNumberValue(int32_t id, float value) override;
  void SetEditText(int32_t id, const std::string& text) override;
  void EnableControl(int32_t id, bool on) override;
  void ShowControl(int32_t id, bool visible) override;
  bool IsControlVisible(int32_t id) override;
  void SetLabelText(int32_t id, const std::string& text) override;
  bool IsControlEnabled(int32_t id) override;
  void ShowMessage(const std::string& text) override;
  bool AskYesNo(const std::string& question) override;
  void ShowDialog(bool modal) override {}
  void CloseDialog() override {}
  void SetFlag(uint8_t flag) override { m_nFlag = flag; }
  uint8_t GetFlag() override { return m_nFlag; }
  void SetMenuChecked(int32_t menu, bool checked) override;
  void EnableMenu(int32_t menu, bool on) override;

  // Where the next question dialog goes: (300, 300) first, then (500, 500), alternating
  // across the whole process.
  static QPoint NextQuestionPosition();

 private:
  QPointer<QWidget> m_pOwner;
  std::vector<QPointer<QWidget>> m_aControls;
  std::vector<QPointer<QAction>> m_aMenus;
  std::array<QPointer<QWidget>, 12> m_aPanels{};
  std::array<int32_t, 12> m_aPanelCursors{};
  std::array<QCursor, 17> m_aCursorShapes{};  // ids 10..26
  uint8_t m_nFlag = 0;
};
