#include "gui/TPaintPanel.h"

#include <QMouseEvent>
#include <QWheelEvent>
#include <cmath>

#include "core/ZR_ViewportTable.h"
#include "gui/TPaintPanelWindow.h"
#include "gui/ZR_QtPanelSurface.h"

namespace {
constexpr QRgb kSilver = 0xC0C0C0;  // 12632256
}

TPaintPanel::TPaintPanel(const QString& name, int32_t index, ZR_QtGlContext& context, QWidget* parent)
    : QFrame(parent), m_nIndex(index) {
  setObjectName(name);
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(1);
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, QColor(kSilver));
  setPalette(palette);
  m_pWindow = new TPaintPanelWindow(this);
  m_pWindow->setObjectName(name + "Window");
  m_pContainer = QWidget::createWindowContainer(m_pWindow, this);
  m_pContainer->setObjectName(name + "Container");
  m_pContainer->setFocusPolicy(Qt::ClickFocus);
  m_pSurface = std::make_unique<ZR_QtPanelSurface>(context, m_pWindow);
}

TPaintPanel::~TPaintPanel() = default;

ZR_DrawSurface* TPaintPanel::Surface() const { return m_pSurface.get(); }
QWindow* TPaintPanel::NativeWindow() const { return m_pWindow; }

void TPaintPanel::SetViewportTable(ZR_ViewportTable* table) {
  m_pTable = table;
  UpdateViewport();
}

void TPaintPanel::SetRepaintObserver(uint8_t* flags, std::function<void()> changed) {
  m_pRepaintFlags = flags;
  m_fRepaintChanged = std::move(changed);
}

void TPaintPanel::SetHandlers(PointerHandler pointer, WheelHandler wheel, KeyHandler key) {
  m_fPointer = std::move(pointer);
  m_fWheel = std::move(wheel);
  m_fKey = std::move(key);
}

void TPaintPanel::Place(const QRect& rect) {
  setGeometry(rect);
  m_pContainer->setGeometry(contentsRect());
  UpdateViewport();
}

QSize TPaintPanel::PictureSize() const {
  const qreal ratio = devicePixelRatioF();
  const QSize inner = contentsRect().size();
  return {static_cast<int>(std::lround(inner.width() * ratio)), static_cast<int>(std::lround(inner.height() * ratio))};
}

void TPaintPanel::UpdateViewport() {
  const QSize size = PictureSize();
  m_pSurface->SetSize(size.width(), size.height());
  if (!m_pTable || m_nIndex < 0 || m_nIndex >= ZR_ViewportTable::kSurfaceCount) return;
  m_pTable->SetSize(m_nIndex, size.width(), size.height());
}

void TPaintPanel::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  m_pContainer->setGeometry(contentsRect());
  UpdateViewport();
}

bool TPaintPanel::event(QEvent* event) {
  // The native window shows its own cursor: the panel's goes on to it.
  if (event->type() == QEvent::CursorChange) m_pWindow->setCursor(cursor());
  // A move to a screen of another pixel ratio changes the picture's size.
  if (event->type() == QEvent::ScreenChangeInternal) UpdateViewport();
  return QFrame::event(event);
}

void TPaintPanel::Exposed() {
  if (m_pRepaintFlags && m_nIndex >= 0 && m_nIndex < 12) m_pRepaintFlags[m_nIndex] = 1;
  if (m_fRepaintChanged) m_fRepaintChanged();
}

void TPaintPanel::Pointer(PointerKind kind, QMouseEvent* event) {
  if (!m_fPointer) return;
  const qreal ratio = m_pWindow->devicePixelRatio();
  const QPointF at = event->position() * ratio;
  m_fPointer(*this, kind, event->button(), static_cast<int32_t>(std::floor(at.x())),
             static_cast<int32_t>(std::floor(at.y())));
}

void TPaintPanel::Wheel(QWheelEvent* event) {
  if (m_fWheel) m_fWheel(*this, event->angleDelta().y(), event->modifiers());
  event->accept();
}

void TPaintPanel::Key(QKeyEvent* event) {
  if (m_fKey) m_fKey(event);
}
