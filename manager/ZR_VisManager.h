#pragma once
// The one engine object: owns the volume, the renderers and every piece of viewing state, and
// drives the user interface back only through the GUI contracts. Its operations are split by
// topic over ZR_VisManager_*.cpp.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/ZR_Ids.h"
#include "core/ZR_Result.h"
#include "core/ZR_ViewportTable.h"
#include "core/ZR_Vocabulary.h"
#include "mpr/MprViewInfo.h"
#include "mpr/ZR_MprPane.h"
#include "dicom/ZR_VolumeLoader.h"
#include "presets/ZR_PresetEditorHost.h"
#include "render/OpenGlText.h"
#include "render/PBuffer.h"
#include "render/RenderShared.h"
#include "render/ZR_GpuPrograms.h"
#include "render/ZR_SoftwareRenderer.h"
#include "render/ZR_Texture3dRenderer.h"

class ZR_VisGui;
class ZR_ProgressBar;
class ZR_Settings;
class ZR_ImageGallery;
class ZR_Movie;
class ZR_Series;
class ZR_RenderPlatform;
class ZR_Vis3DSettings;
class ZR_DicomVolume;
class ZR_VolumePreview;
class ZR_PresetEditor;
class ZR_PresetEditorGui;

// The manager loads the ranges the subset preview chooses and redraws for the preset engine.
class ZR_VisManager : public ZR_VolumeLoader, public ZR_PresetEditorHost {
 public:
  // The rendering state and the font are the process's unless a test gives its own.
  explicit ZR_VisManager(ZR_VisGui* appGui, RenderShared& shared = RenderShared::Instance(),
                         OpenGlText& text = OpenGlText::Instance());
  ~ZR_VisManager() override;
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
  // Creates the transfer-function engine on the renderer's lookup table, pointed at the
  // program's "Presets" folder; VR_PRESET_NO_MEMORY when it cannot be made.
  [[nodiscard]] int32_t CreatePresetEditor(ZR_PresetEditorGui* gui);
  // The window system's rendering services; set before OnCreate.
  void SetRenderPlatform(ZR_RenderPlatform* platform) { m_pPlatform = platform; }
  // The settings values drawing reads (study details, quality levels); defaults without.
  void SetSettingsModel(const ZR_Vis3DSettings* settings) {
    m_pSettingsModel = settings;
    m_pWritableSettings = nullptr;
  }
  // A model the keyboard shortcuts and the lock may also change.
  void SetSettingsModel(ZR_Vis3DSettings* settings) {
    m_pSettingsModel = settings;
    m_pWritableSettings = settings;
  }
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
  // When the drawing area grows beyond the offscreen buffer, a larger one is made; the
  // study details need an area of more than 600 pixels both ways.
  void SetOffscreenSize(int32_t width, int32_t height);

  // --- Redraw (ZR_VisManager_Redraw.cpp) -----------------------------------------------------
  void RedrawPanel(int32_t index, bool swap = true);
  void Repaint(int32_t index);
  // Redraws every panel whose repaint flag is set, clearing the flag first.
  void RepaintFlagged();
  void RedrawViews(bool also3d);
  void SelectQuality(int32_t level, bool invalidate);
  // Clears a panel to black and shows it; true when the buffers were swapped.
  bool ClearPanel(int32_t index);
  // The panel's pixels (its size cut to multiples of 4, rows bottom first, packed), owned by
  // the caller; null when the panel cannot be read.
  std::unique_ptr<uint8_t[]> ReadPanel(int32_t index, int32_t* width, int32_t* height,
                                       uint32_t format, uint32_t type, int32_t components,
                                       int32_t componentBytes, bool fromBack);
  void SetMprViewLimit(int32_t panel) { m_nMprViewLimit = panel; }
  void SetMaximisedSlot(int32_t slot) { m_nMaximisedSlot = slot; }
  void SetRepaintQuality(int32_t quality) override { m_nRepaintQuality = quality; }
  // Full quality for panel 0, with pointer input held off while it renders.
  void RenderFullQuality();
  // While held, no panel is drawn: a script that sets up a view in several steps (load,
  // screen, mode, shading) draws the result once, when it asks for it after releasing.
  void HoldDrawing(bool held) { m_bDrawingHeld = held; }
  // 3D frames the texture renderer has drawn so far (each is a full pass over the slices).
  int64_t FramesDrawn() const { return m_oTexture3dRenderer.FramesDrawn(); }

