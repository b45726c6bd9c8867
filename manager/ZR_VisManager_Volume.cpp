// LoadVolume: the chosen range of the study assembled straight into the texture renderer's
// mapped upload buffers (the volume exists once in main memory besides the raw slices), the
// histogram, the reduced copy, the region buffers, the transfer function, the upload and
// the first picture. Every allocation failure ends in VR_NO_MEMORY with nothing loaded.
#include <algorithm>
#include <charconv>
#include <cstring>
#include <new>

#include "core/ZR_Log.h"
#include "core/ZR_ProgressBar.h"
#include "core/ZR_Settings.h"
#include "core/ZR_VisGui.h"
#include "manager/ZR_VisManager.h"
#include "dicom/ZR_DicomVolume.h"
#include "dicom/ZR_StudyInfo.h"
#include "dicom/ZR_VolumeAssembler.h"
#include "dicom/ZR_VolumeBudget.h"
#include "presets/ZR_PresetEditor.h"
#include "settings/ZR_Vis3DSettings.h"

namespace {
constexpr int32_t kProgressMax = 20;
constexpr int32_t kMinimumSlices = 10;
constexpr int32_t kLastAppliedSetting = 20;

// "%1.2f", whatever the process locale.
std::string Fixed2(float value) {
  char buffer[32];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
  return std::string(buffer, r.ptr);
}
}  // namespace

int32_t ZR_VisManager::LoadVolume(ZR_DicomVolume* volume) {
  if (m_oLoad.bLoading) {
    ZR_Log::Entry("LoadVolume(): refused while a volume is being loaded");
    return VR_LD_INVALID_VOLUME;
  }
  if (volume && volume != m_pVolume.get()) {
    ZR_Log::Entry("LoadVolume(): refused: not the study that was read");
    return VR_LD_INVALID_VOLUME;
  }
  m_oLoad.bLoading = true;
  const int32_t result = LoadVolumeNow(volume);
  m_oLoad.bLoading = false;
  return result;
}

int32_t ZR_VisManager::LoadVolumeNow(ZR_DicomVolume* volume) {
  EnableNavigation(false);
  UnloadVolume(true);
  m_pAppGui->SetChecked(ZR_Ctl::chk_ShadedVR, m_oAdapter.bCanShade);
  SetShading(m_oAdapter.bCanShade, false);
  if (!volume) {
    EnableNavigation(false);
    m_pAppGui->EnableControl(ZR_Ctl::pnl_MPR, false);
    return VR_OK;
  }

  int32_t result = VR_OK;
  try {
    result = AssembleAndShow(*volume);
  } catch (const std::bad_alloc&) {
    ZR_Log::Entry("LoadVolume(): failed; VR_NO_MEMORY");
    result = VR_NO_MEMORY;
  }
  if (result != VR_OK) {
    AbortLoad();
    UnloadVolume(true);
  }

  if (result == VR_OK) {
    if (!m_oAdapter.bSoftwareRendering && !m_pAppGui->IsControlEnabled(ZR_Ctl::pc_3D)) {
      m_pAppGui->EnableControl(ZR_Ctl::pc_3D, true);
      m_pAppGui->EnableControl(ZR_Ctl::sbtn_3D, true);
    }
    if (!m_oScreen.bAutoQuality || m_oScreen.bShading) m_pAppGui->EnableControl(ZR_Ctl::Btn_FinalRender, true);
    m_pAppGui->EnableControl(ZR_Ctl::sbtn_MPR, true);
    m_pAppGui->EnableControl(ZR_Ctl::pnl_MPR, true);
  } else {
    EnableNavigation(false);
    m_pAppGui->EnableControl(ZR_Ctl::pnl_MPR, false);
    ReportResult(result);
    if (m_pProgressBar) m_pProgressBar->Close();
  }
  m_pAppGui->EnableControl(ZR_Ctl::Btn_Subset, true);
  return result;
}

