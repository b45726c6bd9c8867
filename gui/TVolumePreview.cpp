#include "gui/TVolumePreview.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "dicom/ZR_VolumePreview.h"
#include "gui/TZR_NumberEdit.h"
#include "gui/TZR_PictureBox.h"

namespace {
constexpr int kPicture = ZR_VolumePreview::kThumbnailSize;
}

TVolumePreview::TVolumePreview(QWidget* mainWindow) : QDialog(mainWindow) {
  setObjectName("VolumePreview");
  setWindowTitle("Volume Preview");
  m_pFirst = new TZR_PictureBox(this);
  m_pFirst->setObjectName("Img_First");
  m_pLast = new TZR_PictureBox(this);
  m_pLast->setObjectName("Img_Last");
  for (TZR_PictureBox* picture : {m_pFirst, m_pLast}) picture->setFixedSize(kPicture + 2, kPicture + 2);

  auto field = [this](const char* name) {
    auto* edit = new TZR_NumberEdit(0, this);
    edit->setObjectName(name);
    return edit;
  };
  m_pStart = field("Edit_Start");
  m_pEnd = field("Edit_End");
  m_pTotal = field("Edit_Total");
  m_pMax = new QCheckBox("Use Max Slices", this);
  m_pMax->setObjectName("Chk_Max");
  m_pTotalSlices = new QLabel(this);
  m_pTotalSlices->setObjectName("Lbl_TotalSlices");
  m_pLoad = new QPushButton("Load Volume", this);
  m_pLoad->setObjectName("Btn_Load");
  // Enter in a field hands its value on; it must not press a button as well.
  m_pLoad->setAutoDefault(false);
  m_pCancel = new QPushButton("Cancel", this);
  m_pCancel->setObjectName("Btn_Cancel");
  m_pCancel->setAutoDefault(false);
  m_pScroll = new QScrollBar(Qt::Horizontal, this);
  m_pScroll->setObjectName("Scb_Select");

  auto* pictures = new QHBoxLayout;
  pictures->addWidget(m_pFirst);
  pictures->addWidget(m_pLast);
  auto* fields = new QGridLayout;
  fields->addWidget(new QLabel("Total Number Of Slices :", this), 0, 0);
  fields->addWidget(m_pTotalSlices, 0, 1);
  fields->addWidget(new QLabel("Start", this), 1, 0);
  fields->addWidget(m_pStart, 1, 1);
  fields->addWidget(new QLabel("End", this), 1, 2);
  fields->addWidget(m_pEnd, 1, 3);
  fields->addWidget(new QLabel("Subset", this), 1, 4);
  fields->addWidget(m_pTotal, 1, 5);
  fields->addWidget(m_pMax, 1, 6);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(m_pLoad);
  buttons->addWidget(m_pCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(pictures);
  layout->addWidget(m_pScroll);
  layout->addLayout(fields);
  layout->addLayout(buttons);

  connect(m_pStart, &TZR_NumberEdit::editingFinished, this,
          [this] { Send(ZR_PreviewEvent::Start, static_cast<int32_t>(m_pStart->value())); });
  connect(m_pEnd, &TZR_NumberEdit::editingFinished, this,
          [this] { Send(ZR_PreviewEvent::End, static_cast<int32_t>(m_pEnd->value())); });
  connect(m_pTotal, &TZR_NumberEdit::editingFinished, this,
          [this] { Send(ZR_PreviewEvent::Total, static_cast<int32_t>(m_pTotal->value())); });
  connect(m_pMax, &QCheckBox::clicked, this, [this](bool on) { Send(ZR_PreviewEvent::Max, on ? 1 : 0); });
  connect(m_pScroll, &QScrollBar::valueChanged, this, [this](int value) { Send(ZR_PreviewEvent::Scroll, value); });
  connect(m_pLoad, &QPushButton::clicked, this, [this] {
    if (m_bLoading) return;
    m_bLoading = true;
    SetControlsEnabled(false);
    Send(ZR_PreviewEvent::Load);
    SetControlsEnabled(true);
    m_bLoading = false;
    accept();
  });
  connect(m_pCancel, &QPushButton::clicked, this, &TVolumePreview::reject);
}

void TVolumePreview::SetControlsEnabled(bool on) {
  for (QWidget* control : std::initializer_list<QWidget*>{m_pStart, m_pEnd, m_pTotal, m_pMax, m_pScroll, m_pLoad, m_pCancel})
    control->setEnabled(on);
}

void TVolumePreview::Send(int32_t kind, int32_t value) {
  if (m_fSink && !(m_bLoading && kind != ZR_PreviewEvent::Load)) m_fSink(kind, value);
}

void TVolumePreview::reject() {
  if (m_bLoading) return;
  Send(ZR_PreviewEvent::Cancel);
  QDialog::reject();
}

void TVolumePreview::closeEvent(QCloseEvent* event) {
  if (m_bLoading) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void TVolumePreview::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // The engine draws the two pictures when the dialog first shows them.
  Send(ZR_PreviewEvent::Paint);
}
