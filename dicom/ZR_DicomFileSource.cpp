#include "dicom/ZR_DicomFileSource.h"

#include "dicom/ZR_DcmImages.h"

void ZR_DicomFileSource::ReadFile(ZR_DcmImages& images, const std::string& path) const { images.ReadFile(path); }