  // --- Loading (ZR_VisManager_Loading.cpp, ZR_VisManager_Volume.cpp) ------------------------
  // Every loading operation refuses (VR_LD_INVALID_VOLUME, logged, nothing changed) while
  // another one runs: progress updates let the window process events, among them a second
  // "Import DICOM".
  //
  // Reads the first `count` of `files` (at least 10) and opens the subset preview. `count` is
  // lowered to what half the physical memory holds (and to the 2048 slices of a volume).
  // 5 for too few files, 4 when they do not form a volume, 3 when memory runs out; the
  // progress window is closed and no volume is left after every failure.
  [[nodiscard]] int32_t LoadStudy(const std::vector<std::string>& files, int32_t& count);
  // Creates the subset preview for the volume read, hands it to the preview's window and, with
  // `show`, shows it modally. 4 without a volume; 3 when the thumbnails do not fit.
  [[nodiscard]] int32_t StartVolume(bool show);
  // A volume described by another process replaces the current one. Refused (4, nothing
  // changed) while it carries no pixels, which the hand-over record cannot bring yet.
  [[nodiscard]] int32_t LoadHandedOverVolume(std::unique_ptr<ZR_DicomVolume> volume);
  // The hand-over record as received: checked (a short or inconsistent record is refused with
  // 4), then LoadHandedOverVolume.
  [[nodiscard]] int32_t LoadHandedOverRecord(const void* data, size_t size);
  // Assembles the volume's range first..last into the renderers and shows it; null only
  // unloads. The volume must be the one LoadStudy read (GetVolume()).
  [[nodiscard]] int32_t LoadVolume(ZR_DicomVolume* volume) override;
  ZR_DicomVolume* GetVolume() const { return m_pVolume.get(); }
  ZR_VolumePreview* VolumePreview() const { return m_pVolumePreview.get(); }
  ZR_PresetEditor* PresetEditor() const { return m_pPresetEditor.get(); }
  bool IsLoading() const { return m_bLoading; }
  // Pointer input is ignored while this holds: a long render or a load runs.
  bool IsBusy() const { return m_bBusy || m_bLoading; }
  // Voxels the histogram was counted from (those of the full-resolution buffer).
  uint64_t HistogramVoxels() const { return m_nHistogramVoxels; }
  int32_t Reduction() const { return m_nReduction; }
  bool IsSubsampled() const { return m_bSubsampled; }

  // --- Screens (ZR_VisManager_Screens.cpp) ------------------------------------------------------
  // Both return true; while a load runs they change nothing.
  bool Show3DScreen();
  bool ShowMprScreen();
  // `mprOnly` sets the MPR screen's 3D view up instead of panel 0 (and leaves the 3D screen's
  // mode as it is). A number outside the modes changes nothing.
  void SetRenderMode(ZR_RenderMode mode, bool mprOnly);
  ZR_RenderMode RenderMode() const { return m_nRenderMode; }
  ZR_Tool3d Tool3d() const { return m_n3dTool; }

  // --- Commands (ZR_VisManager_Commands.cpp) ----------------------------------------------------
  // The numbered entry point of the main window's controls: the number is the id of the
  // control that sends it, `argument` points at its 4-byte argument (a byte, an int32 or a
  // float) or is null. Numbers whose operation is not there yet are accepted and do nothing.
  void Command(int32_t id, const void* argument = nullptr);
  // The MPR panels' pop-up menu, by menu id; the same rule.
  void MprPopupCommand(int32_t id);
  // The 3D tool buttons: the tool and the cursor of panel 0.
  void Select3dTool(ZR_Tool3d tool) { Set3dTool(tool); }

