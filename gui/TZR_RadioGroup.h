#pragma once
// A titled group of radio items addressed by index, as the contract's radio slots expect.

#include <QButtonGroup>
#include <QGroupBox>
#include <QStringList>

class TZR_RadioGroup : public QGroupBox {
  Q_OBJECT
 public:
  TZR_RadioGroup(const QString& title, const QStringList& items, QWidget* parent = nullptr);

  int Index() const;
  // Selects an item without emitting itemChosen; an index outside the items clears the choice.
  void SetIndex(int index);
  void EnableItem(int item, bool on);
  int Count() const { return static_cast<int>(m_oGroup.buttons().size()); }
  QAbstractButton* Item(int item) const { return m_oGroup.button(item); }

 signals:
  // The user picked an item.
  void itemChosen(int index);

 private:
  QButtonGroup m_oGroup;
};
