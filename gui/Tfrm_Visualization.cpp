#include "gui/Tfrm_Visualization.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTimer>
#include <QWheelEvent>

#include "manager/ZR_VisManager.h"
#include "output/ZR_ImageWriter.h"
#include "output/ZR_WinMovie.h"
#include "output/ZR_WinSeries.h"
#include "gui/TFileBrowseDialog.h"
#include "gui/TZR_ScaledPanel.h"
#include "gui/ZR_BcAppGui.h"
#include "gui/ZR_BcImageGallery.h"
#include "gui/ZR_BcSettings.h"
#include "gui/ZR_BcProgressBar.h"
#include "gui/ZR_BcVolumePreviewGui.h"
#include "gui/ZR_QtGlContext.h"
#include "gui/ZR_QtRenderPlatform.h"
#include "gui/ZR_UserEvent.h"
#include "presets/ZR_PresetEditorGui.h"
#include "settings/ZR_Vis3DSettings.h"

namespace {
constexpr QRgb kSilver = 0xC0C0C0;
constexpr int kBusyRepaintDelayMs = 50;
}

Tfrm_Visualization::Tfrm_Visualization(const ZR_AppPaths& paths, QWidget* parent)
    : QMainWindow(parent), m_oPaths(paths) {
  setObjectName("frm_Visualization");
  setWindowTitle("Lumetra");
  // The window fills the screen by design; a title-bar double-click must not resize it.
  setWindowFlag(Qt::WindowMaximizeButtonHint, false);
  BuildControls();
  ConnectControls();
  m_pDataSetOpenDialog = std::make_unique<TFileBrowseDialog>(this);
  m_pDataSetOpenDialog->Filter = "All Files|*.*|DICOM Files|*.dcm;*.DCM";
  m_pDataSetOpenDialog->FilterIndex = 0;
  m_pDataSetOpenDialog->Title = "Open";
  m_pDataSetOpenDialog->MultiSelect = true;
  askMovieName = [this](std::string* name) {
    QFileDialog dialog(this, "Save Movie");
    dialog.setObjectName("Dlg_SaveMovie");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("avi");
    dialog.setNameFilters({"AVI (*.avi)"});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    *name = dialog.selectedFiles().front().toStdString();
    return true;
  };
  askSeriesName = [this](std::string* name, int32_t* mode) {
    QFileDialog dialog(this, "Save Series");
    dialog.setObjectName("Dlg_SeriesSave");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The filters in the order of their write modes' list: DICOM grey 16, DICOM RGB, JPEG, BMP.
    static const std::pair<const char*, int32_t> kFilters[] = {{"DICOM GRAYSCALE16 (*.dcm)", ZR_ImageWriter::kDicomGrey16},
                                                                {"DICOM RGB8 (*.dcm)", ZR_ImageWriter::kDicomRgb},
                                                                {"JPEG (*.jpg)", ZR_ImageWriter::kJpeg},
                                                                {"BMP (*.bmp)", ZR_ImageWriter::kBmp}};
    QStringList filters;
    for (const auto& f : kFilters) filters << f.first;
    dialog.setNameFilters(filters);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    *name = dialog.selectedFiles().front().toStdString();
    const auto chosen = filters.indexOf(dialog.selectedNameFilter());
    *mode = chosen >= 0 ? kFilters[chosen].second : ZR_ImageWriter::kDicomGrey16;
    return true;
  };
}

Tfrm_Visualization::~Tfrm_Visualization() { FormDestroy(); }

TPaintPanel* Tfrm_Visualization::Panel(int32_t index) const {
  if (index < 0 || index >= static_cast<int32_t>(m_apPanels.size())) return nullptr;
  return m_apPanels[static_cast<size_t>(index)];
}

QWidget* Tfrm_Visualization::ControlPanel3d() const { return m_pPages; }
QWidget* Tfrm_Visualization::ControlPanelMpr() const { return m_pMprPanel; }

