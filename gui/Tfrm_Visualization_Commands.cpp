// What every control, menu item and panel event of the main window calls. Numbered commands
// go to the manager's Command entry, whose number is the sending control's id; operations of
// subsystems that have not arrived yet are named where they will be called.
#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QMenu>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QToolButton>
#include <QUrl>
#include <cmath>
#include <cstring>

#include "core/ZR_Keys.h"
#include "core/ZR_Vocabulary.h"
#include "dicom/ZR_DcmError.h"
#include "dicom/ZR_DcmImage.h"
#include "dicom/ZR_DcmImages.h"
#include "dicom/ZR_DicomVolume.h"
#include "gui/TAboutDialog.h"
#include "gui/TFileBrowseDialog.h"
#include "gui/TZR_NumberEdit.h"
#include "gui/TZR_RadioGroup.h"
#include "gui/Tfrm_Visualization.h"
#include "gui/ZR_BcAppGui.h"
#include "manager/ZR_VisManager.h"
#include "output/ZR_ImageWriter.h"
#include "output/ZR_SaveInfo.h"
#include "presets/ZR_PresetEditorGui.h"

namespace {
// Sent when the fly-through page becomes active; it has no control of its own.
constexpr int32_t kFlyThruPageCommand = 5;
// How far a right click may move and still open the pop-up menu, in device pixels.
constexpr int kClickSlop = 4;

template <typename T>
T* As(QWidget* control) {
  return qobject_cast<T*>(control);
}
}  // namespace

bool Tfrm_Visualization::Busy() const { return m_bImporting || (m_pManager && m_pManager->IsBusy()); }

void Tfrm_Visualization::Send(int32_t command) {
  if (m_pManager) m_pManager->Command(command, nullptr);
}
void Tfrm_Visualization::SendByte(int32_t command, bool value) {
  const uint8_t byte = value ? 1 : 0;
  if (m_pManager) m_pManager->Command(command, &byte);
}
void Tfrm_Visualization::SendInt(int32_t command, int32_t value) {
  if (m_pManager) m_pManager->Command(command, &value);
}
void Tfrm_Visualization::SendFloat(int32_t command, float value) {
  if (m_pManager) m_pManager->Command(command, &value);
}

