#include "settings_window/colour_well.h"
#include "settings_window/selectable_card.h"
#include "settings_window_fixture.h"

#include <QCheckBox>
#include <QScrollArea>
#include <QSignalSpy>

Q_DECLARE_METATYPE(TimerFontStyle)

// The "표시", "알림" and "실행" tabs' store-backed controls, both ways: a user change is in the
// file at once; a change of the store from elsewhere shows in the control.
class DisplayTabTest : public QObject {
    Q_OBJECT

    static constexpr int kDisplay = 1;
    static constexpr int kAlert = 2;
    static constexpr int kLaunch = 3;

private slots:
    // Each switch: clicked, the file holds the new value; set elsewhere, the switch follows.
    void switches_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("initially");
        QTest::newRow("hide count") << kDisplay << "hideCountUnlessHover"
                                    << "hideCountUnlessHover" << false;
        QTest::newRow("outline") << kDisplay << "timerShowOutline"
                                 << "timerShowOutline" << true;
        QTest::newRow("sound") << kAlert << "soundOnFinish"
                               << "soundOnFinish" << true;
        QTest::newRow("notification") << kAlert << "notifyOnFinish"
                                      << "notifyOnFinish" << true;
        QTest::newRow("auto start") << kLaunch << "autoStartOnLaunch"
                                    << "autoStartOnLaunch" << false;
    }
    void switches() {
        QFETCH(int, tab);
        QFETCH(QString, name);
        QFETCH(QString, key);
        QFETCH(bool, initially);
        SettingsWindowFixture f;
        f.open();
        f.showTab(tab);
        auto* box = f.find<QCheckBox>(name);
        QCOMPARE(box->isChecked(), initially);
        f.click(box);
        QCOMPARE(f.stored(key).toString(),
                 initially ? QStringLiteral("false") : QStringLiteral("true"));

        // From elsewhere: a fresh property write flips the switch without a write back.
        QSignalSpy echoes(box, &QAbstractButton::toggled);
        const QMetaObject& meta = key == u"hideCountUnlessHover" ? LayoutStore::staticMetaObject
                                                                 : Settings::staticMetaObject;
        QObject* model = key == u"hideCountUnlessHover" ? static_cast<QObject*>(&f.layout)
                                                        : static_cast<QObject*>(&f.settings);
        meta.property(meta.indexOfProperty(key.toLatin1())).write(model, initially);
        QCOMPARE(box->isChecked(), initially);
        QCOMPARE(echoes.count(), 0);
    }

    void formatMenu() {
        SettingsWindowFixture f;
        f.open();
        f.showTab(kDisplay);
        auto* combo = f.find<QComboBox>(QStringLiteral("timerDisplayFormat"));
        const QStringList entries = {"자동 (1:10:10)", "초 없음 (1:10)", "분 단위 (345m)",
                                     "초 단위 (34890s)", "한글 (1시간 25분 30초)"};
        QCOMPARE(combo->count(), entries.size());
        for (int i = 0; i < combo->count(); ++i)
            QCOMPARE(combo->itemText(i), entries[i]);
        f.choose(QStringLiteral("timerDisplayFormat"), QStringLiteral("한글 (1시간 25분 30초)"));
        QCOMPARE(f.stored(QStringLiteral("timerDisplayFormat")).toString(),
                 QStringLiteral("korean"));
        f.settings.setTimerDisplayFormat(TimerDisplayFormat::noSeconds);
        QCOMPARE(combo->currentIndex(), 1);
    }

    // A click on a card chooses its style: exactly one card is selected, the file holds it.
    void fontCards_data() {
        QTest::addColumn<TimerFontStyle>("style");
        for (TimerFontStyle style : allCases<TimerFontStyle>())
            QTest::newRow(qPrintable(rawValue(style))) << style;
    }
    void fontCards() {
        QFETCH(TimerFontStyle, style);
        SettingsWindowFixture f;
        f.settings.setTimerFontStyle(style == TimerFontStyle::rounded ? TimerFontStyle::marker
                                                                      : TimerFontStyle::rounded);
        f.open();
        f.showTab(kDisplay);
        auto* card = f.find<SelectableCard>(QStringLiteral("font-") + rawValue(style));
        f.click(card);
        QCOMPARE(f.stored(QStringLiteral("timerFontStyle")).toString(), rawValue(style));
        int selected = 0;
        for (SelectableCard* each : f.window->findChildren<SelectableCard*>())
            selected += each->isSelected() ? 1 : 0;
        QCOMPARE(selected, 1);
        QVERIFY(card->isSelected());
        // A second click on the chosen card keeps it chosen.
        f.click(card);
        QVERIFY(card->isSelected());
    }

    // The wells ask the picker with the current colour and store an opaque answer; cancelling
    // changes nothing; the outline well is locked while the outline is off.
    void colourWells() {
        SettingsWindowFixture f;
        f.settings.setTimerFillColor(QColor(0x11, 0x22, 0x33));
        f.open();
        f.showTab(kDisplay);
        auto* fill = f.find<ColourWell>(QStringLiteral("timerFillColor"));
        auto* stroke = f.find<ColourWell>(QStringLiteral("timerStrokeColor"));

        f.pickedColours = {QColor(255, 0, 0, 128)};
        f.click(fill);
        QCOMPARE(f.askedColours.back(), QColor(0x11, 0x22, 0x33));
        QCOMPARE(f.stored(QStringLiteral("timerFillColorHex")).toString(),
                 QStringLiteral("#FF0000"));
        f.click(fill); // cancelled: nothing picked
        QCOMPARE(f.settings.timerFillColor(), QColor(255, 0, 0));

        f.settings.setTimerShowOutline(false);
        QVERIFY(!stroke->isEnabled());
        QVERIFY(fill->isEnabled());
        const std::size_t asked = f.askedColours.size();
        f.pickedColours = {Qt::green};
        f.click(stroke);
        QCOMPARE(f.askedColours.size(), asked);
        QCOMPARE(f.settings.timerStrokeColor(), QColor(Qt::black));
        f.settings.setTimerShowOutline(true);
        f.click(stroke);
        QCOMPARE(f.stored(QStringLiteral("timerStrokeColorHex")).toString(),
                 QStringLiteral("#00FF00"));
        // Set elsewhere, the well shows it.
        f.settings.setTimerFillColor(Qt::blue);
        QCOMPARE(fill->color(), QColor(Qt::blue));
    }
};

QTEST_MAIN(DisplayTabTest)
#include "tst_display_tab.moc"
