#pragma once
// The annotations of one MPR view: four lists (pixel values, rulers, angles, ROIs) of at most
// kCapacity entries each, positions in normalised view coordinates ((0, 0) bottom left,
// (1, 1) top right).
//
// The four counts are not held here but in the view record the lists belong to (its
// aMeasurement): whatever moves the view's plane empties the lists by zeroing them, without
// knowing this class. A count is read clamped to 0..kCapacity.

#include <array>
#include <cstdint>
#include <span>

class ZR_Annotations {
 public:
  static constexpr int32_t kCapacity = 256;
  static constexpr int32_t kListCount = 4;
  enum class List : int32_t { PixelValues = 0, Rulers = 1, Angles = 2, Rois = 3 };

  struct PixelValue {
    float x = 0, y = 0;
    float value = 0;  // in the study's units
  };
  struct Ruler {
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    float length = 0;  // mm
  };
  struct Angle {
    float x1 = 0, y1 = 0;  // first point
    float x2 = 0, y2 = 0;  // vertex
    float x3 = 0, y3 = 0;  // end
    float angle = -1;      // whole degrees; -1 while the third point is missing
  };
  struct Roi {
    float x = 0, y = 0;               // the anchor corner
    float width = 0, height = 0;      // signed: the drag direction
    float minimum = 0, maximum = 0;   // in the study's units
    float mean = 0, deviation = 0;
  };

  explicit ZR_Annotations(int32_t (&counts)[kListCount]) : m_aCounts(counts) {}
  // Copies would share the counts.
  ZR_Annotations(const ZR_Annotations&) = delete;
  ZR_Annotations& operator=(const ZR_Annotations&) = delete;

  int32_t Count(List list) const;
  bool IsFull(List list) const { return Count(list) >= kCapacity; }
  bool IsEmpty() const;

  // Each appends to the end of its list; false, and nothing changed, when the list is full.
  [[nodiscard]] bool Add(const PixelValue& entry);
  [[nodiscard]] bool Add(const Ruler& entry);
  [[nodiscard]] bool Add(const Angle& entry);
  [[nodiscard]] bool Add(const Roi& entry);
  // The newest entry of a list; false when it has none.
  bool RemoveLast(List list);
  void Clear();

  std::span<const PixelValue> PixelValues() const { return {m_aPixelValues.data(), Size(List::PixelValues)}; }
  std::span<const Ruler> Rulers() const { return {m_aRulers.data(), Size(List::Rulers)}; }
  std::span<const Angle> Angles() const { return {m_aAngles.data(), Size(List::Angles)}; }
  std::span<const Roi> Rois() const { return {m_aRois.data(), Size(List::Rois)}; }

 private:
  size_t Size(List list) const { return static_cast<size_t>(Count(list)); }
  template <typename Entry>
  bool Append(std::array<Entry, kCapacity>& entries, List list, const Entry& entry);

  int32_t (&m_aCounts)[kListCount];
  std::array<PixelValue, kCapacity> m_aPixelValues{};
  std::array<Ruler, kCapacity> m_aRulers{};
  std::array<Angle, kCapacity> m_aAngles{};
  std::array<Roi, kCapacity> m_aRois{};
};
