#pragma once
// The one engine object: owns the volume, the renderers and every piece of viewing state, and
// drives the user interface back only through the GUI contracts. Its operations are split by
// topic over ZR_VisManager_*.cpp.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/ZR_Ids.h"
#include "core/ZR_Result.h"
#include "core/ZR_ViewportTable.h"
#include "core/ZR_Vocabulary.h"
#include "manager/ZR_LoadState.h"
#include "manager/ZR_MprLayout.h"
#include "manager/ZR_PointerState.h"
#include "manager/ZR_ScreenState.h"
#include "manager/ZR_RunState.h"
#include "manager/ZR_AdapterState.h"
#include "manager/ZR_VolumeState.h"
#include "edit3d/ZR_VoiOutline.h"
#include "measure/ZR_Annotations.h"
#include "measure/ZR_MeasureState.h"
#include "output/ZR_MoviePath.h"
#include "output/ZR_Radials.h"
#include "output/ZR_RadialsHost.h"
#include "output/ZR_RadialsSettings.h"
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
class ZR_Radials;
class ZR_RadialsGui;
struct ZR_SaveInfo;
class ZR_Image;
class ZR_RenderPlatform;
class ZR_Vis3DSettings;
class ZR_DicomVolume;
class ZR_VolumePreview;
class ZR_PresetEditor;
class ZR_PresetEditorGui;

// The manager loads the ranges the subset preview chooses and redraws for the preset engine.
class ZR_VisManager : public ZR_VolumeLoader, public ZR_PresetEditorHost, public ZR_RadialsHost {
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
  // Also hands the writer the movie settings of the settings model.
  void SetMovie(ZR_Movie* movie);
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
  const uint8_t* RepaintFlags() const { return m_pRepaintFlags; }

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
  void SetMprViewLimit(int32_t panel) { m_oMpr.nViewLimit = panel; }
  void SetMaximisedSlot(int32_t slot) { m_oMpr.nMaximisedSlot = slot; }
  void SetRepaintQuality(int32_t quality) override { m_oScreen.nRepaintQuality = quality; }
  // Full quality for panel 0, with pointer input held off while it renders.
  void RenderFullQuality();
  // While held, no panel is drawn: a script that sets up a view in several steps (load,
  // screen, mode, shading) draws the result once, when it asks for it after releasing.
  void HoldDrawing(bool held) { m_oRun.bDrawingHeld = held; }
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
  bool IsLoading() const { return m_oLoad.bLoading; }
  // Pointer input is ignored while this holds: a long render or a load runs.
  bool IsBusy() const { return m_oRun.bBusy || m_oLoad.bLoading; }
  // Voxels the histogram was counted from (those of the full-resolution buffer).
  uint64_t HistogramVoxels() const { return m_oLoad.nHistogramVoxels; }
  int32_t Reduction() const { return m_oVolume.nReduction; }
  bool IsSubsampled() const { return m_oVolume.bSubsampled; }

  // --- Screens (ZR_VisManager_Screens.cpp) ------------------------------------------------------
  // Both return true; while a load runs they change nothing.
  bool Show3DScreen();
  bool ShowMprScreen();
  // `mprOnly` sets the MPR screen's 3D view up instead of panel 0 (and leaves the 3D screen's
  // mode as it is). A number outside the modes changes nothing.
  void SetRenderMode(ZR_RenderMode mode, bool mprOnly);
  ZR_RenderMode RenderMode() const { return m_oScreen.nRenderMode; }
  ZR_Tool3d Tool3d() const { return m_oScreen.nTool3d; }

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
  // Crosshair lines shown or not (the crosshair button, Ctrl+X, the setting): the MPR views'
  // lines and the orthogonal panes' crosshair; hidden, a grabbed line is let go. The setting
  // follows and is marked changed; the views redraw.
  void SetCrosshair(bool shown);
  // The MPR views in grey (the window) or through the colour table; the setting follows.
  void SetGrayMpr(bool gray);
  // The layout (single, multi-MPR series, slab) of an MPR view, which becomes the one panel 8
  // shows; the MPR controls follow the active view. A number outside 4..7 or the layouts
  // changes nothing.
  void SetMprLayout(int32_t panel, int32_t layout);
  // The active view stays active whatever the pointer does; `markChanged` marks the settings.
  void SetLockActiveView(bool locked, bool markChanged);
  bool LockActiveView() const { return m_oMpr.bLockActiveView; }
  // The MPR layout back to its standard planes; the MPR views and panel 8 redraw.
  void ResetMpr();
  // The 3D view as a fresh load shows it: view window, rotation, cut plane and VOI (off);
  // then the MPR layout of the screen shown.
  void ResetView();

