#include "render/ZR_Box.h"

ZR_Box::ZR_Box(const Vector& size, const Vector& position) {
  SetSize(size);
  SetPosition(position);
}

void ZR_Box::SetSize(const Vector& size) {
  if (size[0] > 0 && size[1] > 0 && size[2] > 0) m_aSize = size;
}

void ZR_Box::Assign(const ZR_Box& other) {
  SetSize(other.m_aSize);
  SetPosition(other.m_aPosition);
}
