#pragma once
// Unique identifiers for what the program writes. New UIDs are of the form 2.25.<128-bit random
// number>, which needs no registered organisation root.

#include <string>

class ZR_DcmUid {
 public:
  static std::string Generate();
  // Identifies this program as the writer of a file (Implementation Class UID).
  static constexpr const char* kImplementationClass = "2.25.31962556402425794085682190704464151573";
  static constexpr const char* kImplementationVersion = "LUMETRA_1.9";
};