void Tfrm_Visualization::ConnectControls() {
  auto control = [this](int32_t id) { return m_apControls[static_cast<size_t>(id)].data(); };
  auto onClick = [&](int32_t id, auto&& handler) {
    if (auto* button = As<QAbstractButton>(control(id))) connect(button, &QAbstractButton::clicked, this, handler);
  };
  // A button of an exclusive group sends its command when it is pressed.
  auto onPress = [&](int32_t id, int32_t command) { onClick(id, [this, command] { Send(command); }); };
  auto tool = [&](int32_t id, ZR_Tool3d tool3d) {
    onClick(id, [this, tool3d] {
      m_pAppGui->SetButtonDown(ZR_Ctl::SBtn_ZapSeed, false);
      if (m_pManager) m_pManager->Select3dTool(tool3d);
    });
  };

  // Main buttons.
  onClick(ZR_Ctl::btn_Inbox, [this] { (void)ImportDicom(); });
  onClick(ZR_Ctl::Btn_Subset, [this] {
    if (Busy()) return;
    m_bImporting = true;
    Send(ZR_Ctl::Btn_Subset);
    m_bImporting = false;
    UpdateTitle();
  });
  onClick(ZR_Ctl::sbtn_3D, [this] { On3dScreen(); });
  onClick(ZR_Ctl::sbtn_MPR, [this] { OnMprScreen(); });

  // The 3D screen.
  connect(m_pGvr, &QAbstractButton::clicked, this, [this] { OnRenderMode(ZR_RenderMode::Grayscale); });
  connect(m_pCvr, &QAbstractButton::clicked, this, [this] { OnRenderMode(ZR_RenderMode::Colour); });
  connect(m_pMip, &QAbstractButton::clicked, this, [this] { OnRenderMode(ZR_RenderMode::Mip); });
  using T = ZR_Tool3d;
  for (auto [id, t] : {std::pair{ZR_Ctl::SBtn_Rotate, T::Rotate}, {ZR_Ctl::SBtn_SsdRotate, T::Rotate},
                       {ZR_Ctl::SBtn_Zoom, T::Zoom}, {ZR_Ctl::SBtn_SsdZoom, T::Zoom}, {ZR_Ctl::SBtn_Pan, T::Pan},
                       {ZR_Ctl::SBtn_SsdPan, T::Pan}, {ZR_Ctl::SBtn_Wl, T::WindowLevel},
                       {ZR_Ctl::SBtn_OpacityWl, T::OpacityWindowLevel}, {ZR_Ctl::SBtn_CutPlane, T::CutPlane},
                       {ZR_Ctl::SBtn_Roi, T::Roi}})
    tool(id, t);
  onClick(ZR_Ctl::SBtn_ZapSeed, [this](bool down) {
    if (down && m_pManager) m_pManager->Select3dTool(ZR_Tool3d::Seed);
  });
  onClick(ZR_Ctl::SBtn_CutView, [this](bool down) { OnCutView(down); });
  onClick(ZR_Ctl::Btn_FinalRender, [this] {
    if (m_pManager && !Busy()) m_pManager->RenderFullQuality();
  });
  if (auto* shading = As<QCheckBox>(control(ZR_Ctl::chk_ShadedVR)))
    connect(shading, &QCheckBox::clicked, this, [this](bool on) { SendByte(ZR_Ctl::chk_ShadedVR, on); });
  onClick(ZR_Ctl::Sbtn_Voi, [this](bool down) { SendByte(ZR_Ctl::Sbtn_Voi, down); });
  onPress(ZR_Ctl::Sbtn_VoiPos, ZR_Ctl::Sbtn_VoiPos);
  onPress(ZR_Ctl::Sbtn_VoiSize, ZR_Ctl::Sbtn_VoiSize);
  for (int32_t id : {ZR_Ctl::Btn_Presets, ZR_Ctl::Btn_MprPresets})
    onClick(id, [this] {
      if (m_pPresetEditorGui) m_pPresetEditorGui->ShowEditor(true);
    });
  for (int32_t id : {ZR_Ctl::SBtn_Movie, ZR_Ctl::SBtn_SsdMovie}) onClick(id, [this] { OnMovie(); });
  connect(m_pFtMovie, &QAbstractButton::clicked, this, [this] { OnMovie(); });
  for (int32_t id : {ZR_Ctl::SBtn_SnapShot, ZR_Ctl::SBtn_MprSnap, ZR_Ctl::SBtn_SsdSnap})
    onClick(id, [this](bool down) {
      if (m_pManager && !Busy()) m_pManager->SetSnapshotMode(down);
    });
  connect(m_pFtSnap, &QAbstractButton::clicked, this, [this](bool down) {
    if (m_pManager && !Busy()) m_pManager->SetSnapshotMode(down);
  });
  for (int32_t id : {ZR_Ctl::Btn_Ortho, ZR_Ctl::Btn_SsdOrtho})
    onClick(id, [this] {
      if (m_pManager && !Busy()) m_pManager->AlignToAxes();
    });
  for (int32_t id : {ZR_Ctl::Btn_ResetVolume, ZR_Ctl::Btn_SsdReset})
    onClick(id, [this] {
      if (m_pManager && !Busy()) m_pManager->ResetView();
    });
  // Undo (UndoSculpt), the region settings (OpenRegionSettings), radial series
  // (StartRadialSeries) and the MIP threshold dialog are called from these buttons once the
  // manager has them; "Snaps" and "Remove selected region" have no action.
  connect(m_pPages, &QTabWidget::currentChanged, this, [this](int page) {
    if (page == 0)
      On3dScreen();
    else if (page == m_nFlyThruPage)
      Send(kFlyThruPageCommand);
  });

  // The MPR screen.
  for (auto [id, command] : {std::pair{ZR_Ctl::SBtn_MprWl, ZR_Ctl::SBtn_MprWl}, {ZR_Ctl::Sbtn_Rot, ZR_Ctl::Sbtn_Rot},
                             {ZR_Ctl::Sbtn_MprZoom, ZR_Ctl::Sbtn_MprZoom}, {ZR_Ctl::Sbtn_MprPan, ZR_Ctl::Sbtn_MprPan},
                             {ZR_Ctl::Sbtn_ColourMpr, ZR_Ctl::Sbtn_ColourMpr},
                             {ZR_Ctl::Sbtn_GrayMpr, ZR_Ctl::Sbtn_GrayMpr}, {ZR_Ctl::Sbtn_Single, ZR_Ctl::Sbtn_Single},
                             {ZR_Ctl::Sbtn_Multi, ZR_Ctl::Sbtn_Multi}, {ZR_Ctl::Sbtn_Slab, ZR_Ctl::Sbtn_Slab},
                             {ZR_Ctl::Btn_MultiPreview, ZR_Ctl::Btn_MultiPreview},
                             {ZR_Ctl::Btn_MultiStore, ZR_Ctl::Btn_MultiStore}})
    onPress(id, command);
  onClick(ZR_Ctl::Sbtn_MprXhair, [this](bool down) { SendByte(ZR_Ctl::Sbtn_MprXhair, down); });
  if (auto* slices = As<TZR_NumberEdit>(control(ZR_Ctl::Ed_Slices)))
    connect(slices, &TZR_NumberEdit::editingFinished, this, [this, slices] {
      SendInt(ZR_Ctl::Ed_Slices, static_cast<int32_t>(std::trunc(slices->value())));
    });
  for (int32_t id : {ZR_Ctl::Ed_Thickness, ZR_Ctl::Ed_SlabSize})
    if (auto* edit = As<TZR_NumberEdit>(control(id)))
      connect(edit, &TZR_NumberEdit::editingFinished, this,
              [this, edit, id] { SendFloat(id, static_cast<float>(edit->value())); });
  if (auto* slab = As<TZR_RadioGroup>(control(ZR_Ctl::Rg_SlabMode)))
    connect(slab, &TZR_RadioGroup::itemChosen, this, [this](int index) { SendInt(ZR_Ctl::Rg_SlabMode, index); });
  onClick(ZR_Ctl::Btn_MultiSave, [this] { OnMultiSave(); });
  onClick(ZR_Ctl::ToolBtn_Measures, [this] { OnMeasures(); });
  onClick(ZR_Ctl::Btn_Reset, [this] {
    if (m_pManager && !Busy()) m_pManager->ResetMpr();
  });
  if (auto* cutaway = As<QCheckBox>(control(ZR_Ctl::cb_Cutaway)))
    connect(cutaway, &QCheckBox::clicked, this, [this](bool on) {
      if (m_pManager) m_pManager->SetCutaway(on);
    });
  connect(m_pDragCutPlane, &QCheckBox::clicked, this, [this](bool on) {
    if (m_pManager) m_pManager->SetCutPlaneDrag(on);
  });
  // Curved MPR (SetCurvedMpr) is called from its button once the manager has it.

  // Menus.
  auto item = [this](const char* name) { return findChild<QAction*>(name); };
  connect(item("Mi_Exit"), &QAction::triggered, this, [this] { close(); });
  connect(item("Mi_Contents"), &QAction::triggered, this, [this] { OpenHelp(); });
  connect(item("Mi_About"), &QAction::triggered, this, [this] { ShowAbout(); });
  connect(m_pMprPopup, &QMenu::aboutToShow, this, [this] {
    if (m_pManager) m_pManager->MprPopupCommand(ZR_Menu::PopupOpening);
  });
  for (int32_t id : {ZR_Menu::Mi_LockActiveView, ZR_Menu::Mi_MprRot3D, ZR_Menu::Mi_MprRotH, ZR_Menu::Mi_MprRotV})
    connect(m_apMenus[static_cast<size_t>(id)].data(), &QAction::triggered, this, [this, id] {
      if (m_pManager) m_pManager->MprPopupCommand(id);
    });
  connect(m_apMenus[ZR_Menu::Mi_MprWL].data(), &QAction::triggered, this, [this] {
    m_pAppGui->SetButtonDown(ZR_Ctl::SBtn_MprWl, true);
    if (m_pManager) m_pManager->MprPopupCommand(ZR_Menu::Mi_MprWL);
  });
  for (auto [menu, command] : {std::pair{ZR_Menu::Mi_MPR_Slice, ZR_Ctl::Sbtn_Single},
                               {ZR_Menu::Mi_MultiMPRSeries, ZR_Ctl::Sbtn_Multi}, {ZR_Menu::Mi_MPR_Slab, ZR_Ctl::Sbtn_Slab}})
    connect(m_apMenus[static_cast<size_t>(menu)].data(), &QAction::triggered, this,
            [this, menu, command] { OnMprPopupLayout(menu, command); });
  for (auto [menu, value] : {std::pair{ZR_Menu::Mi_MPVR, 0}, {ZR_Menu::Mi_MIP, 1}, {ZR_Menu::Mi_MinIP, 2}})
    connect(m_apMenus[static_cast<size_t>(menu)].data(), &QAction::triggered, this,
            [this, menu, value] { OnMprPopupSlab(menu, value); });
  connect(m_apMenus[ZR_Menu::Mi_PreviewMPRSeries].data(), &QAction::triggered, this,
          [this] { Send(ZR_Ctl::Btn_MultiPreview); });
  for (QAction* measure : m_pMeasuresPopup->actions())
    connect(measure, &QAction::triggered, this, [this, measure] { OnMeasureItem(measure->data().toInt()); });
}

