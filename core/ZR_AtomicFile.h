#pragma once
// Writes a whole file so that the final name only ever holds complete contents: the bytes go
// to a temporary file in the same folder, are flushed to disk and then renamed over the
// target. A failure leaves the target as it was and removes the temporary file.

#include <string>
#include <string_view>

class ZR_AtomicFile {
 public:
  // False on failure, with the reason (naming the path) in `error` when given.
  [[nodiscard]] static bool Write(const std::string& path, std::string_view bytes,
                                  std::string* error = nullptr);
};
