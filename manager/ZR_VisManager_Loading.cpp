// Bringing a study in and out: reading the files, the subset preview, a volume handed over by
// another process, and unloading.
#include <algorithm>
#include <new>

#include "core/ZR_Log.h"
#include "core/ZR_ProgressBar.h"
#include "core/ZR_SystemInfo.h"
#include "core/ZR_VisGui.h"
#include "manager/ZR_VisManager.h"
#include "dicom/ZR_DicomReader.h"
#include "dicom/ZR_DicomVolume.h"
#include "dicom/ZR_HandoverRecord.h"
#include "dicom/ZR_VolumeBudget.h"
#include "dicom/ZR_VolumePreview.h"

namespace {
constexpr int32_t kMinimumFiles = 10;
}  // namespace

void ZR_VisManager::BeforeAllocation(const char*) {}

int32_t ZR_VisManager::LoadStudy(const std::vector<std::string>& files, int32_t& count) {
  if (m_oLoad.bLoading) {
    ZR_Log::Entry("LoadStudy(): refused while a volume is being loaded");
    return VR_LD_INVALID_VOLUME;
  }
  count = std::min<int64_t>(count, static_cast<int64_t>(files.size()));
  if (count < kMinimumFiles) {
    ReportResult(VR_LD_TOO_FEW_SLICES);
    ZR_Log::Entry("LoadStudy(): VR_LD_TOO_FEW_SLICES");
    return VR_LD_TOO_FEW_SLICES;
  }
  int32_t result;
  {
    m_oLoad.bLoading = true;
    m_pAppGui->EnableControl(ZR_Ctl::btn_Inbox, false);
    result = ReadStudy(files, count);
    m_pAppGui->EnableControl(ZR_Ctl::btn_Inbox, true);
    m_oLoad.bLoading = false;
  }
  // The preview is shown modally and its "Load Volume" loads: no longer inside the read.
  return result == VR_OK ? StartVolume(true) : result;
}

int32_t ZR_VisManager::ReadStudy(const std::vector<std::string>& files, int32_t& count) {
  m_pAppGui->EnableControl(ZR_Ctl::pc_3D, false);
  ZR_DicomReader reader;
  reader.SetProgress(m_pProgressBar);
  // The preview shows the old volume's slices: it goes first, then the volume.
  DeletePreview();
  const int32_t unloaded = LoadVolumeNow(nullptr);
  m_pVolume.reset();
  if (unloaded != VR_OK) {
    ZR_Log::Entry("LoadVolume() failed; returned ", unloaded);
    return unloaded;
  }
  // The image gallery learns the study's first file here once it exists.

  auto fail = [&](int32_t code) {
    m_pVolume.reset();
    ReportResult(code);
    if (m_pProgressBar) m_pProgressBar->Close();
    return code;
  };
  try {
    ZR_DicomImageAttributes first;
    if (!reader.ReadImageAttributes(files[0], first)) {
      ZR_Log::Entry("LoadStudy(): ", reader.LastError());
      return fail(VR_LD_INVALID_VOLUME);
    }
    // A first file that is no image has no slice size to divide the memory by.
    if (first.rows <= 0 || first.columns <= 0) {
      ZR_Log::Entry("LoadStudy(): the first file has no image size: ", files[0]);
      return fail(VR_LD_INVALID_VOLUME);
    }
    const int32_t fitting = ZR_VolumeBudget::FilesThatFit(ZR_SystemInfo::PhysicalMemoryBytes(), first.rows,
                                                          first.columns, count);
    count = std::min(fitting, ZR_DicomVolume::kMaxSlices);

    BeforeAllocation("volume record");
    m_pVolume = std::make_unique<ZR_DicomVolume>();
    const std::vector<std::string> chosen(files.begin(), files.begin() + count);
    const int32_t read = reader.ReadSeries(chosen, *m_pVolume);
    if (read == VR_OK) return VR_OK;
    if (read == VR_NO_MEMORY) return fail(VR_MEMORY_WARNING);
    ZR_Log::Entry("LoadStudy(): ", reader.LastError());
    return fail(VR_LD_INVALID_VOLUME);
  } catch (const std::bad_alloc&) {
    ZR_Log::Entry("LoadStudy(): failed; VR_MEMORY_WARNING");
    return fail(VR_MEMORY_WARNING);
  }
}

