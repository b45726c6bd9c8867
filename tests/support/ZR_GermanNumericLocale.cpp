#include "tests/support/ZR_GermanNumericLocale.h"

namespace {
struct CommaDecimal : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
  char do_thousands_sep() const override { return '.'; }
  std::string do_grouping() const override { return "\3"; }
};
}  // namespace

ZR_GermanNumericLocale::ZR_GermanNumericLocale() {
  const char* previous = std::setlocale(LC_ALL, nullptr);
  m_sPreviousC = previous ? previous : "C";
  m_bCLocale = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
  std::locale german = std::locale(std::locale::classic(), new CommaDecimal);
  if (m_bCLocale) {
    try {
      german = std::locale("de_DE.UTF-8");
    } catch (const std::runtime_error&) {
    }
  }
  m_oPreviousGlobal = std::locale::global(german);
}

ZR_GermanNumericLocale::~ZR_GermanNumericLocale() {
  std::locale::global(m_oPreviousGlobal);
  std::setlocale(LC_ALL, m_sPreviousC.c_str());
}
