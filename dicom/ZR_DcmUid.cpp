#include "dicom/ZR_DcmUid.h"

#include <algorithm>
#include <random>

std::string ZR_DcmUid::Generate() {
  // Straight from the system's entropy source: a seeded generator would repeat across runs.
  std::random_device device;
  unsigned __int128 value = 0;
  for (int i = 0; i < 4; ++i) value = value << 32 | device();
  std::string digits;
  do {
    digits += static_cast<char>('0' + static_cast<int>(value % 10));
    value /= 10;
  } while (value != 0);
  std::reverse(digits.begin(), digits.end());
  return "2.25." + digits;
}
