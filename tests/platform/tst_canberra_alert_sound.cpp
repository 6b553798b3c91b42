#include "platform/canberra_alert_sound.h"

#include <QApplication>
#include <QTest>

// With no sound server (as in CI), canberra cannot play and the fallback beep must sound
// instead, every time, without the adapter getting stuck.
class CanberraAlertSoundTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        qputenv("CANBERRA_DRIVER", "pulse");
        qputenv("PULSE_SERVER", "unix:/nonexistent/purrtick-test-socket");
        qputenv("PULSE_RUNTIME_PATH", "/nonexistent");
    }

    void fallsBackWhenCanberraCannotPlay() {
        int fallbacks = 0;
        CanberraAlertSound sound([&] { ++fallbacks; });
        QVERIFY(!sound.playThroughCanberra());
        sound.play();
        sound.play();
        QCOMPARE(fallbacks, 2);
    }
};

QTEST_MAIN(CanberraAlertSoundTest)
#include "tst_canberra_alert_sound.moc"
