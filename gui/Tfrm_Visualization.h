#pragma once
// The application's main window: the drawing panels of the 3D screen and the MPR screen, the
// control panel with the buttons of both screens, the menus, and the mapping of every user
// action onto the visualization manager (a numbered command or a direct operation). It
// creates every contract object, hands them to the manager and destroys them in a fixed
// order; the manager goes last.
//
// Split by topic: Tfrm_Visualization.cpp (events), _Controls.cpp (the controls, menus and
// their ids), _Layout.cpp (arranging the screens, maximising panels), _Commands.cpp (what
// each control calls), _Lifecycle.cpp (creation, activation, closing, destruction).

#include <QMainWindow>
#include <QPointer>
#include <QRect>
#include <initializer_list>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/ZR_Ids.h"
#include "core/ZR_ViewportTable.h"
#include "core/ZR_Vocabulary.h"
#include "gui/TPaintPanel.h"
#include "gui/ZR_AppPaths.h"

class QAbstractButton;
class QAction;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QMenu;
class QPushButton;
class QTabWidget;
class QToolButton;
class TFileBrowseDialog;
class ZR_WinMovie;
class ZR_WinSeries;
class TZR_NumberEdit;
class TZR_RadioGroup;
class TZR_ScaledPanel;
class ZR_BcAppGui;
class ZR_PresetEditorGui;
class ZR_BcProgressBar;
class ZR_BcVolumePreviewGui;
class ZR_QtGlContext;
class ZR_QtRenderPlatform;
class ZR_Vis3DSettings;
class ZR_BcSettings;
class ZR_BcImageGallery;
class ZR_VisManager;

class Tfrm_Visualization : public QMainWindow {
  Q_OBJECT
 public:
  // Asks where a multi-MPR series goes: its file name and write mode; false when cancelled.
  // Tests put their own answer here.
  std::function<bool(std::string* name, int32_t* mode)> askSeriesName;
  // Asks where the recorded movie goes when capture stops; false when cancelled.
  std::function<bool(std::string* name)> askMovieName;

  // The design size of the window and of the two control panels (the controls' coordinates).
  static constexpr int kDesignWidth = 1280;
  static constexpr int kDesignHeight = 1024;
  static constexpr int kMainButtonsHeight = 72;
  static constexpr double k3dPanelFraction = 0.2;
  static constexpr double kMprPanelFraction = 0.25;
  static constexpr int kSaveSettingsPauseMs = 2000;

  explicit Tfrm_Visualization(const ZR_AppPaths& paths, QWidget* parent = nullptr);
  ~Tfrm_Visualization() override;

  // --- Lifecycle (Tfrm_Visualization_Lifecycle.cpp) ----------------------------------------
  // Creates the contracts, the manager and the panels and starts the engine (OnCreate).
  // Runs once; false when start-up failed (the failure has been shown), and then the window
  // has asked its closing questions and the program should end with StartupResult().
  bool FormCreate();
  int32_t StartupResult() const { return m_nStartupResult; }
  bool IsCreated() const { return m_bCreated; }
  bool IsActivated() const { return m_bActivated; }
  // Imports the files at start (the command line), once the window is up.
  void ImportAtStart(const std::vector<std::string>& files);
  // Marks the settings as changed during the run, so that closing asks to save them.
  void MarkSettingsChanged();
  // The closing questions; true when the window may close.
  bool ConfirmClose();

  // --- Actions (Tfrm_Visualization_Commands.cpp) --------------------------------------------
  // "Import DICOM": the picker, then LoadStudy; false when nothing was loaded.
  bool ImportDicom();
  // Reads `files` as a study (the picker's choice or the command line).
  bool ImportFiles(const std::vector<std::string>& files);
  // Whether an import (read, preview, load) is running: every action that would start or
  // end one waits.
  bool IsImporting() const { return m_bImporting; }

