#include "settings_window/mode_tab.h"
#include "settings_window/number_field.h"
#include "settings_window/segmented_picker.h"
#include "settings_window_fixture.h"
#include "timing/clock_region.h"

#include <QCheckBox>
#include <QSignalSpy>
#include <QStyleOptionComboBox>
#include <QTimeEdit>
#include <QTimeZone>

Q_DECLARE_METATYPE(TimerMode)

// The "모드" tab through the window: the goal is a draft until "적용 후 시작"; the widget mode
// and the clock options are written at once.
class ModeTabTest : public QObject {
    Q_OBJECT

    static QWidget* segment(SettingsWindowFixture& f, const char* picker, int index) {
        return f.find<SegmentedPicker>(QString::fromLatin1(picker))->segment(index);
    }

private slots:
    // Typed values are clamped into the field's range when committed.
    void numberFieldsClampWhatIsTyped_data() {
        QTest::addColumn<int>("category"); // segment of the category picker
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<TimerMode>("applied");
        QTest::newRow("0 minutes") << 0 << "focusMinutes"
                                   << "0" << TimerMode::task(1);
        QTest::newRow("1000 minutes") << 0 << "focusMinutes"
                                      << "1000" << TimerMode::task(600);
        QTest::newRow("45 minutes") << 0 << "focusMinutes"
                                    << "45" << TimerMode::task(45);
        QTest::newRow("letters refused") << 0 << "focusMinutes"
                                         << "4x5" << TimerMode::task(45);
        QTest::newRow("30 hours") << 1 << "workHours"
                                  << "30" << TimerMode::workDuration(23, 0);
        QTest::newRow("75 minutes") << 1 << "workMinutes"
                                    << "75" << TimerMode::workDuration(9, 59);
    }
    void numberFieldsClampWhatIsTyped() {
        QFETCH(int, category);
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(TimerMode, applied);
        SettingsWindowFixture f;
        f.open();
        if (category == 1) {
            f.click(segment(f, "category", 1));
            f.click(segment(f, "offKind", 1));
        }
        f.enter(field, typed);
        QCOMPARE(f.find<NumberField>(field)->text(),
                 QString::number(applied.kind == TimerMode::Kind::task ? applied.minutes()
                                 : field == u"workHours"               ? applied.hours()
                                                                       : applied.minutes()));
        // Nothing reaches the engine before the goal is applied.
        QCOMPARE(f.engine.mode(), TimerMode::task(25));
        f.click(QStringLiteral("applyAndStart"));
        QCOMPARE(f.engine.mode(), applied);
        QCOMPARE(f.engine.state(), TimerState::running);
        QVERIFY(!f.window->isVisible());
        QCOMPARE(decodeTimerMode(f.stored(QStringLiteral("timerMode")).toByteArray()).index(), 0u);
    }

    // The stepper and the presets set the focus length.
    void stepperAndPresets() {
        SettingsWindowFixture f;
        f.open();
        f.click(QStringLiteral("preset60"));
        QCOMPARE(f.find<NumberField>(QStringLiteral("focusMinutes"))->text(), QStringLiteral("60"));
        f.click(QStringLiteral("stepUp"));
        f.click(QStringLiteral("stepUp"));
        f.click(QStringLiteral("stepDown"));
        QCOMPARE(f.find<NumberField>(QStringLiteral("focusMinutes"))->text(), QStringLiteral("61"));
        f.click(QStringLiteral("preset5"));
        for (int i = 0; i < 6; ++i)
            f.click(QStringLiteral("stepDown"));
        QCOMPARE(f.find<NumberField>(QStringLiteral("focusMinutes"))->text(), QStringLiteral("1"));
        f.click(QStringLiteral("applyAndStart"));
        QCOMPARE(f.engine.mode(), TimerMode::task(1));
    }

