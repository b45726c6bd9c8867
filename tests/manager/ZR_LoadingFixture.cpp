#include "tests/manager/ZR_LoadingFixture.h"

#include <new>

#include "core/ZR_SystemInfo.h"
#include "tests/dicom/ZR_DicomSeries.h"
#include "tests/support/ZR_TestData.h"

void ZR_LoadingManager::BeforeAllocation(const char* what) {
  allocations.emplace_back(what);
  if (static_cast<int>(allocations.size()) - 1 == failAt) throw std::bad_alloc();
}

void ZR_LoadingFixture::SetUp() {
  ZR_SystemInfo::SetPhysicalMemoryForTesting(uint64_t{2} << 30);
  gl = ZR_GlTestContext::Get();
  ASSERT_NE(gl, nullptr) << ZR_GlTestContext::Error();
  panels = std::make_unique<ZR_TestPanels>(*gl, kPanel);
  manager = std::make_unique<ZR_LoadingManager>(&gui, shared, text);
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  logDir = ZR_TestData::ScratchDir(std::string("loading_") + info->test_suite_name() + "_" + info->name()).string();
  manager->OpenLog(logDir);
  manager->SetProgressBar(&progress);
  manager->SetVolumePreviewGui(&previewGui);
  manager->SetSettingsModel(&settings);
  manager->SetRenderPlatform(&panels->platform);
  ASSERT_EQ(manager->CreatePresetEditor(&presetGui), VR_OK);
  ASSERT_EQ(manager->OnCreate(&panels->table), VR_OK);
  gui.Clear();
}

void ZR_LoadingFixture::TearDown() {
  manager.reset();
  ZR_SystemInfo::SetPhysicalMemoryForTesting(0);
}

int32_t ZR_LoadingFixture::Hand(std::unique_ptr<ZR_DicomVolume> volume) {
  return manager->LoadHandedOverVolume(std::move(volume));
}

int32_t ZR_LoadingFixture::LoadRange(int32_t first, int32_t last) {
  ZR_DicomVolume* v = manager->GetVolume();
  if (!v) return -1;
  v->m_nFirst = first;
  v->m_nLast = last;
  return manager->LoadVolume(v);
}

std::string ZR_LoadingFixture::Log() const { return ZR_TestData::ReadText(logDir + "/lmx_log.txt"); }

std::vector<std::string> ZR_LoadingFixture::Files(const std::string& name, int32_t count, int32_t size) {
  ZR_DicomFixtures::Grey grey;
  grey.rows = grey.columns = size;
  grey.bitsStored = 12;
  for (int32_t y = 0; y < size; ++y)
    for (int32_t x = 0; x < size; ++x) grey.values.push_back(100 + 10 * (x + y));
  return ZR_DicomSeries::Write(name, count, grey);
}