  // --- Pointer and keyboard (ZR_VisManager_Interaction.cpp, ZR_VisManager_Keys.cpp) -----------
  // Pointer events of the drawing panels, in panel pixels (x to the right, y downwards). None
  // does anything while no volume is loaded or a movie is being rendered into its file; the
  // presses, the move and the left release also wait while a long operation runs.
  void LeftDown(int32_t panel, int32_t x, int32_t y);
  void RightDown(int32_t panel, int32_t x, int32_t y);
  void MiddleDown(int32_t panel, int32_t x, int32_t y);
  void PointerMove(int32_t panel, int32_t x, int32_t y);
  void LeftUp(int32_t panel);
  void RightUp(int32_t panel);
  void MiddleUp(int32_t panel);
  // After the window enlarged or restored the panel: its next move event is ignored.
  void PanelDoubleClick(int32_t panel);
  // A key of the main window (codes of ZR_Keys.h) with the three modifier states; nothing
  // while no volume is loaded or a long operation runs.
  void KeyDown(int32_t key, bool ctrl, bool alt, bool shift);
  // The mouse wheel in the MPR screen: one step of the target view along its normal per call,
  // in the direction of `delta`'s sign (Ctrl: 5 % of the view's depth, Shift: 0.1 units).
  void MouseWheel(int32_t delta, bool ctrl, bool shift);
  // The gesture handler of the 3D views (panels 0 and 8), also replayed by recorded movies.
  // `kind`: 0 a left press, 2 a right press, 4 a move. Movies record the tool by number and
  // convert it back when they replay.
  static constexpr int32_t kLeftPress = 0;
  static constexpr int32_t kRightPress = 2;
  static constexpr int32_t kMove = 4;
  void Drag3D(int32_t panel, int32_t lastX, int32_t lastY, int32_t x, int32_t y, int32_t kind, bool left,
              bool middle, bool right, ZR_Tool3d tool);
  // After a transfer-function drag: the tables uploaded and the views redrawn.
  void RedrawAfterTableChange(bool alsoMpr);

  // --- Tools, modes and the MPR layout (ZR_VisManager_Keys.cpp, ZR_VisManager_Mpr.cpp) -------
  // Restore gives back the tool that the last non-measurement choice replaced; a number
  // outside the tools changes nothing.
  void SetMprTool(ZR_MprTool tool);
  void SetSnapshotMode(bool on);
  // The crosshair button (command 44): released, it lets go of a grabbed line; the MPR views
  // redraw.
  void CrosshairCommand(bool down);
  // The MPR layout back to its standard planes; the MPR views and panel 8 redraw.
  void ResetMpr();
  // The 3D view's rotation snapped to the nearest axis-aligned one.
  void AlignToAxes();
  // Standard orientation 0..5 (L, R, A, P, I, S): of the active MPR view in the MPR screen, of
  // the 3D view in the 3D screen.
  void ShowStandardOrientation(int32_t code);
  // Turns an MPR view's plane about its own right and up directions (degrees), or moves it
  // along its normal (millimetres); the views redraw.
  void TurnMprView(int32_t panel, float degreesAboutRight, float degreesAboutUp);
  void MoveMprView(int32_t panel, float millimetres);
  const MprViewInfo& MprView(int32_t panel) const { return m_aMprViews[panel]; }
  int32_t ActiveMprView() const { return m_nActiveMprView; }
  int32_t MainMprView() const { return m_nMainMprView; }
  ZR_MprTool MprTool() const { return m_nMprTool; }
  int32_t CrosshairDrag() const { return m_nCrosshairDrag; }
  int32_t LineDrag() const { return m_nLineDrag; }
  bool CrosshairShown() const { return m_bCrosshair; }
  bool SnapshotMode() const { return m_bSnapshotMode; }
  const ZR_OrthoViews& OrthoViews() const { return m_oOrthoViews; }
  // Where the orthogonal panes' slice lines are (ZR_OrthoSliceLines codes 1..6, index code - 1).
  const int32_t* SliceLines() const { return m_aSliceLines; }
  // The box extent E the MPR views span and the physical length P (mm) of the largest side.
  float MprExtent() const;
  float PhysicalLength() const;

  // --- Settings (ZR_VisManager_Settings.cpp) -----------------------------------------------------
  // Applies one setting item of the settings model; ignored while a load runs.
  void ApplySetting(int32_t id);

  // --- Preset engine host -------------------------------------------------------------------
  void RedrawForPresetEditor(int32_t quality) override;

