// Captures: what a view shows (the screen's picture, for the gallery, a movie frame or a
// series) and the software renderer's 16-bit picture of an MPR view (a file or a series),
// each with the spacing, window and patient plane an exported file needs.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "core/ZR_Log.h"
#include "core/ZR_Movie.h"
#include "core/ZR_Series.h"
#include "core/ZR_VisGui.h"
#include "dicom/ZR_DcmUid.h"
#include "dicom/ZR_DicomVolume.h"
#include "manager/ZR_VisManager.h"
#include "output/ZR_Image.h"
#include "output/ZR_ImageGallery.h"
#include "output/ZR_ImageWriter.h"

namespace {
bool IsMprPanel(int32_t panel) { return panel >= ZR_Panel::Mpr0 && panel <= ZR_Panel::Mpr3; }
bool Is3dPanel(int32_t panel) { return panel == ZR_Panel::View3D || panel == ZR_Panel::MprView3D; }

// Bits that the samples 0..range need.
int32_t BitsFor(int32_t range) {
  int32_t bits = 1;
  while (bits < 16 && (1 << bits) <= range) ++bits;
  return bits;
}
}  // namespace

void ZR_VisManager::CaptureView(int32_t panel) { (void)CaptureView(panel, kToSnapshot, 0); }

bool ZR_VisManager::MakeScreenCapture(int32_t panel, ZR_Image* image) {
  if (!m_oVolume.bLoaded || panel < 0 || panel >= ZR_Panel::kPanelCount) return false;
  int32_t w = 0, h = 0;
  // What the view shows: the front buffer, or the offscreen buffer while a capture renders.
  std::unique_ptr<uint8_t[]> pixels = ReadPanel(panel, &w, &h, GL_BGR, GL_UNSIGNED_BYTE, 3, 1, false);
  if (!pixels) return false;
  std::vector<uint8_t> bytes(pixels.get(), pixels.get() + static_cast<size_t>(w) * h * 3);
  *image = ZR_Image(!Is3dPanel(panel), w, h, std::move(bytes), ZR_Image::kRgb24, 8);
  // The slice views show the square of the largest side: P millimetres across.
  if (panel >= ZR_Panel::Ortho0 && panel <= ZR_Panel::Mpr3 && w > 0) image->m_fPixelSpacing = PhysicalLength() / w;
  // An MPR view's picture lies in its plane; the screen's pixels are not the software
  // renderer's samples, so the plane is worked out for the screen's own grid.
  if (IsMprPanel(panel)) {
    float position[3], orientation[6];
    if (m_oSoftwareRenderer.ScreenPlane(m_oMpr.aViews[panel].oView, w, h, position, orientation)) {
      std::copy_n(position, 3, image->m_afPosition.begin());
      std::copy_n(orientation, 6, image->m_afOrientation.begin());
      image->m_bHasPosition = image->m_bHasOrientation = true;
    }
  }
  return true;
}

bool ZR_VisManager::MakeRawCapture(int32_t panel, ZR_Image* image) {
  if (!m_oVolume.bLoaded || !IsMprPanel(panel) || !m_pVolume) return false;
  float position[3], orientation[6];
  // A slab view's values are its slab's: the series loop's slice, or the view's own slab.
  const MprViewInfo& view = m_oMpr.aViews[panel];
  const uint16_t* raw = nullptr;
  if (m_bSlabInProgress)
    raw = m_oSoftwareRenderer.GetRawSlab(view.oView, m_oSlabInProgress, position, orientation);
  else if (view.Type() == MprViewInfo::kSlab)
    raw = m_oSoftwareRenderer.GetRawSlab(view.oView, SlabSpec(panel, 0, view.fSlabExtent), position, orientation);
  else
    raw = m_oSoftwareRenderer.GetRawImage(view.oView, position, orientation);
  int32_t w = 0, h = 0;
  m_oSoftwareRenderer.GetImageSize(&w, &h);
  if (!raw || w <= 0 || h <= 0) return false;
  const ZR_DicomVolume& v = *m_pVolume;
  // The samples run from 0 (the smallest value of the study) to largest - smallest.
  const int32_t bits = std::max(BitsFor(v.m_nLargest - v.m_nSmallest), std::min(v.m_nBitsUsed, 16));
  const bool narrow = bits < 9;
  const size_t count = static_cast<size_t>(w) * static_cast<size_t>(h);
  std::vector<uint8_t> bytes(count * (narrow ? 1 : 2));
  for (size_t k = 0; k < count; ++k) {
    if (narrow) {
      bytes[k] = static_cast<uint8_t>(std::min<uint16_t>(raw[k], 255));
    } else {
      bytes[2 * k] = static_cast<uint8_t>(raw[k] & 0xFF);
      bytes[2 * k + 1] = static_cast<uint8_t>(raw[k] >> 8);
    }
  }
  *image = ZR_Image(true, w, h, std::move(bytes), narrow ? ZR_Image::kGrey8 : ZR_Image::kGrey16, bits);
  std::copy_n(position, 3, image->m_afPosition.begin());
  std::copy_n(orientation, 6, image->m_afOrientation.begin());
  image->m_bHasPosition = image->m_bHasOrientation = true;
  image->m_fPixelSpacing = PhysicalLength() / static_cast<float>(w);
  // Stored 0 is the smallest value: its meaning in the study's units.
  image->m_bHasRescale = true;
  image->m_dRescaleSlope = v.m_fRescaleSlope;
  image->m_dRescaleIntercept = v.m_nRescaleIntercept + static_cast<double>(v.m_fRescaleSlope) * v.m_nSmallest;
  // The view's window is in the study's units, as the file's rescale makes its samples.
  const ZR_Window window = m_oShared.GetLut().GreyWindow();
  image->m_dWindowWidth = window.nWidth;
  image->m_dWindowCentre = window.nLevel;
  return true;
}

