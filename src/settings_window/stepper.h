#pragma once

#include <QWidget>

class NumberField;

// Two small buttons that step a number field down and up by one, repeating while held; the
// field clamps the result and reports it as the user's edit.
class Stepper : public QWidget {
    Q_OBJECT

public:
    // `unit` names what is stepped, for the buttons' accessible names ("분" → "1분 줄이기").
    Stepper(NumberField* field, const QString& unit, QWidget* parent = nullptr);
};
