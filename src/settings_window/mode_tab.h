#pragma once

#include "settings_window/goal_draft.h"

#include <QWidget>

#include <functional>

class Clock;
class NumberField;
class QComboBox;
class QPushButton;
class QTimeEdit;
class SegmentedPicker;
class Settings;
class TimerEngine;

// The "모드" tab: timer or clock; in timer mode the countdown goal, edited as a draft that
// "적용 후 시작" applies and starts; in clock mode the clock's options, which apply at once.
class ModeTab : public QWidget {
    Q_OBJECT

public:
    ModeTab(Settings& settings, TimerEngine& engine, const Clock& clock,
            std::function<void()> onClose, QWidget* parent = nullptr);

    // Fills the draft from the engine's goal and refreshes the regions' offsets; run each time
    // the window is shown, which discards what was not applied.
    void loadFromEngine();
    const GoalDraft& draft() const { return m_draft; }

    // The action of "적용 후 시작": apply the draft, reset and start the engine, close.
    void applyAndStart();

    // The region entries: the device's zone first (no identifier), then each group's title
    // (no value) followed by its regions as "name  (UTC+9)" with their identifier.
    static void fillRegions(QComboBox* combo, const QDateTime& now);

private:
    QWidget* buildTimerBody();
    QWidget* buildFocusSection();
    QWidget* buildCommuteSection();
    QWidget* buildClockSection();
    // Shows the draft in the goal's controls and the sections its choices call for.
    void showDraft();

    Settings& m_settings;
    TimerEngine& m_engine;
    const Clock& m_clock;
    std::function<void()> m_onClose;
    GoalDraft m_draft;

    QWidget* m_timerBody = nullptr;
    QWidget* m_clockSection = nullptr;
    SegmentedPicker* m_category = nullptr;
    QWidget* m_focusSection = nullptr;
    QWidget* m_commuteSection = nullptr;
    NumberField* m_minutes = nullptr;
    SegmentedPicker* m_offKind = nullptr;
    QWidget* m_offClock = nullptr;
    QWidget* m_offDuration = nullptr;
    QTimeEdit* m_offTime = nullptr;
    NumberField* m_workHours = nullptr;
    NumberField* m_workMinutes = nullptr;
    QPushButton* m_apply = nullptr;
    QComboBox* m_region = nullptr;
};
