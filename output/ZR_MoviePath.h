#pragma once
// A recorded movie: the 3D view's state when recording started (rotation, view window, cut
// plane, VOI box, slab thickness) and the drags made since, replayed in order.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "output/ZR_MovieEvent.h"

class ZR_MoviePath {
 public:
  // No events; the replay starts from the first one again.
  void Reset();
  // A copy of the event goes last; the replay starts from the first one again.
  void AddEvent(const ZR_MovieEvent& event);
  // The event at the replay position, which then moves on; false past the last one.
  bool NextEvent(ZR_MovieEvent* event);
  int32_t EventCount() const { return static_cast<int32_t>(m_aEvents.size()); }

  std::array<float, 16> afCutMatrix{};
  std::array<float, 16> afRotation{};
  std::array<float, 4> afWindow{};
  std::array<float, 3> afVoiSize{};
  std::array<float, 3> afVoiPosition{};
  double dCutPosition = 0;
  float fSlabThickness = 1;

 private:
  std::vector<ZR_MovieEvent> m_aEvents;
  size_t m_nNext = 0;
};
