// Bringing the application up and down: creation in its fixed order, the first activation,
// the closing questions and destruction in its fixed order.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QWindow>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <cfenv>

#include "core/ZR_Log.h"
#include "gui/TFileBrowseDialog.h"
#include "gui/Tfrm_Visualization.h"
#include "gui/ZR_BcAppGui.h"
#include "gui/ZR_BcProgressBar.h"
#include "gui/ZR_BcVolumePreviewGui.h"
#include "gui/ZR_QtGlContext.h"
#include "gui/ZR_QtRenderPlatform.h"
#include "manager/ZR_VisManager.h"
#include "output/ZR_WinMovie.h"
#include "output/ZR_WinSeries.h"
#include "presets/ZR_PresetEditor.h"
#include "presets/ZR_WindowlessPresetEditorGui.h"
#include "render/OpenGlText.h"
#include "render/RenderShared.h"
#include "gui/ZR_BcImageGallery.h"
#include "gui/ZR_BcSettings.h"
#include "settings/ZR_Vis3DSettings.h"

namespace {
constexpr double kMinimumSizeFraction = 0.7;

struct PanelName {
  int32_t index;
  const char* name;
};
constexpr PanelName kPanelNames[] = {
    {ZR_Panel::View3D, "Pnl_MainImage"},        {ZR_Panel::Ortho0, "Pnl_Sagittal"},
    {ZR_Panel::Ortho1, "Pnl_Coronal"},          {ZR_Panel::Ortho2, "Pnl_Transverse"},
    {ZR_Panel::Mpr0, "Pnl_MprSagittal"},        {ZR_Panel::Mpr1, "Pnl_MprCoronal"},
    {ZR_Panel::Mpr2, "Pnl_MprTransverse"},      {ZR_Panel::Mpr3, "Pnl_MprDoubleOblique"},
    {ZR_Panel::MprView3D, "Pnl_MprCutaway"},
};
}  // namespace

void Tfrm_Visualization::CreatePanels(std::initializer_list<int32_t> indices) {
  for (int32_t index : indices) {
    auto* panel = new TPaintPanel(kPanelNames[0].name, index, *m_pGlContext, m_pDrawArea);
    for (const PanelName& n : kPanelNames)
      if (n.index == index) panel->setObjectName(n.name);
    panel->SetViewportTable(m_pViewports.get());
    panel->SetRepaintObserver(m_aRepaintFlags.data(), [this] { ScheduleRepaint(); });
    panel->SetHandlers(
        [this](TPaintPanel& p, TPaintPanel::PointerKind kind, Qt::MouseButton button, int32_t x, int32_t y) {
          PanelPointer(p, kind, button, x, y);
        },
        [this](TPaintPanel& p, int32_t delta, Qt::KeyboardModifiers modifiers) { PanelWheel(p, delta, modifiers); },
        [this](QKeyEvent* event) { KeyDown(event); });
    // The native window exists from now on: the rendering start-up needs it.
    panel->NativeWindow()->create();
    m_pViewports->aSurfaces[index] = panel->Surface();
    m_pAppGui->RegisterPanel(index, panel);
    m_apPanels[static_cast<size_t>(index)] = panel;
  }
}

