// Loading at the level of the manager: LoadStudy's limits and refusals, the subset preview it
// opens, LoadVolume's checks and what it leaves for the renderers and the transfer function,
// re-entrant loads refused from inside progress updates, allocation failures at every step,
// and the hand-over of a volume by another process.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "core/ZR_Log.h"
#include "core/ZR_SystemInfo.h"
#include "dicom/ZR_HandoverRecord.h"
#include "presets/ZR_PresetEditor.h"
#include "tests/manager/ZR_LoadingFixture.h"
#include "tests/dicom/ZR_DicomSeries.h"
#include "tests/dicom/ZR_TestStudy.h"
#include "tests/support/ZR_TestData.h"

namespace {
const std::string kTooFew = "ERROR! Failed to load volume (too few slices).";
const std::string kMatrix = "ERROR! Failed to load volume (Imaging Matrix not supported).";

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

uint64_t HistogramSum(RenderShared& shared) {
  const int32_t* h = shared.GetHistogram();
  return std::accumulate(h, h + RenderShared::kHistogramSize, uint64_t{0},
                         [](uint64_t s, int32_t v) { return s + static_cast<uint32_t>(v); });
}

std::unique_ptr<ZR_DicomVolume> Gradient(int32_t width, int32_t slices, int32_t height = -1) {
  return ZR_TestStudy::Make(width, height < 0 ? width : height, slices, [](int32_t x, int32_t y, int32_t z) {
    return static_cast<uint16_t>((x * 37 + y * 11 + z * 5) % 4096);
  });
}

using Loading = ZR_LoadingFixture;
}  // namespace

TEST_F(Loading, NineFilesAreTooFewTenOpenThePreview) {
  const std::vector<std::string> files = Files("ten", 10);
  int32_t count = 9;
  EXPECT_EQ(manager->LoadStudy(files, count), VR_LD_TOO_FEW_SLICES);
  EXPECT_EQ(gui.Messages(), std::vector<std::string>{kTooFew});
  EXPECT_EQ(manager->GetVolume(), nullptr);
  EXPECT_TRUE(Contains(Log(), "LoadStudy(): VR_LD_TOO_FEW_SLICES\n"));

  gui.Clear();
  count = 10;
  ASSERT_EQ(manager->LoadStudy(files, count), VR_OK);
  EXPECT_TRUE(gui.Messages().empty());
  ASSERT_NE(manager->GetVolume(), nullptr);
  EXPECT_EQ(manager->GetVolume()->m_nSliceCount, 10);
  ASSERT_NE(manager->VolumePreview(), nullptr);
  EXPECT_EQ(previewGui.engine, manager->VolumePreview());
  EXPECT_TRUE(previewGui.Has("ShowDialog(true)"));
  EXPECT_EQ(manager->VolumePreview()->End(), 9);
  EXPECT_TRUE(gui.Has("EnableControl(8,true)"));
  EXPECT_FALSE(manager->IsVolumeLoaded());  // nothing is loaded before "Load Volume"

  manager->VolumePreview()->Event(ZR_PreviewEvent::Load);
  EXPECT_TRUE(manager->IsVolumeLoaded());
  EXPECT_TRUE(Contains(Log(), "LoadVolume(): Volume Dimensions = 16 x 16 x 10\n"));
  EXPECT_TRUE(Contains(Log(), "m_oTexture3dRenderer.LoadVolume() succeeded\n"));
  EXPECT_TRUE(Contains(Log(), "m_oTexture3dRenderer.Load3dTexture() succeeded \n"));
}

TEST_F(Loading, FilesAreLimitedToWhatHalfTheMemoryHolds) {
  const std::vector<std::string> files = Files("limit", 14);
  // 16 x 16 x 2 bytes per slice: 12 of them in half of 12 KiB.
  ZR_SystemInfo::SetPhysicalMemoryForTesting(12 * 1024);
  int32_t count = 14;
  ASSERT_EQ(manager->LoadStudy(files, count), VR_OK);
  EXPECT_EQ(count, 12);
  EXPECT_EQ(manager->GetVolume()->m_nSliceCount, 12);
}

