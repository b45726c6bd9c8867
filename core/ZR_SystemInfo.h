#pragma once
// Operating-system facts the engine asks for, each behind a seam that tests can pin.

#include <cstdint>
#include <string>

class ZR_SystemInfo {
 public:
  // Total physical memory in bytes.
  static uint64_t PhysicalMemoryBytes();
  // Lets tests pose as another machine (for example one of 2 GiB); 0 restores the real query.
  static void SetPhysicalMemoryForTesting(uint64_t bytes);

  // The folder holding the running program, with a trailing '/'.
  static std::string ApplicationDirectory();
};
