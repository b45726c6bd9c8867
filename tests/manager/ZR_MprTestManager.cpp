#include "tests/manager/ZR_MprTestManager.h"

#include "tests/support/ZR_TestVolume.h"

void ZR_MprFixture::Start(const int32_t dims[3], const float scale[3], std::vector<uint16_t> stored) {
  gl = ZR_GlTestContext::Get();
  ASSERT_NE(gl, nullptr) << ZR_GlTestContext::Error();
  panels = std::make_unique<ZR_TestPanels>(*gl, kPanel);
  manager = std::make_unique<ZR_MprTestManager>(&gui, shared, text);
  manager->SetRenderPlatform(&panels->platform);
  settings.Display().showStudyDetails = false;  // no text over the pictures
  manager->SetSettingsModel(&settings);
  ASSERT_EQ(manager->OnCreate(&panels->table), VR_OK);
  ASSERT_EQ(manager->ShowVolume(dims, scale, std::move(stored)), "");
  ZR_Lut& lut = shared.GetLut();
  lut.SetValueMapping(1, 0);
  lut.SetRawRange(0, 4095);
  lut.BuildGreyRamp(4096, 2048);  // grey = stored value / 16
  lut.BuildOpacityRamp(2, -100);  // everything opaque
  shared.SelectLutTable(false);
  manager->RedrawViews(true);
  gui.Clear();
}

void ZR_MprFixture::StartPhantom() {
  const int32_t dims[3] = {64, 64, 40};
  const float scale[3] = {1, 1, 1.25f};
  Start(dims, scale, ZR_TestVolume::Phantom(dims));
}

ZR_TestImage ZR_MprFixture::Read(int32_t panel) {
  int32_t w = 0, h = 0;
  auto pixels = manager->ReadPanel(panel, &w, &h, GL_RGB, GL_UNSIGNED_BYTE, 3, 1, false);
  if (!pixels) return {};
  return ZR_TestImage::FromBottomUp(w, h, 3, pixels.get());
}

namespace {
// The crosshair colour (0, 0.6, 1), however a stipple or the line's width blends it.
bool IsLine(const uint8_t* p) { return p[0] < 60 && p[1] > 100 && p[1] < 200 && p[2] > 200; }
}  // namespace

std::vector<int32_t> ZR_MprFixture::LineColumns(const ZR_TestImage& image) {
  std::vector<int32_t> counts(static_cast<size_t>(image.nWidth), 0);
  for (int32_t y = 0; y < image.nHeight; ++y)
    for (int32_t x = 0; x < image.nWidth; ++x) counts[static_cast<size_t>(x)] += IsLine(image.At(x, y)) ? 1 : 0;
  return counts;
}

std::vector<int32_t> ZR_MprFixture::LineRows(const ZR_TestImage& image) {
  std::vector<int32_t> counts(static_cast<size_t>(image.nHeight), 0);
  for (int32_t y = 0; y < image.nHeight; ++y)
    for (int32_t x = 0; x < image.nWidth; ++x) counts[static_cast<size_t>(y)] += IsLine(image.At(x, y)) ? 1 : 0;
  return counts;
}

namespace {
int32_t Busiest(const std::vector<int32_t>& counts, int32_t minimum) {
  int32_t best = -1;
  for (size_t i = 0; i < counts.size(); ++i)
    if (counts[i] >= minimum && (best < 0 || counts[i] > counts[static_cast<size_t>(best)])) best = static_cast<int32_t>(i);
  return best;
}
}  // namespace

int32_t ZR_MprFixture::LineColumn(const ZR_TestImage& image, int32_t minimum) {
  return Busiest(LineColumns(image), minimum);
}

int32_t ZR_MprFixture::LineRow(const ZR_TestImage& image, int32_t minimum) {
  return Busiest(LineRows(image), minimum);
}