  // --- Cut plane and VOI (ZR_VisManager_CutVoi.cpp) ------------------------------------------
  // The 3D view clipped by the cut plane (and showing it, as the settings ask).
  void SetCutView(bool on);
  bool CutView() const { return m_oScreen.bCutView; }
  // Panel 8 clipped by the plane of the MPR view it shows.
  void SetCutaway(bool on);
  bool Cutaway() const { return m_oScreen.bCutaway; }
  // While on, panel 8 follows the MPR views as they are dragged ("Update on Drag"); the
  // setting follows.
  void SetCutPlaneDrag(bool on);
  // The cut plane of the 3D view put on the plane of an MPR view (4..7): its normal is the
  // cut's normal, its centre the cut's origin.
  void AlignCutPlaneToMprView(int32_t panel);
  // Command 31: the VOI on or off, with its two tools.
  void SetVoiEnabled(bool on);
  bool VoiEnabled() const { return m_oShared.VoiEnabled(); }
  const ZR_Box& Voi() const { return m_oShared.GetVoi(); }
  // The VOI box, in voxels of the full volume (centre from the first voxel corner); a size
  // that is not positive in every axis is refused (false, nothing changed).
  bool SetVoi(const ZR_Box::Vector& size, const ZR_Box::Vector& position);
  // Where an orthogonal pane (1..3) draws the VOI outline, as last drawn.
  const ZR_VoiOutline::Edges& VoiEdges(int32_t panel) const { return m_oScreen.aVoiEdges[std::clamp(panel, 1, 3) - 1]; }
  // The 3D view's rotation snapped to the nearest axis-aligned one.
  void AlignToAxes();
  // Standard orientation 0..5 (L, R, A, P, I, S): of the active MPR view in the MPR screen, of
  // the 3D view in the 3D screen.
  void ShowStandardOrientation(int32_t code);
  // Turns an MPR view's plane about its own right and up directions (degrees), or moves it
  // along its normal (millimetres); the views redraw.
  void TurnMprView(int32_t panel, float degreesAboutRight, float degreesAboutUp);
  void MoveMprView(int32_t panel, float millimetres);
  const MprViewInfo& MprView(int32_t panel) const { return m_oMpr.aViews[panel]; }
  int32_t ActiveMprView() const { return m_oMpr.nActiveView; }
  int32_t MainMprView() const { return m_oMpr.nMainView; }
  ZR_MprTool MprTool() const { return m_oMpr.nTool; }
  int32_t CrosshairDrag() const { return m_oMpr.nCrosshairDrag; }
  int32_t LineDrag() const { return m_oPointer.nLineDrag; }
  bool CrosshairShown() const { return m_oMpr.bCrosshair; }
  bool SnapshotMode() const { return m_oScreen.bSnapshotMode; }
  const ZR_OrthoViews& OrthoViews() const { return m_oMpr.oOrthoViews; }
  // Where the orthogonal panes' slice lines are (ZR_OrthoSliceLines codes 1..6, index code - 1).
  const int32_t* SliceLines() const { return m_oMpr.aSliceLines; }
  // The box extent E the MPR views span and the physical length P (mm) of the largest side.
  float MprExtent() const;
  float PhysicalLength() const;

