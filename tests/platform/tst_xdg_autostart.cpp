#include "platform/safe_files.h"
#include "platform/xdg_autostart.h"
#include "unreachable_path.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kName = "io.github.purrtick.Purrtick";

struct Tree {
    QTemporaryDir dir;
    QString user = dir.filePath("config");
    QString system = dir.filePath("xdg");
    XdgAutostart autostart(const QString& executable = "/usr/bin/purrtick") const {
        return XdgAutostart(user, {dir.filePath("nothing-here"), system}, kName, executable);
    }
    QString entry() const { return user + "/autostart/" + kName + ".desktop"; }
    QString read() const {
        QFile file(entry());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    void write(const QString& path, const QString& text) const {
        QDir().mkpath(QFileInfo(path).path());
        QVERIFY(SafeFiles::write(path, text.toUtf8()));
    }
};

// desktop-file-validate's verdict on a file, or a skip when it is not installed.
QString validate(const QString& path) {
    const QString tool = QStandardPaths::findExecutable("desktop-file-validate");
    if (tool.isEmpty())
        return "<no validator>";
    QProcess process;
    process.start(tool, {path});
    process.waitForFinished(10000);
    return QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError())
        .trimmed();
}

} // namespace

// Start at login through the XDG autostart folders, read back from the files themselves.
class XdgAutostartTest : public QObject {
    Q_OBJECT

private slots:
    void onWritesAValidEntryForThisCopy_data() {
        QTest::addColumn<QString>("executable");
        QTest::newRow("plain path") << "/usr/bin/purrtick";
        QTest::newRow("spaces and quotes") << "/home/a b/My \"Apps\"/purrtick";
        QTest::newRow("dollar, backslash, percent") << "/opt/x$y\\z%1/purrtick";
    }
    void onWritesAValidEntryForThisCopy() {
        QFETCH(QString, executable);
        Tree t;
        XdgAutostart autostart = t.autostart(executable);
        QVERIFY(!autostart.isEnabled());
        QCOMPARE(autostart.set(true), std::nullopt);
        QVERIFY(autostart.isEnabled());
        QVERIFY(t.read().contains("X-GNOME-Autostart-enabled=true"));
        const QString verdict = validate(t.entry());
        if (verdict == "<no validator>")
            QSKIP("desktop-file-validate is not installed (Debian desktop-file-utils)");
        QVERIFY2(verdict.isEmpty(), qPrintable(verdict));
        // Another copy of the program is not this one.
        QVERIFY(!t.autostart("/tmp/elsewhere/purrtick").isEnabled());
    }

    void switchedOffEntriesAreNotEnabled_data() {
        QTest::addColumn<QString>("text");
        const QString base = "[Desktop Entry]\nType=Application\nName=Purrtick\n"
                             "Exec=/usr/bin/purrtick\n";
        QTest::newRow("plain") << base;
        QTest::newRow("hidden") << base + "Hidden=true\n";
        QTest::newRow("disabled for GNOME") << base + "X-GNOME-Autostart-enabled=false\n";
        QTest::newRow("not a desktop entry") << "just some text\nExec=/usr/bin/purrtick\n";
        QTest::newRow("Exec in another group")
            << "[Desktop Entry]\nType=Application\n[Desktop Action x]\nExec=/usr/bin/purrtick\n";
    }
    void switchedOffEntriesAreNotEnabled() {
        QFETCH(QString, text);
        Tree t;
        t.write(t.entry(), text);
        QCOMPARE(t.autostart().isEnabled(), QString(QTest::currentDataTag()) == "plain");
    }

    void offRemovesTheEntry() {
        Tree t;
        XdgAutostart autostart = t.autostart();
        QCOMPARE(autostart.set(true), std::nullopt);
        QCOMPARE(autostart.set(false), std::nullopt);
        QVERIFY(!QFile::exists(t.entry()));
        QVERIFY(!autostart.isEnabled());
        QCOMPARE(autostart.set(false), std::nullopt); // nothing to remove is no failure
    }

    // A distribution may start the program for everyone; switching it off for this user then
    // needs a user entry that hides the system one.
    void offHidesASystemWideEntry() {
        Tree t;
        t.write(t.system + "/autostart/" + kName + ".desktop",
                "[Desktop Entry]\nType=Application\nName=Purrtick\nExec=/usr/bin/purrtick\n");
        XdgAutostart autostart = t.autostart();
        QCOMPARE(autostart.set(false), std::nullopt);
        QVERIFY(t.read().contains("Hidden=true"));
        QVERIFY(!autostart.isEnabled());
        QCOMPARE(autostart.set(true), std::nullopt);
        QVERIFY(!t.read().contains("Hidden=true"));
        QVERIFY(autostart.isEnabled());
    }

    void aFolderThatCannotBeWrittenIsAFailure() {
        QTemporaryDir dir;
        XdgAutostart autostart(pathBelowAPlainFile(dir, "config", "here"), {}, kName,
                               "/usr/bin/purrtick");
        const std::optional<QString> error = autostart.set(true);
        QVERIFY(error.has_value());
        QVERIFY(!error->isEmpty());
    }
};

QTEST_GUILESS_MAIN(XdgAutostartTest)
#include "tst_xdg_autostart.moc"
