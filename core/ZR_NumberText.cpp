#include "core/ZR_NumberText.h"

#include <charconv>
#include <cmath>

namespace {
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
}  // namespace

std::string_view ZR_NumberText::NextToken() {
  std::size_t start = 0;
  while (start < m_sText.size() && IsSpace(m_sText[start])) ++start;
  std::size_t end = start;
  while (end < m_sText.size() && !IsSpace(m_sText[end])) ++end;
  std::string_view token = m_sText.substr(start, end - start);
  m_sText.remove_prefix(end);
  return token;
}

bool ZR_NumberText::AtEnd() {
  std::size_t start = 0;
  while (start < m_sText.size() && IsSpace(m_sText[start])) ++start;
  m_sText.remove_prefix(start);
  return m_sText.empty();
}

bool ZR_NumberText::NextInteger(int64_t& value) {
  std::string_view token = NextToken();
  // from_chars refuses a leading '+', which the stream reading it replaces accepts.
  if (token.size() > 1 && token[0] == '+' && token[1] != '-') token.remove_prefix(1);
  if (token.empty()) return false;
  int64_t parsed = 0;
  const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), parsed);
  if (error != std::errc() || end != token.data() + token.size()) return false;
  value = parsed;
  return true;
}

bool ZR_NumberText::NextReal(double& value) {
  std::string_view token = NextToken();
  if (token.size() > 1 && token[0] == '+' && token[1] != '-') token.remove_prefix(1);
  if (token.empty()) return false;
  double parsed = 0;
  const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), parsed,
                                            std::chars_format::general);
  if (error != std::errc() || end != token.data() + token.size() || !std::isfinite(parsed))
    return false;
  value = parsed;
  return true;
}

std::string ZR_NumberText::Integer(int64_t value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string ZR_NumberText::Real(float value) {
  char buffer[32];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
  return std::string(buffer, result.ptr);
}