  // --- Movies (ZR_VisManager_Movie.cpp) -------------------------------------------------------
  // Movie capture on: the view's state is kept and large enough drags are recorded. Off: with
  // a name (or saving to the folder) the drags are replayed into the movie writer, one frame
  // each, with the study's summary in a text file beside it; the recording is dropped.
  void ToggleMovie(bool on, const std::string& name);
  bool MovieCapture() const { return m_oPointer.bMovieCapture; }
  int32_t MovieEventCount() const { return m_oMoviePath.EventCount(); }
  // The progress window's Cancel: the movie stops after the current frame and is not kept.
  void CancelMovie();
  // The text file beside a movie: its name with ".txt" for its extension ("" without one;
  // name + ".txt" when the movie itself ends in ".txt").
  static std::string MovieTextName(const std::string& movie);

  // --- Radial series (ZR_VisManager_Radials.cpp) ---------------------------------------------
  // The dialog's contract: the manager makes the driver that keeps its parameters and takes
  // the two preview panels' surfaces as viewports 10 and 11. Null: no dialog.
  void SetRadialsGui(ZR_RadialsGui* gui);
  ZR_Radials* Radials() const { return m_pRadials.get(); }
  // The "Radials" button: a marked region goes, the dialog shows.
  void StartRadialSeries();
  // The driver's commands (ZR_RadialCommand); nothing while the manager is busy.
  void RadialCommand(int32_t command, const ZR_SaveInfo* request) override;
  // What a radial series does with its frames.
  static constexpr int32_t kRadialStartPreview = 0;
  static constexpr int32_t kRadialEndPreview = 1;
  static constexpr int32_t kRadialShow = 2;
  static constexpr int32_t kRadialSaveAll = 3;
  static constexpr int32_t kRadialStoreAll = 4;
  // Renders a preview, plays the series in the 3D view, or captures it into the movie writer
  // (output 1, the request naming the movie) or the series writer (written on save, as the
  // request names it or to the folder's next "lmx-series<N>-"). The view's own turn comes
  // back afterwards. A result code: VR_OG_CONTEXT when no context could be made current,
  // VR_WRITE_FAILED when a save wrote nothing whole or was cancelled.
  int32_t RenderRadials(int32_t kind, const ZR_RadialsSettings& settings, const ZR_SaveInfo* request);
  // The progress window's Cancel: the series stops after its current frame.
  void CancelRadialSeries();

  // --- Slabs and multi-MPR series (ZR_VisManager_Series.cpp) ---------------------------------
  // What the series loop does with its slices.
  static constexpr int32_t kSeriesView = 0;
  static constexpr int32_t kSeriesSave = 1;
  static constexpr int32_t kSeriesStore = 2;
  // One voxel of the volume along its largest side, in normalised units (mm / P).
  float VoxelStep() const;
  // The sub-planes a slab of normalised thickness `thickness` integrates: one a voxel, at
  // least one.
  int32_t SlabPlanes(float thickness) const;
  // Where slice i of a pane's series is centred along its normal (normalised; +E/2 - i E/c).
  float SeriesSliceCentre(int32_t panel, int32_t slice) const;
  // Draws (view), or captures and writes (save) or captures (store), the pane's slices; the
  // save request may be null for a raw 16-bit series to the automatic name. A result code:
  // VR_WRITE_FAILED when a save wrote nothing or not everything.
  int32_t RenderMprSeries(int32_t panel, int32_t action, const ZR_SaveInfo* request);
  // The files of any series written under `baseName` in `mode` (the base, a number, the
  // mode's extension) that are there now.
  static std::vector<std::string> SeriesFilesFound(const std::string& baseName, int32_t mode);
  // How long viewing a series shows each slice (ms); the command line and tests shorten it.
  void SetSeriesPause(int32_t ms) { m_nSeriesPauseMs = std::max(ms, 0); }

