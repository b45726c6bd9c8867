#pragma once
// The one engine object: owns the volume, the renderers and every piece of viewing state, and
// drives the user interface back only through the GUI contracts. Its operations are split by
// topic over ZR_VisManager_*.cpp.

#include <cstdint>
#include <string>

#include "core/ZR_Ids.h"
#include "core/ZR_Result.h"
#include "core/ZR_ViewportTable.h"

class ZR_VisGui;
class ZR_ProgressBar;
class ZR_Settings;
class ZR_ImageGallery;
class ZR_Movie;
class ZR_Series;

// Trackball of the 3D views: the size of the panel being rotated and the ball's radius.
struct ZR_Trackball {
  int32_t nWidth = 1024;
  int32_t nHeight = 768;
  double dRadius = 512.0;
};

class ZR_VisManager {
 public:
  explicit ZR_VisManager(ZR_VisGui* appGui);
  virtual ~ZR_VisManager();
  ZR_VisManager(const ZR_VisManager&) = delete;
  ZR_VisManager& operator=(const ZR_VisManager&) = delete;

  // --- Wiring, in the order the main window calls it -------------------------------------
  void OpenLog(const std::string& appDir);
  void SetSettings(ZR_Settings* settings) { m_pSettings = settings; }
  void SetImageGallery(ZR_ImageGallery* gallery) { m_pImageGallery = gallery; }
  void SetMovie(ZR_Movie* movie) { m_pMovie = movie; }
  void SetSeriesWriter(ZR_Series* series) { m_pSeriesWriter = series; }
  void SetProgressBar(ZR_ProgressBar* progress) { m_pProgressBar = progress; }
  void SetVolumePreviewGui(ZR_VisGui* previewGui) { m_pVolumePreviewGui = previewGui; }
  [[nodiscard]] int32_t OnCreate(ZR_ViewportTable* viewports);
  void SetRepaintFlags(uint8_t* flags) { m_pRepaintFlags = flags; }

  // --- Messages ----------------------------------------------------------------------------
  // Shows the message of a result code through the application contract; 0 shows nothing.
  void ReportResult(int32_t code);

  // --- Main-window operations ---------------------------------------------------------------
  // Asks "Exit Lumetra ?" when `ask` is set; returns the answer (0 when not asked).
  int32_t ConfirmExit(bool ask);
  // Position code of a slice view: 0..3 for the slice panels, 5 for any other panel.
  static int32_t ViewSlotOfPanel(int32_t panel);
  void SetupPanelView(int32_t panel);
  void SetShading(bool on, bool redraw);
  void RedrawPanel(int32_t index, bool swap = true);
  void SetMprViewLimit(int32_t panel) { m_nMprViewLimit = panel; }
  void SetMaximisedSlot(int32_t slot) { m_nMaximisedSlot = slot; }
  void SetRepaintQuality(int32_t quality) { m_nRepaintQuality = quality; }

  // --- Read access for the window and tests --------------------------------------------------
  const std::string& AppDir() const { return m_sAppDir; }
  const std::string& CaptureDir() const { return m_sCaptureDir; }
  void SetCaptureDir(const std::string& dir) { m_sCaptureDir = dir; }
  bool IsInitialised() const { return m_bInitialised; }
  bool IsVolumeLoaded() const { return m_bVolumeLoaded; }
  bool IsSoftwareRendering() const { return m_bSoftwareRendering; }
  bool IsShading() const { return m_bShading; }
  const ZR_Trackball& Trackball() const { return m_oTrackball; }
  ZR_VisGui* AppGui() const { return m_pAppGui; }
  ZR_ProgressBar* ProgressBar() const { return m_pProgressBar; }
  ZR_Settings* Settings() const { return m_pSettings; }
  ZR_ImageGallery* ImageGallery() const { return m_pImageGallery; }
  ZR_Movie* Movie() const { return m_pMovie; }
  ZR_Series* SeriesWriter() const { return m_pSeriesWriter; }
  ZR_VisGui* VolumePreviewGui() const { return m_pVolumePreviewGui; }
  const ZR_ViewportTable* Viewports() const { return m_pViewports; }
  int32_t RenderQuality() const { return m_nRenderQuality; }
  int32_t Screen() const { return m_nScreen; }

