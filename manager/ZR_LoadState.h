#pragma once
// A load in progress and the buffers it leaves behind: the texture renderer's upload buffers
// while they are mapped for the assembly, the histogram count, the selection mask and the
// sculpt undo copies.

#include <cstdint>
#include <memory>
#include <vector>

struct ZR_LoadState {
  bool bLoading = false;          // a load runs: a second one is refused
  bool bSettingsApplied = false;  // the first load of the run applied the settings
  // The upload buffers while they are mapped for the assembly (null otherwise).
  uint16_t* pVoxels = nullptr;
  uint16_t* pReducedVoxels = nullptr;
  bool bFullMapped = false;
  bool bReducedMapped = false;
  int32_t aVoxelDims[3] = {0, 0, 0};
  int32_t aReducedDims[3] = {0, 0, 0};
  uint64_t nHistogramVoxels = 0;
  // Region editing: the selection mask and the sculpt undo copies (raw slices, their voxels,
  // the reduced slices).
  bool bRegionEditing = true;
  bool bUndoAvailable = false;
  std::unique_ptr<uint8_t[]> pMask;
  std::vector<std::unique_ptr<uint16_t[]>> aUndoRaw, aUndoVoxels, aUndoReduced;
  std::vector<uint16_t*> apUndoRaw, apUndoVoxels;

  // Once unmapped the pointers are no longer the buffers'.
  void ForgetVoxelPointers() { pVoxels = pReducedVoxels = nullptr; }
  // The mask and the undo copies go with the volume they were made for.
  void DropRegionBuffers() {
    pMask.reset();
    aUndoRaw.clear();
    aUndoVoxels.clear();
    aUndoReduced.clear();
    apUndoRaw.clear();
    apUndoVoxels.clear();
    bUndoAvailable = false;
  }
};
