#include "dicom/ZR_DicomVolume.h"

void ZR_DicomVolume::Clear() {
  m_apSlices.clear();
  m_apSlices.shrink_to_fit();
  m_nNotCt = 0;
  m_sFileName.clear();
  m_fPixelSpacingX = m_fPixelSpacingY = m_fSliceDistance = 0.0f;
  m_nBitsUsed = m_nWidth = m_nHeight = m_nSliceCount = m_nFirst = m_nLast = 0;
  m_nSmallest = m_nLargest = 0;
  m_fRescaleSlope = 1.0f;
  m_nRescaleIntercept = 0;
  m_bNonUniform = false;
  m_nNonUniformSlice = -1;
  m_bOrientationFlag = false;
  m_anAxisTable = {};
  m_afRowDirection = m_afColumnDirection = m_afSliceDirection = m_afOrigin = {};
  m_nPadColumn = m_nPadRow = 0;
  m_aSlicePositions.clear();
}

bool ZR_DicomVolume::HasAllSlices() const {
  if (m_nSliceCount <= 0 || m_apSlices.size() < static_cast<size_t>(m_nSliceCount)) return false;
  for (int32_t k = 0; k < m_nSliceCount; ++k)
    if (!m_apSlices[static_cast<size_t>(k)]) return false;
  return true;
}
