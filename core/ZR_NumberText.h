#pragma once
// Numbers in the program's own text files. Reading and writing never consult the process
// locale: the window toolkit sets it, and a German one would turn "0.2" into "0,2".

#include <cstdint>
#include <string>
#include <string_view>

class ZR_NumberText {
 public:
  explicit ZR_NumberText(std::string_view text) : m_sText(text) {}

  // The next white-space separated token as a number. False at the end of the text or when
  // the token is not entirely a decimal number of that kind (the token is consumed anyway).
  [[nodiscard]] bool NextInteger(int64_t& value);
  [[nodiscard]] bool NextReal(double& value);  // finite values only
  bool AtEnd();

  // Decimal integer, and the stream's general format with six significant digits
  // ("0.2", "20", "2.5", "1e+06").
  static std::string Integer(int64_t value);
  static std::string Real(float value);

 private:
  std::string_view NextToken();

  std::string_view m_sText;
};