int32_t ZR_VisManager::AssembleAndShow(ZR_DicomVolume& volume) {
  if (!m_bInitialised || !MakePanelCurrent(ZR_Panel::View3D)) {
    ZR_Log::Entry("LoadVolume(): no rendering context");
    return VR_OG_CONTEXT;
  }
  WarnNonUniformSpacing(volume);
  RedrawScreenPanels();
  int32_t result = TakeGeometry(volume);
  if (result != VR_OK) return result;
  ShowLoadProgress();
  ReadStudyLines(volume);
  TakeOrientationAndValues(volume);

  result = FillVoxels(volume);
  if (result != VR_OK) return result;
  Progress(4);
  MakeRegionBuffers(volume);

  result = BuildReducedVoxels();
  if (result != VR_OK) return result;
  Progress(12);
  PrepareTransferFunction(volume);

  result = UnmapUploadBuffers();
  if (result != VR_OK) return result;
  if (m_pProgressBar) m_pProgressBar->Step(1);
  if (!MakePanelCurrent(ZR_Panel::View3D)) return VR_OG_CONTEXT;
  ApplySettingsOnce();

  result = UploadTextures();
  if (result != VR_OK) return result;
  CompleteLoad(volume);
  return VR_OK;
}

void ZR_VisManager::WarnNonUniformSpacing(const ZR_DicomVolume& volume) {
  if (volume.m_bNonUniform && volume.m_nFirst <= volume.m_nNonUniformSlice &&
      volume.m_nNonUniformSlice + 2 <= volume.m_nLast)
    m_pAppGui->ShowMessage("WARNING: Spacing non-uniform in Slices [" + std::to_string(volume.m_nNonUniformSlice) +
                           " - " + std::to_string(volume.m_nNonUniformSlice + 2) + "]");
}

void ZR_VisManager::RedrawScreenPanels() {
  if (m_oScreen.Is3d()) {
    for (int32_t p = ZR_Panel::View3D; p <= ZR_Panel::Ortho2; ++p) RedrawPanel(p);
  } else {
    for (int32_t p = ZR_Panel::Mpr0; p <= ZR_Panel::MprView3D; ++p) RedrawPanel(p);
  }
}

int32_t ZR_VisManager::TakeGeometry(const ZR_DicomVolume& volume) {
  m_oVolume.aPixelSpacing[0] = volume.m_fPixelSpacingX;
  m_oVolume.aPixelSpacing[1] = volume.m_fPixelSpacingY;
  m_oVolume.aPixelSpacing[2] = volume.m_fSliceDistance;
  // Extent units are x pixels: rows of another spacing and the slice distance are scaled to
  // them, so that every view shows the study's true shape.
  const bool spaced = volume.m_fPixelSpacingX > 0;
  const float rows = spaced && volume.m_fPixelSpacingY > 0 ? volume.m_fPixelSpacingY / volume.m_fPixelSpacingX : 1.0f;
  const float aspect = spaced ? volume.m_fSliceDistance / volume.m_fPixelSpacingX : 1.0f;
  m_oShared.SetVoxelScale(1, rows, aspect);

  const int32_t w = volume.m_nWidth, h = volume.m_nHeight, d = volume.m_nLast - volume.m_nFirst + 1;
  m_oShared.SetFullDimensions(w, h, std::max(d, 0));
  ZR_Log::Instance().Write("LoadVolume(): Volume Dimensions = ").Write(w).Write(" x ").Write(h).Write(" x ").Write(d).EndEntry();
  if (d < kMinimumSlices) return VR_LD_TOO_FEW_SLICES;
  if (w != h) return VR_LD_MATRIX_NOT_SUPPORTED;
  if (volume.m_nFirst < 0 || volume.m_nLast >= volume.m_nSliceCount || !volume.HasAllSlices()) {
    ZR_Log::Entry("LoadVolume(): the slice range lies outside the study's slices");
    return VR_LD_INVALID_VOLUME;
  }
  return VR_OK;
}

void ZR_VisManager::ShowLoadProgress() {
  if (m_pProgressBar) {
    m_pProgressBar->SetMax(kProgressMax);
    m_pProgressBar->SetText("Reconstructing Volume...");
    m_pProgressBar->Show(true);
  }
  Progress(2);
}

