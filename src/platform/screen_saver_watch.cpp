#include "platform/screen_saver_watch.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {

const QString kService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kPath = QStringLiteral("/org/freedesktop/ScreenSaver");
const QString kInterface = QStringLiteral("org.freedesktop.ScreenSaver");

} // namespace

ScreenSaverWatch::ScreenSaverWatch(QDBusConnection bus, QObject* parent)
    : QObject(parent)
    , m_bus(std::move(bus)) {
    if (!m_bus.isConnected())
        return;
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("ActiveChanged"), this,
                  SLOT(setActive(bool)));
    // Asked without waiting (and without starting a screen saver for it): the answer comes
    // while the program starts.
    QDBusMessage ask =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("GetActive"));
    ask.setAutoStartService(false);
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(ask), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* call) {
                const QDBusPendingReply<bool> reply = *call;
                if (reply.isValid())
                    setActive(reply.value());
                call->deleteLater();
            });
}

void ScreenSaverWatch::setActive(bool active) {
    if (active == m_active)
        return;
    m_active = active;
    emit activeChanged(active);
}
