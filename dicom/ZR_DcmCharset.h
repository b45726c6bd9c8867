#pragma once
// The Specific Character Set (0008,0005) of a data set: turns the bytes of text values into
// UTF-8 and back. Single-byte sets (ISO_IR 100 and its siblings), UTF-8 (ISO_IR 192), GB18030
// and GBK, and the ISO 2022 code extensions with their escape sequences (Japanese, Korean,
// Chinese) are understood. Undeclared bytes above 127 are read as UTF-8 when they form it,
// else as Latin-1, because both turn up in files that declare nothing.

#include <string>
#include <string_view>
#include <vector>

class ZR_DcmCharset {
 public:
  ZR_DcmCharset() = default;
  // The element's value as written (terms separated by '\').
  explicit ZR_DcmCharset(std::string_view specificCharacterSet);

  // `personName`: '^' and '=' end a code extension too (they delimit name components).
  std::string ToUtf8(std::string_view bytes, bool personName) const;
  // False when some character has no code in this set (or the set cannot be written).
  bool FromUtf8(std::string_view utf8, std::string& bytes) const;

  bool IsDefault() const { return m_aTerms.empty(); }
  static bool IsAscii(std::string_view text);

 private:
  std::string DecodeExtensions(std::string_view bytes, bool personName) const;

  std::vector<std::string> m_aTerms;  // trimmed; the first may be empty
  bool m_bExtensions = false;         // any term is an ISO 2022 one
};
