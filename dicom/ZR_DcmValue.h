#pragma once
// The value of one DICOM element as the component hands it out and takes it in: empty, text
// (UTF-8), a number, an array of numbers (multi-valued numeric elements), a date, a time or raw
// bytes. Conversions between kinds follow what a caller would expect of a variant: a number
// reads as text, numeric text reads as a number; a conversion that cannot work raises.

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

class ZR_DcmValue {
 public:
  enum class Kind { Empty, Text, Number, Numbers, Date, Time, Bytes };

  struct Date {
    int32_t year = 0, month = 0, day = 0;
    bool operator==(const Date&) const = default;
  };
  struct Time {
    int32_t hour = 0, minute = 0, second = 0, microsecond = 0;
    bool operator==(const Time&) const = default;
  };

  ZR_DcmValue() = default;
  ZR_DcmValue(std::string text);
  ZR_DcmValue(const char* text);
  template <typename T>
    requires(std::is_arithmetic_v<T> && !std::is_same_v<T, bool> && !std::is_same_v<T, char>)
  ZR_DcmValue(T number) : m_eKind(Kind::Number), m_aNumbers{static_cast<double>(number)} {}
  ZR_DcmValue(std::vector<double> numbers);
  ZR_DcmValue(Date date);
  ZR_DcmValue(Time time);
  static ZR_DcmValue FromBytes(std::vector<uint8_t> bytes);
  // The local date and time now.
  static ZR_DcmValue Today();
  static ZR_DcmValue Now();

  Kind GetKind() const { return m_eKind; }
  bool IsEmpty() const { return m_eKind == Kind::Empty; }

  // Always works: numbers in their shortest exact form ("120", "0.9570312"), arrays joined
  // by '\', dates as YYYY-MM-DD, times as HH:MM:SS, bytes and empty values as "".
  std::string AsText() const;
  // A number, a one-element array or numeric text; raises otherwise.
  double AsNumber() const;
  // An array, a number or '\'-separated numeric text; raises otherwise.
  std::vector<double> AsNumbers() const;
  // A date, or text of the form YYYYMMDD / YYYY.MM.DD / YYYY-MM-DD; raises otherwise.
  Date AsDate() const;
  Time AsTime() const;
  const std::vector<uint8_t>& Bytes() const { return m_aBytes; }

  // Text forms shared with the encoder.
  static std::string FormatNumber(double number);
  static bool ParseNumber(std::string_view text, double& number);

  // Names the element a value came from, for the messages of failed conversions.
  void SetOrigin(std::string origin) { m_sOrigin = std::move(origin); }

  bool operator==(const ZR_DcmValue& other) const;

 private:
  [[noreturn]] void Fail(const std::string& what) const;

  Kind m_eKind = Kind::Empty;
  std::string m_sText;
  std::vector<double> m_aNumbers;
  Date m_oDate;
  Time m_oTime;
  std::vector<uint8_t> m_aBytes;
  std::string m_sOrigin;
};
