// Arranging the two screens in the drawing area, maximising a panel, and where the progress
// window goes. All sizes here are in the window's own (device-independent) pixels; each
// panel turns its own size into device pixels for the viewport table.
#include <QAbstractButton>
#include <QLabel>
#include <QTabWidget>
#include <algorithm>
#include <cmath>

#include "manager/ZR_VisManager.h"
#include "gui/TZR_ScaledPanel.h"
#include "gui/TProgressDialog.h"
#include "gui/Tfrm_Visualization.h"
#include "gui/ZR_BcProgressBar.h"

namespace {
constexpr int32_t k3dPanels[] = {ZR_Panel::View3D, ZR_Panel::Ortho0, ZR_Panel::Ortho1, ZR_Panel::Ortho2};
constexpr int32_t kMprPanels[] = {ZR_Panel::Mpr0, ZR_Panel::Mpr1, ZR_Panel::Mpr2, ZR_Panel::Mpr3,
                                  ZR_Panel::MprView3D};
}  // namespace

void Tfrm_Visualization::ComputeDrawingSize() {
  m_nW = std::max(1, m_pDrawArea->width() - 4);
  m_nH = std::max(1, m_pDrawArea->height() - 4);
}

void Tfrm_Visualization::Arrange3dScreen() {
  const int s = std::max(1, m_nH / 3);
  for (int32_t k = 0; k < 3; ++k)
    if (TPaintPanel* p = Panel(ZR_Panel::Ortho0 + k)) p->Place({0, k * (s + 1), s, s});
  const int panelWidth = static_cast<int>(std::lround(m_f3dFraction * m_nW));
  const int g = std::max(1, std::min(m_nW - panelWidth - s, m_nH));
  if (TPaintPanel* p = Panel(ZR_Panel::View3D)) p->Place({s + 1, 0, g, g});
  const int left = s + 1 + g;
  const int width = std::max(1, m_nW - s - g);
  m_pMainButtons->setGeometry(left, 0, width, kMainButtonsHeight);
  m_pPages->setGeometry(left, kMainButtonsHeight, width, std::max(1, m_nH - kMainButtonsHeight));
  m_pLogo->setGeometry(s + 1, g + 1, g, std::max(0, m_nH - g - 1));
}

void Tfrm_Visualization::ArrangeMprScreen() {
  const int panelWidth = static_cast<int>(std::lround(m_fMprFraction * m_nW));
  const int a = std::max(1, std::min(m_nW - panelWidth, m_nH) / 2);
  const struct {
    int32_t panel;
    int left, top;
  } places[] = {{ZR_Panel::Mpr1, 0, 0}, {ZR_Panel::Mpr0, a + 1, 0}, {ZR_Panel::Mpr2, 0, a + 1}, {ZR_Panel::Mpr3, a + 1, a + 1}};
  for (const auto& place : places)
    if (TPaintPanel* p = Panel(place.panel)) p->Place({place.left, place.top, a, a});
  // The control panel takes what the four views leave, and its fraction follows: the share
  // the views do not take (its own width, one pixel wider, fed back would shrink the views by
  // a pixel at every arrangement).
  const int left = 2 * a + 1;
  const int width = std::max(1, m_nW - 2 * a + 1);
  m_fMprFraction = double(m_nW - 2 * a) / m_nW;
  m_pMainButtons->setGeometry(left, 0, width, kMainButtonsHeight);
  m_pMprPanel->setGeometry(left, kMainButtonsHeight, width, std::max(1, m_nH - kMainButtonsHeight));
  m_pMprPanel->Arrange();
  // The MPR screen's 3D view: a square above "Single MPR", centred across the panel.
  const int singleTop = m_apControls[ZR_Ctl::Sbtn_Single]->geometry().top();
  const int side = std::max(1, static_cast<int>(0.9 * std::min(width, singleTop - 10)));
  if (TPaintPanel* p = Panel(ZR_Panel::MprView3D))
    p->Place({left + (width - side) / 2, kMainButtonsHeight + (singleTop - side - 10) / 2 + 10, side, side});
}

