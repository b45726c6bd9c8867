#pragma once
// The gallery's window: the captured pictures as thumbnails in a three-column grid, the
// selected one framed in white, and Select All, Delete, Save and Store. A tool window of the
// main window, shown when a picture arrives. It draws what its model holds.

#include <QDialog>
#include <QPixmap>
#include <QPointer>
#include <functional>
#include <vector>

class QPushButton;
class QScrollArea;
class ZR_ImageGallery;
class TImageGalleryPicture;

class TImageGallery : public QDialog {
  Q_OBJECT

 public:
  TImageGallery(ZR_ImageGallery& model, QWidget* owner);
  ~TImageGallery() override;

  // After the model took a picture: its thumbnail, and the window shown.
  void AddThumbnail();
  // After the model was emptied.
  void ClearThumbnails();
  int32_t ThumbnailCount() const { return static_cast<int32_t>(m_aThumbnails.size()); }

  // Asks for a file name and a filter (1 DICOM, 2 JPEG, 3 BMP); false when cancelled. The
  // file dialog by default; tests put their own answer here.
  std::function<bool(QString* name, int32_t* filter)> askSaveName;

  QPushButton* SelectAllButton() const { return m_pSelectAll; }
  QPushButton* DeleteButton() const { return m_pDelete; }
  QPushButton* SaveButton() const { return m_pSave; }
  QPushButton* StoreButton() const { return m_pStore; }
  QWidget* Picture() const;
  // The cell size follows the window's width.
  void Relayout();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  friend class TImageGalleryPicture;
  void Paint(QPainter& painter) const;
  void Click(const QPoint& at);
  void SelectAll();
  void DeleteSelected();
  void SaveSelected();
  void UpdateButtons();

  ZR_ImageGallery& m_oModel;
  std::vector<QPixmap> m_aThumbnails;
  QScrollArea* m_pScroll = nullptr;
  TImageGalleryPicture* m_pPicture = nullptr;
  QPushButton* m_pSelectAll = nullptr;
  QPushButton* m_pDelete = nullptr;
  QPushButton* m_pSave = nullptr;
  QPushButton* m_pStore = nullptr;
};
