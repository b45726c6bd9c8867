#pragma once
// A drawing panel: a framed, silver widget holding a native OpenGL window that the shared
// context draws into. It keeps its entry of the viewport table at the window's size in
// device pixels, sets its repaint flag byte when the system asks for its picture, shows the
// cursor the contract gives it, and passes its pointer, wheel and key events on.

#include <QFrame>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <memory>

class QKeyEvent;
class QMouseEvent;
class QWheelEvent;
class TPaintPanelWindow;
class ZR_DrawSurface;
class ZR_QtGlContext;
class ZR_QtPanelSurface;
struct ZR_ViewportTable;

class TPaintPanel : public QFrame {
  Q_OBJECT
 public:
  enum PointerKind { Press, Release, Move, DoubleClick };
  // Positions in device pixels of the panel's picture, y downwards.
  using PointerHandler = std::function<void(TPaintPanel&, PointerKind, Qt::MouseButton, int32_t x, int32_t y)>;
  using WheelHandler = std::function<void(TPaintPanel&, int32_t delta, Qt::KeyboardModifiers)>;
  using KeyHandler = std::function<void(QKeyEvent*)>;

  TPaintPanel(const QString& name, int32_t index, ZR_QtGlContext& context, QWidget* parent);
  ~TPaintPanel() override;

  int32_t Index() const { return m_nIndex; }
  ZR_DrawSurface* Surface() const;
  QWindow* NativeWindow() const;

  // The table whose size entry of this panel follows the picture's size.
  void SetViewportTable(ZR_ViewportTable* table);
  // The repaint flag bytes (one per panel index) and what to call once this panel's byte
  // is set.
  void SetRepaintObserver(uint8_t* flags, std::function<void()> changed);
  void SetHandlers(PointerHandler pointer, WheelHandler wheel, KeyHandler key);

  // Places the panel (frame included) and brings its viewport entry up to date at once,
  // whether or not it is shown.
  void Place(const QRect& rect);
  // The picture's size in device pixels.
  QSize PictureSize() const;

  // Called by the native window.
  void Exposed();
  void Pointer(PointerKind kind, QMouseEvent* event);
  void Wheel(QWheelEvent* event);
  void Key(QKeyEvent* event);

 protected:
  bool event(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void UpdateViewport();

  int32_t m_nIndex;
  TPaintPanelWindow* m_pWindow;  // owned by the container
  QWidget* m_pContainer;
  std::unique_ptr<ZR_QtPanelSurface> m_pSurface;
  ZR_ViewportTable* m_pTable = nullptr;
  uint8_t* m_pRepaintFlags = nullptr;
  std::function<void()> m_fRepaintChanged;
  PointerHandler m_fPointer;
  WheelHandler m_fWheel;
  KeyHandler m_fKey;
};