  // --- Captures (ZR_VisManager_Capture.cpp) --------------------------------------------------
  // Where a capture goes: the gallery (or, saving to the folder, a file), a movie frame, the
  // series writer.
  static constexpr int32_t kToSnapshot = 0;
  static constexpr int32_t kToMovie = 1;
  static constexpr int32_t kToSeries = 2;
  // What a view shows, with its spacing, window and (grey MPR views) its patient plane; a
  // result code (VR_WRITE_FAILED when nothing could be read, written or kept; a write or a
  // full gallery is also shown to the user).
  int32_t CaptureView(int32_t panel, int32_t destination, int32_t frame);
  // The software renderer's picture of an MPR view (4..7) in the study's values: to the next
  // free "lmx<N>.dcm" of the capture folder, or to the series writer.
  // Virtual so that tests can see the key dispatched.
  virtual int32_t CaptureRawView(int32_t panel, int32_t destination);
  // A capture of a view written to `file` in a write mode (the grey modes take the raw
  // picture, the others the screen's), as the study's capture series.
  int32_t WriteView(int32_t panel, int32_t mode, const std::string& file);
  // The next file name a capture to the folder takes.
  std::string NextCaptureName() const;

  // --- Settings (ZR_VisManager_Settings.cpp) -----------------------------------------------------
  // Applies one setting item of the settings model; ignored while a load runs.
  void ApplySetting(int32_t id);
  // The items the settings dialog reports changed, each applied; a shading change renders
  // the 3D view once while interacting and once at full quality.
  void ApplyChangedSettings();

  // --- Preset engine host -------------------------------------------------------------------
  void RedrawForPresetEditor(int32_t quality) override;

  // --- Read access for the window and tests --------------------------------------------------
  const std::string& AppDir() const { return m_sAppDir; }
  const std::string& CaptureDir() const { return m_sCaptureDir; }
  void SetCaptureDir(const std::string& dir) { m_sCaptureDir = dir; }
  bool IsInitialised() const { return m_bInitialised; }
  bool IsVolumeLoaded() const { return m_oVolume.bLoaded; }
  bool IsSoftwareRendering() const { return m_oAdapter.bSoftwareRendering; }
  bool IsShading() const { return m_oScreen.bShading; }
  const ZR_TrackballView& Trackball() const { return m_oScreen.oTrackball; }
  ZR_VisGui* AppGui() const { return m_pAppGui; }
  ZR_ProgressBar* ProgressBar() const { return m_pProgressBar; }
  ZR_Settings* Settings() const { return m_pSettings; }
  ZR_ImageGallery* ImageGallery() const { return m_pImageGallery; }
  ZR_Movie* Movie() const { return m_pMovie; }
  ZR_Series* SeriesWriter() const { return m_pSeriesWriter; }
  ZR_VisGui* VolumePreviewGui() const { return m_pVolumePreviewGui; }
  const ZR_ViewportTable* Viewports() const { return m_pViewports; }
  int32_t RenderQuality() const { return m_oScreen.nRenderQuality; }
  ZR_Screen Screen() const { return m_oScreen.nScreen; }
  bool CanShade() const { return m_oAdapter.bCanShade; }
  bool IsOffscreenReady() const { return m_bOffscreenReady; }
  bool IsLargeViewport() const { return m_oAdapter.bLargeViewport; }
  const PBuffer* OffscreenBuffer() const { return m_pPBuffer.get(); }
  RenderShared& Shared() { return m_oShared; }
  ZR_Texture3dRenderer& TextureRenderer() { return m_oTexture3dRenderer; }
  ZR_SoftwareRenderer& SoftwareRenderer() { return m_oSoftwareRenderer; }
  ZR_VolumeRenderer* CurrentRenderer() const { return m_pRenderer; }
  OpenGlText& Text() { return m_oText; }

