#pragma once
// A rectangle in pixels, edges inclusive: a cell of the image gallery.

#include <cstdint>

class ZR_Rect {
 public:
  ZR_Rect() = default;
  ZR_Rect(int32_t left, int32_t top, int32_t right, int32_t bottom);
  virtual ~ZR_Rect() = default;
  ZR_Rect(const ZR_Rect&) = default;
  ZR_Rect& operator=(const ZR_Rect&) = default;

  bool Contains(int32_t x, int32_t y) const { return x >= left && x <= right && y >= top && y <= bottom; }
  bool IsEmpty() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  bool operator==(const ZR_Rect& other) const {
    return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
  }

  int32_t left = 0, top = 0, right = 0, bottom = 0;
};
