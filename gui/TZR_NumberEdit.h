#pragma once
// A numeric edit field that reads what the user types with the C locale first ("2.5") and
// the user's own locale second ("2,5"), and always shows numbers with a decimal point, so a
// value means the same under every locale. The contract's number slots reach it as a spin
// box; the value is handed on when the field is left or Enter is pressed (editingFinished).

#include <QDoubleSpinBox>
#include <optional>

class TZR_NumberEdit : public QDoubleSpinBox {
  Q_OBJECT
 public:
  explicit TZR_NumberEdit(int decimals, QWidget* parent = nullptr);

  // The number in `text` by the rule above; nothing when neither locale reads it.
  static std::optional<double> Parse(const QString& text);

 protected:
  QValidator::State validate(QString& text, int& pos) const override;
  double valueFromText(const QString& text) const override;
  QString textFromValue(double value) const override;
  void fixup(QString& text) const override;
};
