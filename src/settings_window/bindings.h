#pragma once

#include "settings_window/colour_well.h"
#include "settings_window/number_field.h"
#include "settings_window/segmented_picker.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QSignalBlocker>
#include <QVariant>

#include <vector>

// Keeps a control and a property of a model in step, in one line per control: what the user
// changes is written to the model at once; a change of the model from elsewhere (a grip on the
// widget, another control) is shown in the control without being written back.
namespace Bind {

// Shows the model's value now and after every change the model reports.
template <typename Model, typename Get, typename Signal, typename Show>
void follow(QWidget* control, Model& model, Get get, Signal changed, Show show) {
    auto refresh = [control, &model, get, show] {
        const QSignalBlocker block(control);
        show((model.*get)());
    };
    refresh();
    QObject::connect(&model, changed, control, refresh);
}

// A check box or switch and a boolean.
template <typename Model, typename Get, typename Set, typename Signal>
void toggle(QAbstractButton* box, Model& model, Get get, Set set, Signal changed) {
    follow(box, model, get, changed, [box](bool on) { box->setChecked(on); });
    QObject::connect(box, &QAbstractButton::toggled, box,
                     [&model, set](bool on) { (model.*set)(on); });
}

// A segmented picker and an enumeration whose cases are the segments, in order.
template <typename E, typename Model, typename Get, typename Set, typename Signal>
void segments(SegmentedPicker* picker, const std::vector<E>& cases, Model& model, Get get, Set set,
              Signal changed) {
    follow(picker, model, get, changed, [picker, cases](E value) {
        for (std::size_t i = 0; i < cases.size(); ++i)
            if (cases[i] == value)
                picker->setCurrentIndex(int(i));
    });
    QObject::connect(picker, &SegmentedPicker::currentIndexChanged, picker,
                     [&model, set, cases](int index) {
                         if (index >= 0 && std::size_t(index) < cases.size())
                             (model.*set)(cases[std::size_t(index)]);
                     });
}

// A pop-up menu whose entries carry the values as item data (`encode` turns a value into it,
// `decode` back); a value no entry carries selects nothing.
template <typename Model, typename Get, typename Set, typename Signal, typename Encode,
          typename Decode>
void menu(QComboBox* combo, Model& model, Get get, Set set, Signal changed, Encode encode,
          Decode decode) {
    follow(combo, model, get, changed, [combo, encode](const auto& value) {
        combo->setCurrentIndex(combo->findData(encode(value)));
    });
    QObject::connect(combo, &QComboBox::activated, combo, [&model, set, combo, decode](int index) {
        (model.*set)(decode(combo->itemData(index)));
    });
}

// A colour well and a colour.
template <typename Model, typename Get, typename Set, typename Signal>
void colour(ColourWell* well, Model& model, Get get, Set set, Signal changed) {
    follow(well, model, get, changed, [well](const QColor& c) { well->setColor(c); });
    QObject::connect(well, &ColourWell::colorPicked, well,
                     [&model, set](const QColor& c) { (model.*set)(c); });
}

} // namespace Bind
