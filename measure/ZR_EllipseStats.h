#pragma once
// The statistics of a ROI: the pixels of a 16-bit image (rows from the top) that lie inside the
// ellipse inscribed in a box, their count, minimum, maximum, mean and standard deviation, in
// the image's own sample values.
//
// Which pixels count: those whose centre lies inside or on the ellipse whose axes end at the
// centres of the box's outermost pixels. For a box of w x h pixels from (left, top) that
// ellipse is centred at (left + w / 2, top + h / 2) with radii (w - 1) / 2 and (h - 1) / 2, and
// pixel (px, py), centre (px + 0.5, py + 0.5), counts when
//   ((px + 0.5 - left - w / 2) / ((w - 1) / 2))^2 + ((py + 0.5 - top - h / 2) / ((h - 1) / 2))^2 <= 1,
// decided in whole numbers (both sides times (w - 1)^2 (h - 1)^2). A 7 x 7 box holds 29 such
// pixels, a box one pixel wide its whole column; a box 2 pixels one way and an even number the
// other holds none (no pixel centre lies close enough to the axes). Only pixels of the image
// are read.
// Boxes are at most kLargestSide pixels a side, which keeps that product within 64 bits.

#include <cstdint>

class ZR_EllipseStats {
 public:
  static constexpr int32_t kLargestSide = 1 << 14;

  struct Box {
    int32_t left = 0, top = 0;       // image pixels; may lie partly outside the image
    int32_t width = 0, height = 0;
  };
  struct Result {
    int64_t count = 0;  // 0: no pixel of the image inside; the rest is then 0 too
    double minimum = 0, maximum = 0;
    double mean = 0, deviation = 0;
  };

  // The box of a ROI given in normalised view coordinates (anchor corner and signed size, y
  // upwards) on a picture of width x height pixels; every conversion truncates, the box is at
  // least one pixel and at most kLargestSide each way.
  static Box PixelBox(float x, float y, float width, float height, int32_t imageWidth, int32_t imageHeight);
  // Whether pixel (px, py) counts for the box (wherever the image is); never for a box
  // larger than kLargestSide.
  static bool Inside(const Box& box, int32_t px, int32_t py);
  static Result Compute(const uint16_t* image, int32_t imageWidth, int32_t imageHeight, const Box& box);
};
