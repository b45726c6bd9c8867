#include "gui/TContinueCancelDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TContinueCancelDialog::TContinueCancelDialog(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName("ContinueCancelDialog");
  setWindowTitle("Lumetra");
  setModal(true);
  resize(454, 190);
  auto* layout = new QVBoxLayout(this);
  m_pLabel = new QLabel(this);
  m_pLabel->setObjectName("Lbl_Question");
  m_pLabel->setAlignment(Qt::AlignCenter);
  m_pLabel->setWordWrap(true);
  layout->addWidget(m_pLabel, 1);
  auto* buttons = new QHBoxLayout;
  m_pContinue = new QPushButton("Continue", this);
  m_pContinue->setObjectName("Btn_Continue");
  m_pContinue->setDefault(true);
  m_pCancel = new QPushButton("Cancel", this);
  m_pCancel->setObjectName("Btn_Cancel");
  buttons->addStretch();
  buttons->addWidget(m_pContinue);
  buttons->addWidget(m_pCancel);
  buttons->addStretch();
  layout->addLayout(buttons);
  connect(m_pContinue, &QPushButton::clicked, this, &QDialog::accept);
  connect(m_pCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TContinueCancelDialog::SetQuestion(const QString& question) { m_pLabel->setText(question); }