bool Tfrm_Visualization::FormCreate() {
  if (m_bCreated || m_bStartupFailed) return m_bCreated;
  // 1. Floating-point exceptions stay masked (the drivers' arithmetic relies on it).
  fedisableexcept(FE_ALL_EXCEPT);
  // 2. The viewport table and the application contract with every control under its id.
  m_pViewports = std::make_unique<ZR_ViewportTable>();
  m_pAppGui = std::make_unique<ZR_BcAppGui>(this);
  RegisterControls();
  // 3. The manager.
  m_pManager = std::make_unique<ZR_VisManager>(m_pAppGui.get());
  // 4. The log, in the program's folder or, when that is read-only, the user's.
  const bool prepared = m_oPaths.Prepare();
  m_pManager->SetCaptureDir(m_oPaths.CaptureDir());
  m_pManager->OpenLog(m_oPaths.ConfigDir());
  if (m_oPaths.IsRedirected()) ZR_Log::Entry(m_oPaths.LogNote());
  if (!prepared) ZR_Log::Entry("FormCreate(): the user's folders could not all be made under ", m_oPaths.DataDir());
  // 5. The settings.
  m_pSettings = std::make_unique<ZR_BcSettings>(m_oPaths.SettingsFile());
  m_pManager->SetSettings(m_pSettings.get());
  m_pManager->SetSettingsModel(&m_pSettings->Model());
  // 6. The contracts handed over now, then the subset preview's.
  m_pImageGallery = std::make_unique<ZR_BcImageGallery>(this);
  m_pManager->SetImageGallery(m_pImageGallery.get());
  m_pSeriesWriter = std::make_unique<ZR_WinSeries>();
  m_pManager->SetSeriesWriter(m_pSeriesWriter.get());
  m_pMovieWriter = std::make_unique<ZR_WinMovie>();
  m_pManager->SetMovie(m_pMovieWriter.get());
  m_pProgressBar = std::make_unique<ZR_BcProgressBar>(this);
  m_pManager->SetProgressBar(m_pProgressBar.get());
  m_pVolumePreviewGui = std::make_unique<ZR_BcVolumePreviewGui>(this);
  m_pManager->SetVolumePreviewGui(m_pVolumePreviewGui.get());
  m_pGlContext = std::make_unique<ZR_QtGlContext>();
  m_pPlatform = std::make_unique<ZR_QtRenderPlatform>(*m_pGlContext);
  m_pManager->SetRenderPlatform(m_pPlatform.get());
  // 7. Captions and the start-up enabling.
  m_pAppGui->EnableControl(ZR_Ctl::Btn_Subset, false);
  setWindowTitle("Lumetra");
  if (QAction* about = findChild<QAction*>("Mi_About")) about->setText("About Lumetra");
  if (auto* inbox = qobject_cast<QPushButton*>(m_apControls[ZR_Ctl::btn_Inbox].data())) inbox->setText("Import DICOM");
  StartupEnabling();
  m_pDragCutPlane->setChecked(m_pSettings->Model().Renderer().liveCutView);
  // 8. Our cursors.
  m_pAppGui->LoadCursorFiles(QString::fromStdString(m_oPaths.ResourcesDir()));
  // 9. Panels 1, 2, 3 and 0 need their native windows, which need the window's.
  (void)winId();
  CreatePanels({ZR_Panel::Ortho0, ZR_Panel::Ortho1, ZR_Panel::Ortho2, ZR_Panel::View3D});
  m_pPresetEditorGui = std::make_unique<ZR_WindowlessPresetEditorGui>();
  if (m_pManager->CreatePresetEditor(m_pPresetEditorGui.get()) == VR_OK)
    m_pManager->PresetEditor()->SetBasePath(m_oPaths.PresetBase());
  // 10. Panels 4..8, all hidden.
  CreatePanels({ZR_Panel::Mpr0, ZR_Panel::Mpr1, ZR_Panel::Mpr2, ZR_Panel::Mpr3, ZR_Panel::MprView3D});
  for (const QPointer<TPaintPanel>& panel : m_apPanels)
    if (panel) panel->hide();
  // 11. The engine's start; its failures have been shown by it.
  m_nStartupResult = m_pManager->OnCreate(m_pViewports.get());
  if (m_nStartupResult != VR_OK) {
    m_bStartupFailed = true;
    (void)ConfirmClose();
    return false;
  }
  m_bCreated = true;
  m_pAppGui->EnableMenu(ZR_Menu::Options, false);
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    // The whole screen, less the desktop's own bars.
    const QSize full = screen->availableGeometry().size();
    resize(full);
    m_oRememberedSize = full;
    setMinimumSize(static_cast<int>(kMinimumSizeFraction * full.width()),
                   static_cast<int>(kMinimumSizeFraction * full.height()));
  }
  return true;
}