  // --- Read access for the window and tests --------------------------------------------------
  const std::string& AppDir() const { return m_sAppDir; }
  const std::string& CaptureDir() const { return m_sCaptureDir; }
  void SetCaptureDir(const std::string& dir) { m_sCaptureDir = dir; }
  bool IsInitialised() const { return m_bInitialised; }
  bool IsVolumeLoaded() const { return m_bVolumeLoaded; }
  bool IsSoftwareRendering() const { return m_bSoftwareRendering; }
  bool IsShading() const { return m_bShading; }
  const ZR_TrackballView& Trackball() const { return m_oTrackball; }
  ZR_VisGui* AppGui() const { return m_pAppGui; }
  ZR_ProgressBar* ProgressBar() const { return m_pProgressBar; }
  ZR_Settings* Settings() const { return m_pSettings; }
  ZR_ImageGallery* ImageGallery() const { return m_pImageGallery; }
  ZR_Movie* Movie() const { return m_pMovie; }
  ZR_Series* SeriesWriter() const { return m_pSeriesWriter; }
  ZR_VisGui* VolumePreviewGui() const { return m_pVolumePreviewGui; }
  const ZR_ViewportTable* Viewports() const { return m_pViewports; }
  int32_t RenderQuality() const { return m_nRenderQuality; }
  ZR_Screen Screen() const { return m_nScreen; }
  bool CanShade() const { return m_bCanShade; }
  bool IsOffscreenReady() const { return m_bOffscreenReady; }
  bool IsLargeViewport() const { return m_bLargeViewport; }
  const PBuffer* OffscreenBuffer() const { return m_pPBuffer.get(); }
  RenderShared& Shared() { return m_oShared; }
  ZR_Texture3dRenderer& TextureRenderer() { return m_oTexture3dRenderer; }
  ZR_SoftwareRenderer& SoftwareRenderer() { return m_oSoftwareRenderer; }
  ZR_VolumeRenderer* CurrentRenderer() const { return m_pRenderer; }
  OpenGlText& Text() { return m_oText; }

  static constexpr uint64_t kLowMemoryMiB = 256;
  // The slice limit of the texture renderer (the size of the volume's slice table).
  static constexpr int32_t kMaxSlices = 2048;
  static constexpr int32_t kFontHeight = 14;

 protected:
  // Creates the pixel formats and the shared rendering context and probes the adapter;
  // returns 0, VR_OG_PIXEL_FORMAT, VR_OG_CONTEXT, VR_OG_SW_RENDER or VR_OG_NOT_SUPPORTED and
  // sets m_bSoftwareRendering, m_bCanShade and m_sGlRenderer. Virtual so that the start-up
  // messages can be exercised with a chosen result.
  [[nodiscard]] virtual int32_t CreateOpenGlViewports();
  // Logs the adapter's identification and whether it is on the qualified list; the list
  // never refuses an adapter (what it can do is detected instead).
  void IdentifyAdapter();
  void CreateFont(ZR_DrawSurface& panel);
  // The panels of the MPR screen at their standard planes; view 6 active and shown by panel 8.
  void ResetMprPlanes();
  // Resetting the layout for a screen: the MPR planes for the MPR screen, then for either:
  // curved MPR of the active view off, snapshot mode ended, the views repainted.
  void ResetMprLayout(ZR_Screen screen);

  // --- Interaction (ZR_VisManager_Interaction.cpp, ZR_VisManager_Mpr.cpp) ---------------------
  bool PointerAllowed() const { return m_bVolumeLoaded && !m_bMovieRecording; }
  // The panel's pixel size from the viewport table (0 without one).
  int32_t PanelWidth(int32_t panel) const;
  int32_t PanelHeight(int32_t panel) const;
  ZR_MprPane MprPane(int32_t panel) const;
  // The cursor of a panel while the pointer moves over it with no left button held.
  void SetPointerCursor(int32_t panel, int32_t x, int32_t y);
  // A move with a button held in panel 0 or 8; false when the step was dropped (a small step
  // while movie capture is on).
  bool Drag3DPanel(int32_t panel, int32_t lastX, int32_t lastY, int32_t x, int32_t y);
  // Another MPR view (4..7) becomes the active one unless the lock holds the current one;
  // true when it changed.
  bool ActivateMprView(int32_t panel);
  // A press in an MPR view: it becomes the active one, and panel 8 shows the target plane.
  void PressInMprView(int32_t panel);
  // While Lock Active View holds, only the active view steers panel 8.
  bool SteersMprView3D(int32_t panel) const { return !m_bLockActiveView || panel == m_nActiveMprView; }
  // Panel 8 shows `panel`'s plane (the target) and, with `redraw`, draws it.
  void PointMprView3D(int32_t panel, bool redraw);
  void DragInMprView(int32_t panel, int32_t x, int32_t y, int32_t dx, int32_t dy);
  void DragInMprView3D(int32_t panel, int32_t lastX, int32_t lastY, int32_t x, int32_t y, bool left,
                       bool middle, bool right);
  // The target view's slab extent by a middle-button drag; true when it changed.
  bool ChangeTargetSlabExtent(int32_t dx);
  void DragSliceLine(int32_t panel, int32_t dx, int32_t dy);
  void DragTable(int32_t dx, int32_t dy, bool colour);
  void RenderPanel0FullQuality();
  // Panel 8 at the given quality, cut by the main MPR view's plane.
  void DrawMprView3D(int32_t quality, bool swap);
  // The crosshair lines over MPR view `index` (its rectangles are stored as drawn).
  void DrawCrosshairs(int32_t index);
  void UpdateSliceLines(int32_t panel);
  void ToggleSetting(int32_t id);

