#include "gui/TImageGallery.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QImage>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollArea>
#include <QVBoxLayout>

#include "core/ZR_Result.h"
#include "output/ZR_ImageGallery.h"

// The grid's canvas: black, the thumbnails in their cells, the selection framed.
class TImageGalleryPicture : public QWidget {
 public:
  explicit TImageGalleryPicture(TImageGallery& gallery) : QWidget(nullptr), m_oGallery(gallery) {
    setObjectName("ImagePanel");
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    m_oGallery.Paint(painter);
  }
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton) m_oGallery.Click(event->position().toPoint());
  }

 private:
  TImageGallery& m_oGallery;
};

namespace {
constexpr int kInitialWidth = 300;

// A capture (B, G, R, bottom row first) as an upright picture.
QPixmap Thumbnail(const ZR_Image& image) {
  QImage picture(image.m_nWidth, image.m_nHeight, QImage::Format_RGB888);
  for (int32_t y = 0; y < image.m_nHeight; ++y) {
    const uint8_t* from = image.m_aPixels.data() + static_cast<size_t>(image.m_nHeight - 1 - y) * image.m_nWidth * 3;
    uint8_t* to = picture.scanLine(y);
    for (int32_t x = 0; x < image.m_nWidth; ++x) {
      to[3 * x] = from[3 * x + 2];
      to[3 * x + 1] = from[3 * x + 1];
      to[3 * x + 2] = from[3 * x];
    }
  }
  return QPixmap::fromImage(picture);
}

QRect ToQt(const ZR_Rect& r) { return QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom)); }
}  // namespace

TImageGallery::TImageGallery(ZR_ImageGallery& model, QWidget* owner) : QDialog(owner), m_oModel(model) {
  setObjectName("TImageGallery");
  setWindowTitle("Gallery");
  setWindowFlag(Qt::Tool);
  m_pScroll = new QScrollArea(this);
  m_pScroll->setObjectName("ImageScrollBox");
  m_pPicture = new TImageGalleryPicture(*this);
  m_pScroll->setWidget(m_pPicture);
  m_pScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  auto button = [this](const char* name, const char* text) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(name);
    return b;
  };
  m_pSelectAll = button("Btn_SelectAll", "All");
  m_pSelectAll->setToolTip("Select All");
  m_pDelete = button("Btn_Delete", "Delete");
  m_pSave = button("Btn_Save", "Save");
  m_pStore = button("Btn_Store", "Store");
  // Nothing receives stored pictures in this program.
  m_pStore->setEnabled(false);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {m_pSelectAll, m_pDelete, m_pSave, m_pStore}) buttons->addWidget(b);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_pScroll, 1);
  layout->addLayout(buttons);
  connect(m_pSelectAll, &QPushButton::clicked, this, [this] { SelectAll(); });
  connect(m_pDelete, &QPushButton::clicked, this, [this] { DeleteSelected(); });
  connect(m_pSave, &QPushButton::clicked, this, [this] { SaveSelected(); });
  askSaveName = [this](QString* name, int32_t* filter) {
    QFileDialog dialog(this, "Save Picture");
    dialog.setObjectName("Dlg_GallerySave");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    const QStringList filters{"DICOM (*.dcm)", "JPEG (*.jpg)", "BMP (*.bmp)"};
    dialog.setNameFilters(filters);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    *name = dialog.selectedFiles().front();
    *filter = static_cast<int32_t>(filters.indexOf(dialog.selectedNameFilter())) + 1;
    return true;
  };
  resize(kInitialWidth, kInitialWidth + 60);
  UpdateButtons();
  Relayout();
}

TImageGallery::~TImageGallery() = default;

QWidget* TImageGallery::Picture() const { return m_pPicture; }

void TImageGallery::Relayout() {
  const int width = std::max(3, m_pScroll->viewport()->width());
  const int cell = width / ZR_ImageGallery::kColumns;
  m_oModel.SetCellSize(cell, cell);
  const int rows = std::max(3, (m_oModel.ImageCount() + ZR_ImageGallery::kColumns - 1) / ZR_ImageGallery::kColumns);
  m_pPicture->resize(width, rows * cell);
  m_pPicture->update();
}

void TImageGallery::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  Relayout();
}

void TImageGallery::AddThumbnail() {
  if (m_oModel.ImageCount() <= ThumbnailCount()) return;
  m_aThumbnails.push_back(Thumbnail(m_oModel.ImageAt(m_oModel.ImageCount() - 1)));
  UpdateButtons();
  Relayout();
  if (!isVisible()) show();
}

void TImageGallery::ClearThumbnails() {
  m_aThumbnails.clear();
  UpdateButtons();
  Relayout();
}

void TImageGallery::Paint(QPainter& painter) const {
  painter.fillRect(m_pPicture->rect(), Qt::black);
  for (int32_t i = 0; i < ThumbnailCount() && i < m_oModel.CellCount(); ++i)
    painter.drawPixmap(ToQt(m_oModel.CellRect(i)), m_aThumbnails[static_cast<size_t>(i)]);
  painter.setBrush(Qt::NoBrush);
  if (m_oModel.IsAllSelected()) {
    painter.setPen(QPen(Qt::white, 1, Qt::DotLine));
    for (int32_t i = 0; i < m_oModel.CellCount(); ++i) painter.drawRect(ToQt(m_oModel.CellRect(i)));
  } else if (!m_oModel.SelectedRect().IsEmpty()) {
    painter.setPen(QPen(Qt::white, 2));
    painter.drawRect(ToQt(m_oModel.SelectedRect()));
  }
}

void TImageGallery::Click(const QPoint& at) {
  if (m_oModel.CellCount() == 0) return;
  (void)m_oModel.SelectAt(at.x(), at.y());
  UpdateButtons();
  m_pPicture->update();
}

void TImageGallery::SelectAll() {
  m_oModel.SelectAll();
  UpdateButtons();
  m_pPicture->update();
}

void TImageGallery::DeleteSelected() {
  if (m_oModel.IsAllSelected()) {
    m_oModel.ClearAll();
    m_aThumbnails.clear();
  } else if (m_oModel.SelectedImage()) {
    const int32_t index = m_oModel.SelectedIndex();
    m_oModel.DeleteSelected();
    m_aThumbnails.erase(m_aThumbnails.begin() + index);
  }
  UpdateButtons();
  Relayout();
}

void TImageGallery::SaveSelected() {
  if (m_oModel.IsAllSelected() || !m_oModel.SelectedImage()) return;
  QString name;
  int32_t filter = 0;
  if (!askSaveName || !askSaveName(&name, &filter) || name.isEmpty()) return;
  std::string written, error;
  if (m_oModel.SaveSelected(name.toStdString(), filter, &written, &error) != VR_OK)
    QMessageBox::warning(this, "Gallery",
                         QString::fromStdString("Unable to write " + (written.empty() ? name.toStdString() : written) +
                                                ":\n" + error));
}

void TImageGallery::UpdateButtons() {
  const bool any = m_oModel.ImageCount() > 0;
  m_pDelete->setEnabled(any);
  m_pSave->setEnabled(any && !m_oModel.IsAllSelected());
  m_pSelectAll->setEnabled(any && !m_oModel.IsAllSelected());
}