void ZR_VisManager::ReadStudyLines(const ZR_DicomVolume& volume) {
  // The series writer learns the study's first file here once it exists.
  BeforeAllocation("study information");
  try {
    const ZR_StudyInfo info = ZR_StudyInfo::CreateStudyInfo(volume.m_sFileName, *m_pAppGui);
    for (const ZR_StudyAttribute& a : info.Attributes()) m_oVolume.aStudyLines.push_back({a.x, a.y, a.text});
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception& e) {
    // The study lines are decoration: a file that cannot be read again leaves them empty.
    ZR_Log::Entry("LoadVolume(): no study information: ", e.what());
    m_oVolume.aStudyLines.clear();
  }
}

void ZR_VisManager::TakeOrientationAndValues(ZR_DicomVolume& volume) {
  m_oVolume.bLoaded = false;
  float row[3], column[3];
  std::copy(volume.m_afRowDirection.begin(), volume.m_afRowDirection.end(), row);
  std::copy(volume.m_afColumnDirection.begin(), volume.m_afColumnDirection.end(), column);
  volume.m_bOrientationFlag = m_oShared.ComputeOrientation(row, column, volume.m_afSliceDirection.data(), m_oVolume.aAxisSign);
  const int32_t labels = m_pSettingsModel ? m_pSettingsModel->Display().labelMode : DisplaySettings{}.labelMode;
  m_oVolume.nLabels = volume.m_bOrientationFlag ? labels : 2;
  volume.m_anAxisTable = {1, 0, 3, 2, 4, 5};
  std::copy(volume.m_anAxisTable.begin(), volume.m_anAxisTable.end(), m_oVolume.aLabelIndices);

  m_oVolume.bSubsampled = m_oVolume.nSubsample > 1;
  m_oVolume.nMinValue = volume.m_nSmallest;
  m_oVolume.nMaxValue = volume.m_nLargest;
  m_oVolume.nIntercept = volume.m_nRescaleIntercept;
}

void ZR_VisManager::MakeRegionBuffers(const ZR_DicomVolume& volume) {
  const int32_t* dims = m_oLoad.aVoxelDims;
  if (m_oLoad.bRegionEditing) {
    BeforeAllocation("selection mask");
    const uint64_t bytes = ZR_VolumeBudget::MaskBytes(dims[0], dims[1], dims[2]);
    m_oLoad.pMask.reset(new uint8_t[bytes]());
    m_oShared.SetMask(m_oLoad.pMask.get());
    if (m_oLoad.bUndoAvailable) m_oShared.SetSliceCopies(m_oLoad.apUndoVoxels.data(), m_oLoad.apUndoRaw.data());
  }
  m_oVolume.sVoxelSize = Fixed2(volume.m_fPixelSpacingX) + " x " + Fixed2(volume.m_fPixelSpacingY) + " x " +
                         Fixed2(volume.m_fSliceDistance) + " mm";
  ResetVoi();
  m_oScreen.nStillQuality = 3;
}

void ZR_VisManager::PrepareTransferFunction(const ZR_DicomVolume& volume) {
  // The editor analyses the histogram of the voxels it was counted from, not the reduced copy.
  if (m_pPresetEditor) {
    m_pPresetEditor->InitialiseForVolume(reinterpret_cast<const uint32_t*>(m_oShared.GetHistogram()),
                                         m_oLoad.nHistogramVoxels, volume.m_fRescaleSlope, volume.m_nRescaleIntercept,
                                         volume.m_nSmallest, volume.m_nLargest, ZR_Lut::kIndexScale,
                                         volume.m_nNotCt);
    m_pPresetEditor->ResetBands();
    m_pPresetEditor->ResetWindows();
  }
  m_oShared.SelectLutTable(m_oScreen.IsColour());
  // The region-settings, MIP-threshold and settings dialogs learn the value window here once
  // they exist.
}