  // --- Operations of tools whose subsystems come later -------------------------------------------
  // Each is called where the dispatch needs it and does nothing until its subsystem fills it
  // in (capture, measurements, curved MPR, VOI, region of interest, cut plane, movie).
  virtual void CaptureView(int32_t panel);
  virtual void StartMeasurement(int32_t panel, int32_t x, int32_t y);
  virtual void DragMeasurement(int32_t panel, int32_t x, int32_t y);
  virtual void HoverMeasurement(int32_t panel, int32_t x, int32_t y);
  virtual void CurvePress(int32_t panel, int32_t x, int32_t y, bool right);
  virtual void CurveHover(int32_t panel, int32_t x, int32_t y);
  virtual void CurveDrag(int32_t panel, int32_t x, int32_t y);
  virtual void RestartCurve();
  virtual void DeleteCurvePoint();
  // The VOI box edge of an orthogonal pane under the pointer (24..29), 0 for none.
  virtual int32_t PickVoiFace(int32_t panel, int32_t x, int32_t y);
  virtual void DragVoiEdge(int32_t panel, int32_t dx, int32_t dy);
  virtual void DragVoi(ZR_Tool3d tool, int32_t dx, bool left, bool middle, bool right);
  virtual void RoiPress(int32_t kind, int32_t x, int32_t y);
  virtual void ClearRoi();
  virtual void DragCutPlane(int32_t panel, int32_t lastX, int32_t lastY, int32_t x, int32_t y, bool left);
  virtual void RecordMovieEvent(int32_t panel, int32_t lastX, int32_t lastY, int32_t x, int32_t y, bool left,
                                bool middle, bool right, ZR_Tool3d tool);
  // The type buttons and slab controls show the active view's settings.
  virtual void RefreshMprControls();

  // --- Drawing (ZR_VisManager_Redraw.cpp, ZR_VisManager_Panels.cpp) --------------------------
  // The last 3D frame was drawn into this panel at its present size and is still current.
  bool HoldsLastFrame(int32_t index) const;
  void Draw3DPanel(int32_t index, float panX, float panY, float zoom, bool swap);
  void DrawOrthoPanel(int32_t index, int32_t axis, bool swap);
  void DrawMprPanel(int32_t index, bool swap);
  void DrawCurvePanel(bool swap, bool preview);
  void DrawStudyDetails(int32_t index);
  // The panel's surface made current with the viewport over the whole panel; null when the
  // panel has no surface or it cannot be made current.
  ZR_DrawSurface* MakePanelCurrent(int32_t index);
  // The offscreen buffer made current for a capture, when one is running and it is ready.
  ZR_DrawSurface* MakeCaptureTargetCurrent();
  bool CaptureRunning() const { return m_bMovieRecording || m_bRadialSeries || m_bMultiCutSeries; }
  bool OffscreenCapture() const { return CaptureRunning() && m_bOffscreenReady; }
  bool ShowStudyDetails() const;
  ZR_GlFunctions* Gl() const { return m_oShared.Gl(); }

