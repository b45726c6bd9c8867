#pragma once
// The gallery as the window has it: the model, and the window that shows its thumbnails
// (made with it, destroyed with it).

#include <QPointer>

#include "gui/TImageGallery.h"
#include "output/ZR_ImageGallery.h"

class ZR_BcImageGallery : public ZR_ImageGallery {
 public:
  explicit ZR_BcImageGallery(QWidget* owner);
  ~ZR_BcImageGallery() override;

  bool AddImage(const ZR_Image& image) override;
  void Clear() override;

  TImageGallery* Frame() const { return m_pFrame; }

 private:
  QPointer<TImageGallery> m_pFrame;
};
