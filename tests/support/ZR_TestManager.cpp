#include "tests/support/ZR_TestManager.h"

#include "tests/support/ZR_TestVolume.h"

std::string ZR_TestManager::ShowVolume(const int32_t dims[3], const float scale[3],
                                       std::vector<uint16_t> stored, const ZR_SliceStack& geometry) {
  m_aStored = std::move(stored);
  if (!MakePanelCurrent(ZR_Panel::View3D)) return "panel 0 not current";
  ZR_SliceStack stack = geometry;
  const ZR_SliceStack slices = ZR_TestVolume::Stack(m_aStored, dims);
  stack.apSlices = slices.apSlices;
  stack.nWidth = slices.nWidth;
  stack.nHeight = slices.nHeight;
  m_oShared.SetSliceStack(stack);
  m_oShared.SetPixelSpacing(1, 1, scale[2]);
  VolumeStateForSetUp().nReduction = 2;
  if (m_oAdapter.bSoftwareRendering) {
    m_oShared.SetVoxelScale(scale[0], scale[1], scale[2]);
    m_oShared.SetFullDimensions(dims[0], dims[1], dims[2]);
    m_oShared.SetReducedDimensions(dims[0], dims[1], dims[2]);
  } else {
    const std::string error = ZR_TestVolume::Upload(m_oShared, m_oTexture3dRenderer, dims, scale,
                                                    m_aStored, VolumeState().nReduction);
    if (!error.empty()) return error;
  }
  SelectQuality(0, true);
  m_oShared.GetExtents(VolumeStateForSetUp().aExtent);
  if (m_oSoftwareRenderer.LoadVolume() != VR_OK) return "software renderer refused the volume";
  m_oShared.ResetRotation(*m_pRenderer, true);
  VolumeStateForSetUp().bLoaded = true;
  VolumeStateForSetUp().bJustLoaded = true;
  return "";
}
