#include "measure/ZR_Annotations.h"

#include <algorithm>

int32_t ZR_Annotations::Count(List list) const {
  return std::clamp(m_aCounts[static_cast<int32_t>(list)], 0, kCapacity);
}

bool ZR_Annotations::IsEmpty() const {
  for (int32_t list = 0; list < kListCount; ++list)
    if (Count(static_cast<List>(list)) > 0) return false;
  return true;
}

template <typename Entry>
bool ZR_Annotations::Append(std::array<Entry, kCapacity>& entries, List list, const Entry& entry) {
  const int32_t count = Count(list);
  if (count >= kCapacity) return false;
  entries[static_cast<size_t>(count)] = entry;
  m_aCounts[static_cast<int32_t>(list)] = count + 1;
  return true;
}

bool ZR_Annotations::Add(const PixelValue& entry) { return Append(m_aPixelValues, List::PixelValues, entry); }
bool ZR_Annotations::Add(const Ruler& entry) { return Append(m_aRulers, List::Rulers, entry); }
bool ZR_Annotations::Add(const Angle& entry) { return Append(m_aAngles, List::Angles, entry); }
bool ZR_Annotations::Add(const Roi& entry) { return Append(m_aRois, List::Rois, entry); }

bool ZR_Annotations::RemoveLast(List list) {
  const int32_t count = Count(list);
  if (count == 0) return false;
  m_aCounts[static_cast<int32_t>(list)] = count - 1;
  return true;
}

void ZR_Annotations::Clear() { std::fill_n(m_aCounts, kListCount, 0); }
