#include "settings/settings.h"
#include "temp_store.h"

#include <QSignalSpy>
#include <QTest>

// Reading the store at construction: defaults, the stored forms, and what is written back.
class SettingsLoadTest : public QObject {
    Q_OBJECT
private slots:
    // A first launch reads the defaults and writes nothing back.
    void firstLaunchWritesNothing() {
        TempStore temp;
        Settings s(temp.open());
        QCOMPARE(s.displayMode(), DisplayMode::alwaysOnTop);
        QCOMPARE(s.timerMode(), std::nullopt);
        // Nothing present means nothing to write back.
        QVERIFY(temp.readBack()->allKeys().isEmpty());
    }

    void enumerationTexts_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("read");
        QTest::newRow("desktopOnly") << "displayMode"
                                     << "desktopOnly"
                                     << "desktopOnly";
        QTest::newRow("display case differs") << "displayMode"
                                              << "DesktopOnly"
                                              << "alwaysOnTop";
        QTest::newRow("display junk") << "displayMode"
                                      << "floating"
                                      << "alwaysOnTop";
        QTest::newRow("clock") << "widgetMode"
                               << "clock"
                               << "clock";
        QTest::newRow("clock padded") << "widgetMode"
                                      << " clock"
                                      << "timer";
        QTest::newRow("korean format") << "timerDisplayFormat"
                                       << "korean"
                                       << "korean";
        QTest::newRow("format junk") << "timerDisplayFormat"
                                     << "Korean"
                                     << "auto";
        QTest::newRow("handwriting") << "timerFontStyle"
                                     << "handwriting"
                                     << "handwriting";
        QTest::newRow("style junk") << "timerFontStyle"
                                    << "comic"
                                    << "rounded";
    }
    void enumerationTexts() {
        QFETCH(QString, key);
        QFETCH(QString, stored);
        QFETCH(QString, read);
        TempStore temp;
        temp.seed(key, stored);
        Settings s(temp.open());
        const QString value = key == "displayMode"      ? rawValue(s.displayMode())
                              : key == "widgetMode"     ? rawValue(s.widgetMode())
                              : key == "timerFontStyle" ? rawValue(s.timerFontStyle())
                                                        : rawValue(s.timerDisplayFormat());
        QCOMPARE(value, read);
        // Reading never rewrites an enumeration.
        QCOMPARE(temp.readBack()->value(key).toString(), stored);
    }

    void colours_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QColor>("fill");
        QTest::newRow("half red") << QByteArray("timerFillColorHex=#FF000080")
                                  << QColor(255, 0, 0, 128);
        QTest::newRow("bare lower case")
            << QByteArray("timerFillColorHex=\"  ff0000  \"") << QColor(255, 0, 0);
        QTest::newRow("three digits") << QByteArray("timerFillColorHex=#F00") << QColor(Qt::white);
        QTest::newRow("ten digits")
            << QByteArray("timerFillColorHex=#FF00000000") << QColor(Qt::white);
        QTest::newRow("list value")
            << QByteArray("timerFillColorHex=#FF0000, #00FF00") << QColor(Qt::white);
    }
    void colours() {
        QFETCH(QByteArray, line);
        QFETCH(QColor, fill);
        TempStore temp;
        temp.writeFile("[General]\n" + line + "\ntimerStrokeColorHex=nonsense\n");
        Settings s(temp.open());
        QCOMPARE(s.timerFillColor().rgba(), fill.rgba());
        QCOMPARE(s.timerStrokeColor(), QColor(Qt::black));
    }

    void pointsNeedTheirFlag_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("hasTimerPos");
        QTest::addColumn<bool>("hasOrigin");
        QTest::newRow("flags false")
            << QByteArray("timerPosX=0.3\ntimerPosY=0.4\nhasTimerPos=false\n"
                          "widgetOriginX=10\nwidgetOriginY=20\n")
            << false << false;
        QTest::newRow("flags true")
            << QByteArray("timerPosX=0.3\ntimerPosY=0.4\nhasTimerPos=true\n"
                          "widgetOriginX=10\nwidgetOriginY=20\nhasSavedOrigin=true\n")
            << true << true;
        QTest::newRow("flag junk")
            << QByteArray("hasTimerPos=maybe\nhasSavedOrigin=\x01\x02\n") << false << false;
    }
    void pointsNeedTheirFlag() {
        QFETCH(QByteArray, file);
        QFETCH(bool, hasTimerPos);
        QFETCH(bool, hasOrigin);
        TempStore temp;
        temp.writeFile("[General]\n" + file);
        Settings s(temp.open());
        QCOMPARE(s.timerPos().has_value(), hasTimerPos);
        QCOMPARE(s.widgetOrigin().has_value(), hasOrigin);
        if (hasTimerPos)
            QCOMPARE(*s.timerPos(), QPointF(0.3, 0.4));
        if (hasOrigin)
            QCOMPARE(*s.widgetOrigin(), QPointF(10, 20));
    }

    void writesBackSkinGoalAndOrigin() {
        TempStore temp;
        temp.writeFile("[General]\ncatSkinID=bundled:치즈\n"
                       "timerMode=\"{\\\"workOff\\\" : {\\\"minute\\\": 0, \\\"hour\\\": 18}}\"\n"
                       "widgetOriginX=-120.5\nwidgetOriginY=300\nhasSavedOrigin=true\n");
        {
            Settings s(temp.open());
            QCOMPARE(s.catSkinID(), QStringLiteral("bundled:치즈"));
            QCOMPARE(s.timerMode(), TimerMode::workOff(18, 0));
            QCOMPARE(s.widgetOrigin(), QPointF(-120.5, 300));
        }
        const auto back = temp.readBack();
        QCOMPARE(back->value("timerMode").typeId(), QMetaType::QByteArray);
        QCOMPARE(back->value("timerMode").toByteArray(),
                 QByteArray("{\"workOff\":{\"hour\":18,\"minute\":0}}"));
        QCOMPARE(back->value("catSkinID").toString(), QStringLiteral("bundled:치즈"));
        QCOMPARE(back->value("widgetOriginX").toDouble(), -120.5);
        QCOMPARE(back->value("hasSavedOrigin").toBool(), true);
    }

    void undecodableGoalStaysUntouched_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("not json") << QByteArray("timerMode=@ByteArray(not json)");
        QTest::newRow("two cases")
            << QByteArray("timerMode=\"@ByteArray({\\\"task\\\":{\\\"minutes\\\":5},"
                          "\\\"workOff\\\":{\\\"hour\\\":1,\\\"minute\\\":2}})\"");
        QTest::newRow("binary") << QByteArray("timerMode=@ByteArray(\\0\\x1\\xff)");
        QTest::newRow("list") << QByteArray("timerMode=a, b, c");
    }
    void undecodableGoalStaysUntouched() {
        QFETCH(QByteArray, line);
        TempStore temp;
        temp.writeFile("[General]\n" + line + "\n");
        {
            Settings s(temp.open());
            QCOMPARE(s.timerMode(), std::nullopt);
            s.setSoundOnFinish(false); // forces a file write
        }
        temp.readBack();
        // The stored line survives byte for byte.
        QVERIFY(temp.fileContents().contains(QByteArray(line + "\n")));
        QVERIFY(temp.fileContents().contains("soundOnFinish=false\n"));
    }

    // A damaged file reads as defaults and never crashes; the next write still lands.
    void garbageReadsAsDefaults_data() {
        QTest::addColumn<QByteArray>("file");
        static const char junk[] = "\x7f"
                                   "ELF\x02\x01\x01\0\0\0\xff\xfe[[[\n=\n";
        QTest::newRow("binary junk") << QByteArray(junk, sizeof junk - 1);
        QTest::newRow("half-written line")
            << QByteArray("[General]\nwidgetScale=1e") +
                   QByteArray("\nsoundOnFinish=tr\nclockUse24Hour=\ndisplayMode=desk");
        QTest::newRow("non-finite numbers")
            << QByteArray("[General]\nwidgetScale=nan\ntimerFontSize=inf\ncatRotation=-inf\n"
                          "timerPosX=1e999\ntimerPosY=nan\nhasTimerPos=true\n");
        QTest::newRow("wrong types")
            << QByteArray("[General]\nwidgetScale=@Point(1 2)\ntimerFontSize=@ByteArray(\\xff)\n"
                          "soundOnFinish=@Rect(1 2 3 4)\nclockTimeZoneID=@Point(1 2)\n"
                          "timerFillColorHex=@Size(3 4)\nisWidgetVisible=\"a, b\"\n");
        QTest::newRow("huge numbers")
            << QByteArray("[General]\nwidgetScale=1e400\ncatRotation=99999999999999999999999999\n"
                          "timerMode=@ByteArray({\"task\":{\"minutes\":99999999999999999999}})\n");
        QTest::newRow("only a section") << QByteArray("[General");
    }
    void garbageReadsAsDefaults() {
        QFETCH(QByteArray, file);
        TempStore temp;
        temp.writeFile(file);
        {
            Settings s(temp.open());
            QCOMPARE(s.widgetScale(), 0.0);
            QCOMPARE(s.timerFontSize(), 0.0);
            QCOMPARE(s.soundOnFinish(), true);
            QCOMPARE(s.notifyOnFinish(), true);
            QCOMPARE(s.isWidgetVisible(), true);
            QCOMPARE(s.clockUse24Hour(), true);
            QCOMPARE(s.displayMode(), DisplayMode::alwaysOnTop);
            QCOMPARE(s.clockTimeZoneID(), std::nullopt);
            QCOMPARE(s.timerFillColor(), QColor(Qt::white));
            QCOMPARE(s.timerMode(), std::nullopt);
            QVERIFY(std::isfinite(s.catRotation()));
            if (s.timerPos()) {
                QCOMPARE(s.timerPos()->x(), 0.0);
                QCOMPARE(s.timerPos()->y(), 0.0);
            }
            s.setDisplayMode(DisplayMode::desktopOnly);
        }
        QCOMPARE(temp.readBack()->value("displayMode").toString(), QStringLiteral("desktopOnly"));
    }
};

QTEST_GUILESS_MAIN(SettingsLoadTest)
#include "tst_settings.moc"
