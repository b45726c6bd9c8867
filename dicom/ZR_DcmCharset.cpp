#include "dicom/ZR_DcmCharset.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>

namespace {
constexpr const char* kReplacement = "\xEF\xBF\xBD";  // U+FFFD

struct Term {
  const char* name;   // defined term, either spelling
  const char* alias;  // the ISO 2022 spelling, or nullptr
  const char* iconv;  // source encoding for iconv; nullptr: ASCII, "UTF-8": pass through
};

// Single-byte sets and the multi-byte sets that need no escape sequences.
constexpr Term kTerms[] = {
    {"ISO_IR 6", "ISO 2022 IR 6", nullptr},
    {"ISO_IR 100", "ISO 2022 IR 100", "ISO-8859-1"},
    {"ISO_IR 101", "ISO 2022 IR 101", "ISO-8859-2"},
    {"ISO_IR 109", "ISO 2022 IR 109", "ISO-8859-3"},
    {"ISO_IR 110", "ISO 2022 IR 110", "ISO-8859-4"},
    {"ISO_IR 144", "ISO 2022 IR 144", "ISO-8859-5"},
    {"ISO_IR 127", "ISO 2022 IR 127", "ISO-8859-6"},
    {"ISO_IR 126", "ISO 2022 IR 126", "ISO-8859-7"},
    {"ISO_IR 138", "ISO 2022 IR 138", "ISO-8859-8"},
    {"ISO_IR 148", "ISO 2022 IR 148", "ISO-8859-9"},
    {"ISO_IR 203", "ISO 2022 IR 203", "ISO-8859-15"},
    {"ISO_IR 166", "ISO 2022 IR 166", "TIS-620"},
    {"ISO_IR 13", "ISO 2022 IR 13", "JIS_X0201"},
    {"ISO_IR 192", nullptr, "UTF-8"},
    {"GB18030", nullptr, "GB18030"},
    {"GBK", nullptr, "GBK"},
};

const Term* FindTerm(const std::string& name) {
  for (const Term& t : kTerms)
    if (name == t.name || (t.alias && name == t.alias)) return &t;
  return nullptr;
}

// Converts with iconv; `lenient` replaces what cannot be converted instead of failing.
bool Convert(const char* from, const char* to, std::string_view in, std::string& out,
             bool lenient) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    if (lenient) out += kReplacement;
    return false;
  }
  char* src = const_cast<char*>(in.data());
  size_t left = in.size();
  char buffer[256];
  bool ok = true;
  while (left > 0) {
    char* dst = buffer;
    size_t room = sizeof buffer;
    const size_t r = iconv(cd, &src, &left, &dst, &room);
    out.append(buffer, static_cast<size_t>(dst - buffer));
    if (r == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      ok = false;
      if (!lenient) break;
      out += kReplacement;
      ++src;
      --left;
    }
  }
  iconv_close(cd);
  return ok;
}

bool IsValidUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const uint8_t c = static_cast<uint8_t>(text[i]);
    size_t extra = 0;
    if (c < 0x80)
      extra = 0;
    else if (c >= 0xC2 && c <= 0xDF)
      extra = 1;
    else if (c >= 0xE0 && c <= 0xEF)
      extra = 2;
    else if (c >= 0xF0 && c <= 0xF4)
      extra = 3;
    else
      return false;
    if (text.size() - i <= extra) return false;
    for (size_t k = 1; k <= extra; ++k)
      if ((static_cast<uint8_t>(text[i + k]) & 0xC0) != 0x80) return false;
    i += extra + 1;
  }
  return true;
}

