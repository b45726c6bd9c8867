// The main window's controls, menus and pop-up menus, at their design coordinates, and the
// ids they are registered under.
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>

#include "gui/TZR_NumberEdit.h"
#include "gui/TZR_RadioGroup.h"
#include "gui/TZR_ScaledPanel.h"
#include "gui/Tfrm_Visualization.h"
#include "gui/ZR_BcAppGui.h"

namespace {
// Design sizes of the control panels: both are drawn for a quarter of the design width; the
// 3D screen's shows at a fifth, which is its scale of 20/25.
constexpr int kPanelDesignWidth = 320;
constexpr int kPageDesignHeight = 880;
constexpr int kMprDesignHeight = 920;
// Two columns of buttons.
constexpr int kLeft = 8, kRight = 164, kColumn = 148, kFull = 304, kRow = 30;
// The top of "Single MPR": the MPR screen's 3D view sits above it.
constexpr int kSingleMprTop = 330;

QRect Left(int y, int h = kRow) { return {kLeft, y, kColumn, h}; }
QRect Right(int y, int h = kRow) { return {kRight, y, kColumn, h}; }
QRect Full(int y, int h = kRow) { return {kLeft, y, kFull, h}; }
QRect Third(int column, int y) { return {kLeft + column * 102, y, 98, kRow}; }

QPixmap LogoPicture() {
  QPixmap picture(256, 64);
  picture.fill(Qt::black);
  QPainter p(&picture);
  QFont font = p.font();
  font.setPixelSize(40);
  font.setBold(true);
  p.setFont(font);
  p.setPen(QColor(0x9C, 0xC8, 0xF0));
  p.drawText(picture.rect(), Qt::AlignCenter, "Lumetra");
  return picture;
}
}  // namespace

void Tfrm_Visualization::Register(int32_t id, QWidget* control) {
  if (id >= 0 && id < ZR_Ctl::kAppControlCount) m_apControls[static_cast<size_t>(id)] = control;
}

QToolButton* Tfrm_Visualization::Latch(const char* name, const QString& text, const QString& hint,
                                       QButtonGroup* group) {
  auto* button = new QToolButton(this);
  button->setObjectName(name);
  button->setText(text);
  button->setToolTip(hint.isEmpty() ? text : hint);
  button->setCheckable(true);
  button->setToolButtonStyle(Qt::ToolButtonTextOnly);
  if (group) group->addButton(button);
  return button;
}

void Tfrm_Visualization::PlaceLatches(TZR_ScaledPanel* panel, QButtonGroup* group,
                                      std::initializer_list<ButtonSpec> buttons) {
  for (const ButtonSpec& b : buttons) {
    QToolButton* button = Latch(b.name, b.text, b.hint, b.grouped ? group : nullptr);
    Register(b.id, button);
    panel->Place(button, b.at);
  }
}

void Tfrm_Visualization::PlaceButtons(TZR_ScaledPanel* panel, std::initializer_list<ButtonSpec> buttons) {
  for (const ButtonSpec& b : buttons) {
    QPushButton* button = Button(b.name, b.text, b.hint);
    Register(b.id, button);
    panel->Place(button, b.at);
  }
}

QPushButton* Tfrm_Visualization::Button(const char* name, const QString& text, const QString& hint) {
  auto* button = new QPushButton(text, this);
  button->setObjectName(name);
  button->setToolTip(hint.isEmpty() ? text : hint);
  return button;
}

QCheckBox* Tfrm_Visualization::Check(const char* name, const QString& text) {
  auto* box = new QCheckBox(text, this);
  box->setObjectName(name);
  return box;
}

QAction* Tfrm_Visualization::MenuItem(QMenu* menu, const char* name, const QString& text, int32_t id) {
  QAction* item = menu->addAction(text);
  item->setObjectName(name);
  if (id >= 0 && id < ZR_Menu::kAppMenuCount) m_apMenus[static_cast<size_t>(id)] = item;
  return item;
}

void Tfrm_Visualization::BuildControls() {
  m_pDrawArea = new QWidget(this);
  m_pDrawArea->setObjectName("DrawArea");
  m_pDrawArea->setAutoFillBackground(true);
  setCentralWidget(m_pDrawArea);
  m_pLogo = new QLabel(m_pDrawArea);
  m_pLogo->setObjectName("Img_Logo");
  m_pLogo->setAlignment(Qt::AlignCenter);
  m_pLogo->setPixmap(LogoPicture());
  m_pLogo->setStyleSheet("background: black");
  BuildMainButtons();
  Build3dPanel();
  BuildMprPanel();
  BuildMenus();
}

