#include "settings_window/segmented_picker.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>

SegmentedPicker::SegmentedPicker(const QStringList& labels, QWidget* parent)
    : QWidget(parent)
    , m_group(new QButtonGroup(this)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    for (qsizetype i = 0; i < labels.size(); ++i) {
        auto* button = new QPushButton(labels[i], this);
        button->setCheckable(true);
        button->setObjectName(QStringLiteral("segment%1").arg(i));
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        m_group->addButton(button, int(i));
        // The chosen segment is tinted with the accent colour: styles shade a pressed button
        // only faintly. (Tinted rather than bold: a bold face is one more font file to load
        // when the window opens.)
        connect(button, &QPushButton::toggled, button, [button](bool on) {
            QPalette tinted = button->parentWidget()->palette();
            if (on) {
                const QColor accent = tinted.color(QPalette::Highlight);
                tinted.setColor(QPalette::Button, accent);
                tinted.setColor(QPalette::ButtonText, tinted.color(QPalette::HighlightedText));
            }
            button->setPalette(tinted);
        });
        row->addWidget(button);
    }
    m_group->setExclusive(true);
    if (!labels.isEmpty())
        m_group->button(0)->setChecked(true);
    connect(m_group, &QButtonGroup::idClicked, this,
            [this](int id) { emit currentIndexChanged(id); });
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

int SegmentedPicker::currentIndex() const {
    return m_group->checkedId();
}

void SegmentedPicker::setCurrentIndex(int index) {
    const QSignalBlocker block(this);
    if (QAbstractButton* button = m_group->button(index))
        button->setChecked(true);
}

QWidget* SegmentedPicker::segment(int index) const {
    return m_group->button(index);
}