TEST_F(Loading, FailedReadsLeaveNoVolumeAndCloseTheProgress) {
  // A first file that is no image: no slice size to divide by.
  std::vector<std::string> files = Files("not_image", 12);
  const std::string text = ZR_TestData::ScratchDir("loading_not_image").string() + "/notes.txt";
  ZR_TestData::WriteText(text, "not a DICOM file");
  files.insert(files.begin(), text);
  int32_t count = 13;
  EXPECT_EQ(manager->LoadStudy(files, count), VR_LD_INVALID_VOLUME);
  EXPECT_EQ(manager->GetVolume(), nullptr);
  EXPECT_FALSE(progress.visible);
  EXPECT_TRUE(Contains(gui.Messages().at(0), "ERROR! Failed to load volume."));

  // A read error after the first file.
  files = Files("broken", 12);
  ZR_TestData::WriteText(files[5], "damaged");
  count = 12;
  EXPECT_EQ(manager->LoadStudy(files, count), VR_LD_INVALID_VOLUME);
  EXPECT_EQ(manager->GetVolume(), nullptr);
  EXPECT_FALSE(progress.visible);

  // Memory running out while the study is read or its preview is made.
  files = Files("memory", 12);
  for (const char* step : {"volume record", "subset preview"}) {
    SCOPED_TRACE(step);
    manager->allocations.clear();
    manager->failAt = -1;
    count = 12;
    ASSERT_EQ(manager->LoadStudy(files, count), VR_OK);
    const auto at = std::find(manager->allocations.begin(), manager->allocations.end(), step);
    ASSERT_NE(at, manager->allocations.end());
    manager->failAt = static_cast<int>(at - manager->allocations.begin());
    manager->allocations.clear();
    gui.Clear();
    EXPECT_EQ(manager->LoadStudy(files, count), VR_MEMORY_WARNING);
    EXPECT_EQ(gui.Messages(), std::vector<std::string>{"WARNING! Available physical memory may be insufficient."});
    EXPECT_EQ(manager->GetVolume(), nullptr);
    EXPECT_EQ(manager->VolumePreview(), nullptr);
    EXPECT_FALSE(progress.visible);
  }
}

TEST_F(Loading, RangeChecksOfLoadVolume) {
  ASSERT_EQ(Hand(Gradient(16, 20)), VR_OK);
  gui.Clear();
  EXPECT_EQ(LoadRange(0, 8), VR_LD_TOO_FEW_SLICES);
  EXPECT_EQ(gui.Messages(), std::vector<std::string>{kTooFew});
  EXPECT_FALSE(manager->IsVolumeLoaded());
  for (int32_t id : {1, 2, 6}) EXPECT_FALSE(gui.enabled[id]) << id;
  EXPECT_TRUE(gui.enabled[8]);  // the subset can be chosen again
  EXPECT_NE(manager->GetVolume(), nullptr);

  gui.Clear();
  EXPECT_EQ(LoadRange(3, 12), VR_OK);
  EXPECT_TRUE(gui.Messages().empty());
  EXPECT_TRUE(manager->IsVolumeLoaded());
  for (int32_t id : {1, 2, 6, 8, 36}) EXPECT_TRUE(gui.enabled[id]) << id;

  // Both sides powers of two, so not padded: not square.
  ASSERT_EQ(Hand(Gradient(32, 12, 16)), VR_OK);
  gui.Clear();
  EXPECT_EQ(LoadRange(0, 11), VR_LD_MATRIX_NOT_SUPPORTED);
  EXPECT_EQ(gui.Messages(), std::vector<std::string>{kMatrix});
  EXPECT_FALSE(manager->IsVolumeLoaded());
}

TEST_F(Loading, PaddedFilesOfUnequalSidesLoad) {
  // 50 x 40 pixels become 64 x 64 slices.
  ZR_DicomFixtures::Grey grey;
  grey.columns = 50;
  grey.rows = 40;
  grey.bitsStored = 12;
  grey.values.assign(50 * 40, 300);
  grey.values[0] = 100;
  const std::vector<std::string> files = ZR_DicomSeries::Write("padded", 10, grey);
  int32_t count = 10;
  ASSERT_EQ(manager->LoadStudy(files, count), VR_OK);
  EXPECT_EQ(manager->GetVolume()->m_nWidth, 64);
  EXPECT_EQ(manager->GetVolume()->m_nHeight, 64);
  EXPECT_EQ(LoadRange(0, 9), VR_OK);
}

