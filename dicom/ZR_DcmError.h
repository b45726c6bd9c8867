#pragma once
// The one error the DICOM component raises: a file that cannot be read or decoded, an element
// asked for that is absent, a value of the wrong kind, a file that cannot be written. The
// message is meant for people (it names the file or element concerned).

#include <stdexcept>
#include <string>

class ZR_DcmError : public std::runtime_error {
 public:
  explicit ZR_DcmError(const std::string& message);
};
