#pragma once
// The subset preview dialog's contract: 12 controls over TVolumePreview (which it creates
// and deletes), the two pictures as canvases, modal showing that gives the keyboard focus
// back to the main window, and the engine the dialog's events go to.

#include <QPointer>

#include "gui/TVolumePreview.h"
#include "gui/ZR_BcGui.h"

class ZR_VolumePreview;

class ZR_BcVolumePreviewGui : public ZR_BcGui {
 public:
  explicit ZR_BcVolumePreviewGui(QWidget* mainWindow);
  ~ZR_BcVolumePreviewGui() override;

  void ShowDialog(bool modal) override;
  void CloseDialog() override;
  // Image 5 is the first slice's picture, any other id the last slice's.
  ZR_Canvas* GetImageDC(int32_t id) override;
  void RefreshImage(int32_t id) override;
  // The preview engine, or null to detach the dialog from it.
  void SetEngine(ZR_DialogEngine* engine) override;

  TVolumePreview* Dialog() const { return m_pDialog; }
  ZR_VolumePreview* Engine() const { return m_pEngine; }

 private:
  QPointer<QWidget> m_pMainWindow;
  QPointer<TVolumePreview> m_pDialog;
  ZR_VolumePreview* m_pEngine = nullptr;
};