TEST_F(Loading, NonUniformWarningOnlyInsideTheRange) {
  auto v = Gradient(16, 30);
  v->m_bNonUniform = true;
  v->m_nNonUniformSlice = 3;
  ASSERT_EQ(Hand(std::move(v)), VR_OK);
  const std::string warning = "WARNING: Spacing non-uniform in Slices [3 - 5]";
  gui.Clear();
  ASSERT_EQ(LoadRange(4, 20), VR_OK);  // 3..5 is not inside 4..20
  EXPECT_TRUE(gui.Messages().empty());
  ASSERT_EQ(LoadRange(0, 14), VR_OK);
  EXPECT_EQ(gui.Messages(), std::vector<std::string>{warning});
  gui.Clear();
  ASSERT_EQ(LoadRange(3, 12), VR_OK);  // the triple at the range's start
  EXPECT_EQ(gui.Messages(), std::vector<std::string>{warning});
  EXPECT_TRUE(manager->IsVolumeLoaded());
}

TEST_F(Loading, ReducedCopyHalvesUpTo1024SlicesAndQuartersBeyond) {
  for (int32_t slices : {1024, 1025}) {
    SCOPED_TRACE(slices);
    ASSERT_EQ(Hand(Gradient(8, slices)), VR_OK);
    ASSERT_EQ(LoadRange(0, slices - 1), VR_OK);
    EXPECT_EQ(manager->Reduction(), slices == 1024 ? 2 : 4);
    int32_t reduced[3];
    shared.GetReducedDimensions(reduced);
    EXPECT_EQ(reduced[0], slices == 1024 ? 4 : 2);
    EXPECT_EQ(reduced[2], slices == 1024 ? 512 : 256);
  }
}

TEST_F(Loading, SubSamplingBuildsTheSmallerVolumeFromEverySecondSlice) {
  settings.Renderer().downsampling = 2;
  manager->ApplySetting(11);
  ASSERT_EQ(Hand(Gradient(16, 201)), VR_OK);
  ASSERT_EQ(LoadRange(0, 200), VR_OK);
  EXPECT_TRUE(manager->IsSubsampled());
  EXPECT_EQ(manager->Reduction(), 1);
  int32_t full[3], reduced[3];
  shared.GetFullDimensions(full);
  shared.GetReducedDimensions(reduced);
  EXPECT_EQ(std::vector<int32_t>(full, full + 3), (std::vector<int32_t>{8, 8, 100}));
  EXPECT_EQ(std::vector<int32_t>(reduced, reduced + 3), (std::vector<int32_t>{8, 8, 100}));
  EXPECT_EQ(manager->HistogramVoxels(), 6400u);
  EXPECT_TRUE(manager->TextureRenderer().IsLoaded());
}

// The histogram and the count handed to the editor describe the loaded volume alone: a
// second load does not add to the first, and the editor's analysis threshold is taken from
// every voxel counted, not from the eight times smaller reduced copy.
TEST_F(Loading, TheEditorAnalysesTheHistogramOfTheLoadedVolume) {
  // 64 x 64 x 80 voxels; 10 of them at 4000, too few for a threshold of 32 voxels, enough
  // for one of 4.
  auto v = ZR_TestStudy::Make(64, 64, 80, [](int32_t x, int32_t y, int32_t z) {
    return static_cast<uint16_t>(z == 40 && y == 0 && x < 10 ? 4000 : 1000);
  });
  ASSERT_EQ(Hand(std::move(v)), VR_OK);
  ASSERT_EQ(LoadRange(0, 79), VR_OK);
  EXPECT_EQ(manager->HistogramVoxels(), 64u * 64u * 80u);
  EXPECT_EQ(HistogramSum(shared), 64u * 64u * 80u);
  EXPECT_EQ(shared.GetHistogram()[4000], 10);
  EXPECT_EQ(manager->PresetEditor()->DataExtent(), 1000);

  ASSERT_EQ(LoadRange(10, 39), VR_OK);
  EXPECT_EQ(HistogramSum(shared), 64u * 64u * 30u);
  EXPECT_EQ(shared.GetHistogram()[4000], 0);
}

