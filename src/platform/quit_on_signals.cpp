#include "platform/quit_on_signals.h"

#include "platform/log.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_signalSocket[2] = {-1, -1};

// Only async-signal-safe work here: one byte into the socket; the event loop does the rest.
void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalSocket[0], &byte, 1);
}

} // namespace

void quitOnTerminationSignals() {
    if (g_signalSocket[0] >= 0)
        return;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_signalSocket) != 0) {
        qCWarning(lcPurrtick) << "cannot watch termination signals";
        return;
    }
    auto* notifier =
        new QSocketNotifier(g_signalSocket[1], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
        char buffer[16];
        while (::read(g_signalSocket[1], buffer, sizeof buffer) > 0) {
        }
        // Ends the event loop at once. quit() would first ask every window to close, and a
        // window that declines (the photo editor, which only its own buttons close) would keep
        // the program running through a logout.
        QCoreApplication::exit(0);
    });

    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}
