// The operations that the pointer and key dispatch hands to tools whose subsystems come later:
// curved MPR, the region of interest and movie recording. Until their subsystems fill them in, each one does nothing: the
// gesture is dispatched and otherwise ignored.
#include "manager/ZR_VisManager.h"

void ZR_VisManager::CurvePress(int32_t, int32_t, int32_t, bool) {}
void ZR_VisManager::CurveHover(int32_t, int32_t, int32_t) {}
void ZR_VisManager::CurveDrag(int32_t, int32_t, int32_t) {}
void ZR_VisManager::RestartCurve() {}
void ZR_VisManager::DeleteCurvePoint() {}
void ZR_VisManager::RoiPress(int32_t, int32_t, int32_t) {}
void ZR_VisManager::ClearRoi() {}