void Tfrm_Visualization::FormActivate() {
  if (!m_bCreated || m_bActivated || m_bDestroying) return;
  // 1. The drawing size.
  ComputeDrawingSize();
  const qreal ratio = devicePixelRatioF();
  m_pManager->SetOffscreenSize(static_cast<int32_t>(m_nW * ratio), static_cast<int32_t>(m_nH * ratio));
  // 2. Both arrangements, panel 0's view, the MPR screen's panels shown.
  m_bActivated = true;
  m_nScreenShown = ZR_Screen::Mpr;
  ArrangeCurrentScreen();
  m_pManager->SetupPanelView(ZR_Panel::View3D);
  // 3. The image gallery is created here once it exists.
  // 4. The repaint flags; the radials, curved-MPR, MIP-threshold and region-settings
  // contracts are handed over here once they exist.
  m_pManager->SetRepaintFlags(m_aRepaintFlags.data());
  ScheduleRepaint();
  if (!m_aFilesAtStart.empty()) {
    std::vector<std::string> files;
    files.swap(m_aFilesAtStart);
    QTimer::singleShot(0, this, [this, files] { (void)ImportFiles(files); });
  }
}

void Tfrm_Visualization::ImportAtStart(const std::vector<std::string>& files) {
  if (files.empty()) return;
  if (m_bActivated)
    QTimer::singleShot(0, this, [this, files] { (void)ImportFiles(files); });
  else
    m_aFilesAtStart = files;
}

bool Tfrm_Visualization::ConfirmClose() {
  // A load runs inside the event that started it: closing now would pull the window from
  // under it. The close request is simply not taken.
  if (m_bImporting || (m_pManager && m_pManager->IsBusy())) return false;
  if (m_pSettings && m_pSettings->IsChanged() && m_pAppGui && m_pAppGui->AskYesNo("Save Settings ?")) {
    if (m_pSettings->Save())
      m_pSettings->ClearChanged();
    else
      ZR_Log::Entry("FormClose(): the settings file could not be written: ", m_oPaths.SettingsFile());
    QThread::msleep(kSaveSettingsPauseMs);
  }
  // A failed start ends the program whatever the answer.
  if (m_bStartupFailed) return true;
  if (!m_pManager) return true;
  return m_pManager->ConfirmExit(true) != 0;
}

void Tfrm_Visualization::FormDestroy() {
  if (m_bDestroying) return;
  // 1. The panels' surfaces leave the viewport table.
  if (m_pViewports)
    for (ZR_DrawSurface*& surface : m_pViewports->aSurfaces) surface = nullptr;
  // 2. The contracts (those that exist), the application's first.
  m_pAppGui.reset();
  m_pImageGallery.reset();
  m_pPresetEditorGui.reset();
  m_pProgressBar.reset();
  // 3. The panels in their order, then the subset preview's contract.
  for (int32_t index : {ZR_Panel::Ortho0, ZR_Panel::Ortho1, ZR_Panel::Ortho2, ZR_Panel::View3D, ZR_Panel::Mpr0,
                        ZR_Panel::Mpr1, ZR_Panel::Mpr2, ZR_Panel::Mpr3, ZR_Panel::MprView3D})
    delete m_apPanels[static_cast<size_t>(index)].data();
  m_pVolumePreviewGui.reset();
  // 4. The manager releases its textures and programs: the context must be current, and no
  // panel is left to make it current on.
  if (m_pGlContext && m_pGlContext->IsCreated() && !m_pGlContext->MakeOffscreenCurrent())
    ZR_Log::Entry("FormDestroy(): the rendering context could not be made current for the release");
  m_pManager.reset();
  // The process-wide rendering state and font must not keep this context's entry points.
  if (m_pGlContext && RenderShared::Instance().Gl() == &m_pGlContext->Gl())
    RenderShared::Instance().AttachGl(nullptr, nullptr);
  OpenGlText::Instance().AttachGl(nullptr);
  m_pPlatform.reset();
  m_pGlContext.reset();
  m_pViewports.reset();
  m_pSettings.reset();
  // 5.
  m_bDestroying = true;
}

void Tfrm_Visualization::MarkSettingsChanged() {
  if (m_pSettings) m_pSettings->MarkChanged();
}

const ZR_Vis3DSettings* Tfrm_Visualization::Settings() const { return m_pSettings ? &m_pSettings->Model() : nullptr; }
