#include "gui/ZR_BcVolumePreviewGui.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

#include "dicom/ZR_VolumePreview.h"
#include "gui/TVolumePreview.h"
#include "gui/TZR_NumberEdit.h"
#include "gui/TZR_PictureBox.h"

ZR_BcVolumePreviewGui::ZR_BcVolumePreviewGui(QWidget* mainWindow)
    : ZR_BcGui(mainWindow, ZR_PreviewCtl::kControlCount, 0),
      m_pMainWindow(mainWindow),
      m_pDialog(new TVolumePreview(mainWindow)) {
  RegisterControl(ZR_PreviewCtl::Edit_Start, m_pDialog->StartField());
  RegisterControl(ZR_PreviewCtl::Edit_End, m_pDialog->EndField());
  RegisterControl(ZR_PreviewCtl::Edit_Total, m_pDialog->TotalField());
  RegisterControl(ZR_PreviewCtl::Chk_Max, m_pDialog->MaxBox());
  RegisterControl(ZR_PreviewCtl::Img_First, m_pDialog->FirstImage());
  RegisterControl(ZR_PreviewCtl::Img_Last, m_pDialog->LastImage());
  RegisterControl(ZR_PreviewCtl::Lbl_TotalSlices, m_pDialog->TotalLabel());
  RegisterControl(ZR_PreviewCtl::Btn_Load, m_pDialog->LoadButton());
  RegisterControl(ZR_PreviewCtl::Scb_Select, m_pDialog->ScrollBar());
  m_pDialog->SetEventSink([this](int32_t kind, int32_t value) {
    if (m_pEngine) m_pEngine->Event(kind, value);
  });
}

ZR_BcVolumePreviewGui::~ZR_BcVolumePreviewGui() { delete m_pDialog.data(); }

void ZR_BcVolumePreviewGui::ShowDialog(bool modal) {
  if (!m_pDialog) return;
  if (modal) {
    m_pDialog->hide();
    m_pDialog->exec();
    if (m_pMainWindow) m_pMainWindow->activateWindow();
    return;
  }
  if (m_pMainWindow) m_pMainWindow->activateWindow();
  m_pDialog->hide();
}

void ZR_BcVolumePreviewGui::CloseDialog() {
  // Closing is not cancelling: no event goes to the engine.
  if (m_pDialog && m_pDialog->isVisible()) m_pDialog->done(QDialog::Rejected);
}

ZR_Canvas* ZR_BcVolumePreviewGui::GetImageDC(int32_t id) {
  if (!m_pDialog) return nullptr;
  return id == ZR_PreviewCtl::Img_First ? m_pDialog->FirstImage() : m_pDialog->LastImage();
}

void ZR_BcVolumePreviewGui::RefreshImage(int32_t id) {
  if (!m_pDialog) return;
  if (id == ZR_PreviewCtl::Img_First) m_pDialog->FirstImage()->update();
  if (id == ZR_PreviewCtl::Img_Last) m_pDialog->LastImage()->update();
}

void ZR_BcVolumePreviewGui::SetEngine(ZR_DialogEngine* engine) {
  m_pEngine = dynamic_cast<ZR_VolumePreview*>(engine);
}
