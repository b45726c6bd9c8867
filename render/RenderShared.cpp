// Volume source, current copy, lookup table, histogram and cut state.
#include "render/RenderShared.h"

#include <algorithm>
#include <cmath>

RenderShared& RenderShared::Instance() {
  static RenderShared shared;
  return shared;
}

RenderShared::RenderShared() : m_oLut(ZR_Lut::kDefaultEntryCount) {}

RenderShared::~RenderShared() = default;

void RenderShared::AttachGl(ZR_GlFunctions* gl, ZR_GpuPrograms* programs) {
  m_pGl = gl;
  m_pPrograms = programs;
}

void RenderShared::SetPixelSpacing(float x, float y, float z) {
  m_aPixelSpacing[0] = x;
  m_aPixelSpacing[1] = y;
  m_aPixelSpacing[2] = z;
  UpdatePhysicalLength();
}

void RenderShared::SetFullDimensions(int32_t x, int32_t y, int32_t z) {
  m_aFull[0] = x;
  m_aFull[1] = y;
  m_aFull[2] = z;
  UpdatePhysicalLength();
}

void RenderShared::UpdatePhysicalLength() {
  // The axis of the largest full extent, later axes winning ties, as for the current copy.
  int32_t axis = 2;
  float largest = -1;
  for (int32_t i = 0; i < 3; ++i) {
    const float extent = std::floor(static_cast<float>(m_aFull[i]) * m_aVoxelScale[i]);
    if (std::fabs(extent) >= largest) {
      largest = std::fabs(extent);
      axis = i;
    }
  }
  const float length = static_cast<float>(m_aFull[axis]) * m_aPixelSpacing[axis];
  m_fInversePhysicalLength = length > 0 ? 1.0f / length : 0.0f;
}

void RenderShared::SetReducedDimensions(int32_t x, int32_t y, int32_t z) {
  m_aReduced[0] = x;
  m_aReduced[1] = y;
  m_aReduced[2] = z;
}

void RenderShared::GetFullDimensions(int32_t out[3]) const { std::copy_n(m_aFull, 3, out); }

void RenderShared::GetReducedDimensions(int32_t out[3]) const { std::copy_n(m_aReduced, 3, out); }

void RenderShared::SetVoxelBuffers(uint16_t* full, uint16_t* reduced) {
  m_pFullVoxels = full;
  m_pReducedVoxels = reduced;
  m_pCurrentVoxels = m_bReducedCurrent ? reduced : full;
}

void RenderShared::SetSliceCopies(uint16_t** savedSlices, uint16_t** savedRawSlices) {
  m_ppSavedSlices = savedSlices;
  m_ppSavedRawSlices = savedRawSlices;
}

void RenderShared::SetVoxelScale(float x, float y, float z) {
  m_aVoxelScale[0] = x;
  m_aVoxelScale[1] = y;
  m_aVoxelScale[2] = z;
  UpdatePhysicalLength();
}

void RenderShared::GetVoxelScale(float out[3]) const { std::copy_n(m_aVoxelScale, 3, out); }

int32_t RenderShared::SelectCopy(bool reduced) {
  m_bReducedCurrent = reduced;
  std::copy_n(reduced ? m_aReduced : m_aFull, 3, m_aCurrent);
  m_pCurrentVoxels = reduced ? m_pReducedVoxels : m_pFullVoxels;
  m_nRowLength = m_aCurrent[0];
  m_nSliceSize = m_aCurrent[0] * m_aCurrent[1];
  // Later axes win ties, so an all-zero vector gives axis 2.
  int32_t axis = 0;
  float largest = 0;
  for (int32_t i = 0; i < 3; ++i) {
    m_aExtent[i] = static_cast<float>(m_aCurrent[i]) * m_aVoxelScale[i];
    const float floored = std::floor(m_aExtent[i]);
    if (i == 0 || std::fabs(floored) >= std::fabs(largest)) {
      largest = floored;
      axis = i;
    }
  }
  m_nLargestAxis = axis;
  m_fLargestExtent = largest;
  return axis;
}

void RenderShared::GetExtents(float out[3]) const { std::copy_n(m_aExtent, 3, out); }

float* RenderShared::CurrentTable() {
  return m_bColourTable ? m_oLut.ColourTable() : m_oLut.GreyTable();
}

void RenderShared::AcquireHistogram() {
  if (!m_pHistogram) m_pHistogram = std::make_unique<int32_t[]>(kHistogramSize);  // zeroed
  ++m_nRenderers;
}

void RenderShared::ReleaseHistogram() {
  if (m_nRenderers > 0 && --m_nRenderers == 0) m_pHistogram.reset();
}

void RenderShared::SetCutColour(const float rgba[4]) { std::copy_n(rgba, 4, m_oCut.afColour); }

void RenderShared::SetSlabThickness(float thickness) {
  m_oCut.fSlabThickness = std::max(thickness, 1.0f);
}
