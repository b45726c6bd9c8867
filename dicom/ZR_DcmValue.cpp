#include "dicom/ZR_DcmValue.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "dicom/ZR_DcmError.h"

namespace {
std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\0')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.remove_suffix(1);
  return text;
}

bool ParseDigits(std::string_view text, int32_t& value) {
  if (text.empty()) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return true;
}

std::tm LocalNow(int32_t& microsecond) {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  microsecond = static_cast<int32_t>(
      std::chrono::duration_cast<std::chrono::microseconds>(now.time_since_epoch()).count() %
      1000000);
  std::tm t{};
  localtime_r(&seconds, &t);
  return t;
}
}  // namespace

ZR_DcmValue::ZR_DcmValue(std::string text) : m_eKind(Kind::Text), m_sText(std::move(text)) {}
ZR_DcmValue::ZR_DcmValue(const char* text) : ZR_DcmValue(std::string(text ? text : "")) {}
ZR_DcmValue::ZR_DcmValue(std::vector<double> numbers)
    : m_eKind(Kind::Numbers), m_aNumbers(std::move(numbers)) {}
ZR_DcmValue::ZR_DcmValue(Date date) : m_eKind(Kind::Date), m_oDate(date) {}
ZR_DcmValue::ZR_DcmValue(Time time) : m_eKind(Kind::Time), m_oTime(time) {}

ZR_DcmValue ZR_DcmValue::FromBytes(std::vector<uint8_t> bytes) {
  ZR_DcmValue value;
  value.m_eKind = Kind::Bytes;
  value.m_aBytes = std::move(bytes);
  return value;
}

ZR_DcmValue ZR_DcmValue::Today() {
  int32_t micro = 0;
  const std::tm t = LocalNow(micro);
  return ZR_DcmValue(Date{t.tm_year + 1900, t.tm_mon + 1, t.tm_mday});
}

ZR_DcmValue ZR_DcmValue::Now() {
  int32_t micro = 0;
  const std::tm t = LocalNow(micro);
  return ZR_DcmValue(Time{t.tm_hour, t.tm_min, t.tm_sec, micro});
}

bool ZR_DcmValue::operator==(const ZR_DcmValue& other) const {
  if (m_eKind != other.m_eKind) return false;
  switch (m_eKind) {
    case Kind::Empty: return true;
    case Kind::Text: return m_sText == other.m_sText;
    case Kind::Number:
    case Kind::Numbers: return m_aNumbers == other.m_aNumbers;
    case Kind::Date: return m_oDate == other.m_oDate;
    case Kind::Time: return m_oTime == other.m_oTime;
    case Kind::Bytes: return m_aBytes == other.m_aBytes;
  }
  return false;
}

void ZR_DcmValue::Fail(const std::string& what) const {
  throw ZR_DcmError(m_sOrigin.empty() ? what : m_sOrigin + ": " + what);
}

std::string ZR_DcmValue::FormatNumber(double number) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
  return std::string(buffer, result.ptr);
}

bool ZR_DcmValue::ParseNumber(std::string_view text, double& number) {
  text = Trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), number);
  return result.ec == std::errc() && result.ptr == text.data() + text.size() &&
         std::isfinite(number);
}

std::string ZR_DcmValue::AsText() const {
  switch (m_eKind) {
    case Kind::Empty:
    case Kind::Bytes: return "";
    case Kind::Text: return m_sText;
    case Kind::Number:
    case Kind::Numbers: {
      std::string text;
      for (size_t i = 0; i < m_aNumbers.size(); ++i) {
        if (i) text += '\\';
        text += FormatNumber(m_aNumbers[i]);
      }
      return text;
    }
    case Kind::Date: {
      char buffer[32];
      std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", m_oDate.year, m_oDate.month,
                    m_oDate.day);
      return buffer;
    }
    case Kind::Time: {
      char buffer[32];
      std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", m_oTime.hour, m_oTime.minute,
                    m_oTime.second);
      return buffer;
    }
  }
  return "";
}

