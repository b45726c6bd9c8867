#pragma once
// The manager with its drawing state open to the tests, and a synthetic volume handed to
// its renderers the way the loader hands one over: the geometry and the texture upload into
// the shared state and the texture renderer, the raw slices to the software renderer.

#include <string>
#include <vector>

#include "manager/ZR_VisManager.h"
#include "render/ZR_SliceStack.h"

class ZR_TestManager : public ZR_VisManager {
 public:
  using ZR_VisManager::ZR_VisManager;

  // Loads `stored` (dims x, y, z; see ZR_TestVolume) into both renderers and marks the
  // volume loaded and shown. `geometry` supplies the patient geometry of the slice stack
  // (its slices are replaced by the volume's). Returns the first failure, empty on success.
  std::string ShowVolume(const int32_t dims[3], const float scale[3], std::vector<uint16_t> stored,
                         const ZR_SliceStack& geometry = ZR_SliceStack{});

  using ZR_VisManager::CreateOpenGlViewports;
  using ZR_VisManager::DrawCurvePanel;
  using ZR_VisManager::DrawMprPanel;
  using ZR_VisManager::DrawOrthoPanel;

 private:
  std::vector<uint16_t> m_aStored;
};
