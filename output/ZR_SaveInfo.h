#pragma once
// A window's request to save a series: the file name and the write mode (ZR_ImageWriter).

#include <cstdint>
#include <string>

struct ZR_SaveInfo {
  std::string sFileName;
  int32_t nWriteMode = 2;
};