    // The window opens on the engine's goal; the other kinds keep their last values.
    void opensOnTheEnginesGoal_data() {
        QTest::addColumn<TimerMode>("goal");
        QTest::addColumn<int>("category");
        QTest::addColumn<int>("offKind");
        QTest::addColumn<QString>("minutes");
        QTest::addColumn<QTime>("offTime");
        QTest::addColumn<QString>("workHours");
        QTest::newRow("focus 45") << TimerMode::task(45) << 0 << 1 << "45" << QTime(18, 0) << "9";
        QTest::newRow("leave at 07:30")
            << TimerMode::workOff(7, 30) << 1 << 0 << "25" << QTime(7, 30) << "9";
        QTest::newRow("work 8 hours")
            << TimerMode::workDuration(8, 0) << 1 << 1 << "25" << QTime(18, 0) << "8";
    }
    void opensOnTheEnginesGoal() {
        QFETCH(TimerMode, goal);
        QFETCH(int, category);
        QFETCH(int, offKind);
        QFETCH(QString, minutes);
        QFETCH(QTime, offTime);
        QFETCH(QString, workHours);
        SettingsWindowFixture f;
        f.engine.setMode(goal);
        f.open();
        QCOMPARE(f.find<SegmentedPicker>(QStringLiteral("category"))->currentIndex(), category);
        QCOMPARE(f.find<SegmentedPicker>(QStringLiteral("offKind"))->currentIndex(), offKind);
        QCOMPARE(f.find<NumberField>(QStringLiteral("focusMinutes"))->text(), minutes);
        QCOMPARE(f.find<QTimeEdit>(QStringLiteral("offTime"))->time(), offTime);
        QCOMPARE(f.find<NumberField>(QStringLiteral("workHours"))->text(), workHours);
        QCOMPARE(f.find(QStringLiteral("focusMinutes"))->isVisible(), category == 0);
        QCOMPARE(f.find(QStringLiteral("offTime"))->isVisible(), category == 1 && offKind == 0);
        QCOMPARE(f.find(QStringLiteral("workHours"))->isVisible(), category == 1 && offKind == 1);
    }

    // Closing discards what was not applied; the next open shows the engine's goal again.
    void closingDiscardsTheDraft() {
        SettingsWindowFixture f;
        f.open();
        f.enter(QStringLiteral("focusMinutes"), QStringLiteral("50"));
        f.click(segment(f, "category", 1));
        f.press(Qt::Key_Escape);
        QVERIFY(!f.window->isVisible());
        f.open();
        QCOMPARE(f.find<SegmentedPicker>(QStringLiteral("category"))->currentIndex(), 0);
        QCOMPARE(f.find<NumberField>(QStringLiteral("focusMinutes"))->text(), QStringLiteral("25"));
        QCOMPARE(f.engine.mode(), TimerMode::task(25));
        QCOMPARE(f.engine.state(), TimerState::idle);
    }

    // Return applies and starts from the keyboard, also while a number is being typed.
    void returnAppliesWhatIsTyped() {
        SettingsWindowFixture f;
        f.open();
        auto* field = f.find<NumberField>(QStringLiteral("focusMinutes"));
        f.click(field);
        field->selectAll();
        f.type(QStringLiteral("12"));
        f.press(Qt::Key_Return);
        QCOMPARE(f.engine.mode(), TimerMode::task(12));
        QCOMPARE(f.engine.state(), TimerState::running);
        QVERIFY(!f.window->isVisible());
    }

    // A leave-work time edited in the time field is applied as its hour and minute.
    void leaveWorkTimeIsApplied() {
        SettingsWindowFixture f;
        f.open();
        f.click(segment(f, "category", 1));
        f.click(segment(f, "offKind", 0));
        auto* time = f.find<QTimeEdit>(QStringLiteral("offTime"));
        f.click(time);
        time->setSelectedSection(QDateTimeEdit::HourSection);
        f.type(QStringLiteral("0745"));
        f.click(QStringLiteral("applyAndStart"));
        QCOMPARE(f.engine.mode(), TimerMode::workOff(7, 45));
    }

    // The widget mode is stored at once and switches the tab's content; in clock mode there is
    // nothing to apply, and Return does nothing.
    void widgetModeSwitchesAtOnce() {
        SettingsWindowFixture f;
        f.open();
        f.click(segment(f, "widgetMode", 1));
        QCOMPARE(f.stored(QStringLiteral("widgetMode")).toString(), QStringLiteral("clock"));
        QVERIFY(!f.find(QStringLiteral("applyAndStart"))->isVisible());
        QVERIFY(f.find(QStringLiteral("clockRegion"))->isVisible());
        f.press(Qt::Key_Return);
        QCOMPARE(f.engine.state(), TimerState::idle);
        QVERIFY(f.window->isVisible());
        // And back from elsewhere (the tray, another window): the picker follows without
        // reporting it as the user's choice.
        auto* picker = f.find<SegmentedPicker>(QStringLiteral("widgetMode"));
        QSignalSpy echoes(picker, &SegmentedPicker::currentIndexChanged);
        f.settings.setWidgetMode(WidgetMode::timer);
        QCOMPARE(picker->currentIndex(), 0);
        QVERIFY(f.find(QStringLiteral("applyAndStart"))->isVisible());
        QCOMPARE(echoes.count(), 0);
    }