  static constexpr uint64_t kLowMemoryMiB = 256;

 protected:
  // Creates the pixel formats and the shared rendering context and probes the adapter;
  // returns 0, VR_OG_PIXEL_FORMAT, VR_OG_CONTEXT, VR_OG_SW_RENDER or VR_OG_NOT_SUPPORTED and
  // sets m_bSoftwareRendering, m_bCanShade and m_sGlRenderer. Virtual so that the start-up
  // sequence can be exercised without a graphics adapter.
  virtual int32_t CreateOpenGlViewports();

  // --- Collaborators handed over by the main window (never deleted here) --------------------
  ZR_VisGui* m_pAppGui = nullptr;
  ZR_Settings* m_pSettings = nullptr;
  ZR_ImageGallery* m_pImageGallery = nullptr;
  ZR_Movie* m_pMovie = nullptr;
  ZR_Series* m_pSeriesWriter = nullptr;
  ZR_ProgressBar* m_pProgressBar = nullptr;
  ZR_VisGui* m_pVolumePreviewGui = nullptr;

  // --- Panels --------------------------------------------------------------------------------
  ZR_ViewportTable* m_pViewports = nullptr;
  uint8_t* m_pRepaintFlags = nullptr;
  int32_t m_nOffscreenWidth = 0;
  int32_t m_nOffscreenHeight = 0;
  bool m_bOffscreenReady = false;
  bool m_bLargeViewport = true;

  // --- Volume ----------------------------------------------------------------------------------
  // Held 32-bit inside the program: unsigned 16-bit data would wrap in 16 bits.
  int32_t m_nMinValue = 0;
  int32_t m_nMaxValue = 0;
  int32_t m_nIntercept = 0;
  int16_t m_nReduction = 1;
  bool m_bSubsampled = false;
  int32_t m_nSubsample = 1;
  int32_t m_aAxisSign[3] = {1, 1, 1};
  float m_aExtent[3] = {0, 0, 0};

  // --- Rendering -------------------------------------------------------------------------------
  int32_t m_nRenderQuality = 0;
  int32_t m_nStillQuality = 3;
  int32_t m_nRepaintQuality = 3;
  int32_t m_nFinalMethod = 2;
  int32_t m_nRenderMode = 1;
  bool m_bShading = false;
  bool m_bAutoQuality = true;
  bool m_bSoftwareRendering = false;
  bool m_bCanShade = false;     // the adapter can do shaded volume rendering
  std::string m_sGlRenderer;    // the OpenGL renderer string, for start-up messages

  // --- State -----------------------------------------------------------------------------------
  bool m_bBusy = false;
  bool m_bInitialised = false;
  bool m_bVolumeLoaded = false;
  bool m_bRegionEditing = true;
  bool m_bUndoAvailable = false;
  bool m_bCrosshair = true;
  bool m_bLockActiveView = false;
  bool m_bMprResetOn3D = false;
  bool m_bMprResetOnMpr = false;
  bool m_bGrayMpr = true;
  bool m_bMprDisplay = false;
  int32_t m_nScreen = 1;

  // --- Tools and views -------------------------------------------------------------------------
  int32_t m_n3dTool = 1;
  int32_t m_nMprTool = 5;
  int32_t m_nCrosshairDrag = 0;
  int32_t m_nVoiEdge = 0;
  ZR_Trackball m_oTrackball;
  int32_t m_nActiveMprView = ZR_Panel::Mpr2;
  int32_t m_nMprViewLimit = ZR_Panel::None;
  int32_t m_nMaximisedSlot = 5;
  int32_t m_nMainMprView = ZR_Panel::Mpr2;
  int32_t m_nMeasureView = ZR_Panel::None;
  int32_t m_nPickTolerance = 12;
  int32_t m_nLabels = 0;

  // --- Output ----------------------------------------------------------------------------------
  std::string m_sAppDir;
  std::string m_sCaptureDir;
  int32_t m_nSnapshotCount = 0;
  int32_t m_nSeriesCount = 0;
  bool m_bSnapshotMode = false;
  int32_t m_nSavedCursor = 0;
};
