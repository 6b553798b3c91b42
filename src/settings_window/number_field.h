#pragma once

#include <QLineEdit>

#include <cstdint>

// A whole number typed in a small right-aligned field, in the user's locale. Only digits can be
// typed; what is entered is clamped into the range when the edit is committed (Return or
// leaving the field), so 0 in a field of 1 to 600 becomes 1 and 1000 becomes 600.
class NumberField : public QLineEdit {
    Q_OBJECT

public:
    NumberField(std::int64_t minimum, std::int64_t maximum, int width, QWidget* parent = nullptr);

    std::int64_t value() const { return m_value; }
    // Shows a value as it is (a value from elsewhere is not clamped) without emitting.
    void setValue(std::int64_t value);
    // Commits the text being typed, as leaving the field does.
    void commit();
    // Commits, then adds `steps` within the range, as the user's edit.
    void stepBy(std::int64_t steps);

    std::int64_t minimum() const { return m_minimum; }
    std::int64_t maximum() const { return m_maximum; }

signals:
    // The user committed a value; already clamped into the range.
    void valueEdited(std::int64_t value);

protected:
    void focusOutEvent(QFocusEvent* event) override;
    // Up and Down step the value.
    void keyPressEvent(QKeyEvent* event) override;

private:
    // What the field's text says, clamped; the current value when it says nothing readable.
    std::int64_t typedValue() const;
    void display(std::int64_t value);

    std::int64_t m_minimum;
    std::int64_t m_maximum;
    std::int64_t m_value;
};
