#include "settings_window/stepper.h"

#include "settings_window/number_field.h"

#include <QHBoxLayout>
#include <QToolButton>

Stepper::Stepper(NumberField* field, const QString& unit, QWidget* parent)
    : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    const auto add = [&](Qt::ArrowType arrow, int step, const QString& name, const QString& id) {
        auto* button = new QToolButton(this);
        button->setArrowType(arrow);
        button->setAutoRepeat(true);
        button->setAccessibleName(name);
        button->setToolTip(name);
        button->setObjectName(id);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QToolButton::clicked, field, [field, step] { field->stepBy(step); });
        row->addWidget(button);
    };
    add(Qt::DownArrow, -1, QStringLiteral("1") + unit + QStringLiteral(" 줄이기"),
        QStringLiteral("stepDown"));
    add(Qt::UpArrow, 1, QStringLiteral("1") + unit + QStringLiteral(" 늘리기"),
        QStringLiteral("stepUp"));
}