  // --- Topic state ---------------------------------------------------------------------------------
  // Read access for the window and tests.
  const ZR_LoadState& LoadState() const { return m_oLoad; }
  const ZR_VolumeState& VolumeState() const { return m_oVolume; }
  const ZR_ScreenState& ScreenState() const { return m_oScreen; }
  const ZR_MprLayout& MprLayout() const { return m_oMpr; }
  const ZR_PointerState& PointerState() const { return m_oPointer; }
  const ZR_RunState& RunState() const { return m_oRun; }
  const ZR_AdapterState& AdapterState() const { return m_oAdapter; }
  // For tests that put the manager into a situation its operations would take many steps to
  // reach (a screen without a volume, a tool with no button yet); the program never writes
  // through these.
  ZR_LoadState& LoadStateForSetUp() { return m_oLoad; }
  ZR_VolumeState& VolumeStateForSetUp() { return m_oVolume; }
  ZR_ScreenState& ScreenStateForSetUp() { return m_oScreen; }
  ZR_MprLayout& MprLayoutForSetUp() { return m_oMpr; }
  ZR_PointerState& PointerStateForSetUp() { return m_oPointer; }
  ZR_RunState& RunStateForSetUp() { return m_oRun; }
  ZR_AdapterState& AdapterStateForSetUp() { return m_oAdapter; }

  static constexpr uint64_t kLowMemoryMiB = 256;
  // The slice limit of the texture renderer (the size of the volume's slice table).
  static constexpr int32_t kMaxSlices = 2048;
  static constexpr int32_t kFontHeight = 14;

 protected:
  // Creates the pixel formats and the shared rendering context and probes the adapter;
  // returns 0, VR_OG_PIXEL_FORMAT, VR_OG_CONTEXT, VR_OG_SW_RENDER or VR_OG_NOT_SUPPORTED and
  // sets m_oAdapter.bSoftwareRendering, m_oAdapter.bCanShade and m_oAdapter.sGlRenderer. Virtual so that the start-up
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
  bool PointerAllowed() const { return m_oVolume.bLoaded && !m_oRun.bMovieRecording; }
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
  bool SteersMprView3D(int32_t panel) const { return m_oMpr.Steers(panel); }
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

  // --- The slab loop's drawing (ZR_VisManager_Series.cpp); virtual so that tests can record
  // the sub-planes and blend equations of a slab.
  // The background and blend equation of a slab mode (MprViewInfo::kMpvr, kMinIp, kMip).
  virtual void BeginSlab(int32_t panel, int32_t mode);
  // The pane's plane shifted by `offset` (normalised) along its normal, blended in.
  virtual void DrawSlabPlane(int32_t panel, float offset);
  virtual void EndSlab();
  // One slab of the pane centred `centre` along its normal, `thickness` thick (normalised).
  void DrawSlab(int32_t panel, float centre, float thickness, bool highlight);
  // The slab as the software renderer combines it.
  ZR_SlabSpec SlabSpec(int32_t panel, float centre, float thickness) const;
  // A pane of type slab, as its redraw shows it.
  void DrawSlabPanel(int32_t index, bool swap);
  // The recorded drags replayed into the movie writer; false when no movie was kept.
  bool CreateMovie(const std::string& name);
  // Asked once before a series replaces the files `found`: false when the user keeps them.
  bool ConfirmSeriesOverwrite(const std::vector<std::string>& found, const std::string& baseName);

  // --- Operations of tools whose subsystems come later -------------------------------------------
  // Each is called where the dispatch needs it and does nothing until its subsystem fills it
  // in (curved MPR, region of interest, movie; the measurements' are in
  // ZR_VisManager_Measure.cpp). The snapshot click is virtual too, so that tests can see it
  // dispatched.
  // A click in snapshot mode: the view to the gallery.
  virtual void CaptureView(int32_t panel);
  virtual void StartMeasurement(int32_t panel, int32_t x, int32_t y);
  virtual void DragMeasurement(int32_t panel, int32_t x, int32_t y);
  virtual void HoverMeasurement(int32_t panel, int32_t x, int32_t y);
  virtual void CurvePress(int32_t panel, int32_t x, int32_t y, bool right);
  virtual void CurveHover(int32_t panel, int32_t x, int32_t y);
  virtual void CurveDrag(int32_t panel, int32_t x, int32_t y);
  virtual void RestartCurve();
  virtual void DeleteCurvePoint();
  virtual void RoiPress(int32_t kind, int32_t x, int32_t y);
  virtual void ClearRoi();
  virtual void RecordMovieEvent(int32_t panel, int32_t lastX, int32_t lastY, int32_t x, int32_t y, bool left,
                                bool middle, bool right, ZR_Tool3d tool);
  // The type buttons and slab controls show the active view's settings.
  void RefreshMprControls();

