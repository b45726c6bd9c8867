#include "dicom/ZR_VolumePreview.h"

#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include "core/ZR_Canvas.h"
#include "core/ZR_Result.h"
#include "core/ZR_SystemInfo.h"
#include "core/ZR_VisGui.h"
#include "dicom/ZR_DicomVolume.h"
#include "dicom/ZR_ParallelSlices.h"
#include "dicom/ZR_VolumeLoader.h"


int32_t ZR_VolumePreview::Create(ZR_VisGui* gui, ZR_VolumeLoader* loader, ZR_DicomVolume* volume,
                                 int32_t maxSlices, int32_t thumbnailSize,
                                 std::unique_ptr<ZR_VolumePreview>& preview) {
  preview.reset();
  if (!gui || !volume || !volume->HasAllSlices() || volume->m_nWidth < kStep || volume->m_nHeight < kStep)
    return VR_LD_INVALID_VOLUME;
  std::unique_ptr<ZR_VolumePreview> p(new (std::nothrow) ZR_VolumePreview(gui, loader, volume, thumbnailSize));
  if (!p) return VR_NO_MEMORY;
  p->m_oLimits = ZR_VolumeBudget::SubsetLimits(ZR_SystemInfo::PhysicalMemoryBytes(), volume->m_nWidth,
                                               volume->m_nHeight, volume->m_nSliceCount, maxSlices);
  const size_t bytes = size_t(p->m_nColumns) * size_t(p->m_nRows) * size_t(std::max(p->SliceCount(), 0));
  p->m_pThumbnails.reset(new (std::nothrow) uint8_t[std::max<size_t>(bytes, 1)]);
  if (!p->m_pThumbnails) return VR_NO_MEMORY;
  p->BuildThumbnails();

  p->m_nStart = p->m_nEditedStart = 0;
  p->m_nTotal = p->m_nEditedTotal = p->m_oLimits.nTotal;
  p->m_nEnd = p->m_nEditedEnd = p->m_oLimits.nTotal - 1;
  p->InitialiseControls();
  p->Update(false);
  preview = std::move(p);
  return VR_OK;
}

ZR_VolumePreview::ZR_VolumePreview(ZR_VisGui* gui, ZR_VolumeLoader* loader, ZR_DicomVolume* volume,
                                   int32_t thumbnailSize)
    : m_pGui(gui),
      m_pLoader(loader),
      m_pVolume(volume),
      m_nThumbWidth(thumbnailSize),
      m_nThumbHeight(thumbnailSize),
      m_nColumns(volume->m_nWidth / kStep),
      m_nRows(volume->m_nHeight / kStep) {}

ZR_VolumePreview::~ZR_VolumePreview() = default;

void ZR_VolumePreview::BuildThumbnails() {
  const int32_t range = m_pVolume->m_nLargest - m_pVolume->m_nSmallest;
  // Grey level of every stored value: trunc(v x 255 / range), never beyond white.
  std::vector<uint8_t> grey(65536, 0);
  if (range > 0)
    for (int64_t v = 0; v < 65536; ++v) grey[size_t(v)] = static_cast<uint8_t>(std::min<int64_t>(v * 255 / range, 255));
  const size_t width = size_t(m_pVolume->m_nWidth);
  const size_t size = size_t(m_nColumns) * size_t(m_nRows);
  ZR_ParallelSlices::ForEach(size_t(std::max(SliceCount(), 0)), 0, [&](size_t k, size_t) {
    const uint16_t* slice = m_pVolume->Slice(static_cast<int32_t>(k));
    uint8_t* thumb = m_pThumbnails.get() + size * k;
    for (int32_t r = 0; r < m_nRows; ++r) {
      const uint16_t* row = slice + size_t(kStep) * size_t(r) * width;
      uint8_t* out = thumb + size_t(m_nRows - 1 - r) * size_t(m_nColumns);
      for (int32_t c = 0; c < m_nColumns; ++c) out[c] = grey[row[size_t(kStep) * size_t(c)]];
    }
  });
}

void ZR_VolumePreview::InitialiseControls() {
  const int32_t count = SliceCount();
  m_pGui->SetScrollPage(ZR_PreviewCtl::Scb_Select, 1);
  m_pGui->SetScrollPosition(ZR_PreviewCtl::Scb_Select, 0);
  m_pGui->SetScrollMin(ZR_PreviewCtl::Scb_Select, 0);
  m_pGui->SetScrollMax(ZR_PreviewCtl::Scb_Select, count - 1);
  m_pGui->SetNumberMin(ZR_PreviewCtl::Edit_Start, 0);
  m_pGui->SetNumberMax(ZR_PreviewCtl::Edit_Start, count - kMinimumSubset);
  m_pGui->SetNumberMin(ZR_PreviewCtl::Edit_End, kMinimumSubset - 1);
  m_pGui->SetNumberMax(ZR_PreviewCtl::Edit_End, count - 1);
  m_pGui->SetNumberMin(ZR_PreviewCtl::Edit_Total, kMinimumSubset);
  m_pGui->SetNumberMax(ZR_PreviewCtl::Edit_Total, MaximumSlices());
  m_pGui->SetChecked(ZR_PreviewCtl::Chk_Max, false);
  m_pGui->SetLabelText(ZR_PreviewCtl::Lbl_TotalSlices, std::to_string(count));
}