void Tfrm_Visualization::On3dScreen() {
  if (!m_pManager || Busy()) return;
  m_pPages->setTabVisible(m_nFlyThruPage, false);
  m_pAppGui->EnableControl(ZR_Ctl::chk_ShadedVR, true);
  ComputeDrawingSize();
  if (!m_pManager->Show3DScreen()) return;
  if (m_nMaximised != ZR_Panel::None) {
    m_nMaximised = ZR_Panel::None;
    m_pManager->SetMprViewLimit(ZR_Panel::None);
    m_pManager->SetMaximisedSlot(5);
  }
  {
    const QSignalBlocker block(m_pPages);
    m_pPages->setCurrentIndex(0);
  }
  m_pManager->SetRepaintQuality(0);
  m_nScreenShown = ZR_Screen::View3d;
  m_pAppGui->SetButtonDown(ZR_Ctl::sbtn_3D, true);
  ArrangeCurrentScreen();
}

void Tfrm_Visualization::OnMprScreen() {
  if (!m_pManager || Busy()) return;
  if (!m_pManager->ShowMprScreen()) return;
  if (m_nMaximised != ZR_Panel::None) {
    m_nMaximised = ZR_Panel::None;
    m_pManager->SetMprViewLimit(ZR_Panel::None);
    m_pManager->SetMaximisedSlot(5);
  }
  m_nScreenShown = ZR_Screen::Mpr;
  m_pAppGui->SetButtonDown(ZR_Ctl::sbtn_MPR, true);
  ArrangeCurrentScreen();
  m_pAppGui->EnableControl(ZR_Ctl::Sbtn_Curve, true);
}