TEST_F(Loading, SettingsAreAppliedAtTheFirstLoadOnly) {
  settings.Renderer().interactionQuality = 4;  // final method 0
  ASSERT_EQ(Hand(Gradient(16, 12)), VR_OK);
  EXPECT_EQ(manager->ScreenState().nFinalMethod, 2);  // not applied before a load
  ASSERT_EQ(LoadRange(0, 11), VR_OK);
  EXPECT_EQ(manager->ScreenState().nFinalMethod, 0);
  settings.Renderer().interactionQuality = 0;
  ASSERT_EQ(LoadRange(1, 11), VR_OK);
  EXPECT_EQ(manager->ScreenState().nFinalMethod, 0);
}

// The progress window lets events through; a second import or load arriving from there is
// refused, and the first one finishes as if nothing had happened.
TEST_F(Loading, LoadsStartedFromProgressUpdatesAreRefused) {
  const std::vector<std::string> files = Files("first", 12), other = Files("second", 11);
  std::vector<int32_t> refusals;
  bool inside = false;
  auto intrude = [&] {
    if (inside) return;
    inside = true;
    int32_t count = 11;
    refusals.push_back(manager->LoadStudy(other, count));
    refusals.push_back(manager->LoadVolume(manager->GetVolume()));
    refusals.push_back(manager->LoadHandedOverVolume(Gradient(16, 12)));
    manager->ApplySetting(22);  // would release the preview's thumbnails
    inside = false;
  };
  progress.onProcessEvents = intrude;
  settings.Performance().disableSubset = true;
  int32_t count = 12;
  ASSERT_EQ(manager->LoadStudy(files, count), VR_OK);  // while the files are read
  EXPECT_EQ(manager->GetVolume()->m_nSliceCount, 12);
  ASSERT_FALSE(refusals.empty());
  EXPECT_EQ(std::count(refusals.begin(), refusals.end(), VR_LD_INVALID_VOLUME), static_cast<long>(refusals.size()));

  refusals.clear();
  ASSERT_EQ(LoadRange(0, 11), VR_OK);  // while the volume is assembled
  ASSERT_FALSE(refusals.empty());
  EXPECT_EQ(std::count(refusals.begin(), refusals.end(), VR_LD_INVALID_VOLUME), static_cast<long>(refusals.size()));
  EXPECT_TRUE(manager->IsVolumeLoaded());
  EXPECT_EQ(manager->GetVolume()->m_nSliceCount, 12);
  EXPECT_EQ(manager->HistogramVoxels(), 16u * 16u * 12u);
  EXPECT_FALSE(manager->VolumePreview()->IsReleased());  // the setting change was refused
  EXPECT_TRUE(Contains(Log(), "ApplySetting(): refused while a volume is being loaded; 22\n"));
  EXPECT_TRUE(Contains(Log(), "LoadStudy(): refused while a volume is being loaded\n"));
  EXPECT_TRUE(Contains(Log(), "LoadVolume(): refused while a volume is being loaded\n"));
}

// Every allocation of a load, made to fail in turn: VR_NO_MEMORY with its message and log
// line, nothing loaded, nothing left mapped, and the next load succeeds.
TEST_F(Loading, AnAllocationFailureAtAnyStepLeavesNothingLoaded) {
  settings.Performance().disableUndo = false;  // the undo copies allocate too
  ASSERT_EQ(Hand(Gradient(16, 24)), VR_OK);
  manager->allocations.clear();
  ASSERT_EQ(LoadRange(0, 23), VR_OK);
  const std::vector<std::string> steps = manager->allocations;
  for (const char* expected : {"study information", "full upload buffer", "voxel assembly", "undo copies",
                               "selection mask", "reduced upload buffer", "reduced undo copies"})
    EXPECT_NE(std::find(steps.begin(), steps.end(), expected), steps.end()) << expected;

  for (size_t i = 0; i < steps.size(); ++i) {
    SCOPED_TRACE(steps[i]);
    manager->allocations.clear();
    manager->failAt = static_cast<int>(i);
    gui.Clear();
    EXPECT_EQ(LoadRange(0, 23), VR_NO_MEMORY);
    EXPECT_EQ(gui.Messages(), std::vector<std::string>{
                                  "ERROR! Low on memory. Close other applications and reload volume, or reduce "
                                  "number of slices."});
    EXPECT_FALSE(manager->IsVolumeLoaded());
    EXPECT_FALSE(manager->TextureRenderer().IsLoaded());
    EXPECT_EQ(shared.FullVoxels(), nullptr);
    EXPECT_EQ(shared.Mask(), nullptr);
    EXPECT_FALSE(progress.visible);
    for (int32_t id : {1, 2, 6}) EXPECT_FALSE(gui.enabled[id]) << id;
  }
  const std::string log = Log();
  size_t lines = 0;
  for (size_t at = log.find("LoadVolume(): failed; VR_NO_MEMORY\n"); at != std::string::npos;
       at = log.find("LoadVolume(): failed; VR_NO_MEMORY\n", at + 1))
    ++lines;
  EXPECT_EQ(lines, steps.size());

  manager->failAt = -1;
  EXPECT_EQ(LoadRange(0, 23), VR_OK);
  EXPECT_TRUE(manager->IsVolumeLoaded());
}

