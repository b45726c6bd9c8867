#pragma once
// The geometry of the rulers and angles, in normalised view coordinates. An MPR view shows
// the square of the volume's largest side stretched over the whole view, so one normalised
// unit is P mm (the physical length of that side) across and down alike, whatever the view's
// aspect: lengths and angles measured in these coordinates are the patient's.

#include <cstdint>

class ZR_MeasureGeometry {
 public:
  // A leg no longer than this (normalised) has no direction.
  static constexpr double kShortestLeg = 0.001;

  struct Offset {
    float dx = 0, dy = 0;
  };

  // The ruler's length in mm on a view whose square side is `physicalLength` mm.
  static double RulerLength(double x1, double y1, double x2, double y2, double physicalLength);
  // The angle at the vertex (x2, y2) between the legs to (x1, y1) and to (x3, y3), in whole
  // degrees (0..180, rounded); -1 when either leg is too short to have a direction.
  static double Angle(double x1, double y1, double x2, double y2, double x3, double y3);
  // Where a label goes from the point it names (in -1..1 view coordinates), given the
  // direction it was drawn in: right of a rightward end, left of a leftward one, above an
  // upward one and below otherwise.
  static Offset LabelOffset(double fromX, double fromY, double toX, double toY);
};