void Tfrm_Visualization::OnRenderMode(ZR_RenderMode mode) {
  if (!m_pManager) return;
  m_pManager->SetRenderMode(mode, false);
  // Grey uses the opacity window; MIP has the radial series and the threshold instead.
  m_pAppGui->ShowControl(ZR_Ctl::SBtn_OpacityWl, mode == ZR_RenderMode::Grayscale);
  m_pAppGui->ShowControl(ZR_Ctl::Btn_DoRadialMIP, mode == ZR_RenderMode::Mip);
  m_pAppGui->ShowControl(ZR_Ctl::Btn_MipThreshold, mode == ZR_RenderMode::Mip);
}

void Tfrm_Visualization::OnCutView(bool down) {
  if (m_pManager) m_pManager->SetCutView(down);
  m_pAppGui->EnableControl(ZR_Ctl::SBtn_CutPlane, down);
  if (!down) {
    m_pAppGui->SetButtonDown(ZR_Ctl::SBtn_Rotate, true);
    if (m_pManager) m_pManager->Select3dTool(ZR_Tool3d::Rotate);
  }
}

void Tfrm_Visualization::OnMovie() {
  QAbstractButton* buttons[] = {As<QAbstractButton>(m_apControls[ZR_Ctl::SBtn_Movie]),
                                As<QAbstractButton>(m_apControls[ZR_Ctl::SBtn_SsdMovie]), m_pFtMovie};
  // Without a volume, or while a movie is being made, the buttons stay as the capture is.
  if (!m_pManager || !m_pManager->IsVolumeLoaded() || m_pManager->IsBusy()) {
    const bool capturing = m_pManager && m_pManager->MovieCapture();
    for (QAbstractButton* b : buttons)
      if (b) b->setChecked(capturing);
    return;
  }
  bool on = false;
  for (QAbstractButton* b : buttons) on = on || (b && b->isChecked());
  // One capture behind three buttons: they show it together.
  for (QAbstractButton* b : buttons)
    if (b) b->setChecked(on);
  std::string name;
  if (!on && askMovieName && !askMovieName(&name)) name.clear();  // cancelled: the recording goes
  m_pManager->ToggleMovie(on, name);
}

