#pragma once
// The graphics adapter's identification: a device identifier of the form
// PCI\VEN_vvvv&DEV_dddd, read from the system, its vendor and device numbers, and the list of
// adapters the renderer was once qualified on. The list is informative: it is checked and
// logged, but what the adapter can do is decided by capability detection.

#include <cstdint>
#include <string>

class ZR_DisplayAdapter {
 public:
  struct Numbers {
    bool bValid = false;
    std::string sVendor;  // the four characters as they stand in the identifier
    std::string sDevice;
    uint32_t nVendor = 0;
    uint32_t nDevice = 0;
  };

  static constexpr uint32_t kAti = 0x1002;
  static constexpr uint32_t kNvidia = 0x10DE;

  // "PCI\VEN_10DE&DEV_0640".
  static std::string IdFromPci(uint32_t vendor, uint32_t device);
  // The identifier of the PCI device behind a DRM device file (/dev/dri/card0,
  // /dev/dri/renderD128), read from `sysRoot`/class/drm/<name>/device; "" when unknown.
  static std::string IdFromDrmDevice(const std::string& deviceFile, const std::string& sysRoot = "/sys");
  // The vendor: the four characters at position 8, the device: those at position 17, both
  // hexadecimal. Invalid when the identifier is too short or they are not hexadecimal.
  static Numbers Parse(const std::string& id);
  // Whether the adapter is on the qualified list.
  static bool IsListed(uint32_t vendor, uint32_t device);
};
