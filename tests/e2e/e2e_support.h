#pragma once

#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

// Helpers for driving the real program inside the X session the test runs in.
namespace E2E {

// Runs an X utility and returns what it printed; empty when it failed.
QString run(const QString& program, const QStringList& arguments);

// Polls until the condition holds, processing events; false after the timeout.
bool waitFor(const std::function<bool()>& condition, int timeoutMs = 10000);

// xwininfo's absolute geometry of a window; empty if there is no such window.
QRect geometry(const QString& windowId);
bool isViewable(const QString& windowId);
// One property as xprop prints it after " = " (or after ":" for the "not found" case).
QString windowProperty(const QString& windowId, const QString& name);

// The mapped windows of the program with this WM_WINDOW_ROLE.
QStringList windowsWithRole(const QString& role);
// A left click at a point of a window's own coordinates.
void clickIn(const QString& windowId, QPoint at);

// The windows xdotool finds for the arguments (for example --role purrtick-widget).
QStringList search(const QStringList& arguments);

// The program's open pop-up menu (an override-redirect window), if one is mapped.
QString openMenu();

// Opens the menu with a click of the button at the screen position, moves down to the item
// `downs` steps below the top (disabled items and separators are skipped) and chooses it.
// False when no menu opened or it did not close.
bool chooseFromMenu(QPoint at, int button, int downs);

// The mapped windows that carry the widget's role, whatever X window Qt created for it.
QStringList widgetWindows();

// The tray icon's window as embedded in the tray host, with its absolute geometry.
struct Embedded {
    QString id;
    QRect geometry;
};
std::optional<Embedded> embeddedTrayIcon();

// What the screen shows in a rectangle now.
QImage grab(const QRect& rect);
// Pixels of the image close to the colour.
int countNear(const QImage& image, const QColor& colour, int tolerance = 45);

// Saves a screenshot of the whole screen under the artifacts folder; returns its path.
QString screenshot(const QString& name);

// The program, started with its own home, XDG folders and runtime directory.
class Purrtick {
public:
    // The program built in this tree, or another copy of it (an installed one).
    explicit Purrtick(QString binary = QStringLiteral(PURRTICK_BINARY));
    ~Purrtick();

    // Writes a settings file before the start, as an earlier run would have left it.
    void seedSettings(const QVariantMap& values);

    // Starts and waits until the widget window is mapped (unless it should stay hidden).
    bool start(bool expectWidget = true);
    // Starts one more process with the same environment and these arguments; returns its exit
    // code, with what it printed in `output` when asked.
    int launchAgain(int* elapsedMs = nullptr, const QStringList& arguments = {},
                    QString* output = nullptr);
    // Starts `count` processes at the same moment; waits until all but the ones that stay have
    // exited (10 s at most) and returns how many still run. They are ended with this object.
    int launchTogether(int count);
    // Ends it with SIGTERM; false when it did not exit cleanly.
    bool stop();
    bool isRunning() const { return m_process.state() == QProcess::Running; }

    QString widget() const { return m_widget; }
    QString settingsPath() const;
    // A value of the settings file as it is on disk now.
    QVariant storedValue(const QString& key) const;
    QString home() const { return m_home.path(); }
    QString runtimeDirectory() const { return m_home.filePath("run"); }

    // The environment it runs in: its own home, XDG folders and runtime directory.
    QProcessEnvironment environment() const;

private:
    QString m_binary;
    QTemporaryDir m_home;
    QProcess m_process;
    QString m_widget;
    std::vector<std::unique_ptr<QProcess>> m_together;
};

} // namespace E2E