void Tfrm_Visualization::OnMultiSave() {
  if (!m_pManager || !m_pManager->IsVolumeLoaded()) return;
  std::string name;
  int32_t mode = ZR_ImageWriter::kDicomGrey16;
  // A cancelled dialog saves nothing.
  if (!askSeriesName || !askSeriesName(&name, &mode)) return;
  // The writer numbers the files: "cut.dcm" names the series cut0.dcm, cut1.dcm, ...
  const std::string extension = ZR_ImageWriter::Extension(mode);
  if (name.size() > extension.size() && name.compare(name.size() - extension.size(), extension.size(), extension) == 0)
    name.resize(name.size() - extension.size());
  ZR_SaveInfo request{name, mode};
  m_pManager->Command(ZR_Ctl::Btn_MultiSave, &request);
}

void Tfrm_Visualization::OnMeasures() {
  auto* button = As<QToolButton>(m_apControls[ZR_Ctl::ToolBtn_Measures]);
  if (!button) return;
  SendInt(ZR_Ctl::ToolBtn_Measures, button->isChecked() ? m_nMeasureImage : 7);
}

void Tfrm_Visualization::OnMeasureItem(int32_t tag) {
  if (tag >= 0 && tag <= 3) {
    static const char* const kNames[] = {"Pixel Value", "Ruler", "Angle", "ROI Statistics"};
    m_nMeasureImage = tag;
    if (auto* button = As<QToolButton>(m_apControls[ZR_Ctl::ToolBtn_Measures])) button->setText(kNames[tag]);
    m_pAppGui->SetToolButtonMarked(ZR_Ctl::ToolBtn_Measures, true);
  }
  SendInt(ZR_Ctl::ToolBtn_Measures, tag);
}

void Tfrm_Visualization::OnMprPopupLayout(int32_t menu, int32_t command) {
  for (int32_t id : {ZR_Menu::Mi_MPR_Slice, ZR_Menu::Mi_MultiMPRSeries, ZR_Menu::Mi_MPR_Slab})
    m_pAppGui->SetMenuChecked(id, id == menu);
  Send(command);
}

void Tfrm_Visualization::OnMprPopupSlab(int32_t menu, int32_t value) {
  for (int32_t id : {ZR_Menu::Mi_MPVR, ZR_Menu::Mi_MIP, ZR_Menu::Mi_MinIP}) m_pAppGui->SetMenuChecked(id, id == menu);
  SendInt(ZR_Ctl::Rg_SlabMode, value);
}

void Tfrm_Visualization::OpenHelp() {
  QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(m_oPaths.HelpFile())));
}

void Tfrm_Visualization::ShowAbout() {
  TAboutDialog about(this);
  about.exec();
}

bool Tfrm_Visualization::ImportDicom() {
  // The picker and the load run inside this click; while they do, a second click (or one
  // that arrives from events processed by a progress window) does nothing.
  if (!m_pManager || Busy()) return false;
  if (!m_pDataSetOpenDialog->Execute()) return false;
  std::vector<std::string> files;
  for (const QString& path : m_pDataSetOpenDialog->Files()) files.push_back(path.toStdString());
  return ImportFiles(files);
}

bool Tfrm_Visualization::ImportFiles(const std::vector<std::string>& files) {
  if (!m_pManager || Busy()) return false;
  m_bImporting = true;
  int32_t count = static_cast<int32_t>(files.size());
  const int32_t result = m_pManager->LoadStudy(files, count);
  m_bImporting = false;
  if (result == VR_OK) m_pAppGui->EnableMenu(ZR_Menu::Options, true);
  UpdateTitle();
  return result == VR_OK && m_pManager->IsVolumeLoaded();
}

void Tfrm_Visualization::UpdateTitle() {
  QString title = "Lumetra";
  const ZR_DicomVolume* volume = m_pManager ? m_pManager->GetVolume() : nullptr;
  if (volume && m_pManager->IsVolumeLoaded()) {
    try {
      ZR_DcmImages images;
      images.ReadFile(volume->m_sFileName);
      if (ZR_DcmImage* image = images.Item(1)) {
        const QString name = QString::fromStdString(image->Name()).replace('^', ' ').simplified();
        const QString study = QString::fromStdString(image->StudyDescription()).simplified();
        for (const QString& part : {name, study})
          if (!part.isEmpty()) title += " - " + part;
      }
    } catch (const ZR_DcmError&) {
      // The title stays plain; the study itself was read.
    }
  }
  setWindowTitle(title);
}

