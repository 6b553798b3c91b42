#include "settings/settings.h"
#include "temp_store.h"

#include <QSignalSpy>
#include <QTest>

#include <functional>

using Assign = std::function<void(Settings&)>;
Q_DECLARE_METATYPE(Assign)

// Each assignment writes its stored form under its key, also when the value is unchanged, and
// tells observers only of a real change.
class SettingsWriteTest : public QObject {
    Q_OBJECT
private slots:
    void storedForms_data() {
        QTest::addColumn<Assign>("assign");
        QTest::addColumn<QByteArray>("signal");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QStringList>("texts"); // as the INI file holds them
        auto row = [](const char* name, Assign a, const char* signal, QStringList keys,
                      QStringList texts) {
            QTest::newRow(name) << a << QByteArray(signal) << keys << texts;
        };
        row("displayMode", [](Settings& s) { s.setDisplayMode(DisplayMode::desktopOnly); },
            SIGNAL(displayModeChanged()), {"displayMode"}, {"desktopOnly"});
        row("isWidgetVisible", [](Settings& s) { s.setWidgetVisible(false); },
            SIGNAL(isWidgetVisibleChanged()), {"isWidgetVisible"}, {"false"});
        row("autoStartOnLaunch", [](Settings& s) { s.setAutoStartOnLaunch(true); },
            SIGNAL(autoStartOnLaunchChanged()), {"autoStartOnLaunch"}, {"true"});
        row("widgetScale", [](Settings& s) { s.setWidgetScale(1.25); },
            SIGNAL(widgetScaleChanged()), {"widgetScale"}, {"1.25"});
        row("timerPos", [](Settings& s) { s.setTimerPos(QPointF(0.25, 0.75)); },
            SIGNAL(timerPosChanged()), {"timerPosX", "timerPosY", "hasTimerPos"},
            {"0.25", "0.75", "true"});
        row("timerFontSize", [](Settings& s) { s.setTimerFontSize(42.5); },
            SIGNAL(timerFontSizeChanged()), {"timerFontSize"}, {"42.5"});
        row("hideCountUnlessHover", [](Settings& s) { s.setHideCountUnlessHover(true); },
            SIGNAL(hideCountUnlessHoverChanged()), {"hideCountUnlessHover"}, {"true"});
        row("soundOnFinish", [](Settings& s) { s.setSoundOnFinish(false); },
            SIGNAL(soundOnFinishChanged()), {"soundOnFinish"}, {"false"});
        row("timerDisplayFormat",
            [](Settings& s) { s.setTimerDisplayFormat(TimerDisplayFormat::minutesWithUnit); },
            SIGNAL(timerDisplayFormatChanged()), {"timerDisplayFormat"}, {"minutesWithUnit"});
        row("timerDisplayFormat auto",
            [](Settings& s) { s.setTimerDisplayFormat(TimerDisplayFormat::automatic); }, nullptr,
            {"timerDisplayFormat"}, {"auto"});
        row("timerFontStyle", [](Settings& s) { s.setTimerFontStyle(TimerFontStyle::marker); },
            SIGNAL(timerFontStyleChanged()), {"timerFontStyle"}, {"marker"});
        row("timerFillColor", [](Settings& s) { s.setTimerFillColor(QColor(255, 0, 0, 128)); },
            SIGNAL(timerFillColorChanged()), {"timerFillColorHex"}, {"#FF000080"});
        row("timerStrokeColor", [](Settings& s) { s.setTimerStrokeColor(QColor(0x12, 0xAB, 0)); },
            SIGNAL(timerStrokeColorChanged()), {"timerStrokeColorHex"}, {"#12AB00"});
        row("timerShowOutline", [](Settings& s) { s.setTimerShowOutline(false); },
            SIGNAL(timerShowOutlineChanged()), {"timerShowOutline"}, {"false"});
        row("widgetMode", [](Settings& s) { s.setWidgetMode(WidgetMode::clock); },
            SIGNAL(widgetModeChanged()), {"widgetMode"}, {"clock"});
        row("clockUse24Hour", [](Settings& s) { s.setClockUse24Hour(false); },
            SIGNAL(clockUse24HourChanged()), {"clockUse24Hour"}, {"false"});
        row("clockShowSeconds", [](Settings& s) { s.setClockShowSeconds(true); },
            SIGNAL(clockShowSecondsChanged()), {"clockShowSeconds"}, {"true"});
        row("clockShowAMPM", [](Settings& s) { s.setClockShowAMPM(false); },
            SIGNAL(clockShowAMPMChanged()), {"clockShowAMPM"}, {"false"});
        row("clockTimeZoneID",
            [](Settings& s) { s.setClockTimeZoneID(QStringLiteral("Asia/Seoul")); },
            SIGNAL(clockTimeZoneIDChanged()), {"clockTimeZoneID"}, {"Asia/Seoul"});
        row("customCatFileName",
            [](Settings& s) { s.setCustomCatFileName(QStringLiteral("cat-1.PNG")); },
            SIGNAL(customCatFileNameChanged()), {"customCatFileName"}, {"cat-1.PNG"});
        row("customCatDoneFileName",
            [](Settings& s) { s.setCustomCatDoneFileName(QStringLiteral("cat-2.jpg")); },
            SIGNAL(customCatDoneFileNameChanged()), {"customCatDoneFileName"}, {"cat-2.jpg"});
        row("catRotation", [](Settings& s) { s.setCatRotation(359.5); },
            SIGNAL(catRotationChanged()), {"catRotation"}, {"359.5"});
        row("catSkinID", [](Settings& s) { s.setCatSkinID(QStringLiteral("cheese")); },
            SIGNAL(catSkinIDChanged()), {"catSkinID"}, {"cheese"});
        row("timerMode", [](Settings& s) { s.setTimerMode(TimerMode::workDuration(9, 30)); },
            SIGNAL(timerModeChanged()), {"timerMode"},
            {"\"@ByteArray({\\\"workDuration\\\":{\\\"hours\\\":9,\\\"minutes\\\":30}})\""});
        row("widgetOrigin", [](Settings& s) { s.setWidgetOrigin(QPointF(1100, -40.5)); },
            SIGNAL(widgetOriginChanged()), {"widgetOriginX", "widgetOriginY", "hasSavedOrigin"},
            {"1100", "-40.5", "true"});
    }
    void storedForms() {
        QFETCH(Assign, assign);
        QFETCH(QByteArray, signal);
        QFETCH(QStringList, keys);
        QFETCH(QStringList, texts);
        TempStore temp;
        Settings settings(temp.open());
        std::unique_ptr<QSignalSpy> spy;
        if (!signal.isEmpty())
            spy = std::make_unique<QSignalSpy>(&settings, signal.constData());

        assign(settings);
        if (spy)
            QCOMPARE(spy->count(), 1);
        temp.readBack();
        const QByteArray file = temp.fileContents();
        for (qsizetype i = 0; i < keys.size(); ++i) {
            const QByteArray line = (keys[i] + u'=' + texts[i] + u'\n').toUtf8();
            QVERIFY2(file.contains(line), file.constData());
        }

        // The same value again: written again, nobody notified.
        QFile::remove(temp.path());
        assign(settings);
        if (spy)
            QCOMPARE(spy->count(), 1);
        const auto back = temp.readBack();
        for (const QString& k : keys)
            QVERIFY2(back->contains(k), qPrintable(k));

        // A fresh instance reads back what was written, and equal values do not notify.
        Settings reread(temp.open());
        for (int i = 0; i < settings.metaObject()->propertyCount(); ++i) {
            const QMetaProperty p = settings.metaObject()->property(i);
            if (QByteArray(p.name()) == "objectName")
                continue;
            QVERIFY2(p.read(&settings) == p.read(&reread), p.name());
        }
    }

