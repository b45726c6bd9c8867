#pragma once
// What the loaded volume is, as the views need it: its value range, the reduced and the
// sub-sampled copies, its extent and axes, the orientation labels and the study details.

#include <cstdint>
#include <string>
#include <vector>

#include "render/ZR_ViewRecords.h"

struct ZR_VolumeState {
  bool bLoaded = false;
  bool bJustLoaded = false;  // the textures were just uploaded (one residency retry)
  // Held 32-bit inside the program: unsigned 16-bit data would wrap in 16 bits.
  int32_t nMinValue = 0;
  int32_t nMaxValue = 0;
  int32_t nIntercept = 0;
  int16_t nReduction = 1;
  bool bSubsampled = false;
  int32_t nSubsample = 1;
  float aPixelSpacing[3] = {0, 0, 0};
  int32_t aAxisSign[3] = {1, 1, 1};
  float aExtent[3] = {0, 0, 0};
  // Orientation-label indices of the volume's six directions (-x, +x, -y, +y, -z, +z).
  int32_t aLabelIndices[6] = {1, 0, 3, 2, 4, 5};
  int32_t nLabels = 0;
  std::vector<ZR_StudyLine> aStudyLines;
  std::string sVoxelSize;

  // The sub-sampling factor the assembly uses.
  int32_t SubsampleFactor() const { return bSubsampled ? nSubsample : 1; }
};
