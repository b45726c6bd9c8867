#pragma once
// The engine side of the subset preview dialog: thumbnails of the study's slices, the slice
// range the user may choose within the memory and texture limits, and the dialog's events.
// It drives the dialog only through its contract (ZR_VisGui slots) and hands the accepted
// range to the loader ("Load Volume").

#include <cstdint>
#include <memory>

#include "core/ZR_DialogEngine.h"
#include "dicom/ZR_VolumeBudget.h"

class ZR_VisGui;
class ZR_DicomVolume;
class ZR_VolumeLoader;

// Controls of the preview dialog, by contract id.
namespace ZR_PreviewCtl {
enum : int32_t {
  Edit_Start = 1,
  Edit_End = 2,
  Edit_Total = 3,
  Chk_Max = 4,
  Img_First = 5,
  Img_Last = 6,
  Lbl_TotalSlices = 7,
  Btn_Load = 8,
  Scb_Select = 10,
};
constexpr int32_t kControlCount = 12;
}  // namespace ZR_PreviewCtl

// Events the dialog sends to ZR_VolumePreview::Event (kind, value).
namespace ZR_PreviewEvent {
enum : int32_t { Start = 1, End = 2, Total = 3, Max = 4, Load = 8, Cancel = 9, Scroll = 10, Paint = 11 };
}  // namespace ZR_PreviewEvent

class ZR_VolumePreview : public ZR_DialogEngine {
 public:
  static constexpr int32_t kMinimumSubset = 10;
  static constexpr int32_t kStep = 2;  // thumbnails take every second value of every second row
  static constexpr int32_t kThumbnailSize = 350;

  // Computes the limits from the physical memory, builds the thumbnails and sets the dialog
  // up with the range 0 .. total - 1. VR_LD_INVALID_VOLUME for a volume without pixels,
  // VR_NO_MEMORY when the thumbnails do not fit (nothing is created then).
  [[nodiscard]] static int32_t Create(ZR_VisGui* gui, ZR_VolumeLoader* loader, ZR_DicomVolume* volume,
                                      int32_t maxSlices, int32_t thumbnailSize,
                                      std::unique_ptr<ZR_VolumePreview>& preview);
  ~ZR_VolumePreview() override;

  // Shows the dialog modally (true) or hides it (false).
  void Show(bool modal);
  // Frees the thumbnails; Draw draws nothing afterwards.
  void Release();
  void Event(int32_t kind, int32_t value = 0);
  // Accepts the edited range when it is valid (see the source) and shows the accepted one.
  void Update(bool totalChanged);
  void Draw();

  // --- Read access (the manager and tests) ------------------------------------------------
  int32_t Start() const { return m_nStart; }
  int32_t End() const { return m_nEnd; }
  int32_t Total() const { return m_nTotal; }
  int32_t EditedStart() const { return m_nEditedStart; }
  int32_t EditedEnd() const { return m_nEditedEnd; }
  int32_t EditedTotal() const { return m_nEditedTotal; }
  const ZR_SubsetLimits& Limits() const { return m_oLimits; }
  int32_t SliceCount() const { return m_oLimits.nSliceCount; }
  int32_t MaximumSlices() const { return m_oLimits.nMaximumSlices; }
  bool IsShown() const { return m_bShown; }
  bool IsReleased() const { return !m_pThumbnails; }
  int32_t ThumbnailColumns() const { return m_nColumns; }
  int32_t ThumbnailRows() const { return m_nRows; }
  // Thumbnail of slice k (columns x rows bytes, bottom row first); null after Release.
  const uint8_t* Thumbnail(int32_t k) const;
  ZR_DicomVolume* Volume() const { return m_pVolume; }

 private:
  ZR_VolumePreview(ZR_VisGui* gui, ZR_VolumeLoader* loader, ZR_DicomVolume* volume, int32_t thumbnailSize);
  void BuildThumbnails();
  void InitialiseControls();
  void ShowFields(int32_t start, int32_t end, int32_t total);

  ZR_VisGui* m_pGui;
  ZR_VolumeLoader* m_pLoader;
  ZR_DicomVolume* m_pVolume;
  int32_t m_nThumbWidth, m_nThumbHeight;
  ZR_SubsetLimits m_oLimits;
  int32_t m_nStart = 0, m_nEnd = 0, m_nTotal = 0;
  int32_t m_nEditedStart = 0, m_nEditedEnd = 0, m_nEditedTotal = 0;
  int32_t m_nColumns = 0, m_nRows = 0;
  std::unique_ptr<uint8_t[]> m_pThumbnails;
  bool m_bShown = false;
};
