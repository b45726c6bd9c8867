#include "dicom/ZR_DcmValueCodec.h"

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "dicom/ZR_DcmError.h"
#include "dicom/ZR_DcmVr.h"

namespace {
using Element = ZR_DcmDataSet::Element;
using V = ZR_DcmVr;

template <typename T>
T Load(const uint8_t* p) {
  uint8_t raw[sizeof(T)];
  for (size_t i = 0; i < sizeof(T); ++i)
    raw[i] = p[std::endian::native == std::endian::little ? i : sizeof(T) - 1 - i];
  T value;
  std::memcpy(&value, raw, sizeof(T));
  return value;
}

template <typename T>
void Store(T value, std::string& out) {
  uint8_t raw[sizeof(T)];
  std::memcpy(raw, &value, sizeof(T));
  for (size_t i = 0; i < sizeof(T); ++i)
    out += static_cast<char>(raw[std::endian::native == std::endian::little ? i : sizeof(T) - 1 - i]);
}

std::vector<double> SplitNumbers(std::string_view text, bool& ok) {
  std::vector<double> numbers;
  ok = true;
  while (true) {
    const size_t cut = text.find('\\');
    double number = 0;
    if (!ZR_DcmValue::ParseNumber(text.substr(0, cut), number)) {
      ok = false;
      return {};
    }
    numbers.push_back(number);
    if (cut == std::string_view::npos) return numbers;
    text.remove_prefix(cut + 1);
  }
}

// Decimal strings hold at most 16 characters.
std::string FormatDecimal(double number) {
  std::string text = ZR_DcmValue::FormatNumber(number);
  for (int precision = 15; text.size() > 16 && precision > 0; --precision) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*g", precision, number);
    text = buffer;
  }
  return text;
}

template <typename T>
void StoreChecked(double number, uint32_t tag, uint16_t vr, std::string& out) {
  if constexpr (std::is_integral_v<T>) {
    const double rounded = std::nearbyint(number);
    if (!(rounded >= static_cast<double>(std::numeric_limits<T>::min()) &&
          rounded <= static_cast<double>(std::numeric_limits<T>::max())))
      throw ZR_DcmError(ZR_DcmDataSet::TagName(tag) + ": value " + ZR_DcmValue::FormatNumber(number) +
                        " does not fit " + ZR_DcmVr::Name(vr));
    Store(static_cast<T>(rounded), out);
  } else {
    Store(static_cast<T>(number), out);
  }
}

std::string TextOfValue(const ZR_DcmValue& value, uint16_t vr) {
  switch (value.GetKind()) {
    case ZR_DcmValue::Kind::Number:
    case ZR_DcmValue::Kind::Numbers: {
      if (vr != V::DS && vr != V::IS) return value.AsText();
      std::string text;
      const std::vector<double> numbers = value.AsNumbers();
      for (size_t i = 0; i < numbers.size(); ++i) {
        if (i) text += '\\';
        text += vr == V::IS ? std::to_string(std::llround(numbers[i])) : FormatDecimal(numbers[i]);
      }
      return text;
    }
    case ZR_DcmValue::Kind::Date: {
      if (vr != V::DA && vr != V::DT) return value.AsText();
      const ZR_DcmValue::Date d = value.AsDate();
      char buffer[32];
      std::snprintf(buffer, sizeof buffer, "%04d%02d%02d", d.year, d.month, d.day);
      return buffer;
    }
    case ZR_DcmValue::Kind::Time: {
      if (vr != V::TM) return value.AsText();
      const ZR_DcmValue::Time t = value.AsTime();
      char buffer[32];
      std::snprintf(buffer, sizeof buffer, "%02d%02d%02d.%06d", t.hour, t.minute, t.second,
                    t.microsecond);
      return buffer;
    }
    default: return value.AsText();
  }
}

uint16_t VrForUnknownTag(const ZR_DcmValue& value) {
  switch (value.GetKind()) {
    case ZR_DcmValue::Kind::Number:
    case ZR_DcmValue::Kind::Numbers: return V::FD;
    case ZR_DcmValue::Kind::Date: return V::DA;
    case ZR_DcmValue::Kind::Time: return V::TM;
    case ZR_DcmValue::Kind::Bytes: return V::OB;
    default: return value.AsText().size() > 64 ? V::UT : V::LO;
  }
}
}  // namespace

Element ZR_DcmValueCodec::Make(uint32_t tag, uint16_t vr, std::string_view bytes, bool utf8) {
  auto buffer = std::make_shared<std::vector<uint8_t>>(bytes.begin(), bytes.end());
  Element e;
  e.tag = tag;
  e.vr = vr;
  e.utf8 = utf8;
  e.bytes = std::span<const uint8_t>(buffer->data(), buffer->size());
  e.storage = std::move(buffer);
  return e;
}