void Tfrm_Visualization::BuildMainButtons() {
  auto* panel = new TZR_ScaledPanel({kPanelDesignWidth, kMainButtonsHeight}, m_pDrawArea);
  panel->setObjectName("pnl_Main");
  m_pMainButtons = panel;
  auto* screens = new QButtonGroup(panel);
  QPushButton* inbox = Button("btn_Inbox", "Import DICOM");
  Register(ZR_Ctl::btn_Inbox, inbox);
  panel->Place(inbox, {4, 4, 150, 30});
  QPushButton* subset = Button("Btn_Subset", "Subset");
  Register(ZR_Ctl::Btn_Subset, subset);
  panel->Place(subset, {158, 4, 76, 30});
  panel->Place(Button("Btn_Output", "Snaps"), {238, 4, 78, 30});
  QToolButton* three = Latch("sbtn_3D", "3D", "3D", screens);
  Register(ZR_Ctl::sbtn_3D, three);
  panel->Place(three, {4, 38, 150, 30});
  QToolButton* mpr = Latch("sbtn_MPR", "MPR", "MPR", screens);
  Register(ZR_Ctl::sbtn_MPR, mpr);
  panel->Place(mpr, {158, 38, 158, 30});
  mpr->setChecked(true);
}

void Tfrm_Visualization::Build3dPanel() {
  m_pPages = new QTabWidget(m_pDrawArea);
  m_pPages->setObjectName("pc_3D");
  Register(ZR_Ctl::pc_3D, m_pPages);

  // "Volume Rendering"
  m_pVolumePage = new TZR_ScaledPanel({kPanelDesignWidth, kPageDesignHeight});
  m_pVolumePage->setObjectName("ts_Volume");
  Register(ZR_Ctl::ts_Volume, m_pVolumePage);
  TZR_ScaledPanel* v = m_pVolumePage;
  auto* modes = new QButtonGroup(v);
  m_pGvr = Latch("Sbtn_GVR", "Grayscale Volume", "Grayscale Volume", modes);
  m_pCvr = Latch("Sbtn_CVR", "Colour Volume", "Colour Volume", modes);
  m_pMip = Latch("Sbtn_MIP", "MIP Volume", "MIP Volume", modes);
  m_pCvr->setChecked(true);
  v->Place(m_pGvr, Full(8));
  v->Place(m_pCvr, Full(42));
  v->Place(m_pMip, Full(76));

  auto* tools = new QButtonGroup(v);
  PlaceLatches(v, tools, {
      {ZR_Ctl::SBtn_Rotate, "SBtn_Rotate", "Rotate", "Volume Rotation", Left(120), true},
      {ZR_Ctl::SBtn_Zoom, "SBtn_Zoom", "Zoom", "Volume Zoom", Right(120), true},
      {ZR_Ctl::SBtn_Pan, "SBtn_Pan", "Pan", "Volume Pan", Left(154), true},
      {ZR_Ctl::SBtn_Wl, "SBtn_Wl", "W / L", "Window / Level", Right(154), true},
      {ZR_Ctl::SBtn_OpacityWl, "SBtn_OpacityWl", "Opacity", "Opacity control", Left(188), true},
      {ZR_Ctl::SBtn_CutPlane, "SBtn_CutPlane", "Cut Plane", "Cut-Plane Rotation/Translation", Right(188), true},
      {ZR_Ctl::SBtn_CutView, "SBtn_CutView", "Cut View", "Set Cut-View ON/OFF", Left(222), false},
      {ZR_Ctl::SBtn_Roi, "SBtn_Roi", "Region", "Mark Region-of-Interest", Right(222), true},
      {ZR_Ctl::SBtn_ZapSeed, "SBtn_ZapSeed", "Seed", "Select seed for Region-Selection", Left(256), false},
      {ZR_Ctl::Sbtn_Voi, "Sbtn_Voi", "VOI", "Set VOI ON/OFF", Left(334), false},
      {ZR_Ctl::Sbtn_VoiPos, "Sbtn_VoiPos", "VOI Position", "VOI position", Right(334), true},
      {ZR_Ctl::Sbtn_VoiSize, "Sbtn_VoiSize", "VOI Size", "VOI size", Right(368), true},
      {ZR_Ctl::SBtn_SnapShot, "SBtn_SnapShot", "Snapshot", "Set Snapshot ON/OFF", Left(590), false},
      {ZR_Ctl::SBtn_Movie, "SBtn_Movie", "Movie", "Set Movie-Capture ON/OFF", Right(590), false},
  });
  qobject_cast<QAbstractButton*>(m_apControls[ZR_Ctl::SBtn_Rotate].data())->setChecked(true);

  PlaceButtons(v, {
      {ZR_Ctl::Btn_Sculpt, "Btn_Sculpt", "Remove", "Remove selected region", Right(256)},
      {ZR_Ctl::Btn_Undo, "Btn_Undo", "Restore", "Restore deleted region", Left(290)},
      {ZR_Ctl::Btn_RegionSelectSettings, "Btn_RegionSelectSettings", "Settings", "Settings", Right(290)},
      {ZR_Ctl::Btn_ResetVolume, "Btn_ResetVolume", "Reset", "Reset", Left(420)},
      {ZR_Ctl::Btn_Ortho, "Btn_Ortho", "Align", "Snap to nearest orthogonal orientation", Right(420)},
      {ZR_Ctl::Btn_FinalRender, "Btn_FinalRender", "Full Quality", "Full Quality", Left(454)},
      {ZR_Ctl::Btn_Presets, "Btn_Presets", "Presets", "Presets", Left(498)},
      {ZR_Ctl::Btn_DoRadialMIP, "Btn_DoRadialMIP", "Radials", "Radials", Right(498)},
      {ZR_Ctl::Btn_MipThreshold, "Btn_MipThreshold", "Thresh", "Thresh", Left(532)},
  });
  QCheckBox* shading = Check("chk_ShadedVR", "Shading");
  Register(ZR_Ctl::chk_ShadedVR, shading);
  v->Place(shading, Right(454));
  m_pPages->addTab(v, "Volume Rendering");

  // The shaded-surface page: laid out, registered and never shown.
  auto* ssd = new TZR_ScaledPanel({kPanelDesignWidth, kPageDesignHeight});
  ssd->setObjectName("ts_SSD");
  Register(ZR_Ctl::ts_SSD, ssd);
  auto* ssdTools = new QButtonGroup(ssd);
  PlaceLatches(ssd, ssdTools, {
      {ZR_Ctl::SBtn_Seed, "SBtn_Seed", "Seed", "Seed", Left(8), false},
      {ZR_Ctl::SBtn_SsdRotate, "SBtn_SsdRotate", "Rotate", "Rotate", Left(42), true},
      {ZR_Ctl::SBtn_SsdZoom, "SBtn_SsdZoom", "Zoom", "Zoom", Right(42), true},
      {ZR_Ctl::SBtn_SsdPan, "SBtn_SsdPan", "Pan", "Pan", Left(76), true},
      {ZR_Ctl::SBtn_SsdMovie, "SBtn_SsdMovie", "Movie", "Movie", Left(400), false},
      {ZR_Ctl::SBtn_SsdSnap, "SBtn_SsdSnap", "Snapshot", "Set Snapshot ON/OFF", Right(400), false},
  });
  auto* quality = new TZR_RadioGroup("Quality", {"Low", "High"}, ssd);
  quality->setObjectName("RGrp_SsdQuality");
  Register(ZR_Ctl::RGrp_SsdQuality, quality);
  ssd->Place(quality, Full(120, 70));
  auto* method = new TZR_RadioGroup("Method", {"Threshold", "Region"}, ssd);
  method->setObjectName("RGrp_SsdMethod");
  Register(ZR_Ctl::RGrp_SsdMethod, method);
  ssd->Place(method, Full(196, 70));
  QCheckBox* fusion = Check("Chk_SsdFusion", "Fusion");
  Register(ZR_Ctl::Chk_SsdFusion, fusion);
  ssd->Place(fusion, Left(272));
  QCheckBox* surface = Check("chbox_SurfaceOnly", "Surface Only");
  Register(ZR_Ctl::chbox_SurfaceOnly, surface);
  ssd->Place(surface, Right(272));
  auto* threshold = new QWidget(ssd);
  threshold->setObjectName("grpbox_Threshold");
  Register(ZR_Ctl::grpbox_Threshold, threshold);
  ssd->Place(threshold, Full(306, 40));
  auto* isovalue = new QSlider(Qt::Horizontal, threshold);
  isovalue->setObjectName("tbr_Isovalue");
  isovalue->setGeometry(0, 0, 300, 30);
  auto* colour = new QLabel(ssd);
  colour->setObjectName("Shape_Color");
  Register(ZR_Ctl::Shape_Color, colour);
  ssd->Place(colour, Left(350));
  PlaceButtons(ssd, {
      {ZR_Ctl::btn_Display, "btn_Display", "Display", "Display", Right(350)},
      {ZR_Ctl::Btn_SsdReset, "Btn_SsdReset", "Reset", "Reset", Left(444)},
      {ZR_Ctl::Btn_SsdOrtho, "Btn_SsdOrtho", "Align", "Snap to nearest orthogonal orientation", Right(444)},
  });
  m_pPages->addTab(ssd, "SSD");
  m_pPages->setTabVisible(1, false);

  // The fly-through page: never shown either.
  auto* flyThru = new TZR_ScaledPanel({kPanelDesignWidth, kPageDesignHeight});
  flyThru->setObjectName("ts_FlyThru");
  m_pFtSnap = Latch("SBtn_FtSnap", "Snapshot", "Set Snapshot ON/OFF");
  m_pFtMovie = Latch("Sbtn_FtMovie", "Movie", "Movie");
  flyThru->Place(m_pFtSnap, Left(8));
  flyThru->Place(m_pFtMovie, Right(8));
  m_nFlyThruPage = m_pPages->addTab(flyThru, "Fly-Thru");
  m_pPages->setTabVisible(m_nFlyThruPage, false);
  isovalue->setRange(0, 255);
  isovalue->setValue(0);
  isovalue->setSingleStep(1);
  isovalue->setPageStep(1);
}

