#include "output/ZR_MoviePath.h"

void ZR_MoviePath::Reset() {
  m_aEvents.clear();
  m_nNext = 0;
}

void ZR_MoviePath::AddEvent(const ZR_MovieEvent& event) {
  m_aEvents.push_back(event);
  m_nNext = 0;
}

bool ZR_MoviePath::NextEvent(ZR_MovieEvent* event) {
  if (m_nNext >= m_aEvents.size()) return false;
  if (event) *event = m_aEvents[m_nNext];
  ++m_nNext;
  return true;
}
