#pragma once
// Whole-file text access for the program's own small files (settings, presets): a bounded
// read, and a write that replaces the file only once the new contents are safely on disk.

#include <cstddef>
#include <string>
#include <string_view>

class ZR_TextFile {
 public:
  // Reads at most `maxBytes` bytes of the file into `text`; false when it cannot be opened
  // or read. Our files are a few hundred bytes, so the bound only stops a stray huge file.
  [[nodiscard]] static bool Read(const std::string& path, std::string& text,
                                 std::size_t maxBytes = 64 * 1024);

  // Writes `text` to a temporary file beside `path` and renames it over `path`. On any
  // failure the temporary is removed, the previous file stays as it was and false is returned.
  [[nodiscard]] static bool WriteReplacing(const std::string& path, std::string_view text);
};
