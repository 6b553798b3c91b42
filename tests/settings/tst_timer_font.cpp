#include "settings/timer_font.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QTest>

Q_DECLARE_METATYPE(TimerFontStyle)

class TimerFontTest : public QObject {
    Q_OBJECT
private slots:
    void styles_data() {
        QTest::addColumn<TimerFontStyle>("style");
        QTest::addColumn<QString>("firstFamily");
        QTest::addColumn<int>("weight"); // -1: the weight asked for
        QTest::newRow("rounded") << TimerFontStyle::rounded << "NanumSquareRound" << -1;
        QTest::newRow("monospaced") << TimerFontStyle::monospaced << "JetBrains Mono" << -1;
        QTest::newRow("standard") << TimerFontStyle::standard << "Noto Sans CJK KR" << -1;
        QTest::newRow("serif") << TimerFontStyle::serif << "Noto Serif CJK KR" << -1;
        QTest::newRow("typewriter")
            << TimerFontStyle::typewriter << "AmericanTypewriter-Bold" << int(QFont::Bold);
        QTest::newRow("chalkboard")
            << TimerFontStyle::chalkboard << "ChalkboardSE-Bold" << int(QFont::Bold);
        QTest::newRow("marker") << TimerFontStyle::marker << "MarkerFelt-Wide"
                                << int(QFont::Normal);
        QTest::newRow("handwriting")
            << TimerFontStyle::handwriting << "SnellRoundhand-Black" << int(QFont::Bold);
    }
    void styles() {
        QFETCH(TimerFontStyle, style);
        QFETCH(QString, firstFamily);
        QFETCH(int, weight);
        const QFont font = timerFont(style, 37.5, QFont::ExtraBold);
        QCOMPARE(font.families().value(0), firstFamily);
        QCOMPARE(font.pointSizeF(), 37.5);
        QCOMPARE(int(font.weight()), weight < 0 ? int(QFont::ExtraBold) : weight);
        // The named faces are not on Linux desktops: a fallback family must be listed.
        QVERIFY(font.families().size() >= 2);
    }
};

QTEST_MAIN(TimerFontTest)
#include "tst_timer_font.moc"
