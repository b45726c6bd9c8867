#pragma once
// Key codes of KeyDown: the window maps its toolkit's keys onto these. Letters are their
// upper-case ASCII codes; the other keys keep the values of the platform's virtual keys.

#include <cstdint>

namespace ZR_Key {
enum : int32_t {
  Backspace = 0x08,
  Tab = 0x09,
  Return = 0x0D,
  Escape = 0x1B,
  Space = 0x20,
  PageUp = 0x21,
  PageDown = 0x22,
  End = 0x23,
  Home = 0x24,
  Left = 0x25,
  Up = 0x26,
  Right = 0x27,
  Down = 0x28,
  Insert = 0x2D,
  Delete = 0x2E,
  F1 = 0x70,  // F2..F12 follow
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
