#pragma once
// An axis-aligned box in voxels of the full-resolution volume: size and centre, the centre
// measured from the volume's first voxel corner. The volume of interest is one.

#include <array>

class ZR_Box {
 public:
  using Vector = std::array<float, 3>;

  ZR_Box() = default;
  ZR_Box(const Vector& size, const Vector& position);
  virtual ~ZR_Box() = default;
  ZR_Box(const ZR_Box&) = default;
  ZR_Box& operator=(const ZR_Box&) = default;

  // Taken only when every component is greater than 0; otherwise the call is ignored.
  void SetSize(const Vector& size);
  void SetPosition(const Vector& position) { m_aPosition = position; }
  const Vector& GetSize() const { return m_aSize; }
  const Vector& GetPosition() const { return m_aPosition; }
  void Assign(const ZR_Box& other);

 private:
  Vector m_aSize{0, 0, 0};
  Vector m_aPosition{0, 0, 0};
};