void Tfrm_Visualization::BuildMprPanel() {
  m_pMprPanel = new TZR_ScaledPanel({kPanelDesignWidth, kMprDesignHeight}, m_pDrawArea);
  m_pMprPanel->setObjectName("pnl_MPR");
  Register(ZR_Ctl::pnl_MPR, m_pMprPanel);
  TZR_ScaledPanel* m = m_pMprPanel;

  auto* layouts = new QButtonGroup(m);
  auto* tools = new QButtonGroup(m);
  auto* colours = new QButtonGroup(m);
  PlaceLatches(m, layouts, {
      {ZR_Ctl::Sbtn_Single, "Sbtn_Single", "Single MPR", "Single MPR", Third(0, kSingleMprTop)},
      {ZR_Ctl::Sbtn_Multi, "Sbtn_Multi", "Multi-MPR", "Multi-MPR", Third(1, kSingleMprTop)},
      {ZR_Ctl::Sbtn_Slab, "Sbtn_Slab", "MPR Slab", "MPR Slab", Third(2, kSingleMprTop)},
  });
  PlaceLatches(m, tools, {
      {ZR_Ctl::SBtn_MprWl, "SBtn_MprWl", "Window / Level", "Window / Level", Left(584)},
      {ZR_Ctl::Sbtn_Rot, "Sbtn_Rot", "Rotate MPR", "Rotate MPR (LM - horizontal, RM - vertical)", Right(584)},
      {ZR_Ctl::Sbtn_MprZoom, "Sbtn_MprZoom", "Zoom", "Zoom", Left(618)},
      {ZR_Ctl::Sbtn_MprPan, "Sbtn_MprPan", "Pan", "Pan", Right(618)},
  });
  PlaceLatches(m, colours, {
      {ZR_Ctl::Sbtn_ColourMpr, "Sbtn_ColourMpr", "Colour MPR", "Colour MPR", Left(652)},
      {ZR_Ctl::Sbtn_GrayMpr, "Sbtn_GrayMpr", "Grayscale MPR", "Grayscale MPR", Right(652)},
  });
  PlaceLatches(m, nullptr, {
      {ZR_Ctl::Sbtn_MprXhair, "Sbtn_MprXhair", "Crosshair", "Set Crosshair Display ON/OFF", Left(696)},
      {ZR_Ctl::Sbtn_Curve, "Sbtn_Curve", "Curved MPR", "Curved MPR", Left(730)},
      {ZR_Ctl::SBtn_MprSnap, "SBtn_MprSnap", "Snapshot", "Set Snapshot ON/OFF", Right(730)},
  });
  for (int32_t id : {ZR_Ctl::Sbtn_Single, ZR_Ctl::SBtn_MprWl, ZR_Ctl::Sbtn_GrayMpr, ZR_Ctl::Sbtn_MprXhair})
    qobject_cast<QAbstractButton*>(m_apControls[static_cast<size_t>(id)].data())->setChecked(true);

  auto* measures = new QToolButton(this);
  measures->setObjectName("ToolBtn_Measures");
  measures->setText("Measurements");
  measures->setToolTip("Measurements");
  measures->setCheckable(true);
  measures->setPopupMode(QToolButton::MenuButtonPopup);
  Register(ZR_Ctl::ToolBtn_Measures, measures);
  m->Place(measures, Right(696));

  auto* slabMode = new TZR_RadioGroup("", {"MPVR", "MIP", "MinIP"}, m);
  slabMode->setObjectName("Rg_SlabMode");
  slabMode->SetIndex(0);
  Register(ZR_Ctl::Rg_SlabMode, slabMode);
  m->Place(slabMode, Full(368, 78));

  struct Field {
    int32_t id, labelId;
    const char* name;
    const char* labelName;
    const char* text;
    int decimals;
    int y;
  };
  const Field kFields[] = {
      {ZR_Ctl::Ed_Slices, ZR_Ctl::Lbl_MprSLices, "Ed_Slices", "Lbl_MprSLices", "Slice Count", 2, 452},
      {ZR_Ctl::Ed_Thickness, ZR_Ctl::Lbl_MprThickness, "Ed_Thickness", "Lbl_MprThickness", "Thickness (mm)", 4, 482},
      {ZR_Ctl::Ed_SlabSize, ZR_Ctl::Lbl_MprSlabSize, "Ed_SlabSize", "Lbl_MprSlabSize", "Slab Extent (mm)", 4, 512},
  };
  for (const Field& f : kFields) {
    auto* label = new QLabel(f.text, m);
    label->setObjectName(f.labelName);
    Register(f.labelId, label);
    m->Place(label, Left(f.y, 26));
    auto* edit = new TZR_NumberEdit(f.decimals, m);
    edit->setObjectName(f.name);
    edit->setToolTip(f.text);
    Register(f.id, edit);
    m->Place(edit, Right(f.y, 26));
  }

  PlaceButtons(m, {
      {ZR_Ctl::Btn_MultiPreview, "Btn_MultiPreview", "View", "View", Third(0, 546)},
      {ZR_Ctl::Btn_MultiSave, "Btn_MultiSave", "Save", "Save", Third(1, 546)},
      {ZR_Ctl::Btn_MultiStore, "Btn_MultiStore", "Store", "Store", Third(2, 546)},
      {ZR_Ctl::Btn_MprPresets, "Btn_MprPresets", "Presets", "Presets", Left(852)},
      {ZR_Ctl::Btn_Reset, "Btn_Reset", "Reset", "Reset", Right(852)},
  });
  QCheckBox* cutaway = Check("cb_Cutaway", "Cutaway Correlation");
  Register(ZR_Ctl::cb_Cutaway, cutaway);
  m->Place(cutaway, Full(774, 26));
  m_pDragCutPlane = Check("chbox_DragCutPlane", "Update on Drag");
  m->Place(m_pDragCutPlane, Full(804, 26));
}