    // The file holds exactly the declared names: every property reaches its row, and no row
    // is written under a misspelt name.
    void everyAssignmentWritesADeclaredKey() {
        TempStore temp;
        Settings s(temp.open());
        s.setDisplayMode(DisplayMode::desktopOnly);
        s.setWidgetVisible(false);
        s.setAutoStartOnLaunch(true);
        s.setWidgetScale(2);
        s.setTimerPos(QPointF(0.1, 0.2));
        s.setTimerFontSize(40);
        s.setHideCountUnlessHover(true);
        s.setSoundOnFinish(false);
        s.setNotifyOnFinish(false);
        s.setTimerDisplayFormat(TimerDisplayFormat::korean);
        s.setTimerFontStyle(TimerFontStyle::marker);
        s.setTimerFillColor(Qt::red);
        s.setTimerStrokeColor(Qt::blue);
        s.setTimerShowOutline(false);
        s.setWidgetMode(WidgetMode::clock);
        s.setClockUse24Hour(false);
        s.setClockShowSeconds(true);
        s.setClockShowAMPM(false);
        s.setClockTimeZoneID(QStringLiteral("Asia/Seoul"));
        s.setCustomCatFileName(QStringLiteral("a.png"));
        s.setCustomCatDoneFileName(QStringLiteral("b.png"));
        s.setCatRotation(90);
        s.setCatSkinID(QStringLiteral("cheese"));
        s.setTimerMode(TimerMode::workOff(18, 30));
        s.setWidgetOrigin(QPointF(10, 20));
        // The updater's rows, written by the updater through the store.
        KeyValueStore& store = s.store();
        SettingKeys::write(store, SettingKeys::automaticUpdateChecks, QStringLiteral("true"));
        SettingKeys::write(store, SettingKeys::lastUpdateCheck, 1.8e9);
        SettingKeys::write(store, SettingKeys::skippedVersion, QStringLiteral("1.2"));
        SettingKeys::write(store, SettingKeys::hasLaunchedBefore, true);
        QStringList written = temp.readBack()->allKeys();
        QStringList declared = SettingKeys::allNames();
        QCOMPARE(declared.size(), 33);
        QCOMPARE(QSet<QString>(declared.begin(), declared.end()).size(), 33);
        written.sort();
        declared.sort();
        QCOMPARE(written, declared);
    }

