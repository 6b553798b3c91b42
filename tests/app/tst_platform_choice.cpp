#include "app/platform_choice.h"

#include <QTest>

Q_DECLARE_METATYPE(std::optional<QByteArray>)

class PlatformChoiceTest : public QObject {
    Q_OBJECT

private slots:
    void choice_data() {
        QTest::addColumn<QStringList>("variables");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<std::optional<QByteArray>>("expected");

        const std::optional<QByteArray> xcb = QByteArray("xcb");
        const std::optional<QByteArray> none;
        QTest::newRow("X11 session")
            << QStringList{"DISPLAY=:0", "XDG_SESSION_TYPE=x11"} << QStringList{} << none;
        QTest::newRow("Wayland with XWayland")
            << QStringList{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0"} << QStringList{} << xcb;
        QTest::newRow("Wayland by session type")
            << QStringList{"XDG_SESSION_TYPE=wayland", "DISPLAY=:1"} << QStringList{} << xcb;
        QTest::newRow("Wayland without XWayland")
            << QStringList{"WAYLAND_DISPLAY=wayland-0"} << QStringList{} << none;
        QTest::newRow("user chose by variable")
            << QStringList{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0", "QT_QPA_PLATFORM=wayland"}
            << QStringList{} << none;
        QTest::newRow("user chose by argument")
            << QStringList{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0"}
            << QStringList{"purrtick", "-platform", "wayland"} << none;
        QTest::newRow("empty variable is no choice")
            << QStringList{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0", "QT_QPA_PLATFORM="}
            << QStringList{} << xcb;
    }
    void choice() {
        QFETCH(QStringList, variables);
        QFETCH(QStringList, arguments);
        QFETCH(std::optional<QByteArray>, expected);
        QProcessEnvironment environment;
        for (const QString& variable : variables)
            environment.insert(variable.section('=', 0, 0), variable.section('=', 1));
        QCOMPARE(preferredPlatform(environment, arguments), expected);
    }
};

QTEST_GUILESS_MAIN(PlatformChoiceTest)
#include "tst_platform_choice.moc"