void Tfrm_Visualization::PanelPointer(TPaintPanel& panel, TPaintPanel::PointerKind kind, Qt::MouseButton button,
                                      int32_t x, int32_t y) {
  const int32_t index = panel.Index();
  // Panels 1..3 (the 3D screen's orthogonal views) take no middle button; the MPR screen's
  // views and the 3D views do.
  const bool middleTaken = index == ZR_Panel::View3D || (index >= ZR_Panel::Mpr0 && index <= ZR_Panel::MprView3D);
  if (kind == TPaintPanel::DoubleClick) {
    if (index < ZR_Panel::View3D || index > ZR_Panel::MprView3D) return;
    ToggleMaximised(index);
    // The panel's size changed under the pointer: the manager skips the move that follows.
    if (m_pManager) m_pManager->PanelDoubleClick(index);
    return;
  }
  const bool mprView = index >= ZR_Panel::Mpr0 && index <= ZR_Panel::Mpr3;
  if (kind == TPaintPanel::Press && button == Qt::RightButton) m_oRightPress = QPoint(x, y);
  if (m_pManager) {
    switch (kind) {
      case TPaintPanel::Press:
        if (button == Qt::LeftButton)
          m_pManager->LeftDown(index, x, y);
        else if (button == Qt::RightButton)
          m_pManager->RightDown(index, x, y);
        else if (button == Qt::MiddleButton && middleTaken)
          m_pManager->MiddleDown(index, x, y);
        break;
      case TPaintPanel::Move:
        m_pManager->PointerMove(index, x, y);
        break;
      case TPaintPanel::Release:
        if (button == Qt::LeftButton)
          m_pManager->LeftUp(index);
        else if (button == Qt::RightButton)
          m_pManager->RightUp(index);
        else if (button == Qt::MiddleButton && middleTaken)
          m_pManager->MiddleUp(index);
        break;
      case TPaintPanel::DoubleClick:
        break;
    }
  }
  // A right click that did not drag (a right drag rotates) opens the views' pop-up menu.
  if (kind == TPaintPanel::Release && button == Qt::RightButton && mprView &&
      (QPoint(x, y) - m_oRightPress).manhattanLength() <= kClickSlop)
    m_pMprPopup->popup(QCursor::pos());
}

void Tfrm_Visualization::PanelWheel(TPaintPanel&, int32_t delta, Qt::KeyboardModifiers modifiers) {
  if (m_pManager && delta != 0)
    m_pManager->MouseWheel(delta, modifiers.testFlag(Qt::ControlModifier), modifiers.testFlag(Qt::ShiftModifier));
}

int32_t Tfrm_Visualization::EngineKey(int qtKey) {
  // Letters and digits are their ASCII codes in both tables; the rest keep the values of the
  // virtual keys the engine's codes come from.
  if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) return qtKey;
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) return ZR_Key::F1 + (qtKey - Qt::Key_F1);
  switch (qtKey) {
    case Qt::Key_Escape: return ZR_Key::Escape;
    case Qt::Key_Delete: return ZR_Key::Delete;
    case Qt::Key_Backspace: return ZR_Key::Backspace;
    case Qt::Key_Tab: return ZR_Key::Tab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return ZR_Key::Return;
    case Qt::Key_Space: return ZR_Key::Space;
    case Qt::Key_PageUp: return ZR_Key::PageUp;
    case Qt::Key_PageDown: return ZR_Key::PageDown;
    case Qt::Key_End: return ZR_Key::End;
    case Qt::Key_Home: return ZR_Key::Home;
    case Qt::Key_Left: return ZR_Key::Left;
    case Qt::Key_Up: return ZR_Key::Up;
    case Qt::Key_Right: return ZR_Key::Right;
    case Qt::Key_Down: return ZR_Key::Down;
    case Qt::Key_Insert: return ZR_Key::Insert;
    default: return 0;
  }
}

void Tfrm_Visualization::KeyDown(QKeyEvent* event) {
  const int32_t key = EngineKey(event->key());
  if (!m_pManager || key == 0) return;
  const Qt::KeyboardModifiers modifiers = event->modifiers();
  m_pManager->KeyDown(key, modifiers.testFlag(Qt::ControlModifier), modifiers.testFlag(Qt::AltModifier),
                      modifiers.testFlag(Qt::ShiftModifier));
}
