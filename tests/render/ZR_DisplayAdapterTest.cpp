// The adapter's identifier from the system, its parsing and the qualified-adapter list.
#include "render/ZR_DisplayAdapter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "render/ZR_EglPlatform.h"
#include "tests/support/ZR_GlTestContext.h"
#include "tests/support/ZR_TestData.h"

namespace {

TEST(DisplayAdapter, ListHoldsExactlyTheQualifiedDevices) {
  struct Case {
    uint32_t vendor, device;
    bool listed;
  } cases[] = {
      {0x10DE, 0x0640, true},  {0x10DE, 0x0642, false}, {0x10DE, 0x05FD, true},
      {0x10DE, 0x0607, true},  {0x10DE, 0x05FC, false}, {0x10DE, 0x0608, false},
      {0x10DE, 0x0A62, true},  {0x10DE, 0x0A61, false}, {0x1002, 0x6898, true},
      {0x1002, 0x9715, true},  {0x1002, 0x9716, false}, {0x1002, 0x0640, false},
      {0x8086, 0x0640, false},  // another vendor, even with a listed device number
      {0x1AF4, 0x1050, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ZR_DisplayAdapter::IsListed(c.vendor, c.device), c.listed) << std::hex << c.vendor << ":" << c.device;
  int ati = 0, nvidia = 0;
  for (uint32_t device = 0; device <= 0xFFFF; ++device) {
    ati += ZR_DisplayAdapter::IsListed(ZR_DisplayAdapter::kAti, device) ? 1 : 0;
    nvidia += ZR_DisplayAdapter::IsListed(ZR_DisplayAdapter::kNvidia, device) ? 1 : 0;
  }
  EXPECT_EQ(ati, 35);
  EXPECT_EQ(nvidia, 99);
}

TEST(DisplayAdapter, ParsesVendorAndDeviceFromTheirFixedPlaces) {
  struct Case {
    const char* id;
    bool valid;
    const char* vendor;
    const char* device;
    uint32_t vendorNumber, deviceNumber;
  } cases[] = {
      {"PCI\\VEN_10DE&DEV_0640&SUBSYS_00000000&REV_A1", true, "10DE", "0640", 0x10DE, 0x0640},
      {"PCI\\VEN_1002&DEV_9440", true, "1002", "9440", 0x1002, 0x9440},
      {"PCI\\VEN_10de&DEV_0a62", true, "10de", "0a62", 0x10DE, 0x0A62},
      {"PCI\\VEN_10DE&DEV_06", false, "", "", 0, 0},
      {"ROOT\\BASICDISPLAY\\0000", false, "", "", 0, 0},
      {"", false, "", "", 0, 0},
  };
  for (const Case& c : cases) {
    const ZR_DisplayAdapter::Numbers n = ZR_DisplayAdapter::Parse(c.id);
    EXPECT_EQ(n.bValid, c.valid) << c.id;
    if (!c.valid) continue;
    EXPECT_EQ(n.sVendor, c.vendor) << c.id;
    EXPECT_EQ(n.sDevice, c.device) << c.id;
    EXPECT_EQ(n.nVendor, c.vendorNumber) << c.id;
    EXPECT_EQ(n.nDevice, c.deviceNumber) << c.id;
  }
  EXPECT_EQ(ZR_DisplayAdapter::IdFromPci(0x10DE, 0x640), "PCI\\VEN_10DE&DEV_0640");
}

TEST(DisplayAdapter, ReadsThePciNumbersOfADrmDeviceFromSysfs) {
  const std::filesystem::path root = ZR_TestData::ScratchDir("fake_sysfs");
  auto device = [&](const std::string& name, const std::string& vendor, const std::string& id) {
    const std::filesystem::path dir = root / "class/drm" / name / "device";
    std::filesystem::create_directories(dir);
    ZR_TestData::WriteText(dir / "vendor", vendor);
    ZR_TestData::WriteText(dir / "device", id);
  };
  device("renderD128", "0x10de\n", "0x2330\n");
  device("card1", "0x1002\n", "0x744c\n");
  device("card2", "vendor\n", "0x744c\n");
  device("card3", "0x1002\n", "0x1744c\n");
  EXPECT_EQ(ZR_DisplayAdapter::IdFromDrmDevice("/dev/dri/renderD128", root.string()), "PCI\\VEN_10DE&DEV_2330");
  EXPECT_EQ(ZR_DisplayAdapter::IdFromDrmDevice("/dev/dri/card1", root.string()), "PCI\\VEN_1002&DEV_744C");
  EXPECT_EQ(ZR_DisplayAdapter::IdFromDrmDevice("/dev/dri/card2", root.string()), "");
  EXPECT_EQ(ZR_DisplayAdapter::IdFromDrmDevice("/dev/dri/card3", root.string()), "");
  EXPECT_EQ(ZR_DisplayAdapter::IdFromDrmDevice("/dev/dri/card9", root.string()), "");
  EXPECT_EQ(ZR_DisplayAdapter::IdFromDrmDevice("", root.string()), "");
  // What a read identifier gives after parsing.
  const auto n = ZR_DisplayAdapter::Parse(ZR_DisplayAdapter::IdFromDrmDevice("/dev/dri/renderD128", root.string()));
  EXPECT_TRUE(n.bValid);
  EXPECT_EQ(n.nDevice, 0x2330u);
}

TEST(DisplayAdapter, TheHeadlessContextIdentifiesItsDeviceOrSaysItHasNone) {
  LMX_REQUIRE_GL(gl);
  ZR_EglPlatform platform(gl->Context());
  const std::string renderer = reinterpret_cast<const char*>(gl->Gl().GetString(GL_RENDERER));
  const std::string id = platform.AdapterId();
  if (renderer.find("llvmpipe") != std::string::npos || renderer.find("softpipe") != std::string::npos) {
    EXPECT_EQ(id, "") << "a software rasteriser has no PCI device";
  } else if (!id.empty()) {
    EXPECT_TRUE(ZR_DisplayAdapter::Parse(id).bValid) << id;
  }
}

}  // namespace