    void absentOptionalsRemoveTheirKey() {
        TempStore temp;
        temp.writeFile("[General]\nclockTimeZoneID=Asia/Seoul\ncustomCatFileName=a.png\n"
                       "customCatDoneFileName=b.png\ncatSkinID=\"a, b\"\n");
        Settings s(temp.open());
        QCOMPARE(s.catSkinID(), QStringLiteral("a, b"));
        QSignalSpy spy(&s, &Settings::clockTimeZoneIDChanged);
        s.setClockTimeZoneID(std::nullopt);
        s.setCustomCatFileName(std::nullopt);
        s.setCustomCatDoneFileName(std::nullopt);
        s.setCatSkinID(std::nullopt);
        QCOMPARE(spy.count(), 1);
        QVERIFY(temp.readBack()->allKeys().isEmpty());
    }

    void absentPointsAndGoalWriteNothing() {
        TempStore temp;
        temp.writeFile("[General]\ntimerPosX=0.1\ntimerPosY=0.2\nhasTimerPos=true\n"
                       "timerMode=@ByteArray({\\\"task\\\":{\\\"minutes\\\":5}})\n");
        Settings s(temp.open());
        QSignalSpy pos(&s, &Settings::timerPosChanged);
        QSignalSpy mode(&s, &Settings::timerModeChanged);
        s.setTimerPos(std::nullopt);
        s.setTimerMode(std::nullopt);
        s.setWidgetOrigin(std::nullopt);
        QCOMPARE(pos.count(), 1);
        QCOMPARE(mode.count(), 1);
        const auto back = temp.readBack();
        QCOMPARE(back->value("hasTimerPos").toBool(), true);
        QVERIFY(back->contains("timerMode"));
        QVERIFY(!back->contains("hasSavedOrigin"));
    }

    // Writes land in the file within the same turn of the event loop, so nothing is lost when
    // the program is killed a moment later.
    void writesReachTheFileWithinOneEventLoopTurn() {
        TempStore temp;
        Settings s(temp.open());
        s.setCatRotation(90);
        s.setWidgetScale(2);
        QVERIFY(!temp.fileContents().contains("catRotation"));
        QCoreApplication::processEvents();
        const QByteArray file = temp.fileContents();
        QVERIFY(file.contains("catRotation=90\n"));
        QVERIFY(file.contains("widgetScale=2\n"));
    }
};

QTEST_GUILESS_MAIN(SettingsWriteTest)
#include "tst_settings_writes.moc"
