#include "gui/TZR_NumberEdit.h"

#include <QLocale>

namespace {
// Group separators are refused, so "1,5" is never read as 15 by the C locale.
QLocale Strict(QLocale locale) {
  locale.setNumberOptions(QLocale::RejectGroupSeparator | QLocale::OmitGroupSeparator);
  return locale;
}
}  // namespace

TZR_NumberEdit::TZR_NumberEdit(int decimals, QWidget* parent) : QDoubleSpinBox(parent) {
  setDecimals(decimals);
  setButtonSymbols(QAbstractSpinBox::NoButtons);
  setKeyboardTracking(false);
  setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
  setRange(0, 1e6);
}

std::optional<double> TZR_NumberEdit::Parse(const QString& text) {
  const QString trimmed = text.trimmed();
  if (trimmed.isEmpty()) return std::nullopt;
  bool ok = false;
  const double c = Strict(QLocale::c()).toDouble(trimmed, &ok);
  if (ok) return c;
  const double own = Strict(QLocale()).toDouble(trimmed, &ok);
  if (ok) return own;
  return std::nullopt;
}

QValidator::State TZR_NumberEdit::validate(QString& text, int&) const {
  const QString trimmed = text.trimmed();
  // What may still become a number while it is typed.
  if (trimmed.isEmpty() || trimmed == "-" || trimmed == "+" || trimmed.endsWith('.') || trimmed.endsWith(','))
    return QValidator::Intermediate;
  const std::optional<double> value = Parse(trimmed);
  if (!value) return QValidator::Invalid;
  return *value >= minimum() && *value <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
}

double TZR_NumberEdit::valueFromText(const QString& text) const { return Parse(text).value_or(value()); }

QString TZR_NumberEdit::textFromValue(double value) const {
  QString text = QLocale::c().toString(value, 'f', decimals());
  if (text.contains('.')) {
    while (text.endsWith('0')) text.chop(1);
    if (text.endsWith('.')) text.chop(1);
  }
  return text;
}

void TZR_NumberEdit::fixup(QString& text) const {
  if (const std::optional<double> v = Parse(text)) text = textFromValue(qBound(minimum(), *v, maximum()));
}
