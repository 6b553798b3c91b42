#include "settings_window/launch_tab.h"
#include "settings_window_fixture.h"

#include <QCheckBox>
#include <QLabel>

// Start at login through the "실행" tab: the switch shows the real registration, a refused change
// shows the warning with its reason and puts the switch back, and a copy that may not register
// says so.
class LaunchTabTest : public QObject {
    Q_OBJECT

    static constexpr int kLaunch = 3;

    static QCheckBox* loginSwitch(SettingsWindowFixture& f) {
        return f.find<QCheckBox>(QStringLiteral("launchAtLogin"));
    }
    static bool warningShown(SettingsWindowFixture& f) {
        return f.find(QStringLiteral("loginWarning"))->isVisible();
    }

private slots:
    void installedCopyRegistersAndUnregisters() {
        SettingsWindowFixture f;
        f.open();
        f.showTab(kLaunch);
        QVERIFY(!loginSwitch(f)->isChecked());
        QVERIFY(!f.find(QStringLiteral("developmentRunNote"))->isVisible());
        f.click(loginSwitch(f));
        QVERIFY(f.autostart.enabled);
        QVERIFY(loginSwitch(f)->isChecked());
        QVERIFY(!warningShown(f));
        f.click(loginSwitch(f));
        QVERIFY(!f.autostart.enabled);
        QCOMPARE(f.autostart.calls, 2);
    }

    // A development run is refused without asking the desktop: the warning and the note show,
    // the switch falls back to off.
    void developmentRunIsRefused() {
        SettingsWindowFixture f(false);
        f.open();
        f.showTab(kLaunch);
        QVERIFY(f.find(QStringLiteral("developmentRunNote"))->isVisible());
        QVERIFY(!warningShown(f));
        QTest::ignoreMessage(QtWarningMsg,
                             "LoginItem: 설치된 실행 파일이 아니라 등록 불가 (개발 실행)");
        f.click(loginSwitch(f));
        QVERIFY(!loginSwitch(f)->isChecked());
        QVERIFY(warningShown(f));
        QCOMPARE(f.autostart.calls, 0);
        QCOMPARE(
            f.find<QLabel>(QStringLiteral("loginWarning"))->text(),
            QStringLiteral("⚠︎ 로그인 항목 등록 실패 — 설치된 Purrtick 에서만 "
                           "동작합니다."));
    }

    // A refused change puts the switch back to the registration as it is, without trying
    // another change, and says why it failed.
    void aFailureSaysWhy_data() {
        QTest::addColumn<bool>("failEverything");
        QTest::newRow("turning on fails") << false;
        QTest::newRow("every change fails") << true;
    }
    void aFailureSaysWhy() {
        QFETCH(bool, failEverything);
        SettingsWindowFixture f;
        f.autostart.failSet = failEverything;
        f.autostart.failTurningOn = true;
        f.open();
        f.showTab(kLaunch);
        QTest::ignoreMessage(QtWarningMsg, "LoginItem 변경 실패: 디스크가 가득 찼습니다");
        f.click(loginSwitch(f));
        QVERIFY(!loginSwitch(f)->isChecked());
        QVERIFY(warningShown(f));
        QCOMPARE(f.find<QLabel>(QStringLiteral("loginWarning"))->text(),
                 QStringLiteral(
                     "⚠︎ 로그인 항목 등록 실패 — 디스크가 가득 찼습니다"));
        QCOMPARE(f.autostart.calls, 1);
        QVERIFY(f.view()->launchTab()->loginError());
        // A change that works takes the warning away.
        f.autostart.failSet = false;
        f.autostart.failTurningOn = false;
        f.click(loginSwitch(f));
        QVERIFY(loginSwitch(f)->isChecked());
        QVERIFY(!warningShown(f));
    }

    // Each open shows the registration as it is now (changed outside the program) without
    // changing it.
    void reopeningRereadsTheRegistration() {
        SettingsWindowFixture f;
        f.open();
        f.press(Qt::Key_Escape);
        f.autostart.enabled = true;
        f.open();
        f.showTab(kLaunch);
        QVERIFY(loginSwitch(f)->isChecked());
        QCOMPARE(f.autostart.calls, 0);
    }
};

QTEST_MAIN(LaunchTabTest)
#include "tst_launch_tab.moc"