  // --- Cut plane and VOI (ZR_VisManager_CutVoi.cpp) ------------------------------------------
  // The VOI box edge of an orthogonal pane under the pointer (24..29), 0 for none.
  int32_t PickVoiFace(int32_t panel, int32_t x, int32_t y);
  // The VOI geometry of an orthogonal pane (1..3).
  ZR_VoiOutline::Pane VoiPane(int32_t panel) const;
  // A drag in an orthogonal pane (dx, dy: pointer motion, y downwards): the grabbed face, or
  // the VOI tool's move or resize.
  void DragVoiInPane(int32_t panel, int32_t dx, int32_t dy);
  // A drag with a VOI tool in the 3D view.
  bool DragVoi(ZR_Tool3d tool, int32_t dx, bool left, bool middle, bool right);
  void DragCutPlane(int32_t panel, int32_t lastX, int32_t lastY, int32_t x, int32_t y, bool left);
  // After the slice of an orthogonal pane: the VOI outline, and where its edges are.
  void DrawVoiOutline(int32_t panel);
  // --- Captures (ZR_VisManager_Capture.cpp) --------------------------------------------------
  bool MakeScreenCapture(int32_t panel, ZR_Image* image);
  bool MakeRawCapture(int32_t panel, ZR_Image* image);
  int32_t WriteCapture(const ZR_Image& image, const std::string& file, int32_t mode);
  // To the next free "lmx<N>.dcm" of the capture folder; the numbering goes on after it.
  int32_t WriteNextCapture(const ZR_Image& image, int32_t mode);
  int32_t NextCaptureNumber() const;
  std::string CaptureName(int32_t number) const;
  // A new capture series for a loaded study; the gallery and the series writer copy its file.
  void StartCaptureSeries(const ZR_DicomVolume& volume);
  // Single captures are one series per study, numbered below the series writer's.
  static constexpr int32_t kCaptureSeriesNumber = 999;

  // The settings model item changed by the engine: shown by the dialog and offered for saving.
  void SettingChanged(int32_t item);
  // Panel 8's cut: the plane, and the slab of the view it shows.
  void PointCutAtMainView();

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
  bool CaptureRunning() const { return m_oRun.CaptureRunning(); }
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
  // Steps 4..23 of a load; a result code, or std::bad_alloc. Its steps, in their order:
  [[nodiscard]] int32_t AssembleAndShow(ZR_DicomVolume& volume);
  void WarnNonUniformSpacing(const ZR_DicomVolume& volume);
  void RedrawScreenPanels();
  // The spacing and the dimensions into the shared state; refuses a range it cannot show.
  [[nodiscard]] int32_t TakeGeometry(const ZR_DicomVolume& volume);
  void ShowLoadProgress();
  void ReadStudyLines(const ZR_DicomVolume& volume);
  void TakeOrientationAndValues(ZR_DicomVolume& volume);
  [[nodiscard]] int32_t FillVoxels(ZR_DicomVolume& volume);
  void MakeUndoCopies(const ZR_DicomVolume& volume);
  void MakeRegionBuffers(const ZR_DicomVolume& volume);
  [[nodiscard]] int32_t BuildReducedVoxels();
  void PrepareTransferFunction(const ZR_DicomVolume& volume);
  // Both upload buffers unmapped; VR_OG_3D_TEXTURE when the driver lost their contents.
  [[nodiscard]] int32_t UnmapUploadBuffers();
  // The settings model's items, on the first load of the run only.
  void ApplySettingsOnce();
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

  // --- Panels --------------------------------------------------------------------------------
  ZR_ViewportTable* m_pViewports = nullptr;
  uint8_t* m_pRepaintFlags = nullptr;
  int32_t m_nOffscreenWidth = 0;
  int32_t m_nOffscreenHeight = 0;
  bool m_bOffscreenReady = false;