TEST_F(Loading, HandedOverRecordsWithoutPixelsAreRefusedAndChangeNothing) {
  ASSERT_EQ(Hand(Gradient(16, 12)), VR_OK);
  ASSERT_EQ(LoadRange(0, 11), VR_OK);
  ZR_DicomVolume* loaded = manager->GetVolume();

  // A sound record: it describes a volume, but the pixels cannot come with it yet.
  const std::vector<uint8_t> record = ZR_HandoverRecord::Encode(*Gradient(16, 12));
  ASSERT_FALSE(record.empty());
  gui.Clear();
  EXPECT_EQ(manager->LoadHandedOverRecord(record.data(), record.size()), VR_LD_INVALID_VOLUME);
  EXPECT_TRUE(Contains(gui.Messages().at(0), "ERROR! Failed to load volume."));
  EXPECT_EQ(manager->GetVolume(), loaded);
  EXPECT_TRUE(manager->IsVolumeLoaded());
  EXPECT_TRUE(Contains(Log(), "LoadHandedOverVolume(): the volume carries no pixels\n"));

  // A record cut short.
  EXPECT_EQ(manager->LoadHandedOverRecord(record.data(), 60), VR_LD_INVALID_VOLUME);
  EXPECT_EQ(manager->GetVolume(), loaded);
  EXPECT_TRUE(Contains(Log(), "LoadHandedOverVolume(): the record is refused: "));
}

TEST_F(Loading, AnotherStudyUnloadsTheFirst) {
  ASSERT_EQ(Hand(Gradient(16, 12)), VR_OK);
  ASSERT_EQ(LoadRange(0, 11), VR_OK);
  const std::vector<std::string> files = Files("next", 10);
  int32_t count = 10;
  ASSERT_EQ(manager->LoadStudy(files, count), VR_OK);
  EXPECT_FALSE(manager->IsVolumeLoaded());
  EXPECT_FALSE(manager->TextureRenderer().IsLoaded());
  EXPECT_TRUE(shared.SliceStack().apSlices.empty());  // nothing points into the old slices
  EXPECT_EQ(manager->GetVolume()->m_nSliceCount, 10);
}

TEST_F(Loading, SettingItemsTheLoadDependsOn) {
  settings.Performance().disableUndo = false;
  ASSERT_EQ(Hand(Gradient(16, 12)), VR_OK);
  ASSERT_EQ(LoadRange(0, 11), VR_OK);
  EXPECT_NE(shared.SavedSlices(), nullptr);  // undo copies made and handed to the renderer

  settings.Renderer().autoHighQuality = false;
  manager->ApplySetting(12);
  EXPECT_TRUE(gui.enabled[11]);
  settings.Performance().disableUndo = true;
  manager->ApplySetting(21);
  EXPECT_EQ(shared.SavedSlices(), nullptr);
  EXPECT_FALSE(gui.enabled[18]);
  settings.Performance().disableSubset = true;
  manager->ApplySetting(22);
  EXPECT_TRUE(manager->VolumePreview()->IsReleased());
  EXPECT_FALSE(gui.enabled[8]);
  settings.Display().labelMode = 1;
  manager->ApplySetting(0);
  EXPECT_EQ(manager->VolumeState().nLabels, 1);
  gui.Clear();
  manager->ApplySetting(23);  // no such item
  EXPECT_TRUE(gui.calls.empty());
}