int32_t ZR_VisManager::UnmapUploadBuffers() {
  UseCopy(true);
  const GLenum reducedUnmapped = m_oTexture3dRenderer.UnmapUploadBuffer();
  m_oLoad.bReducedMapped = false;
  SelectQuality(0, true);
  UseCopy(false);
  const GLenum fullUnmapped = m_oTexture3dRenderer.UnmapUploadBuffer();
  m_oLoad.bFullMapped = false;
  // The software path uses the slices.
  m_oLoad.ForgetVoxelPointers();
  m_oShared.SetVoxelBuffers(nullptr, nullptr);
  if (reducedUnmapped != GL_NO_ERROR || fullUnmapped != GL_NO_ERROR) {
    ZR_Log::Entry("LoadVolume(): the upload buffers lost their contents");
    return VR_OG_3D_TEXTURE;
  }
  if (Gl()) (void)Gl()->TakeError();
  return VR_OK;
}

void ZR_VisManager::ApplySettingsOnce() {
  if (m_oLoad.bSettingsApplied) return;
  m_oLoad.bSettingsApplied = true;
  m_oShared.SetSlabThickness(m_oScreen.oCutPlaneDisplay.slabWidth);
  for (int32_t id = 0; id <= kLastAppliedSetting; ++id) ApplySettingNow(id);
}

int32_t ZR_VisManager::FillVoxels(ZR_DicomVolume& volume) {
  const ZR_VolumeGeometry g = ZR_VolumeAssembler::Geometry(volume, m_oVolume.bSubsampled ? m_oVolume.nSubsample : 1);
  m_oLoad.aVoxelDims[0] = g.nWidth;
  m_oLoad.aVoxelDims[1] = g.nHeight;
  m_oLoad.aVoxelDims[2] = g.nDepth;
  if (g.Voxels() == 0) return VR_LD_TOO_FEW_SLICES;
  const float f = static_cast<float>(g.nFactor);
  m_oShared.SetPixelSpacing(volume.m_fPixelSpacingX * f, volume.m_fPixelSpacingY * f, volume.m_fSliceDistance * f);
  m_oShared.SetFullDimensions(g.nWidth, g.nHeight, g.nDepth);
  m_oShared.SetVolume(&volume);

  SelectQuality(0, true);
  m_oLoad.pVoxels = AllocateAndMap(false, "full upload buffer");

  BeforeAllocation("voxel assembly");
  uint32_t* histogram = reinterpret_cast<uint32_t*>(m_oShared.GetHistogram());
  m_oLoad.nHistogramVoxels = ZR_VolumeAssembler::Fill(volume, g, m_oLoad.pVoxels, histogram);
  if (m_oLoad.nHistogramVoxels == 0) {
    ZR_Log::Entry("LoadVolume(): the slices do not hold the chosen range");
    return VR_LD_INVALID_VOLUME;
  }
  const bool undo = m_oLoad.bRegionEditing && !m_oVolume.bSubsampled &&
                    !(m_pSettingsModel ? m_pSettingsModel->Performance().disableUndo : PerformanceSettings{}.disableUndo);
  if (undo) MakeUndoCopies(volume);
  return VR_OK;
}

void ZR_VisManager::MakeUndoCopies(const ZR_DicomVolume& volume) {
  BeforeAllocation("undo copies");
  const size_t values = volume.SliceValues();
  for (int32_t z = 0; z < m_oLoad.aVoxelDims[2]; ++z) {
    auto raw = std::make_unique<uint16_t[]>(values);
    std::memcpy(raw.get(), volume.Slice(volume.m_nFirst + z), values * 2);
    auto voxels = std::make_unique<uint16_t[]>(values);
    std::memcpy(voxels.get(), m_oLoad.pVoxels + values * size_t(z), values * 2);
    m_oLoad.apUndoRaw.push_back(raw.get());
    m_oLoad.apUndoVoxels.push_back(voxels.get());
    m_oLoad.aUndoRaw.push_back(std::move(raw));
    m_oLoad.aUndoVoxels.push_back(std::move(voxels));
  }
  m_oLoad.bUndoAvailable = true;
}