void ZR_VolumePreview::ShowFields(int32_t start, int32_t end, int32_t total) {
  m_pGui->SetNumberValue(ZR_PreviewCtl::Edit_Start, static_cast<float>(start));
  m_pGui->SetNumberValue(ZR_PreviewCtl::Edit_End, static_cast<float>(end));
  m_pGui->SetNumberValue(ZR_PreviewCtl::Edit_Total, static_cast<float>(total));
}

void ZR_VolumePreview::Show(bool modal) {
  m_bShown = modal;
  m_pGui->ShowDialog(modal);
}

void ZR_VolumePreview::Release() { m_pThumbnails.reset(); }

const uint8_t* ZR_VolumePreview::Thumbnail(int32_t k) const {
  if (!m_pThumbnails || k < 0 || k >= SliceCount()) return nullptr;
  return m_pThumbnails.get() + size_t(m_nColumns) * size_t(m_nRows) * size_t(k);
}

void ZR_VolumePreview::Event(int32_t kind, int32_t value) {
  switch (kind) {
    case ZR_PreviewEvent::Start:
    case ZR_PreviewEvent::End:
    case ZR_PreviewEvent::Total: {
      int32_t& edited = kind == ZR_PreviewEvent::Start ? m_nEditedStart
                        : kind == ZR_PreviewEvent::End ? m_nEditedEnd
                                                        : m_nEditedTotal;
      if (value == edited) return;
      edited = value;
      Update(kind == ZR_PreviewEvent::Total);
      m_pGui->SetChecked(ZR_PreviewCtl::Chk_Max, false);
      return;
    }
    case ZR_PreviewEvent::Max:
      if (!value) return;
      m_nEditedStart = 0;
      m_nEditedEnd = MaximumSlices() - 1;
      m_nEditedTotal = MaximumSlices();
      ShowFields(m_nEditedStart, m_nEditedEnd, m_nEditedTotal);
      Update(false);
      return;
    case ZR_PreviewEvent::Load:
      m_bShown = false;
      m_pVolume->m_nFirst = m_nStart;
      m_pVolume->m_nLast = m_nEnd;
      if (m_pLoader) (void)m_pLoader->LoadVolume(m_pVolume);  // the loader reports its own failures
      return;
    case ZR_PreviewEvent::Cancel:
      m_bShown = false;
      return;
    case ZR_PreviewEvent::Scroll:
      if (value == m_nEditedStart || value > SliceCount() - m_nTotal) return;
      m_nEditedStart = value;
      m_nEditedEnd = m_nEditedTotal + value - 1;
      m_pGui->SetNumberValue(ZR_PreviewCtl::Edit_Start, static_cast<float>(m_nEditedStart));
      m_pGui->SetNumberValue(ZR_PreviewCtl::Edit_End, static_cast<float>(m_nEditedEnd));
      Update(false);
      return;
    case ZR_PreviewEvent::Paint:
      Draw();
      return;
    default:
      return;
  }
}

void ZR_VolumePreview::Update(bool totalChanged) {
  const int32_t count = SliceCount();
  // The length asked for is taken before the end is brought into the slices.
  const int32_t asked = totalChanged ? m_nEditedTotal : m_nEditedEnd - m_nEditedStart + 1;
  m_nEditedEnd = std::max(kMinimumSubset - 1, std::min(m_nEditedEnd, count - 1));
  if (m_nEditedStart < m_nEditedEnd) {
    const bool valid = m_nEditedEnd - m_nEditedStart >= kMinimumSubset - 1 && m_nEditedStart >= 0 &&
                       m_nEditedStart <= count - kMinimumSubset && m_nEditedEnd >= kMinimumSubset - 1 &&
                       m_nEditedEnd < count && asked >= kMinimumSubset && asked <= MaximumSlices();
    if (valid && totalChanged) {
      m_nStart = m_nEditedStart = 0;
      m_nTotal = asked;
      m_nEnd = m_nEditedEnd = asked - 1;
    } else if (valid) {
      m_nStart = m_nEditedStart;
      m_nEnd = m_nEditedEnd;
      m_nTotal = m_nEditedTotal = m_nEnd - m_nStart + 1;
    }
  }
  ShowFields(m_nStart, m_nEnd, m_nTotal);
  m_pGui->SetScrollPage(ZR_PreviewCtl::Scb_Select, std::min(m_nTotal, count - 1));
  m_pGui->SetScrollPosition(ZR_PreviewCtl::Scb_Select, m_nStart);
  Draw();
}

void ZR_VolumePreview::Draw() {
  if (!m_bShown || !m_pThumbnails) return;
  const struct {
    int32_t image, slice;
  } pictures[] = {{ZR_PreviewCtl::Img_First, m_nStart}, {ZR_PreviewCtl::Img_Last, m_nEnd}};
  for (const auto& p : pictures) {
    const uint8_t* thumb = Thumbnail(p.slice);
    ZR_Canvas* canvas = m_pGui->GetImageDC(p.image);
    if (thumb && canvas) canvas->StretchGrey(thumb, m_nColumns, m_nRows, m_nThumbWidth, m_nThumbHeight);
  }
  m_pGui->RefreshImage(ZR_PreviewCtl::Img_First);
  m_pGui->RefreshImage(ZR_PreviewCtl::Img_Last);
}
