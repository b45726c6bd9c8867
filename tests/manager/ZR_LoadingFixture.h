#pragma once
// A started manager on headless panels with every contract a load talks to recorded, the
// machine posing as one of 2 GiB, and ways to hand it studies: DICOM files through LoadStudy
// or volumes made in memory through the hand-over path.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dicom/ZR_DicomVolume.h"
#include "dicom/ZR_VolumePreview.h"
#include "render/OpenGlText.h"
#include "render/RenderShared.h"
#include "settings/ZR_Vis3DSettings.h"
#include "tests/support/ZR_GlTestContext.h"
#include "tests/support/ZR_RecordingPresetEditorGui.h"
#include "tests/support/ZR_RecordingProgressBar.h"
#include "tests/support/ZR_RecordingVisGui.h"
#include "tests/support/ZR_RecordingVolumePreviewGui.h"
#include "tests/support/ZR_TestManager.h"
#include "tests/support/ZR_TestPanels.h"

// The manager with its loading state open and every allocation of a load observable: each
// is named in `allocations`, and the one at index `failAt` throws std::bad_alloc.
class ZR_LoadingManager : public ZR_TestManager {
 public:
  using ZR_TestManager::ZR_TestManager;

  std::vector<std::string> allocations;
  int failAt = -1;

  // The slabs drawn on the GPU path, as the renderer gets them: each begins with its blend
  // mode (kMpvr, kMinIp, kMip), then the offset of every sub-plane along the normal.
  struct SlabDrawn {
    int32_t panel = 0;
    int32_t mode = 0;
    std::vector<float> offsets;
  };
  std::vector<SlabDrawn> slabs;

 protected:
  void BeforeAllocation(const char* what) override;
  void BeginSlab(int32_t panel, int32_t mode) override {
    slabs.push_back({panel, mode, {}});
    ZR_TestManager::BeginSlab(panel, mode);
  }
  void DrawSlabPlane(int32_t panel, float offset) override {
    if (!slabs.empty()) slabs.back().offsets.push_back(offset);
    ZR_TestManager::DrawSlabPlane(panel, offset);
  }
};

class ZR_LoadingFixture : public ::testing::Test {
 protected:
  static constexpr int32_t kPanel = 64;

  void SetUp() override;
  void TearDown() override;

  // A volume of width x width x slices made in memory (see ZR_TestStudy), handed over to the
  // manager as another process would (with its pixels): the preview opens for it.
  int32_t Hand(std::unique_ptr<ZR_DicomVolume> volume);
  // Loads slices first..last of the study the manager holds, as "Load Volume" does.
  int32_t LoadRange(int32_t first, int32_t last);
  // The log written so far.
  std::string Log() const;
  // Generated DICOM files (16 x 16 unless given), value x + y + k in file k.
  static std::vector<std::string> Files(const std::string& name, int32_t count, int32_t size = 16);

  ZR_GlTestContext* gl = nullptr;
  std::unique_ptr<ZR_TestPanels> panels;
  RenderShared shared;
  OpenGlText text;
  ZR_RecordingVisGui gui;
  ZR_RecordingVolumePreviewGui previewGui;
  ZR_RecordingProgressBar progress;
  ZR_RecordingPresetEditorGui presetGui;
  ZR_Vis3DSettings settings;
  std::unique_ptr<ZR_LoadingManager> manager;
  std::string logDir;
};