  // --- Read access (tests) -----------------------------------------------------------------------
  ZR_VisManager* Manager() const { return m_pManager.get(); }
  ZR_BcAppGui* AppGui() const { return m_pAppGui.get(); }
  ZR_BcProgressBar* ProgressBar() const { return m_pProgressBar.get(); }
  ZR_BcVolumePreviewGui* VolumePreviewGui() const { return m_pVolumePreviewGui.get(); }
  TFileBrowseDialog* DataSetOpenDialog() const { return m_pDataSetOpenDialog.get(); }
  const ZR_Vis3DSettings* Settings() const;
  ZR_BcSettings* SettingsService() const { return m_pSettings.get(); }
  ZR_BcImageGallery* ImageGallery() const { return m_pImageGallery.get(); }
  TPaintPanel* Panel(int32_t index) const;
  ZR_Screen ScreenShown() const { return m_nScreenShown; }
  int32_t MaximisedPanel() const { return m_nMaximised; }
  QWidget* ControlPanel3d() const;
  QWidget* ControlPanelMpr() const;
  const ZR_AppPaths& Paths() const { return m_oPaths; }
  ZR_QtGlContext* GlContext() const { return m_pGlContext.get(); }
  const uint8_t* RepaintFlags() const { return m_aRepaintFlags.data(); }
  // Client width and height of the drawing area (W and H).
  int DrawWidth() const { return m_nW; }
  int DrawHeight() const { return m_nH; }

  // The engine's key code of a Qt key; 0 for keys the engine has no code for.
  static int32_t EngineKey(int qtKey);

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  // --- Controls (Tfrm_Visualization_Controls.cpp) ---
  void BuildControls();
  void BuildMainButtons();
  void Build3dPanel();
  void BuildMprPanel();
  void BuildMenus();
  void RegisterControls();
  void StartupEnabling();
  // A button of a control panel: its id, object name, caption, hint and design rectangle;
  // `grouped` latches join the panel's exclusive group.
  struct ButtonSpec {
    int32_t id;
    const char* name;
    const char* text;
    const char* hint;
    QRect at;
    bool grouped = true;
  };
  void PlaceLatches(TZR_ScaledPanel* panel, QButtonGroup* group, std::initializer_list<ButtonSpec> buttons);
  void PlaceButtons(TZR_ScaledPanel* panel, std::initializer_list<ButtonSpec> buttons);
  QToolButton* Latch(const char* name, const QString& text, const QString& hint, QButtonGroup* group = nullptr);
  QPushButton* Button(const char* name, const QString& text, const QString& hint = {});
  QCheckBox* Check(const char* name, const QString& text);
  QAction* MenuItem(QMenu* menu, const char* name, const QString& text, int32_t id = -1);
  void Register(int32_t id, QWidget* control);

  // --- Layout (Tfrm_Visualization_Layout.cpp) ---
  void ComputeDrawingSize();
  void Arrange3dScreen();
  void ArrangeMprScreen();
  void ArrangeCurrentScreen();
  void ShowScreenPanels(ZR_Screen screen);
  void PlaceProgressWindow();
  void ToggleMaximised(int32_t panel);
  void RestoreMaximised();
  QRect MaximisedRect(ZR_Screen screen) const;

  // --- Commands (Tfrm_Visualization_Commands.cpp) ---
  void ConnectControls();
  void Send(int32_t command);
  void SendByte(int32_t command, bool value);
  void SendInt(int32_t command, int32_t value);
  void SendFloat(int32_t command, float value);
  void On3dScreen();
  void OnMprScreen();
  void OnRenderMode(ZR_RenderMode mode);
  void OnCutView(bool down);
  void OnMovie();
  void OnMultiSave();
  void OnMeasures();
  void OnMeasureItem(int32_t tag);
  void OnMprPopupLayout(int32_t menu, int32_t command);
  void OnMprPopupSlab(int32_t menu, int32_t value);
  void OpenHelp();
  void ShowAbout();
  void UpdateTitle();
  bool Busy() const;