double ZR_DcmValue::AsNumber() const {
  switch (m_eKind) {
    case Kind::Number: return m_aNumbers[0];
    case Kind::Numbers:
      if (m_aNumbers.size() == 1) return m_aNumbers[0];
      Fail("holds " + std::to_string(m_aNumbers.size()) + " values where one number is needed");
    case Kind::Text: {
      double number = 0;
      if (ParseNumber(m_sText, number)) return number;
      Fail("value '" + m_sText + "' is not a number");
    }
    case Kind::Empty: Fail("has no value");
    default: Fail("value is not a number");
  }
}

std::vector<double> ZR_DcmValue::AsNumbers() const {
  switch (m_eKind) {
    case Kind::Number:
    case Kind::Numbers: return m_aNumbers;
    case Kind::Text: {
      std::vector<double> numbers;
      std::string_view rest = m_sText;
      while (true) {
        const size_t cut = rest.find('\\');
        double number = 0;
        if (!ParseNumber(rest.substr(0, cut), number))
          Fail("value '" + m_sText + "' is not a list of numbers");
        numbers.push_back(number);
        if (cut == std::string_view::npos) break;
        rest.remove_prefix(cut + 1);
      }
      return numbers;
    }
    case Kind::Empty: Fail("has no value");
    default: Fail("value is not a list of numbers");
  }
}

ZR_DcmValue::Date ZR_DcmValue::AsDate() const {
  if (m_eKind == Kind::Date) return m_oDate;
  if (m_eKind == Kind::Text) {
    const std::string_view text = Trim(m_sText);
    Date date;
    // The old form with separators (YYYY.MM.DD) still turns up in ACR-NEMA era files.
    const bool separated = text.size() == 10 && (text[4] == '.' || text[4] == '-') &&
                           text[7] == text[4];
    const bool plain = text.size() == 8;
    if ((plain && ParseDigits(text.substr(0, 4), date.year) &&
         ParseDigits(text.substr(4, 2), date.month) && ParseDigits(text.substr(6, 2), date.day)) ||
        (separated && ParseDigits(text.substr(0, 4), date.year) &&
         ParseDigits(text.substr(5, 2), date.month) && ParseDigits(text.substr(8, 2), date.day))) {
      if (date.month >= 1 && date.month <= 12 && date.day >= 1 && date.day <= 31) return date;
    }
    Fail("value '" + m_sText + "' is not a date");
  }
  if (m_eKind == Kind::Empty) Fail("has no value");
  Fail("value is not a date");
}

ZR_DcmValue::Time ZR_DcmValue::AsTime() const {
  if (m_eKind == Kind::Time) return m_oTime;
  if (m_eKind == Kind::Text) {
    std::string_view text = Trim(m_sText);
    Time time;
    int32_t* const parts[] = {&time.hour, &time.minute, &time.second};
    size_t pos = 0;
    bool ok = text.size() >= 2;
    for (int i = 0; i < 3 && ok && pos < text.size(); ++i) {
      if (text[pos] == ':') ++pos;  // the old HH:MM:SS form
      ok = pos + 2 <= text.size() && ParseDigits(text.substr(pos, 2), *parts[i]);
      pos += 2;
    }
    if (ok && pos < text.size() && text[pos] == '.') {
      std::string_view fraction = text.substr(pos + 1, 6);
      int32_t micro = 0;
      ok = ParseDigits(fraction, micro);
      for (size_t i = fraction.size(); i < 6; ++i) micro *= 10;
      time.microsecond = micro;
      pos = text.size();
    }
    if (ok && pos >= text.size() && time.hour < 24 && time.minute < 60 && time.second < 61)
      return time;
    Fail("value '" + m_sText + "' is not a time");
  }
  if (m_eKind == Kind::Empty) Fail("has no value");
  Fail("value is not a time");
}