ZR_DcmValue ZR_DcmValueCodec::Decode(const ZR_DcmDataSet& set, const Element& e) {
  ZR_DcmValue value;
  uint16_t vr = e.vr;
  if (e.vr == V::SQ || e.encapsulated || e.bytes.empty()) {
    value = e.encapsulated ? ZR_DcmValue::FromBytes({}) : ZR_DcmValue();
  } else if (V::IsText(vr)) {
    const std::string text = set.TextOf(e);
    value = ZR_DcmValue(text);
    if (text.empty()) {
      value = ZR_DcmValue();
    } else if (vr == V::DS || vr == V::IS) {
      bool ok = false;
      std::vector<double> numbers = SplitNumbers(text, ok);
      if (ok) value = numbers.size() == 1 ? ZR_DcmValue(numbers[0]) : ZR_DcmValue(std::move(numbers));
    } else if (vr == V::DA && text.find('\\') == std::string::npos) {
      try {
        value = ZR_DcmValue(ZR_DcmValue(text).AsDate());
      } catch (const ZR_DcmError&) {
        // Not a valid date: the text itself is the most honest answer.
      }
    }
  } else if (V::UnitSize(vr) > 0 && vr != V::OW && vr != V::OF && vr != V::OD && vr != V::OL &&
             vr != V::OV) {
    if (vr == V::XS) {
      const Element* rep = set.Find(ZR_DcmDataSet::Tag(0x0028, 0x0103));
      const bool isSigned = rep && rep->bytes.size() >= 2 && Load<uint16_t>(rep->bytes.data()) == 1;
      vr = isSigned ? V::SS : V::US;
    }
    const size_t unit = static_cast<size_t>(V::UnitSize(vr));
    std::vector<double> numbers;
    numbers.reserve(e.bytes.size() / unit);
    for (size_t off = 0; off + unit <= e.bytes.size(); off += unit) {
      const uint8_t* p = e.bytes.data() + off;
      switch (vr) {
        case V::US: numbers.push_back(Load<uint16_t>(p)); break;
        case V::SS: numbers.push_back(Load<int16_t>(p)); break;
        case V::UL: numbers.push_back(Load<uint32_t>(p)); break;
        case V::SL: numbers.push_back(Load<int32_t>(p)); break;
        case V::FL: numbers.push_back(Load<float>(p)); break;
        case V::FD: numbers.push_back(Load<double>(p)); break;
        case V::SV: numbers.push_back(static_cast<double>(Load<int64_t>(p))); break;
        case V::UV: numbers.push_back(static_cast<double>(Load<uint64_t>(p))); break;
        case V::AT:
          if (off + 4 > e.bytes.size()) break;
          numbers.push_back(static_cast<double>(uint32_t{Load<uint16_t>(p)} << 16 | Load<uint16_t>(p + 2)));
          off += 2;
          break;
        default: break;
      }
    }
    if (numbers.size() == 1)
      value = ZR_DcmValue(numbers[0]);
    else if (!numbers.empty())
      value = ZR_DcmValue(std::move(numbers));
  } else {
    value = ZR_DcmValue::FromBytes(std::vector<uint8_t>(e.bytes.begin(), e.bytes.end()));
  }
  value.SetOrigin(ZR_DcmDataSet::TagName(e.tag));
  return value;
}

Element ZR_DcmValueCodec::Encode(uint32_t tag, const ZR_DcmValue& value) {
  uint16_t vr = V::ForTag(tag);
  if (vr == V::UN) vr = VrForUnknownTag(value);
  return Encode(tag, vr, value);
}

Element ZR_DcmValueCodec::Encode(uint32_t tag, uint16_t vr, const ZR_DcmValue& value) {
  if (vr == V::XS) {
    const bool negative = value.GetKind() != ZR_DcmValue::Kind::Empty && value.AsNumbers().size() &&
                          value.AsNumbers()[0] < 0;
    vr = negative ? V::SS : V::US;
  }
  if (vr == V::SQ) throw ZR_DcmError(ZR_DcmDataSet::TagName(tag) + ": a sequence cannot be set as a value");
  if (value.IsEmpty()) return Make(tag, vr, {}, true);

  std::string bytes;
  if (V::IsText(vr)) {
    return Make(tag, vr, TextOfValue(value, vr), true);
  }
  if (value.GetKind() == ZR_DcmValue::Kind::Bytes) {
    const auto& raw = value.Bytes();
    return Make(tag, vr, std::string_view(reinterpret_cast<const char*>(raw.data()), raw.size()), false);
  }
  ZR_DcmValue numeric = value;
  numeric.SetOrigin(ZR_DcmDataSet::TagName(tag));
  for (double n : numeric.AsNumbers()) {
    switch (vr) {
      case V::US: case V::OW: StoreChecked<uint16_t>(n, tag, vr, bytes); break;
      case V::SS: StoreChecked<int16_t>(n, tag, vr, bytes); break;
      case V::UL: case V::OL: StoreChecked<uint32_t>(n, tag, vr, bytes); break;
      case V::SL: StoreChecked<int32_t>(n, tag, vr, bytes); break;
      case V::FL: case V::OF: StoreChecked<float>(n, tag, vr, bytes); break;
      case V::FD: case V::OD: StoreChecked<double>(n, tag, vr, bytes); break;
      case V::SV: case V::OV: StoreChecked<int64_t>(n, tag, vr, bytes); break;
      case V::UV: StoreChecked<uint64_t>(n, tag, vr, bytes); break;
      case V::AT: {
        const uint32_t t = static_cast<uint32_t>(n);
        Store(static_cast<uint16_t>(t >> 16), bytes);
        Store(static_cast<uint16_t>(t & 0xffff), bytes);
        break;
      }
      case V::OB: case V::UN: StoreChecked<uint8_t>(n, tag, vr, bytes); break;
      default: throw ZR_DcmError(ZR_DcmDataSet::TagName(tag) + ": cannot hold a number as " + V::Name(vr));
    }
  }
  return Make(tag, vr, bytes, false);
}
