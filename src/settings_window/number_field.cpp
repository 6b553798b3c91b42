#include "settings_window/number_field.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLocale>
#include <QValidator>

#include <algorithm>

namespace {

// Accepts digits of the user's locale and nothing else; an empty field is allowed while typing.
class DigitsValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        if (input.size() > 9)
            return Invalid;
        for (const QChar c : input)
            if (!c.isDigit())
                return Invalid;
        return input.isEmpty() ? Intermediate : Acceptable;
    }
};

// Whether every digit of the font has the same advance, so that numbers do not jitter as they
// change. Most interface fonts draw digits that way; where one does not, the fixed-pitch font is
// taken.
bool hasEqualWidthDigits(const QFont& font) {
    const QFontMetricsF metrics(font);
    const qreal zero = metrics.horizontalAdvance(QLatin1Char('0'));
    for (char digit = '1'; digit <= '9'; ++digit)
        if (!qFuzzyCompare(metrics.horizontalAdvance(QLatin1Char(digit)), zero))
            return false;
    return true;
}

} // namespace

NumberField::NumberField(std::int64_t minimum, std::int64_t maximum, int width, QWidget* parent)
    : QLineEdit(parent)
    , m_minimum(minimum)
    , m_maximum(maximum)
    , m_value(minimum) {
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setFixedWidth(width);
    setValidator(new DigitsValidator(this));
    if (!hasEqualWidthDigits(font())) {
        QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        fixed.setPointSizeF(font().pointSizeF());
        setFont(fixed);
    }
    connect(this, &QLineEdit::editingFinished, this, &NumberField::commit);
    display(m_value);
}

void NumberField::setValue(std::int64_t value) {
    m_value = value;
    display(value);
}

std::int64_t NumberField::typedValue() const {
    bool ok = false;
    const qlonglong typed = locale().toLongLong(text(), &ok);
    // Nothing (or nothing readable) typed: the value stays.
    return ok ? std::clamp<std::int64_t>(typed, m_minimum, m_maximum) : m_value;
}

void NumberField::commit() {
    m_value = typedValue();
    display(m_value);
    emit valueEdited(m_value);
}

void NumberField::stepBy(std::int64_t steps) {
    const std::int64_t typed = typedValue();
    m_value = std::clamp<std::int64_t>(typed + steps, m_minimum, m_maximum);
    display(m_value);
    emit valueEdited(m_value);
}

void NumberField::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        stepBy(event->key() == Qt::Key_Up ? 1 : -1);
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void NumberField::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // An emptied field is not committed by QLineEdit; it shows its value again.
    if (text().isEmpty())
        display(m_value);
}

void NumberField::display(std::int64_t value) {
    QLocale shown = locale();
    shown.setNumberOptions(QLocale::OmitGroupSeparator);
    setText(shown.toString(qlonglong(value)));
}