void Tfrm_Visualization::BuildMenus() {
  QMenu* file = menuBar()->addMenu("&File");
  file->setObjectName("Mi_File");
  MenuItem(file, "Mi_Exit", "Exit");
  m_pOptionsMenu = menuBar()->addMenu("Options");
  m_pOptionsMenu->setObjectName("Options");
  m_pOptionsMenu->menuAction()->setObjectName("Mi_Options");
  m_apMenus[ZR_Menu::Options] = m_pOptionsMenu->menuAction();
  MenuItem(m_pOptionsMenu, "Mi_Settings", "Settings");
  QMenu* help = menuBar()->addMenu("Help");
  help->setObjectName("Mi_Help");
  MenuItem(help, "Mi_Contents", "&Contents")->setShortcut(QKeySequence::HelpContents);
  MenuItem(help, "Mi_About", "About Lumetra");

  m_pMprPopup = new QMenu(this);
  m_pMprPopup->setObjectName("PopupMenu_MprPanels");
  MenuItem(m_pMprPopup, "Mi_LockActiveView", "Lock Active View", ZR_Menu::Mi_LockActiveView);
  m_pMprPopup->addSeparator();
  MenuItem(m_pMprPopup, "Mi_MprWL", "Window / Level", ZR_Menu::Mi_MprWL);
  MenuItem(m_pMprPopup, "Mi_MprRot3D", "Rotate 3D", ZR_Menu::Mi_MprRot3D);
  MenuItem(m_pMprPopup, "Mi_MprRotH", "Rotate Horizontal", ZR_Menu::Mi_MprRotH);
  MenuItem(m_pMprPopup, "Mi_MprRotV", "Rotate Vertical", ZR_Menu::Mi_MprRotV);
  m_pMprPopup->addSeparator();
  MenuItem(m_pMprPopup, "Mi_MPR_Slice", "MPR Slice", ZR_Menu::Mi_MPR_Slice);
  MenuItem(m_pMprPopup, "Mi_MultiMPRSeries", "Multi-MPR Series", ZR_Menu::Mi_MultiMPRSeries);
  MenuItem(m_pMprPopup, "Mi_MPR_Slab", "MPR Slab", ZR_Menu::Mi_MPR_Slab);
  m_pMprPopup->addSeparator();
  MenuItem(m_pMprPopup, "Mi_MPVR", "MPVR", ZR_Menu::Mi_MPVR);
  MenuItem(m_pMprPopup, "Mi_MIP", "MIP", ZR_Menu::Mi_MIP);
  MenuItem(m_pMprPopup, "Mi_MinIP", "MinIP", ZR_Menu::Mi_MinIP);
  m_pMprPopup->addSeparator();
  QAction* preview = MenuItem(m_pMprPopup, "Mi_PreviewMPRSeries", "Preview MPR Series", ZR_Menu::Mi_PreviewMPRSeries);
  preview->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
  // The shortcut works while the pop-up is closed too.
  addAction(preview);
  for (int32_t id = ZR_Menu::Mi_MPR_Slice; id <= ZR_Menu::Mi_MprRotV; ++id)
    if (QAction* item = m_apMenus[static_cast<size_t>(id)]) item->setCheckable(id != ZR_Menu::Mi_PreviewMPRSeries);

  m_pMeasuresPopup = new QMenu(this);
  m_pMeasuresPopup->setObjectName("PopupMenu_Measures");
  const char* kMeasures[] = {"Pixel Value",
                             "Ruler",
                             "Angle",
                             "ROI Statistics",
                             "Clear Last Annotation",
                             "Clear Annotations (current view)",
                             "Clear Annotations (all views)"};
  for (int32_t tag = 0; tag < 7; ++tag) {
    QAction* item = m_pMeasuresPopup->addAction(kMeasures[tag]);
    item->setObjectName(QString("Mi_Measure%1").arg(tag));
    item->setData(tag);
  }
  if (auto* measures = qobject_cast<QToolButton*>(m_apControls[ZR_Ctl::ToolBtn_Measures].data()))
    measures->setMenu(m_pMeasuresPopup);
}

