// The base operations that need no OpenGL.
#include "render/ZR_VolumeRenderer.h"

#include <algorithm>
#include <cstring>

ZR_VolumeRenderer::ZR_VolumeRenderer(int32_t kind, RenderShared& shared)
    : m_nKind(kind), m_oShared(shared) {
  m_oShared.AcquireHistogram();
}

ZR_VolumeRenderer::~ZR_VolumeRenderer() { m_oShared.ReleaseHistogram(); }

void ZR_VolumeRenderer::SelectLutTable(bool colour) { m_oShared.SelectLutTable(colour); }

void ZR_VolumeRenderer::SetLut(const float* table) {
  Invalidate();
  if (!table) return;
  const int32_t entries = std::min(m_oShared.GetLut().EntryCount(), ZR_Lut::kDefaultEntryCount);
  std::memmove(m_oShared.CurrentTable(), table, sizeof(float) * 4 * static_cast<size_t>(entries));
}

bool ZR_VolumeRenderer::DrawOrthoSlice(int32_t, int32_t, const ZR_OrthoViews&) { return true; }

void ZR_VolumeRenderer::GetDimensions(int32_t out[3]) const {
  std::copy_n(m_oShared.CurrentDimensions(), 3, out);
}