int32_t ZR_VisManager::BuildReducedVoxels() {
  const int32_t* full = m_oLoad.aVoxelDims;
  if (m_oVolume.bSubsampled) {
    // The sub-sampled volume is small already: it is its own interaction copy.
    m_oVolume.nReduction = 1;
    std::copy_n(full, 3, m_oLoad.aReducedDims);
  } else {
    m_oVolume.nReduction = static_cast<int16_t>(ZR_VolumeBudget::ReductionFactor(full[2]));
    for (int i = 0; i < 3; ++i) m_oLoad.aReducedDims[i] = ZR_VolumeBudget::ReducedSize(full[i], m_oVolume.nReduction);
  }
  m_oShared.SetReducedDimensions(m_oLoad.aReducedDims[0], m_oLoad.aReducedDims[1], m_oLoad.aReducedDims[2]);
  m_oLoad.pReducedVoxels = AllocateAndMap(true, "reduced upload buffer");
  Progress(8);
  // With factor 1 (sub-sampled) this is a copy: the renderer uploads each copy from its own buffer.
  if (!m_oTexture3dRenderer.BuildReducedCopy(m_oLoad.pVoxels, full, m_oLoad.pReducedVoxels, m_oLoad.aReducedDims)) {
    ZR_Log::Entry("LoadVolume(): the reduced copy does not fit the volume");
    return VR_LD_INVALID_VOLUME;
  }
  if (m_oLoad.bUndoAvailable) {
    BeforeAllocation("reduced undo copies");
    const size_t values = size_t(m_oLoad.aReducedDims[0]) * size_t(m_oLoad.aReducedDims[1]);
    for (int32_t z = 0; z < m_oLoad.aReducedDims[2]; ++z) {
      auto copy = std::make_unique<uint16_t[]>(values);
      std::memcpy(copy.get(), m_oLoad.pReducedVoxels + values * size_t(z), values * 2);
      m_oLoad.aUndoReduced.push_back(std::move(copy));
    }
  }
  m_oShared.SetVoxelBuffers(m_oLoad.pVoxels, m_oLoad.pReducedVoxels);
  return VR_OK;
}

int32_t ZR_VisManager::UploadTextures() {
  SelectQuality(0, true);
  if (m_oAdapter.bSoftwareRendering) return VR_OK;
  const int32_t loaded = m_oTexture3dRenderer.LoadVolume();
  if (loaded != VR_OK) {
    ZR_Log::Entry("m_oTexture3dRenderer.LoadVolume() failed; returned ", loaded);
    return loaded;
  }
  ZR_Log::Entry("m_oTexture3dRenderer.LoadVolume() succeeded");
  UseCopy(true);
  if (!m_oTexture3dRenderer.Load3dTexture()) {
    ZR_Log::Entry("m_oTexture3dRenderer.Load3dTexture() failed; returned ", VR_OG_3D_TEXTURE);
    return VR_OG_3D_TEXTURE;
  }
  ZR_Log::Entry("m_oTexture3dRenderer.Load3dTexture() succeeded ");
  SelectQuality(0, true);
  m_oTexture3dRenderer.UploadLut();
  return VR_OK;
}

