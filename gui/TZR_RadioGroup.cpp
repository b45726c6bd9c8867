#include "gui/TZR_RadioGroup.h"

#include <QRadioButton>
#include <QVBoxLayout>

TZR_RadioGroup::TZR_RadioGroup(const QString& title, const QStringList& items, QWidget* parent)
    : QGroupBox(title, parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 2, 4, 2);
  for (int i = 0; i < items.size(); ++i) {
    auto* button = new QRadioButton(items[i], this);
    m_oGroup.addButton(button, i);
    layout->addWidget(button);
  }
  connect(&m_oGroup, &QButtonGroup::idClicked, this, &TZR_RadioGroup::itemChosen);
}

int TZR_RadioGroup::Index() const { return m_oGroup.checkedId(); }

void TZR_RadioGroup::SetIndex(int index) {
  if (QAbstractButton* button = m_oGroup.button(index)) {
    button->setChecked(true);
    return;
  }
  if (QAbstractButton* checked = m_oGroup.checkedButton()) {
    m_oGroup.setExclusive(false);
    checked->setChecked(false);
    m_oGroup.setExclusive(true);
  }
}

void TZR_RadioGroup::EnableItem(int item, bool on) {
  if (QAbstractButton* button = m_oGroup.button(item)) button->setEnabled(on);
}
