#include "platform/canberra_alert_sound.h"
#include "platform/quit_on_signals.h"
#include "settings/layout_store.h"
#include "settings/settings.h"
#include "timing/clock_engine.h"
#include "timing/timer_engine.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("purrtick"));
    QApplication::setDesktopFileName(QStringLiteral("purrtick"));
    // An accessory: closing a window never ends the program; only the quit command does.
    QApplication::setQuitOnLastWindowClosed(false);

    quitOnTerminationSignals();
    AlertSound::installShared(&CanberraAlertSound::shared());

    Settings::shared();
    LayoutStore::shared();
    TimerEngine::shared();
    ClockEngine::shared();

    return QApplication::exec();
}
