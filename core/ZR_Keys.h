#pragma once
// Key codes of KeyDown: the window maps its toolkit's keys onto these. Letters are their
// upper-case ASCII codes; the other keys keep the values of the platform's virtual keys.

#include <cstdint>

namespace ZR_Key {
enum : int32_t {
  Escape = 0x1B,
  Delete = 0x2E,
  A = 'A',
  B = 'B',
  I = 'I',
  L = 'L',
  P = 'P',
  R = 'R',
  S = 'S',
  X = 'X',
};
// Any letter: its upper-case ASCII code.
constexpr int32_t Letter(char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; }
}  // namespace ZR_Key
