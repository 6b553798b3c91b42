#include "platform/login_item.h"
#include "platform/xdg_autostart.h"

#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {

class FakeAutostart final : public Autostart {
public:
    bool enabled = false;
    std::optional<QString> failure;
    int calls = 0;
    bool isEnabled() const override { return enabled; }
    std::optional<QString> set(bool wanted) override {
        ++calls;
        if (failure)
            return failure;
        enabled = wanted;
        return std::nullopt;
    }
};

QProcessEnvironment environmentWith(const QString& appImage) {
    QProcessEnvironment env;
    if (!appImage.isEmpty())
        env.insert("APPIMAGE", appImage);
    return env;
}

} // namespace

class LoginItemTest : public QObject {
    Q_OBJECT

private slots:
    void installedCopyRule_data() {
        QTest::addColumn<QString>("executable");
        QTest::addColumn<QString>("appImage");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("installed under /usr") << "/usr/bin/purrtick"
                                              << "" << true;
        QTest::newRow("installed under a user prefix") << "/home/me/.local/bin/purrtick"
                                                       << "" << true;
        QTest::newRow("build tree") << "/work/purrtick/build/bin/purrtick"
                                    << "" << false;
        QTest::newRow("prefix without the bundle") << "/opt/bare/bin/purrtick"
                                                   << "" << false;
        // A transient mount holds a complete prefix; only $APPIMAGE makes its copy lasting.
        QTest::newRow("transient mount") << "/tmp/.mount_Purrxyz/usr/bin/purrtick"
                                         << "" << false;
        QTest::newRow("temporary folder") << "/tmp/x/usr/bin/purrtick"
                                          << "" << false;
        QTest::newRow("another name") << "/usr/bin/purrtick-cutout"
                                      << "" << false;
        QTest::newRow("relative path") << "bin/purrtick"
                                       << "" << false;
        QTest::newRow("AppImage") << "/tmp/.mount_Purrxyz/usr/bin/purrtick"
                                  << "/home/me/Purrtick.AppImage" << true;
        QTest::newRow("AppImage gone") << "/tmp/.mount_Purrxyz/usr/bin/purrtick"
                                       << "/home/me/Gone.AppImage" << false;
        QTest::newRow("relative AppImage") << "/usr/bin/purrtick"
                                           << "Purrtick.AppImage" << false;
    }
    void installedCopyRule() {
        QFETCH(QString, executable);
        QFETCH(QString, appImage);
        QFETCH(bool, allowed);
        const QSet<QString> present{
            "/usr/share/purrtick/Purrtick_Purrtick.bundle",
            "/home/me/.local/share/purrtick/Purrtick_Purrtick.bundle",
            "/tmp/.mount_Purrxyz/usr/share/purrtick/Purrtick_Purrtick.bundle",
            "/tmp/x/usr/share/purrtick/Purrtick_Purrtick.bundle",
            "/home/me/Purrtick.AppImage",
            "Purrtick.AppImage"};
        auto exists = [&](const QString& path) { return present.contains(path); };
        QCOMPARE(LoginItem::mayRegister(executable, environmentWith(appImage), exists), allowed);
        QCOMPARE(LoginItem::launcherPath(executable, environmentWith(appImage)),
                 appImage.isEmpty() ? executable : appImage);
    }

    void aDevelopmentRunNeverRegisters() {
        FakeAutostart autostart;
        autostart.enabled = true;
        LoginItem item(autostart, false);
        QVERIFY(!item.isEnabled());
        for (bool wanted : {true, false}) {
            QTest::ignoreMessage(QtWarningMsg,
                                 "LoginItem: 설치된 실행 파일이 아니라 등록 불가 (개발 실행)");
            QVERIFY(!item.set(wanted));
        }
        QCOMPARE(autostart.calls, 0);
    }

    void changesAndFailures() {
        FakeAutostart autostart;
        LoginItem item(autostart, true);
        QVERIFY(item.set(true));
        QVERIFY(item.isEnabled());
        autostart.failure = "디스크가 가득 찼습니다";
        QTest::ignoreMessage(QtWarningMsg, "LoginItem 변경 실패: 디스크가 가득 찼습니다");
        QVERIFY(!item.set(false));
        QVERIFY(item.isEnabled());
    }
};

QTEST_GUILESS_MAIN(LoginItemTest)
#include "tst_login_item.moc"
