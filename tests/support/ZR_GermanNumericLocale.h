#pragma once
// Puts the process into a German numeric locale (decimal comma) for the lifetime of the
// object, the way the window toolkit does at start-up, and restores the previous one.
// The C locale needs "de_DE.UTF-8" (package locales-all); without it only the C++ global
// locale is switched, to a classic locale with a comma as decimal point, and
// HasCLocale() says so, so that a test can report what it could not check.

#include <clocale>
#include <locale>
#include <string>

class ZR_GermanNumericLocale {
 public:
  ZR_GermanNumericLocale();
  ~ZR_GermanNumericLocale();
  ZR_GermanNumericLocale(const ZR_GermanNumericLocale&) = delete;
  ZR_GermanNumericLocale& operator=(const ZR_GermanNumericLocale&) = delete;

  bool HasCLocale() const { return m_bCLocale; }
  static constexpr const char* kMissingMessage =
      "locale de_DE.UTF-8 not installed (package locales-all): only the C++ global locale "
      "was switched to a decimal comma";

 private:
  std::locale m_oPreviousGlobal;
  std::string m_sPreviousC;
  bool m_bCLocale = false;
};