  // --- Adapter and run state -------------------------------------------------------------------
  ZR_AdapterState m_oAdapter;
  ZR_RunState m_oRun;
  bool m_bInitialised = false;

  // --- Topics: each keeps its fields and their rules; the topic files work on them -----------
  ZR_LoadState m_oLoad;
  ZR_VolumeState m_oVolume;
  ZR_ScreenState m_oScreen;
  ZR_MprLayout m_oMpr;
  ZR_PointerState m_oPointer;


  // --- Output ----------------------------------------------------------------------------------
  std::string m_sAppDir;
  std::string m_sCaptureDir;
  int32_t m_nSnapshotCount = 0;
  int32_t m_nSeriesCount = 0;
  // The slab of the slice being captured, while a series loop runs (raw captures take it).
  bool m_bSlabInProgress = false;
  ZR_SlabSpec m_oSlabInProgress;
  int32_t m_nBlendBeforeSlab = 0;
  int32_t m_nSeriesPauseMs = 500;
  // The movie being recorded: where it starts and its drags.
  ZR_MoviePath m_oMoviePath;
  bool m_bMovieWindowPart = false;  // the table's window part was kept (else its bands)
  bool m_bSculptWasEnabled = false;
  int32_t m_nMovieCount = 0;        // numbers the movies saved to the folder
  int32_t m_nMovieWidth = 0;        // the frame size of the movie being written
  int32_t m_nMovieHeight = 0;
  ZR_RadialsGui* m_pRadialsGui = nullptr;
  std::unique_ptr<ZR_Radials> m_pRadials;
  bool m_bSaveToFolder = false;  // snapshots go to files in the capture folder, not the gallery
  std::string m_sCaptureSeriesUid;
  int32_t m_nCapturesWritten = 0;

  // --- Measurements (ZR_VisManager_Measure.cpp) ---
 public:
  // The annotations of an MPR view (4..7; any other number gives view 4's).
  const ZR_Annotations& Annotations(int32_t panel) const;
  const ZR_MeasureState& MeasureState() const { return m_oMeasure; }
  // Command 45's clearing: the newest entry of the list that received the last annotation,
  // every annotation of one MPR view, of all four. The views concerned redraw.
  void ClearLastAnnotation();
  void ClearAnnotations(int32_t panel);
  void ClearAllAnnotations();

 protected:
  // Over an MPR view (4..7), after its image and crosshair lines.
  void DrawAnnotations(int32_t index);
  ZR_Annotations& ViewAnnotations(int32_t panel) { return m_aAnnotations[panel - ZR_Panel::Mpr0]; }
  // A press (`press`) or a move, in panel pixels, for the current measurement tool; a move
  // only previews: what it adds is gone again once the view is drawn.
  void Measure(int32_t panel, int32_t x, int32_t y, bool press);
  void MeasurePixelValue(int32_t panel, ZR_MeasureState::Point point, bool press);
  void MeasureRuler(int32_t panel, ZR_MeasureState::Point point, bool press);
  void MeasureAngle(int32_t panel, ZR_MeasureState::Point point, bool press);
  void MeasureRoi(int32_t panel, ZR_MeasureState::Point point, bool press);
  // The ROI's statistics from the view's full-quality picture; false when its box holds no
  // pixel of the picture.
  bool RoiStatistics(int32_t panel, ZR_Annotations::Roi& roi);
  // The tools' view becomes `panel`; the one it leaves is drawn without its preview.
  void SwitchMeasureView(int32_t panel);

  ZR_MeasureState m_oMeasure;
  // One set per MPR view, counted in the view's record (a moved plane zeroes the counts).
  ZR_Annotations m_aAnnotations[4] = {ZR_Annotations(m_oMpr.aViews[ZR_Panel::Mpr0].aMeasurement),
                                      ZR_Annotations(m_oMpr.aViews[ZR_Panel::Mpr1].aMeasurement),
                                      ZR_Annotations(m_oMpr.aViews[ZR_Panel::Mpr2].aMeasurement),
                                      ZR_Annotations(m_oMpr.aViews[ZR_Panel::Mpr3].aMeasurement)};
};