  // --- Loading (ZR_VisManager_Loading.cpp, ZR_VisManager_Volume.cpp) ------------------------
  // Called before each allocation of a load (the volume record, the thumbnails, the upload
  // buffers, the assembly, the region buffers, the study information...), naming it. A test
  // throws std::bad_alloc from here to follow every failure path.
  virtual void BeforeAllocation(const char* what);
  [[nodiscard]] int32_t ReadStudy(const std::vector<std::string>& files, int32_t& count);
  [[nodiscard]] int32_t LoadVolumeNow(ZR_DicomVolume* volume);
  // Steps 4..23 of a load; a result code, or std::bad_alloc.
  [[nodiscard]] int32_t AssembleAndShow(ZR_DicomVolume& volume);
  [[nodiscard]] int32_t FillVoxels(ZR_DicomVolume& volume);
  void MakeUndoCopies(const ZR_DicomVolume& volume);
  [[nodiscard]] int32_t BuildReducedVoxels();
  [[nodiscard]] int32_t UploadTextures();
  void CompleteLoad(ZR_DicomVolume& volume);
  // Unmaps what a failed load left mapped.
  void AbortLoad();
  // Releases the loaded volume from the renderers; `forNewLoad` also forgets its buffers.
  void UnloadVolume(bool forNewLoad);
  void DeletePreview();
  // The full (false) or the reduced (true) copy becomes the texture renderer's current one.
  void UseCopy(bool reduced);
  // That copy's upload buffer, sized for the current dimensions and mapped for writing;
  // std::bad_alloc when the driver cannot give or map it.
  uint16_t* AllocateAndMap(bool reduced, const char* what);
  void Progress(int32_t position);
  void EnableNavigation(bool on);

  // --- Screens and modes (ZR_VisManager_Screens.cpp) ----------------------------------------------
  bool Show3DScreenNow();
  bool ShowMprScreenNow();
  void SetRenderModeNow(ZR_RenderMode mode, bool mprOnly);
  void ApplyRenderMode(ZR_RenderMode mode, int32_t panel);
  // The renderer's view window and rotation, the cut plane and the VOI back to their defaults.
  void ResetViewState();
  void ResetVoi();
  void Set3dTool(ZR_Tool3d tool);
  void Enable3dToolControls(bool on);
  void ApplySettingNow(int32_t id);

  // --- Collaborators handed over by the main window (never deleted here) --------------------
  ZR_VisGui* m_pAppGui = nullptr;
  ZR_Settings* m_pSettings = nullptr;
  ZR_ImageGallery* m_pImageGallery = nullptr;
  ZR_Movie* m_pMovie = nullptr;
  ZR_Series* m_pSeriesWriter = nullptr;
  ZR_ProgressBar* m_pProgressBar = nullptr;
  ZR_VisGui* m_pVolumePreviewGui = nullptr;

  // --- Rendering back end --------------------------------------------------------------------
  RenderShared& m_oShared;
  OpenGlText& m_oText;
  ZR_RenderPlatform* m_pPlatform = nullptr;
  const ZR_Vis3DSettings* m_pSettingsModel = nullptr;
  ZR_Vis3DSettings* m_pWritableSettings = nullptr;
  ZR_GpuPrograms m_oPrograms;
  ZR_Texture3dRenderer m_oTexture3dRenderer;
  ZR_SoftwareRenderer m_oSoftwareRenderer;
  ZR_VolumeRenderer* m_pRenderer;
  bool m_bContextCreated = false;  // the shared rendering context exists
  std::unique_ptr<PBuffer> m_pPBuffer;

  // --- Loaded study ----------------------------------------------------------------------------
  std::unique_ptr<ZR_DicomVolume> m_pVolume;
  std::unique_ptr<ZR_VolumePreview> m_pVolumePreview;
  std::unique_ptr<ZR_PresetEditor> m_pPresetEditor;
  // The upload buffers while they are mapped for the assembly (null otherwise).
  uint16_t* m_pVoxels = nullptr;
  uint16_t* m_pReducedVoxels = nullptr;
  bool m_bFullMapped = false;
  bool m_bReducedMapped = false;
  int32_t m_aVoxelDims[3] = {0, 0, 0};
  int32_t m_aReducedDims[3] = {0, 0, 0};
  uint64_t m_nHistogramVoxels = 0;
  float m_aPixelSpacing[3] = {0, 0, 0};
  // Region editing: the selection mask and the sculpt undo copies (raw slices, their voxels,
  // the reduced slices).
  std::unique_ptr<uint8_t[]> m_pMask;
  std::vector<std::unique_ptr<uint16_t[]>> m_aUndoRaw, m_aUndoVoxels, m_aUndoReduced;
  std::vector<uint16_t*> m_apUndoRaw, m_apUndoVoxels;
  bool m_bLoading = false;           // a load runs: a second one is refused
  bool m_bSettingsApplied = false;   // the first load of the run applied the settings

