#pragma once
// The subset preview dialog ("Volume Preview"): the first and the last slice of the range,
// the range fields, "Use Max Slices", the scroll bar, "Load Volume" and "Cancel". Every user
// action becomes an event (kind, value) for the preview engine; the dialog decides nothing.

#include <QDialog>
#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;
class QScrollBar;
class TZR_NumberEdit;
class TZR_PictureBox;

class TVolumePreview : public QDialog {
  Q_OBJECT
 public:
  using EventSink = std::function<void(int32_t kind, int32_t value)>;

  explicit TVolumePreview(QWidget* mainWindow);
  void SetEventSink(EventSink sink) { m_fSink = std::move(sink); }
  // While "Load Volume" runs, the dialog's controls are disabled, it takes no further events
  // and does not close: the load processes events, and a second load, a cancel or a new
  // range must not reach the engine.
  bool IsLoading() const { return m_bLoading; }

  TZR_NumberEdit* StartField() const { return m_pStart; }
  TZR_NumberEdit* EndField() const { return m_pEnd; }
  TZR_NumberEdit* TotalField() const { return m_pTotal; }
  QCheckBox* MaxBox() const { return m_pMax; }
  QLabel* TotalLabel() const { return m_pTotalSlices; }
  QPushButton* LoadButton() const { return m_pLoad; }
  QPushButton* CancelButton() const { return m_pCancel; }
  QScrollBar* ScrollBar() const { return m_pScroll; }
  TZR_PictureBox* FirstImage() const { return m_pFirst; }
  TZR_PictureBox* LastImage() const { return m_pLast; }

  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void Send(int32_t kind, int32_t value = 0);
  void SetControlsEnabled(bool on);

  EventSink m_fSink;
  bool m_bLoading = false;
  TZR_PictureBox* m_pFirst;
  TZR_PictureBox* m_pLast;
  TZR_NumberEdit* m_pStart;
  TZR_NumberEdit* m_pEnd;
  TZR_NumberEdit* m_pTotal;
  QCheckBox* m_pMax;
  QLabel* m_pTotalSlices;
  QPushButton* m_pLoad;
  QPushButton* m_pCancel;
  QScrollBar* m_pScroll;
};