void Tfrm_Visualization::RegisterControls() {
  for (int32_t id = 0; id < ZR_Ctl::kAppControlCount; ++id)
    if (QWidget* control = m_apControls[static_cast<size_t>(id)]) m_pAppGui->RegisterControl(id, control);
  for (int32_t id = 0; id < ZR_Menu::kAppMenuCount; ++id)
    if (QAction* item = m_apMenus[static_cast<size_t>(id)]) m_pAppGui->RegisterMenu(id, item);
}

void Tfrm_Visualization::StartupEnabling() {
  ZR_BcAppGui& gui = *m_pAppGui;
  for (int32_t id : {ZR_Ctl::Btn_Subset, ZR_Ctl::pc_3D, ZR_Ctl::ts_Volume, ZR_Ctl::ts_SSD, ZR_Ctl::SBtn_Movie,
                     ZR_Ctl::SBtn_CutPlane, ZR_Ctl::Btn_Sculpt, ZR_Ctl::chk_ShadedVR, ZR_Ctl::Sbtn_Curve,
                     ZR_Ctl::sbtn_MPR})
    gui.EnableControl(id, false);
  m_pPages->widget(m_nFlyThruPage)->setEnabled(false);
  m_pPages->setTabVisible(m_nFlyThruPage, false);
  gui.ShowControl(ZR_Ctl::Btn_DoRadialMIP, false);
  gui.ShowControl(ZR_Ctl::Btn_MipThreshold, false);
  gui.ShowControl(ZR_Ctl::SBtn_Wl, true);
  gui.ShowControl(ZR_Ctl::SBtn_OpacityWl, false);
  gui.ShowControl(ZR_Ctl::Sbtn_MprZoom, false);
  gui.ShowControl(ZR_Ctl::Sbtn_MprPan, false);
  gui.EnableControl(ZR_Ctl::Btn_MultiStore, false);
  for (const QPointer<TPaintPanel>& panel : m_apPanels)
    if (panel) panel->hide();
}
