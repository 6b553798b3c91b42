// How long the settings window takes to open, the first time and again, and how much memory
// the first opening adds, in a program set up as Purrtick is (the widget is not built):
//   settings_open            (on the X session: tests/e2e/x11-session -- build/bin/settings_open)
#include "app/app_delegate.h"
#include "resident_memory.h"
#include "settings_world.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <cstdio>

namespace {

// Opens the window and waits for its first paint; milliseconds.
double timeToOpen(AppDelegate& delegate) {
    QElapsedTimer timer;
    timer.start();
    delegate.openSettings();
    QWidget* window = delegate.settingsWindow();
    if (!QTest::qWaitForWindowExposed(window))
        std::fputs("the window was not shown\n", stderr);
    QApplication::processEvents();
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    SettingsWorld world(true);
    AppDelegate delegate(world.settings, world.layout, world.engine);
    delegate.setSettingsPageFactory([&world](std::function<void()> onClose) {
        return new SettingsView(world.models(), std::move(onClose));
    });
    QApplication::processEvents();

    const double before = residentMB();
    const double first = timeToOpen(delegate);
    const double after = residentMB();
    double again = 0;
    constexpr int kAgain = 5;
    for (int i = 0; i < kAgain; ++i) {
        delegate.settingsWindow()->close();
        QApplication::processEvents();
        again += timeToOpen(delegate) / kAgain;
    }
    std::printf("first open: %.1f ms\nagain (mean of %d): %.1f ms\n", first, kAgain, again);
    std::printf("resident memory: %.1f MB before, %.1f MB after the first open (+%.1f MB)\n",
                before, after, after - before);
    return 0;
}
