#include "dicom/ZR_DcmError.h"

ZR_DcmError::ZR_DcmError(const std::string& message) : std::runtime_error(message) {}
