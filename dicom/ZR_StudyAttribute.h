#pragma once
// One line of study information and where it starts: x and y in units of the view's width and
// height, from its lower-left corner, at the start of the line's baseline.

#include <string>

struct ZR_StudyAttribute {
  float x = 0.0f;
  float y = 0.0f;
  std::string text;
};