void ZR_VisManager::CompleteLoad(ZR_DicomVolume& volume) {
  if (m_pProgressBar) m_pProgressBar->Step(1);
  BeforeAllocation("slice stack");
  ZR_SliceStack stack;
  for (int32_t k = 0; k < volume.m_nSliceCount; ++k) stack.apSlices.push_back(volume.Slice(k));
  stack.nWidth = volume.m_nWidth;
  stack.nHeight = volume.m_nHeight;
  stack.nFirst = volume.m_nFirst;
  stack.nSubsample = m_oVolume.bSubsampled ? m_oVolume.nSubsample : 1;
  stack.nPadColumn = volume.m_nPadColumn;
  stack.nPadRow = volume.m_nPadRow;
  for (int i = 0; i < 3; ++i) {
    stack.afOrigin[i] = volume.m_afOrigin[i];
    stack.afRow[i] = volume.m_afRowDirection[i];
    stack.afColumn[i] = volume.m_afColumnDirection[i];
    stack.afSliceDirection[i] = volume.m_afSliceDirection[i];
  }
  stack.fSpacingX = volume.m_fPixelSpacingX;
  stack.fSpacingY = volume.m_fPixelSpacingY;
  stack.fSliceDistance = volume.m_fSliceDistance;
  stack.aSlicePositions = volume.m_aSlicePositions;
  m_oShared.SetSliceStack(std::move(stack));
  const int32_t software = m_oSoftwareRenderer.LoadVolume();
  if (software == VR_NO_MEMORY) throw std::bad_alloc();
  if (software != VR_OK) ZR_Log::Entry("LoadVolume(): the software renderer refused the volume; ", software);

  m_oShared.GetExtents(m_oVolume.aExtent);
  StartCaptureSeries(volume);
  if (m_pSettings)
    m_pSettings->SetSkipThresholdRange(m_oVolume.nMinValue, static_cast<int32_t>(0.2 * m_oVolume.nMaxValue));
  // The MPR views' default slab and slice parameters are set here once slabs exist.
  m_oVolume.bLoaded = true;
  m_oVolume.bJustLoaded = true;
  Progress(kProgressMax);
  if (m_pProgressBar) m_pProgressBar->Close();
  m_oShared.ResetWindow(*m_pRenderer);
  m_oShared.ResetRotation(*m_pRenderer, true);
  m_pAppGui->EnableControl(ZR_Ctl::ts_Volume, true);
  m_oMpr.bResetOn3D = true;
  if (m_oScreen.Is3d()) {
    m_oMpr.bResetOnMpr = true;
    (void)Show3DScreenNow();
    SelectQuality(0, true);
    RedrawPanel(ZR_Panel::View3D);
    m_oMpr.bResetOn3D = false;
  } else {
    // The whole layout: planes, curve mode, the snap button, snapshot mode, the maximised view.
    ResetMprLayout(ZR_Screen::Mpr);
    SetRenderModeNow(m_oMpr.bGray ? ZR_RenderMode::Grayscale : ZR_RenderMode::Colour, true);
  }
  m_pAppGui->EnableControl(ZR_Ctl::Btn_Undo, false);
  // The curved-MPR window and the views' curves get their default scale here once they exist.
  RedrawViews(true);
  if (m_pAppGui->GetPanelCursor(ZR_Panel::View3D) == ZR_Cursor::Arrow)
    m_pAppGui->SetPanelCursor(ZR_Panel::View3D, ZR_Cursor::Rotate);
  m_pAppGui->SetPanelCursor(ZR_Panel::MprView3D, ZR_Cursor::Rotate);
}

void ZR_VisManager::AbortLoad() {
  if (m_oLoad.bReducedMapped) {
    UseCopy(true);
    (void)m_oTexture3dRenderer.UnmapUploadBuffer();
    m_oLoad.bReducedMapped = false;
  }
  if (m_oLoad.bFullMapped) {
    UseCopy(false);
    (void)m_oTexture3dRenderer.UnmapUploadBuffer();
    m_oLoad.bFullMapped = false;
  }
  UseCopy(false);
  m_oLoad.ForgetVoxelPointers();
  m_oShared.SetVoxelBuffers(nullptr, nullptr);
}

uint16_t* ZR_VisManager::AllocateAndMap(bool reduced, const char* what) {
  UseCopy(reduced);
  BeforeAllocation(what);
  // A buffer the driver cannot give, or cannot map, is memory it does not have.
  if (!m_oTexture3dRenderer.AllocateUploadBuffer()) throw std::bad_alloc();
  uint16_t* voxels = m_oTexture3dRenderer.MapUploadBuffer(reduced ? GL_WRITE_ONLY : GL_READ_WRITE);
  if (!voxels) throw std::bad_alloc();
  (reduced ? m_oLoad.bReducedMapped : m_oLoad.bFullMapped) = true;
  return voxels;
}

void ZR_VisManager::UseCopy(bool reduced) {
  m_oTexture3dRenderer.SetReducedResolution(reduced, reduced ? m_oVolume.nReduction : 1);
  m_oShared.SelectCopy(reduced);
}