bool Tfrm_Visualization::event(QEvent* event) {
  if (const auto* message = dynamic_cast<const ZR_UserEvent*>(event)) {
    switch (message->Number()) {
      case ZR_UserEvent::Cancel:
        // The progress window's Cancel: a movie or radial series being made stops after its
        // current frame.
        if (m_pManager) {
          m_pManager->CancelMovie();
          m_pManager->CancelRadialSeries();
        }
        return true;
      case ZR_UserEvent::SettingsChanged:
        // ApplyChangedSettings, once the settings dialog sends this.
        return true;
      case ZR_UserEvent::RepaintPanel:
        if (m_bActivated && m_pManager) m_pManager->Repaint(message->Parameter());
        return true;
      default:
        return true;  // the MIP-threshold message and the ignored ones
    }
  }
  return QMainWindow::event(event);
}

void Tfrm_Visualization::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // The first activation wires what needs the window on screen; it runs once the show has
  // been processed.
  if (m_bCreated && !m_bActivated) QTimer::singleShot(0, this, [this] { FormActivate(); });
}

void Tfrm_Visualization::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  // A movie recording fixes the panel sizes it records.
  if (m_bDestroying || !m_pAppGui || m_pAppGui->GetFlag() != 0) return;
  ComputeDrawingSize();
  if (m_bActivated && m_pManager) {
    const qreal ratio = devicePixelRatioF();
    m_pManager->SetOffscreenSize(static_cast<int32_t>(m_nW * ratio), static_cast<int32_t>(m_nH * ratio));
  }
  m_oRememberedSize = size();
  const bool black = m_nScreenShown == ZR_Screen::Mpr && isMaximized();
  QPalette palette = m_pDrawArea->palette();
  palette.setColor(QPalette::Window, black ? QColor(Qt::black) : QColor(kSilver));
  m_pDrawArea->setPalette(palette);
  if (m_bActivated) ArrangeCurrentScreen();
}

void Tfrm_Visualization::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  const QList<QScreen*> screens = QGuiApplication::screens();
  QScreen* primary = QGuiApplication::primaryScreen();
  if (screens.size() < 2 || !primary) return;
  // The window belongs on the primary screen: pushed off it, it comes back to its left edge.
  const int left = frameGeometry().left();
  if (left <= 1 || left > primary->geometry().width()) move(1, y());
}

void Tfrm_Visualization::closeEvent(QCloseEvent* event) {
  // A movie or series being written would lose its file and the engine its state.
  if (Busy()) {
    event->ignore();
    return;
  }
  if (ConfirmClose()) {
    m_bClosing = true;
    event->accept();
  } else {
    event->ignore();
  }
}

void Tfrm_Visualization::keyPressEvent(QKeyEvent* event) {
  KeyDown(event);
  QMainWindow::keyPressEvent(event);
}

void Tfrm_Visualization::wheelEvent(QWheelEvent* event) {
  // What no control took goes to the MPR views, as the panels' own wheel does.
  if (m_pManager && event->angleDelta().y() != 0)
    m_pManager->MouseWheel(event->angleDelta().y(), event->modifiers().testFlag(Qt::ControlModifier),
                           event->modifiers().testFlag(Qt::ShiftModifier));
  event->accept();
}

void Tfrm_Visualization::ScheduleRepaint() {
  if (m_bRepaintPending || m_bDestroying) return;
  m_bRepaintPending = true;
  QTimer::singleShot(0, this, [this] { RepaintFlagged(); });
}

void Tfrm_Visualization::RepaintFlagged() {
  m_bRepaintPending = false;
  if (!m_bActivated || !m_pManager || m_bDestroying) return;
  // A load or a long render processes events on its way; the pictures it makes are drawn
  // when it is done, so the flags wait.
  if (m_pManager->IsBusy()) {
    m_bRepaintPending = true;
    QTimer::singleShot(kBusyRepaintDelayMs, this, [this] { RepaintFlagged(); });
    return;
  }
  m_pManager->RepaintFlagged();
}
