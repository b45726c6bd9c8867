#include "output/ZR_Rect.h"

ZR_Rect::ZR_Rect(int32_t l, int32_t t, int32_t r, int32_t b) : left(l), top(t), right(r), bottom(b) {}