void Tfrm_Visualization::ArrangeCurrentScreen() {
  // Both screens, the one shown last: they share the control panel's main buttons, and the
  // hidden screen's panels keep sizes that fit when it is shown.
  if (m_nScreenShown == ZR_Screen::View3d) {
    ArrangeMprScreen();
    Arrange3dScreen();
  } else {
    Arrange3dScreen();
    ArrangeMprScreen();
  }
  if (m_nMaximised != ZR_Panel::None)
    if (TPaintPanel* p = Panel(m_nMaximised)) {
      p->Place(MaximisedRect(m_nScreenShown));
      p->raise();
    }
  ShowScreenPanels(m_nScreenShown);
  PlaceProgressWindow();
  if (m_pManager && m_pManager->IsInitialised()) {
    const int32_t main = m_nMaximised != ZR_Panel::None ? m_nMaximised
                         : m_nScreenShown == ZR_Screen::View3d         ? ZR_Panel::View3D
                                                       : ZR_Panel::MprView3D;
    m_pManager->SetupPanelView(main);
  }
  // Panels that shrank are not exposed again, yet their pictures no longer fit.
  for (int32_t panel : m_nScreenShown == ZR_Screen::View3d ? std::vector<int32_t>(std::begin(k3dPanels), std::end(k3dPanels))
                                           : std::vector<int32_t>(std::begin(kMprPanels), std::end(kMprPanels)))
    m_aRepaintFlags[static_cast<size_t>(panel)] = 1;
  ScheduleRepaint();
}

QRect Tfrm_Visualization::MaximisedRect(ZR_Screen screen) const {
  const double fraction = screen == ZR_Screen::View3d ? m_f3dFraction : m_fMprFraction;
  const int side = std::max(1, std::min(m_nW - static_cast<int>(std::lround(fraction * m_nW)), m_nH));
  return {0, 0, side, side};
}

void Tfrm_Visualization::ShowScreenPanels(ZR_Screen screen) {
  if (!m_bActivated) return;  // the panels stay hidden until the first activation
  const bool three = screen == ZR_Screen::View3d;
  for (int32_t panel : k3dPanels)
    if (TPaintPanel* p = Panel(panel)) p->setVisible(three && (m_nMaximised == ZR_Panel::None || m_nMaximised == panel));
  for (int32_t panel : kMprPanels)
    if (TPaintPanel* p = Panel(panel)) p->setVisible(!three && (m_nMaximised == ZR_Panel::None || m_nMaximised == panel));
  m_pPages->setVisible(three);
  m_pLogo->setVisible(three && m_nMaximised == ZR_Panel::None);
  m_pMprPanel->setVisible(!three);
  m_pMainButtons->raise();
}

void Tfrm_Visualization::PlaceProgressWindow() {
  if (!m_pProgressBar) return;
  int32_t width = 0, height = 0;
  m_pProgressBar->GetSize(width, height);
  const QPoint origin = m_pDrawArea->mapToGlobal(QPoint(0, 0));
  m_pProgressBar->Move(origin.x() + (m_nW - width) / 2, origin.y() + m_nH - height - 10);
}

void Tfrm_Visualization::ToggleMaximised(int32_t panel) {
  if (m_nMaximised == panel) {
    RestoreMaximised();
    return;
  }
  if (m_nMaximised != ZR_Panel::None) RestoreMaximised();
  m_nMaximised = m_nLastMaximised = panel;
  if (m_pManager) {
    m_pManager->SetMprViewLimit(panel);
    m_pManager->SetMaximisedSlot(ZR_VisManager::ViewSlotOfPanel(panel));
  }
  ArrangeCurrentScreen();
}

void Tfrm_Visualization::RestoreMaximised() {
  if (m_nMaximised == ZR_Panel::None) return;
  m_nMaximised = ZR_Panel::None;
  if (m_pManager) {
    m_pManager->SetMprViewLimit(ZR_Panel::None);
    m_pManager->SetMaximisedSlot(5);
  }
  ArrangeCurrentScreen();
}
