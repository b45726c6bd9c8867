#include "gui/TAboutDialog.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TAboutDialog::TAboutDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("AboutDialog");
  setWindowTitle("Lumetra");
  setModal(true);
  auto* product = new QLabel("Lumetra", this);
  product->setObjectName("Lbl_Product");
  QFont big = product->font();
  big.setPointSizeF(big.pointSizeF() * 2);
  big.setBold(true);
  product->setFont(big);
  auto* version = new QLabel(kVersion, this);
  version->setObjectName("Lbl_Version");
  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("Btn_Ok");
  ok->setDefault(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(product, 0, Qt::AlignHCenter);
  layout->addWidget(version, 0, Qt::AlignHCenter);
  layout->addWidget(ok, 0, Qt::AlignHCenter);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