    // The clock's switches write at once and follow the store; AM/PM is locked while the clock
    // shows 24 hours, keeping its value.
    void clockOptions() {
        SettingsWindowFixture f;
        f.settings.setWidgetMode(WidgetMode::clock);
        f.open();
        auto* use24 = f.find<QCheckBox>(QStringLiteral("clockUse24Hour"));
        auto* ampm = f.find<QCheckBox>(QStringLiteral("clockShowAMPM"));
        auto* seconds = f.find<QCheckBox>(QStringLiteral("clockShowSeconds"));
        QVERIFY(use24->isChecked());
        QVERIFY(ampm->isChecked());
        QVERIFY(!ampm->isEnabled());
        f.click(ampm);
        QCOMPARE(f.settings.clockShowAMPM(), true);

        f.click(use24);
        QCOMPARE(f.stored(QStringLiteral("clockUse24Hour")).toString(), QStringLiteral("false"));
        QVERIFY(ampm->isEnabled());
        f.click(ampm);
        QCOMPARE(f.stored(QStringLiteral("clockShowAMPM")).toString(), QStringLiteral("false"));
        f.click(seconds);
        QCOMPARE(f.stored(QStringLiteral("clockShowSeconds")).toString(), QStringLiteral("true"));

        f.settings.setClockUse24Hour(true);
        QVERIFY(use24->isChecked());
        QVERIFY(!ampm->isEnabled());
        QVERIFY(!ampm->isChecked());
    }

    void regionMenu() {
        qputenv("TZ", "Asia/Seoul");
        SettingsWindowFixture f;
        f.settings.setWidgetMode(WidgetMode::clock);
        f.open();
        auto* combo = f.find<QComboBox>(QStringLiteral("clockRegion"));
        QCOMPARE(combo->itemText(0), QStringLiteral("디바이스 기본 (Asia/Seoul, UTC+9)"));
        QCOMPARE(combo->itemText(1), QStringLiteral("아시아·중동"));
        QCOMPARE(combo->currentIndex(), 0);
        // The chosen entry is shown whole, not cut mid-glyph.
        QStyleOptionComboBox option;
        option.initFrom(combo);
        const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                           QStyle::SC_ComboBoxEditField, combo);
        QVERIFY2(combo->fontMetrics().horizontalAdvance(combo->currentText()) <= field.width(),
                 qPrintable(QString::number(field.width())));
        // Group titles are not choices.
        QVERIFY(!(combo->model()->flags(combo->model()->index(1, 0)) & Qt::ItemIsSelectable));
        int groups = 0;
        for (int i = 0; i < combo->count(); ++i)
            groups += combo->itemData(i).isNull() ? 1 : 0;
        QCOMPARE(groups, 7);
        QCOMPARE(combo->count(), 1 + 7 + int(ClockRegion::all().size()));

        const ClockRegion& region = ClockRegion::all().at(3);
        const QString entry =
            region.name + QStringLiteral("  (") +
            ClockRegion::offsetLabel(QTimeZone(region.id.toUtf8()), f.clock.now()) +
            QLatin1Char(')');
        f.choose(QStringLiteral("clockRegion"), entry);
        QCOMPARE(f.stored(QStringLiteral("clockTimeZoneID")).toString(), region.id);
        // The device's entry stores no identifier at all.
        f.choose(QStringLiteral("clockRegion"), combo->itemText(0));
        QVERIFY(!f.temp.readBack()->contains(QStringLiteral("clockTimeZoneID")));
        QCOMPARE(f.settings.clockTimeZoneID(), std::nullopt);
        // Set elsewhere, the menu follows.
        f.settings.setClockTimeZoneID(QStringLiteral("Europe/Paris"));
        QCOMPARE(combo->currentData().toString(), QStringLiteral("Europe/Paris"));
        qputenv("TZ", "UTC");
    }
};

QTEST_MAIN(ModeTabTest)
#include "tst_mode_tab.moc"
