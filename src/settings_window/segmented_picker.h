#pragma once

#include <QStringList>
#include <QWidget>

class QButtonGroup;

// A row of joined buttons of which exactly one is chosen, for a choice among a few cases
// whose names are short. Arrow keys move between the buttons, Space chooses.
class SegmentedPicker : public QWidget {
    Q_OBJECT

public:
    explicit SegmentedPicker(const QStringList& labels, QWidget* parent = nullptr);

    int currentIndex() const;
    // Chooses a segment without emitting currentIndexChanged.
    void setCurrentIndex(int index);
    // The button of one segment, for tests and accessibility.
    QWidget* segment(int index) const;

signals:
    // The user chose another segment.
    void currentIndexChanged(int index);

private:
    QButtonGroup* m_group;
};