int32_t ZR_VisManager::StartVolume(bool show) {
  if (!m_pVolume) {
    ReportResult(VR_LD_INVALID_VOLUME);
    return VR_LD_INVALID_VOLUME;
  }
  std::unique_ptr<ZR_VolumePreview> preview;
  int32_t created = VR_NO_MEMORY;
  try {
    BeforeAllocation("subset preview");
    created = ZR_VolumePreview::Create(m_pVolumePreviewGui, this, m_pVolume.get(), kMaxSlices,
                                       ZR_VolumePreview::kThumbnailSize, preview);
  } catch (const std::bad_alloc&) {
    created = VR_NO_MEMORY;
  }
  if (created != VR_OK) {
    // Without its preview no range of the study can be chosen: nothing is kept.
    m_pVolume.reset();
    const int32_t code = created == VR_NO_MEMORY ? VR_MEMORY_WARNING : VR_LD_INVALID_VOLUME;
    ZR_Log::Entry("StartVolume(): the subset preview was not created; ", code);
    ReportResult(code);
    return code;
  }
  m_pVolumePreview = std::move(preview);
  m_pVolumePreviewGui->SetEngine(m_pVolumePreview.get());
  m_pAppGui->EnableControl(ZR_Ctl::Btn_Subset, true);
  m_pAppGui->EnableControl(ZR_Ctl::pc_3D, true);
  if (show) m_pVolumePreview->Show(true);
  return VR_OK;
}

int32_t ZR_VisManager::LoadHandedOverVolume(std::unique_ptr<ZR_DicomVolume> volume) {
  if (m_oLoad.bLoading) {
    ZR_Log::Entry("LoadHandedOverVolume(): refused while a volume is being loaded");
    return VR_LD_INVALID_VOLUME;
  }
  // Thumbnails and voxels are made from the slices: a description without them cannot be
  // shown, and the current volume stays.
  if (!volume || !volume->HasAllSlices()) {
    ZR_Log::Entry("LoadHandedOverVolume(): the volume carries no pixels");
    ReportResult(VR_LD_INVALID_VOLUME);
    return VR_LD_INVALID_VOLUME;
  }
  int32_t result = VR_OK;
  m_oLoad.bLoading = true;
  try {
    m_pAppGui->EnableControl(ZR_Ctl::pc_3D, false);
    DeletePreview();
    result = LoadVolumeNow(nullptr);
    m_pVolume = std::move(volume);
  } catch (const std::bad_alloc&) {
    ReportResult(VR_MEMORY_WARNING);
    if (m_pProgressBar) m_pProgressBar->Close();
    result = VR_MEMORY_WARNING;
  }
  m_oLoad.bLoading = false;
  return result == VR_OK ? StartVolume(true) : result;
}

int32_t ZR_VisManager::LoadHandedOverRecord(const void* data, size_t size) {
  if (m_oLoad.bLoading) {
    ZR_Log::Entry("LoadHandedOverVolume(): refused while a volume is being loaded");
    return VR_LD_INVALID_VOLUME;
  }
  auto volume = std::make_unique<ZR_DicomVolume>();
  std::string reason;
  if (ZR_HandoverRecord::Decode(data, size, *volume, &reason) != VR_OK) {
    ZR_Log::Entry("LoadHandedOverVolume(): the record is refused: ", reason);
    ReportResult(VR_LD_INVALID_VOLUME);
    return VR_LD_INVALID_VOLUME;
  }
  return LoadHandedOverVolume(std::move(volume));
}

void ZR_VisManager::DeletePreview() {
  if (!m_pVolumePreview) return;
  if (m_pVolumePreviewGui) m_pVolumePreviewGui->SetEngine(nullptr);
  m_pVolumePreview.reset();
}

void ZR_VisManager::UnloadVolume(bool forNewLoad) {
  m_oTexture3dRenderer.Release();
  m_oSoftwareRenderer.Release();
  m_oLoad.DropRegionBuffers();
  m_oShared.SetMask(nullptr);
  m_oShared.SetSliceCopies(nullptr, nullptr);
  m_oVolume.aStudyLines.clear();
  // The software renderer samples the record's slices: it must not keep pointing at them.
  m_oShared.SetSliceStack(ZR_SliceStack{});
  m_oShared.SetVolume(nullptr);
  if (!forNewLoad) return;
  // The image gallery's current study is cleared here once the gallery exists.
  m_oVolume.bLoaded = false;
  m_oShared.SetVoxelBuffers(nullptr, nullptr);
  m_oLoad.ForgetVoxelPointers();
  m_oLoad.nHistogramVoxels = 0;
}

void ZR_VisManager::Progress(int32_t position) {
  if (m_pProgressBar) m_pProgressBar->SetPosition(position);
}

void ZR_VisManager::EnableNavigation(bool on) {
  for (int32_t id : {ZR_Ctl::pc_3D, ZR_Ctl::sbtn_3D, ZR_Ctl::sbtn_MPR, ZR_Ctl::Btn_Subset}) m_pAppGui->EnableControl(id, on);
}
