#include "about/about_view.h"
#include "about/about_view_model.h"
#include "app/app_delegate.h"
#include "app/app_identity.h"
#include "app/command_line.h"
#include "app/dbus_control.h"
#include "app/finish_notification.h"
#include "app/platform_choice.h"
#include "app/qt_translations.h"
#include "app/single_instance.h"
#include "app/update_windows.h"
#include "cats/custom_cat.h"
#include "cats/skin_store.h"
#include "platform/canberra_alert_sound.h"
#include "platform/clock.h"
#include "platform/freedesktop_notifications.h"
#include "platform/login_item.h"
#include "platform/paths.h"
#include "platform/quit_on_signals.h"
#include "platform/screen_saver_watch.h"
#include "platform/wall_clock_changes.h"
#include "platform/x11_screen_saver_watch.h"
#include "platform/xdg_autostart.h"
#include "settings/layout_store.h"
#include "settings/settings.h"
#include "settings_window/image_editor_module.h"
#include "settings_window/settings_view.h"
#include "timing/clock_engine.h"
#include "timing/timer_engine.h"
#include "updates/information_dictionary.h"
#include "updates/updater.h"
#include "widget/widget_view.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QProcess>

#include <cstdio>

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    // Answered before anything starts: no display, no lock, no window.
    const CommandLine::Request request = CommandLine::parse(arguments.mid(1));
    switch (request.kind) {
    case CommandLine::Request::Kind::help:
        std::fputs(CommandLine::usage().toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLine::Request::Kind::version:
        std::fputs("Purrtick " PURRTICK_VERSION "\n"
                   "Copyright 2026 The Purrtick developers\n"
                   "License GPLv3+: GNU GPL version 3 or later "
                   "<https://gnu.org/licenses/gpl.html>.\n"
                   "This is free software: you are free to change and redistribute it.\n"
                   "There is NO WARRANTY, to the extent permitted by law.\n",
                   stdout);
        return 0;
    case CommandLine::Request::Kind::usageError:
        std::fputs((QStringLiteral("purrtick: ") + request.error + QLatin1Char('\n') +
                    CommandLine::usage())
                       .toLocal8Bit()
                       .constData(),
                   stderr);
        return 2;
    case CommandLine::Request::Kind::run:
        break;
    }
    if (const auto platform =
            preferredPlatform(QProcessEnvironment::systemEnvironment(), arguments))
        qputenv("QT_QPA_PLATFORM", *platform);

    // The widget's window is drawn a small area at a time (a second of the countdown): sent to
    // the X server in the request itself, where a shared-memory image costs the program a
    // round trip to the server for every frame.
    const bool chooseNoSharedMemory = !qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM");
    if (chooseNoSharedMemory)
        qputenv("QT_XCB_NO_MITSHM", "1");
    QApplication app(argc, argv);
    // Read when the display was opened; programs started from here (a browser, the updated
    // AppImage) make their own choice.
    if (chooseNoSharedMemory)
        qunsetenv("QT_XCB_NO_MITSHM");
    QApplication::setApplicationName(QStringLiteral("purrtick"));
    AppIdentity::install(app);
    // An accessory: closing a window never ends the program; only the quit command does.
    QApplication::setQuitOnLastWindowClosed(false);

    // A running instance takes the command on the session bus where there is one, through its
    // socket otherwise. Only the instance holding the lock takes the bus name, so the two never
    // disagree about which instance is the one.
    if (DBusControl::askRunningInstance(QDBusConnection::sessionBus(), request.command))
        return 0;
    SingleInstance instance(Paths::runtimeDirectory());
    if (!instance.claim(CommandLine::requestLine(request.command)))
        return 0;
    // Asked to end an instance that was not running: there is nothing to do.
    if (request.command == CommandLine::Command::quit)
        return 0;

    installKoreanQtTexts(app);

    quitOnTerminationSignals();
    AlertSound::installShared(&CanberraAlertSound::shared());

    AppDelegate appDelegate(Settings::shared(), LayoutStore::shared(), TimerEngine::shared());
    // While the screen is locked or blanked (as the desktop's screen saver says on the bus, or
    // the X server's own) the widget draws no animation frames.
    ScreenSaverWatch screenSaver(QDBusConnection::sessionBus());
    X11ScreenSaverWatch serverScreenSaver;
    appDelegate.setWidgetViewFactory([&screenSaver, &serverScreenSaver] {
        auto* view =
            new WidgetView(TimerEngine::shared(), ClockEngine::shared(), SkinStore::shared(),
                           LayoutStore::shared(), Settings::shared(), CustomCat::shared());
        auto follow = [view, &screenSaver, &serverScreenSaver] {
            view->setScreenShown(!screenSaver.isActive() && !serverScreenSaver.isActive());
        };
        follow();
        QObject::connect(&screenSaver, &ScreenSaverWatch::activeChanged, view, follow);
        QObject::connect(&serverScreenSaver, &X11ScreenSaverWatch::activeChanged, view, follow);
        return view;
    });
    const QString executable = QCoreApplication::applicationFilePath();
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    XdgAutostart autostart = XdgAutostart::forThisSession(
        AppIdentity::applicationId(), LoginItem::launcherPath(executable, environment));
    LoginItem loginItem(autostart,
                        LoginItem::mayRegister(executable, environment, [](const QString& path) {
                            return QFileInfo::exists(path);
                        }));
    appDelegate.setSettingsPageFactory([&loginItem](std::function<void()> onClose) {
        return new SettingsView(
            {Settings::shared(), LayoutStore::shared(), TimerEngine::shared(), loginItem,
             SystemClock::shared(), SkinStore::shared(), CustomCat::shared()},
            std::move(onClose),
            {{},
             {},
             ImageEditorModule::factory(ImageEditorModule::defaultPath(), AlertSound::shared())});
    });
    FreedesktopNotifications notifications([] { return QDBusConnection::sessionBus(); },
                                           AppIdentity::applicationId(),
                                           AppIdentity::applicationId());
    FinishNotification finishNotification(TimerEngine::shared(), Settings::shared(), notifications,
                                          [&appDelegate] { appDelegate.showWidget(); });
    instance.onRequest = [&appDelegate](const QByteArray& line) {
        if (const std::optional<CommandLine::Command> command = CommandLine::commandFromLine(line))
            appDelegate.perform(*command);
    };
    // A wall clock set by hand or by a time service, or moved on after the machine slept:
    // what is shown is worked out again at once.
    WallClockChanges wallClock;
    QObject::connect(&wallClock, &WallClockChanges::changed, &TimerEngine::shared(),
                     &TimerEngine::tick);
    QObject::connect(&wallClock, &WallClockChanges::changed, &ClockEngine::shared(), [] {
        if (ClockEngine::shared().isTicking())
            ClockEngine::shared().refresh();
    });
    DBusControl control(
        TimerEngine::shared(), ClockEngine::shared(), Settings::shared(),
        [&appDelegate](CommandLine::Command command) { appDelegate.perform(command); });
    control.publish(QDBusConnection::sessionBus());

    // The updater: created first and started first in the launch sequence.
    QNetworkAccessManager network;
    Updater updater(KeyValueStore::shared(), SystemClock::shared(), network,
                    informationDictionary(),
                    [](const QUrl& url) { return QDesktopServices::openUrl(url); });
    // An AppImage updates itself in place; a copy a package manager installed is its to update.
    const QString appImage = environment.value(QStringLiteral("APPIMAGE"));
    if (!appImage.isEmpty() && QFileInfo(appImage).isFile())
        updater.installInPlace(
            appImage, informationDictionary().value(QStringLiteral("SUPublicEDKey")).toString(),
            [appImage] {
                if (QProcess::startDetached(appImage, {}))
                    QCoreApplication::quit();
            });
    UpdateWindows updateWindows(updater);
    updater.setUserInterface(&updateWindows);
    appDelegate.onCheckForUpdates = [&updater] { updater.checkForUpdates(); };
    appDelegate.setAboutPageFactory([&network, &appDelegate](std::function<void()> onClose) {
        QPointer<AppDelegate> delegate(&appDelegate);
        return new AboutView(
            std::make_unique<AboutViewModel>(informationDictionary(), network),
            [delegate] {
                if (delegate)
                    delegate->checkForUpdates();
            },
            std::move(onClose), AppIdentity::icon());
    });

    QMetaObject::invokeMethod(&updater, &Updater::start, Qt::QueuedConnection);
    QMetaObject::invokeMethod(&appDelegate, &AppDelegate::applicationDidFinishLaunching,
                              Qt::QueuedConnection);
    // A command given to the first instance is carried out once it has launched.
    if (request.given)
        QMetaObject::invokeMethod(
            &appDelegate, [&appDelegate, request] { appDelegate.perform(request.command); },
            Qt::QueuedConnection);
    return QApplication::exec();
}