  // --- Panels --------------------------------------------------------------------------------
  ZR_ViewportTable* m_pViewports = nullptr;
  uint8_t* m_pRepaintFlags = nullptr;
  int32_t m_nOffscreenWidth = 0;
  int32_t m_nOffscreenHeight = 0;
  bool m_bOffscreenReady = false;
  bool m_bLargeViewport = true;
  bool m_bDrawing = false;  // a panel is being drawn: redraw requests are dropped
  bool m_bDrawingHeld = false;

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
  bool m_bJustLoaded = false;  // the textures were just uploaded (one residency retry)
  // Orientation-label indices of the volume's six directions (-x, +x, -y, +y, -z, +z).
  int32_t m_aLabelIndices[6] = {1, 0, 3, 2, 4, 5};
  std::vector<ZR_StudyLine> m_aStudyLines;
  std::string m_sVoxelSize;

  // --- Rendering -------------------------------------------------------------------------------
  int32_t m_nRenderQuality = 0;
  int32_t m_nStillQuality = 3;
  int32_t m_nRepaintQuality = 3;
  // The 3D panel the last 3D frame was drawn into, for which view (the renderer's change
  // count), at which quality and size: while they hold, its buffer still holds that picture,
  // so a repaint of it (an expose, a layout pass) shows it again.
  struct LastFrame {
    int32_t nPanel = -1;
    int64_t nChanges = -1;
    bool bReduced = false;
    int32_t nReduction = 1;
    float fRate = 0;
    int32_t aSize[2] = {0, 0};
  };
  LastFrame m_oLastFrame;
  int32_t m_nFinalMethod = 2;
  ZR_RenderMode m_nRenderMode = ZR_RenderMode::Colour;
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
  ZR_Screen m_nScreen = ZR_Screen::Mpr;

  // --- Tools and views -------------------------------------------------------------------------
  ZR_Tool3d m_n3dTool = ZR_Tool3d::Rotate;
  ZR_MprTool m_nMprTool = ZR_MprTool::WindowLevel;
  int32_t m_nCrosshairDrag = 0;
  int32_t m_nVoiEdge = 0;
  ZR_TrackballView m_oTrackball{1024, 768, 512.0};
  int32_t m_nActiveMprView = ZR_Panel::Mpr2;
  int32_t m_nMprViewLimit = ZR_Panel::None;
  int32_t m_nMaximisedSlot = 5;
  int32_t m_nMainMprView = ZR_Panel::Mpr2;
  int32_t m_nMeasureView = ZR_Panel::None;
  int32_t m_nPickTolerance = 12;
  ZR_MprTool m_nRememberedMprTool = ZR_MprTool::WindowLevel;  // what Restore gives back
  int32_t m_nLineDrag = 0;           // slice line grabbed in an orthogonal pane (1..6)
  bool m_bVoiEdgeHit = false;
  int32_t m_aSliceLines[6] = {0, 0, 0, 0, 0, 0};
  int32_t m_nLabels = 0;
  MprViewInfo m_aMprViews[ZR_Panel::kPanelCount];
  ZR_OrthoViews m_oOrthoViews;

  // --- Cut plane and MIP threshold -------------------------------------------------------------
  bool m_bCutView = false;
  bool m_bCutaway = false;  // cutaway correlation: panel 8 is cut by the main MPR view's plane
  CutPlaneSettings m_oCutPlaneDisplay;
  bool m_bMipThreshold = false;
  int32_t m_nMipThresholdIndex = 0;

  // --- Pointer ---------------------------------------------------------------------------------
  int32_t m_nLastX = 0;
  int32_t m_nLastY = 0;
  bool m_bLeftDown = false;
  bool m_bRightDown = false;
  bool m_bMiddleDown = false;
  bool m_bMoved = false;     // the pointer moved since the last press
  bool m_bSkipMove = false;  // the next move is ignored (after a double click)
  bool m_bReleased = false;  // a button was released; cleared by the next handled move
  bool m_bCapturing = false; // a snapshot of a panel is being taken
  bool m_bMovieCapture = false;  // movie capture on: drags are recorded

  // --- Captures --------------------------------------------------------------------------------
  bool m_bMovieRecording = false;
  bool m_bRadialSeries = false;
  bool m_bMultiCutSeries = false;

  // --- Output ----------------------------------------------------------------------------------
  std::string m_sAppDir;
  std::string m_sCaptureDir;
  int32_t m_nSnapshotCount = 0;
  int32_t m_nSeriesCount = 0;
  bool m_bSnapshotMode = false;
  int32_t m_nSavedCursor = 0;
};
