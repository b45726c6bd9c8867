#pragma once
// What the subset preview asks of the visualization manager: load the chosen range of a
// study. The preview never depends on the manager itself.

#include <cstdint>

class ZR_DicomVolume;

class ZR_VolumeLoader {
 public:
  // Assembles and shows the slices volume.m_nFirst..m_nLast; reports its own failures.
  [[nodiscard]] virtual int32_t LoadVolume(ZR_DicomVolume* volume) = 0;
  virtual ~ZR_VolumeLoader() = default;

 protected:
  ZR_VolumeLoader() = default;
  ZR_VolumeLoader(const ZR_VolumeLoader&) = delete;
  ZR_VolumeLoader& operator=(const ZR_VolumeLoader&) = delete;
};
