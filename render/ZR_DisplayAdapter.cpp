#include "render/ZR_DisplayAdapter.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {
struct Range {
  uint32_t nFirst;
  uint32_t nLast;
};

constexpr Range kAtiDevices[] = {
    {0x6898, 0x6899}, {0x689C, 0x689C}, {0x689E, 0x689E}, {0x68B8, 0x68B9}, {0x68BE, 0x68BE},
    {0x68D8, 0x68DA}, {0x68F9, 0x68F9}, {0x9440, 0x9443}, {0x944A, 0x944A}, {0x944C, 0x944C},
    {0x944E, 0x944E}, {0x9460, 0x9460}, {0x9462, 0x9462}, {0x9490, 0x9490}, {0x9498, 0x9498},
    {0x94B3, 0x94B5}, {0x9501, 0x9501}, {0x9505, 0x9505}, {0x9540, 0x9540}, {0x954F, 0x954F},
    {0x9598, 0x9598}, {0x95C0, 0x95C0}, {0x95C5, 0x95C5}, {0x9710, 0x9710}, {0x9714, 0x9715}};

constexpr Range kNvidiaDevices[] = {
    {0x05E0, 0x05E3}, {0x05E6, 0x05E7}, {0x05EA, 0x05EB}, {0x05ED, 0x05ED}, {0x05F8, 0x05F9},
    {0x05FD, 0x0607}, {0x060D, 0x060D}, {0x0610, 0x0615}, {0x0619, 0x061B}, {0x0622, 0x0623},
    {0x0625, 0x0627}, {0x062D, 0x062E}, {0x0635, 0x0635}, {0x0637, 0x0638}, {0x0640, 0x0641},
    {0x0643, 0x0646}, {0x0658, 0x0659}, {0x065B, 0x065B}, {0x065F, 0x065F}, {0x06E0, 0x06E4},
    {0x06E6, 0x06E9}, {0x06F8, 0x06FA}, {0x06FD, 0x06FD}, {0x06FF, 0x06FF}, {0x07E0, 0x07E3},
    {0x07E5, 0x07E5}, {0x0846, 0x084D}, {0x084F, 0x084F}, {0x0860, 0x0861}, {0x0864, 0x0865},
    {0x0868, 0x0868}, {0x086A, 0x086A}, {0x086C, 0x086D}, {0x0871, 0x0871}, {0x0874, 0x0874},
    {0x0876, 0x0876}, {0x087A, 0x087A}, {0x087D, 0x087F}, {0x0A20, 0x0A20}, {0x0A23, 0x0A23},
    {0x0A60, 0x0A60}, {0x0A62, 0x0A62}};

template <size_t N>
bool InRanges(const Range (&ranges)[N], uint32_t device) {
  for (const Range& range : ranges)
    if (device >= range.nFirst && device <= range.nLast) return true;
  return false;
}

bool ParseHex(const std::string& text, uint32_t* out) {
  if (text.size() != 4) return false;
  uint32_t value = 0;
  for (char c : text) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    value = value * 16 + static_cast<uint32_t>(std::isdigit(static_cast<unsigned char>(c))
                                                   ? c - '0'
                                                   : std::toupper(static_cast<unsigned char>(c)) - 'A' + 10);
  }
  *out = value;
  return true;
}

// A sysfs number such as "0x10de\n"; false when the file is missing or holds something else.
bool ReadSysfsHex(const std::filesystem::path& path, uint32_t* out) {
  std::ifstream in(path);
  std::string text;
  if (!(in >> text) || text.size() < 3 || text.compare(0, 2, "0x") != 0 || text.size() > 6) return false;
  std::string digits = text.substr(2);
  digits.insert(0, 4 - digits.size(), '0');
  return ParseHex(digits, out);
}
}  // namespace

std::string ZR_DisplayAdapter::IdFromPci(uint32_t vendor, uint32_t device) {
  char text[32];
  std::snprintf(text, sizeof text, "PCI\\VEN_%04X&DEV_%04X", vendor & 0xFFFFu, device & 0xFFFFu);
  return text;
}

std::string ZR_DisplayAdapter::IdFromDrmDevice(const std::string& deviceFile, const std::string& sysRoot) {
  const std::string name = std::filesystem::path(deviceFile).filename().string();
  if (name.empty() || name == "." || name == "..") return "";
  const std::filesystem::path device = std::filesystem::path(sysRoot) / "class/drm" / name / "device";
  uint32_t vendor = 0, id = 0;
  if (!ReadSysfsHex(device / "vendor", &vendor) || !ReadSysfsHex(device / "device", &id)) return "";
  return IdFromPci(vendor, id);
}

ZR_DisplayAdapter::Numbers ZR_DisplayAdapter::Parse(const std::string& id) {
  Numbers numbers;
  if (id.size() < 21) return numbers;
  numbers.sVendor = id.substr(8, 4);
  numbers.sDevice = id.substr(17, 4);
  numbers.bValid = ParseHex(numbers.sVendor, &numbers.nVendor) && ParseHex(numbers.sDevice, &numbers.nDevice);
  return numbers;
}

bool ZR_DisplayAdapter::IsListed(uint32_t vendor, uint32_t device) {
  if (vendor == kAti) return InRanges(kAtiDevices, device);
  if (vendor == kNvidia) return InRanges(kNvidiaDevices, device);
  return false;
}
