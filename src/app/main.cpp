#include "app/app_delegate.h"
#include "app/platform_choice.h"
#include "app/single_instance.h"
#include "cats/custom_cat.h"
#include "cats/skin_store.h"
#include "platform/canberra_alert_sound.h"
#include "platform/paths.h"
#include "platform/quit_on_signals.h"
#include "settings/layout_store.h"
#include "settings/settings.h"
#include "timing/clock_engine.h"
#include "timing/timer_engine.h"
#include "widget/widget_view.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (const auto platform =
            preferredPlatform(QProcessEnvironment::systemEnvironment(), arguments))
        qputenv("QT_QPA_PLATFORM", *platform);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("purrtick"));
    QApplication::setDesktopFileName(QStringLiteral("purrtick"));
    // An accessory: closing a window never ends the program; only the quit command does.
    QApplication::setQuitOnLastWindowClosed(false);

    SingleInstance instance(Paths::runtimeDirectory());
    if (!instance.claim())
        return 0;

    quitOnTerminationSignals();
    AlertSound::installShared(&CanberraAlertSound::shared());

    AppDelegate appDelegate(Settings::shared(), LayoutStore::shared(), TimerEngine::shared());
    appDelegate.setWidgetViewFactory([] {
        return new WidgetView(TimerEngine::shared(), ClockEngine::shared(), SkinStore::shared(),
                              LayoutStore::shared(), Settings::shared(), CustomCat::shared());
    });
    instance.onActivationRequested = [&appDelegate] { appDelegate.showWidget(); };

    QMetaObject::invokeMethod(&appDelegate, &AppDelegate::applicationDidFinishLaunching,
                              Qt::QueuedConnection);
    return QApplication::exec();
}