void AppendLatin1(std::string_view bytes, std::string& out) {
  for (char ch : bytes) {
    const uint8_t c = static_cast<uint8_t>(ch);
    if (c < 0x80) {
      out += ch;
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
}

void AppendCodePoint(uint32_t cp, std::string& out) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Undeclared text: UTF-8 when it is, else Latin-1 (the most common undeclared set).
void AppendUndeclared(std::string_view bytes, std::string& out) {
  if (IsValidUtf8(bytes))
    out.append(bytes);
  else
    AppendLatin1(bytes, out);
}

void AppendDecoded(const char* iconvName, std::string_view bytes, std::string& out) {
  if (!iconvName) return AppendUndeclared(bytes, out);
  if (std::string_view(iconvName) == "UTF-8") {
    if (IsValidUtf8(bytes)) return out.append(bytes), void();
    return Convert("UTF-8", "UTF-8", bytes, out, true), void();
  }
  if (std::string_view(iconvName) == "ISO-8859-1") return AppendLatin1(bytes, out);
  Convert(iconvName, "UTF-8", bytes, out, true);
}

// --- ISO 2022 code extensions -------------------------------------------------------------
enum class G0 { Ascii, Romaji, Jis0208, Jis0212 };
enum class G1 { None, Single, Katakana, Ksx1001, Gb2312 };

struct State {
  G0 g0 = G0::Ascii;
  G1 g1 = G1::None;
  const char* single = nullptr;  // iconv name of the single-byte G1 set
};

State InitialState(const std::string& firstTerm) {
  State s;
  if (firstTerm == "ISO 2022 IR 13" || firstTerm == "ISO_IR 13") {
    s.g0 = G0::Romaji;
    s.g1 = G1::Katakana;
  } else if (const Term* t = FindTerm(firstTerm); t && t->iconv) {
    s.g1 = G1::Single;
    s.single = t->iconv;
  }
  return s;
}

// Applies the escape sequence at bytes[i] (ESC); returns its length, 0 when unknown.
size_t ApplyEscape(std::string_view bytes, size_t i, State& s) {
  const std::string_view rest = bytes.substr(i + 1);
  auto starts = [&](std::string_view seq) { return rest.substr(0, seq.size()) == seq; };
  struct Single { const char* seq; const char* iconv; };
  static constexpr Single kSingles[] = {
      {"-A", "ISO-8859-1"}, {"-B", "ISO-8859-2"}, {"-C", "ISO-8859-3"}, {"-D", "ISO-8859-4"},
      {"-L", "ISO-8859-5"}, {"-G", "ISO-8859-6"}, {"-F", "ISO-8859-7"}, {"-H", "ISO-8859-8"},
      {"-M", "ISO-8859-9"}, {"-b", "ISO-8859-15"}, {"-T", "TIS-620"}};
  if (starts("(B")) return s.g0 = G0::Ascii, 3;
  if (starts("(J")) return s.g0 = G0::Romaji, 3;
  if (starts("$B") || starts("$@")) return s.g0 = G0::Jis0208, 3;
  if (starts("$(D")) return s.g0 = G0::Jis0212, 4;
  if (starts(")I")) return s.g1 = G1::Katakana, 3;
  if (starts("$)C")) return s.g1 = G1::Ksx1001, 4;
  if (starts("$)A")) return s.g1 = G1::Gb2312, 4;
  for (const Single& single : kSingles) {
    if (starts(single.seq)) {
      s.g1 = G1::Single;
      s.single = single.iconv;
      return 3;
    }
  }
  return 0;
}
}  // namespace

ZR_DcmCharset::ZR_DcmCharset(std::string_view value) {
  std::string_view rest = value;
  while (true) {
    const size_t cut = rest.find('\\');
    std::string_view term = rest.substr(0, cut);
    while (!term.empty() && (term.front() == ' ' || term.front() == '\0')) term.remove_prefix(1);
    while (!term.empty() && (term.back() == ' ' || term.back() == '\0')) term.remove_suffix(1);
    m_aTerms.emplace_back(term);
    if (term.substr(0, 8) == "ISO 2022") m_bExtensions = true;
    if (cut == std::string_view::npos) break;
    rest.remove_prefix(cut + 1);
  }
  if (m_aTerms.size() == 1 && (m_aTerms[0].empty() || m_aTerms[0] == "ISO_IR 6")) m_aTerms.clear();
}

bool ZR_DcmCharset::IsAscii(std::string_view text) {
  for (char c : text)
    if (static_cast<uint8_t>(c) >= 0x80 || c == 0x1B) return false;
  return true;
}

std::string ZR_DcmCharset::ToUtf8(std::string_view bytes, bool personName) const {
  if (IsAscii(bytes)) return std::string(bytes);
  std::string out;
  if (m_aTerms.empty()) {
    AppendUndeclared(bytes, out);
  } else if (m_bExtensions) {
    out = DecodeExtensions(bytes, personName);
  } else {
    const Term* t = FindTerm(m_aTerms[0]);
    AppendDecoded(t ? t->iconv : nullptr, bytes, out);
  }
  return out;
}

std::string ZR_DcmCharset::DecodeExtensions(std::string_view bytes, bool personName) const {
  const State initial = InitialState(m_aTerms[0]);
  State s = initial;
  std::string out;
  std::string run;  // bytes of one encoding waiting to be converted
  const char* runEncoding = nullptr;
  auto flush = [&] {
    if (run.empty()) return;
    if (!runEncoding)
      out += run;
    else
      Convert(runEncoding, "UTF-8", run, out, true);
    run.clear();
  };
  auto add = [&](const char* encoding, std::string_view piece) {
    if (encoding != runEncoding) {
      flush();
      runEncoding = encoding;
    }
    run += piece;
  };

  size_t i = 0;
  while (i < bytes.size()) {
    const uint8_t c = static_cast<uint8_t>(bytes[i]);
    if (c == 0x1B) {
      const size_t n = ApplyEscape(bytes, i, s);
      if (n == 0) {
        add(nullptr, kReplacement);
        ++i;
      } else {
        i += n;
      }
      continue;
    }
    const bool delimiter = c == '\r' || c == '\n' || c == '\t' || c == '\f' || c == '\\' ||
                           (personName && (c == '^' || c == '='));
    if (delimiter) {
      s = initial;
      add(nullptr, bytes.substr(i, 1));
      ++i;
      continue;
    }
    if (c < 0x80) {
      if ((s.g0 == G0::Jis0208 || s.g0 == G0::Jis0212) && i + 1 < bytes.size() && c >= 0x21) {
        // Two-byte sets in G0 become EUC-JP, which iconv knows.
        std::string pair;
        if (s.g0 == G0::Jis0212) pair += '\x8F';
        pair += static_cast<char>(c | 0x80);
        pair += static_cast<char>(static_cast<uint8_t>(bytes[i + 1]) | 0x80);
        add("EUC-JP", pair);
        i += 2;
      } else {
        add(nullptr, bytes.substr(i, 1));
        ++i;
      }
      continue;
    }
    switch (s.g1) {
      case G1::Single: add(s.single, bytes.substr(i, 1)); ++i; break;
      case G1::Katakana: {
        std::string cp;
        if (c >= 0xA1 && c <= 0xDF)
          AppendCodePoint(0xFF61 + (c - 0xA1), cp);
        else
          cp = kReplacement;
        add(nullptr, cp);
        ++i;
        break;
      }
      case G1::Ksx1001:
      case G1::Gb2312: {
        const char* encoding = s.g1 == G1::Ksx1001 ? "EUC-KR" : "GB2312";
        const size_t n = i + 1 < bytes.size() ? 2 : 1;
        add(encoding, bytes.substr(i, n));
        i += n;
        break;
      }
      case G1::None: {
        // A byte above 127 with no set invoked: undeclared, read as Latin-1.
        std::string cp;
        AppendLatin1(bytes.substr(i, 1), cp);
        add(nullptr, cp);
        ++i;
        break;
      }
    }
  }
  flush();
  return out;
}

bool ZR_DcmCharset::FromUtf8(std::string_view utf8, std::string& bytes) const {
  bytes.clear();
  if (IsAscii(utf8)) return bytes.assign(utf8), true;
  if (!IsValidUtf8(utf8)) return false;
  if (m_aTerms.empty() || m_bExtensions || m_aTerms.size() > 1) return false;
  const Term* t = FindTerm(m_aTerms[0]);
  if (!t || !t->iconv) return false;
  if (std::string_view(t->iconv) == "UTF-8") return bytes.assign(utf8), true;
  return Convert("UTF-8", t->iconv, utf8, bytes, false);
}
