#include "gui/ZR_BcImageGallery.h"

ZR_BcImageGallery::ZR_BcImageGallery(QWidget* owner) : m_pFrame(new TImageGallery(*this, owner)) {}

ZR_BcImageGallery::~ZR_BcImageGallery() { delete m_pFrame.data(); }

bool ZR_BcImageGallery::AddImage(const ZR_Image& image) {
  if (!ZR_ImageGallery::AddImage(image)) return false;
  if (m_pFrame) m_pFrame->AddThumbnail();
  return true;
}

void ZR_BcImageGallery::Clear() {
  ZR_ImageGallery::Clear();
  if (m_pFrame) m_pFrame->ClearThumbnails();
}