  // --- Panels ---
  void CreatePanels(std::initializer_list<int32_t> indices);
  void PanelPointer(TPaintPanel& panel, TPaintPanel::PointerKind kind, Qt::MouseButton button, int32_t x, int32_t y);
  void PanelWheel(TPaintPanel& panel, int32_t delta, Qt::KeyboardModifiers modifiers);
  void KeyDown(QKeyEvent* event);
  void ScheduleRepaint();
  void RepaintFlagged();

  // --- Lifecycle ---
  void FormActivate();
  void FormDestroy();

  // The program's folder and the places of the user's files.
  ZR_AppPaths m_oPaths;

  // Contract objects and the engine, created in FormCreate and destroyed in FormDestroy.
  std::unique_ptr<ZR_QtGlContext> m_pGlContext;
  std::unique_ptr<ZR_QtRenderPlatform> m_pPlatform;
  std::unique_ptr<ZR_ViewportTable> m_pViewports;
  std::unique_ptr<ZR_BcAppGui> m_pAppGui;
  std::unique_ptr<ZR_VisManager> m_pManager;
  std::unique_ptr<ZR_BcSettings> m_pSettings;
  std::unique_ptr<ZR_BcImageGallery> m_pImageGallery;
  std::unique_ptr<ZR_WinSeries> m_pSeriesWriter;
  std::unique_ptr<ZR_WinMovie> m_pMovieWriter;
  std::unique_ptr<ZR_BcProgressBar> m_pProgressBar;
  std::unique_ptr<ZR_BcVolumePreviewGui> m_pVolumePreviewGui;
  // The preset editor window comes with its own dialog; until then its contract has no window.
  std::unique_ptr<ZR_PresetEditorGui> m_pPresetEditorGui;
  std::unique_ptr<TFileBrowseDialog> m_pDataSetOpenDialog;
  std::array<QPointer<TPaintPanel>, 9> m_apPanels{};
  std::array<uint8_t, ZR_Panel::kPanelCount> m_aRepaintFlags{};

  // Controls the window itself works with (all are registered under their ids as well).
  QWidget* m_pDrawArea = nullptr;
  QWidget* m_pMainButtons = nullptr;
  QTabWidget* m_pPages = nullptr;
  TZR_ScaledPanel* m_pVolumePage = nullptr;
  TZR_ScaledPanel* m_pMprPanel = nullptr;
  QLabel* m_pLogo = nullptr;
  QMenu* m_pOptionsMenu = nullptr;
  QMenu* m_pMprPopup = nullptr;
  QMenu* m_pMeasuresPopup = nullptr;
  std::array<QPointer<QWidget>, ZR_Ctl::kAppControlCount> m_apControls{};
  std::array<QPointer<QAction>, ZR_Menu::kAppMenuCount> m_apMenus{};
  QAbstractButton* m_pGvr = nullptr;
  QAbstractButton* m_pCvr = nullptr;
  QAbstractButton* m_pMip = nullptr;
  QAbstractButton* m_pFtSnap = nullptr;
  QAbstractButton* m_pFtMovie = nullptr;
  QCheckBox* m_pDragCutPlane = nullptr;
  int m_nFlyThruPage = -1;
  int m_nMeasureImage = 0;  // the Measurements button's image: the tool it stands for

  // Window state.
  int m_nW = 0, m_nH = 0;              // the drawing area, 4 pixels less than the client area
  double m_f3dFraction = k3dPanelFraction;
  double m_fMprFraction = kMprPanelFraction;
  QSize m_oRememberedSize{kDesignWidth, kDesignHeight};
  ZR_Screen m_nScreenShown = ZR_Screen::Mpr;
  int32_t m_nMaximised = ZR_Panel::None;
  int32_t m_nLastMaximised = ZR_Panel::None;
  bool m_bCreated = false;
  bool m_bActivated = false;
  bool m_bDestroying = false;
  bool m_bStartupFailed = false;
  bool m_bImporting = false;
  bool m_bClosing = false;
  bool m_bRepaintPending = false;
  int32_t m_nStartupResult = 0;
  QPoint m_oRightPress;
  std::vector<std::string> m_aFilesAtStart;
};
