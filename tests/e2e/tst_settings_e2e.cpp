#include "e2e_support.h"

#include <QDir>
#include <QImage>
#include <QTest>

using namespace E2E;

namespace {

// Points of the settings window's own coordinates at 1x: the widget-mode segments at the top
// of the "모드" tab, and the first of the focus presets (5 minutes) below them.
const QPoint kTimerSegment(115, 59);
const QPoint kClockSegment(305, 59);
const QPoint kFivePreset(55, 162);
// The "고양이" tab, and "사진 추가…" once its page is scrolled to the end (an empty library).
const QPoint kCatTab(305, 14);
const QPoint kAddPhoto(62, 440);

QString onlyWindow(const QString& role) {
    const QStringList found = windowsWithRole(role);
    return found.size() == 1 ? found.front() : QString();
}

// Opens the settings with the tray menu's "타이머 설정..." and waits for its first paint.
void openFromTheTrayMenu(QString& window) {
    std::optional<Embedded> icon;
    QVERIFY(waitFor([&] { return (icon = embeddedTrayIcon()).has_value(); }));
    // 정보, 시작, 리셋, then 타이머 설정.
    QVERIFY(chooseFromMenu(icon->geometry.center(), 1, 4));
    QVERIFY(waitFor([&] { return !(window = onlyWindow("purrtick-settings")).isEmpty(); }));
    QTest::qWait(300);
}

} // namespace

// The settings window of the running program, reached as a user reaches it.
class SettingsE2ETest : public QObject {
    Q_OBJECT
private slots:
    void opensFromTheTrayMenuAndWritesAtOnce() {
        Purrtick app;
        QVERIFY(app.start());
        std::optional<Embedded> icon;
        QVERIFY(waitFor([&] { return (icon = embeddedTrayIcon()).has_value(); }));
        // 정보, 시작, 리셋, then 타이머 설정.
        QVERIFY(chooseFromMenu(icon->geometry.center(), 1, 4));
        QString window;
        QVERIFY(waitFor([&] { return !(window = onlyWindow("purrtick-settings")).isEmpty(); }));
        QCOMPARE(geometry(window).size(), QSize(420, 520));
        QVERIFY(windowProperty(window, "WM_NAME").contains("Purrtick"));
        QTest::qWait(300); // the first paint
        screenshot("settings-mode");

        clickIn(window, kClockSegment);
        QVERIFY(waitFor([&] { return app.storedValue("widgetMode").toString() == "clock"; }));
        clickIn(window, kTimerSegment);
        QVERIFY(waitFor([&] { return app.storedValue("widgetMode").toString() == "timer"; }));

        // Escape closes it; it comes back where it was, still only movable and closable (Qt
        // makes a new X window for it).
        const QRect placed = geometry(window);
        const QString hints = windowProperty(window, "_MOTIF_WM_HINTS");
        QVERIFY(!hints.isEmpty());
        run("xdotool", {"key", "--window", window, "Escape"});
        QVERIFY(waitFor([&] { return onlyWindow("purrtick-settings").isEmpty(); }, 3000));
        QVERIFY(chooseFromMenu(icon->geometry.center(), 1, 4));
        QString again;
        QVERIFY(waitFor([&] { return !(again = onlyWindow("purrtick-settings")).isEmpty(); }));
        QCOMPARE(geometry(again), placed);
        QCOMPARE(windowProperty(again, "_MOTIF_WM_HINTS"), hints);
        QVERIFY(app.stop());
    }

    // The menu's Ctrl+, opens the settings from another window of the program.
    void ctrlCommaOpensTheSettings() {
        Purrtick app;
        QVERIFY(app.start());
        std::optional<Embedded> icon;
        QVERIFY(waitFor([&] { return (icon = embeddedTrayIcon()).has_value(); }));
        QVERIFY(chooseFromMenu(icon->geometry.center(), 1, 1)); // Purrtick 정보
        QString about;
        QVERIFY(waitFor([&] { return !(about = onlyWindow("purrtick-about")).isEmpty(); }));
        QTest::qWait(200);
        run("xdotool", {"windowactivate", "--sync", about});
        run("xdotool", {"key", "--clearmodifiers", "ctrl+comma"});
        QVERIFY(waitFor([&] { return !onlyWindow("purrtick-settings").isEmpty(); }));
        QVERIFY(app.stop());
    }

    // "적용 후 시작" applies the chosen goal and starts it; the widget shows it counting.
    void applyAndStartRunsTheCountdown() {
        Purrtick app;
        QVERIFY(app.start());
        const QRect widget = geometry(app.widget());
        const QImage idle = grab(widget);
        QString window;
        openFromTheTrayMenu(window);
        clickIn(window, kFivePreset);
        // Typed as the keyboard types it, to the window that has the focus after the click.
        run("xdotool", {"key", "Return"});
        QVERIFY(waitFor([&] { return !isViewable(window); }, 3000));
        QVERIFY(waitFor([&] {
            return app.storedValue("timerMode").toByteArray() == R"({"task":{"minutes":5}})";
        }));
        QImage before;
        QVERIFY(waitFor([&] { return (before = grab(widget)) != idle; }, 3000));
        QVERIFY(waitFor([&] { return grab(widget) != before; }, 3000));
        screenshot("settings-applied");
        QVERIFY(app.stop());
    }

    // A photo added through the real file dialog becomes the widget's picture.
    void aPhotoAddedInTheCatTabIsShownByTheWidget() {
        Purrtick app;
        const QString photo = QDir(app.home()).filePath("magenta-cat.png");
        QImage image(400, 300, QImage::Format_RGB32);
        image.fill(QColor(230, 0, 200));
        QVERIFY(image.save(photo));
        QVERIFY(app.start());
        const QRect widget = geometry(app.widget());
        QString window;
        openFromTheTrayMenu(window);
        clickIn(window, kCatTab);
        QTest::qWait(300);
        const QRect frame = geometry(window);
        run("xdotool", {"mousemove", QString::number(frame.x() + 200),
                        QString::number(frame.y() + 300), "click", "--repeat", "12", "5"});
        QTest::qWait(300);
        screenshot("settings-cat-tab");
        const QStringList before = search({"--name", "."});
        clickIn(window, kAddPhoto);
        // The file dialog is a window of its own; its file name field has the focus.
        QString dialog;
        QVERIFY(waitFor([&] {
            for (const QString& id : search({"--name", "."}))
                if (!before.contains(id) && isViewable(id))
                    dialog = id;
            return !dialog.isEmpty();
        }));
        QTest::qWait(500);
        screenshot("settings-cat-file-dialog");
        run("xdotool", {"type", "--delay", "5", photo});
        run("xdotool", {"key", "Return"});
        QVERIFY(
            waitFor([&] { return !app.storedValue("customCatFileName").toString().isEmpty(); }));
        QCOMPARE(app.storedValue("catSkinID").toString(), QString("custom"));
        QVERIFY(waitFor([&] { return countNear(grab(widget), QColor(230, 0, 200), 40) > 500; }));
        QTest::qWait(300);
        screenshot("settings-cat-photo-added");
        QVERIFY(app.stop());
    }
};

QTEST_MAIN(SettingsE2ETest)
#include "tst_settings_e2e.moc"
