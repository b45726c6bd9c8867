#include "gui/ZR_BcSettings.h"

ZR_BcSettings::ZR_BcSettings(const std::string& fileName)
    : m_pModel(std::make_unique<ZR_Vis3DSettings>(fileName)), m_pLive(m_pModel.get()) {}

ZR_BcSettings::~ZR_BcSettings() = default;

const int32_t* ZR_BcSettings::GetChangedItems(int32_t& count) {
  count = 0;
  return nullptr;
}

void ZR_BcSettings::RefreshItem(int32_t) {}
void ZR_BcSettings::Show() {}
void ZR_BcSettings::Close() {}
void ZR_BcSettings::SetSkipThresholdRange(int32_t, int32_t) {}

bool ZR_BcSettings::Save() const { return m_pModel->Write(); }