std::string ZR_VisManager::NextCaptureName() const { return CaptureName(NextCaptureNumber()); }

int32_t ZR_VisManager::NextCaptureNumber() const {
  // Numbers go on from the last run's files instead of overwriting them.
  std::error_code ignored;
  int32_t n = m_nSnapshotCount;
  while (std::filesystem::exists(CaptureName(n), ignored)) ++n;
  return n;
}

std::string ZR_VisManager::CaptureName(int32_t number) const {
  return (std::filesystem::path(m_sCaptureDir) / ("lmx" + std::to_string(number) + ".dcm")).string();
}

int32_t ZR_VisManager::WriteNextCapture(const ZR_Image& image, int32_t mode) {
  const int32_t number = NextCaptureNumber();
  const std::string name = CaptureName(number);
  const int32_t result = WriteCapture(image, name, mode);
  if (result != VR_OK) return result;
  m_nSnapshotCount = number + 1;
  ZR_Log::Entry("WriteNextCapture(): written ", name);
  return VR_OK;
}

int32_t ZR_VisManager::WriteCapture(const ZR_Image& image, const std::string& file, int32_t mode) {
  if (!m_pVolume) return VR_WRITE_FAILED;
  ZR_ImageWriter::Series series;
  series.sSeriesUid = m_sCaptureSeriesUid;
  series.nSeriesNumber = kCaptureSeriesNumber;
  series.nInstanceNumber = ++m_nCapturesWritten;
  std::string error;
  const int32_t result = ZR_ImageWriter::WriteDicomImage(m_pVolume->m_sFileName, file, image, mode, series, &error);
  if (result != VR_OK) {
    ZR_Log::Entry("WriteCapture(): ", file + ": " + error);
    m_pAppGui->ShowMessage("Unable to write " + file + ":\n" + error);
  }
  return result;
}

int32_t ZR_VisManager::CaptureView(int32_t panel, int32_t destination, int32_t frame) {
  ZR_Image image;
  if (!MakeScreenCapture(panel, &image)) return VR_WRITE_FAILED;
  switch (destination) {
    case kToMovie:
      // The movie's frames keep the size it was opened with: a view resized meanwhile would
      // hand over a buffer of another size.
      if (!m_pMovie || image.m_nWidth != m_nMovieWidth || image.m_nHeight != m_nMovieHeight ||
          !m_pMovie->AddFrame(image.m_aPixels.data(), frame))
        return VR_WRITE_FAILED;
      return VR_OK;
    case kToSeries:
      if (!m_pSeriesWriter) return VR_WRITE_FAILED;
      m_pSeriesWriter->AddImage(image);
      return VR_OK;
    default:
      break;
  }
  if (m_bSaveToFolder) return WriteNextCapture(image, ZR_ImageWriter::kDicomRgb);
  if (!m_pImageGallery) return VR_WRITE_FAILED;
  if (!m_pImageGallery->AddImage(image)) {
    if (m_pImageGallery->IsFull())
      m_pAppGui->ShowMessage("The gallery holds " + std::to_string(ZR_ImageGallery::kMostImages) +
                             " pictures: save or delete some before capturing more.");
    return VR_WRITE_FAILED;
  }
  return VR_OK;
}

int32_t ZR_VisManager::CaptureRawView(int32_t panel, int32_t destination) {
  ZR_Image image;
  if (!MakeRawCapture(panel, &image)) return VR_WRITE_FAILED;
  if (destination == kToSeries) {
    if (!m_pSeriesWriter) return VR_WRITE_FAILED;
    m_pSeriesWriter->AddImage(image);
    return VR_OK;
  }
  return WriteNextCapture(image, image.m_eFormat == ZR_Image::kGrey8 ? ZR_ImageWriter::kDicomGrey8
                                                                    : ZR_ImageWriter::kDicomGrey16);
}

int32_t ZR_VisManager::WriteView(int32_t panel, int32_t mode, const std::string& file) {
  ZR_Image image;
  const bool raw = mode == ZR_ImageWriter::kDicomGrey8 || mode == ZR_ImageWriter::kDicomGrey16;
  if (!(raw ? MakeRawCapture(panel, &image) : MakeScreenCapture(panel, &image))) return VR_WRITE_FAILED;
  return WriteCapture(image, file, mode);
}

void ZR_VisManager::StartCaptureSeries(const ZR_DicomVolume& volume) {
  // The single captures of a study form one series of their own.
  m_sCaptureSeriesUid = ZR_DcmUid::Generate();
  m_nCapturesWritten = 0;
  if (m_pImageGallery) {
    // Pictures of another study would be saved with this one's patient: they go.
    if (m_pImageGallery->SourceFile() != volume.m_sFileName) m_pImageGallery->Clear();
    m_pImageGallery->SetSourceFile(volume.m_sFileName);
  }
  if (m_pSeriesWriter) m_pSeriesWriter->SetSourceFile(volume.m_sFileName.c_str());
}
