#include "platform/freedesktop_notifications.h"

#include "platform/log.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");

} // namespace

FreedesktopNotifications::FreedesktopNotifications(std::function<QDBusConnection()> bus,
                                                   QString iconName, QString desktopEntry,
                                                   QObject* parent)
    : QObject(parent)
    , m_connect(std::move(bus))
    , m_iconName(std::move(iconName))
    , m_desktopEntry(std::move(desktopEntry)) {}

bool FreedesktopNotifications::connected() {
    if (!m_bus) {
        m_bus = m_connect();
        if (m_bus->isConnected()) {
            m_bus->connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                           SLOT(actionInvoked(uint, QString)));
            m_bus->connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                           SLOT(notificationClosed(uint, uint)));
        }
    }
    return m_bus->isConnected();
}

void FreedesktopNotifications::show(const QString& summary, const QString& body,
                                    const QList<Action>& actions, Emphasis emphasis) {
    if (!connected()) {
        reportUnavailable(QStringLiteral("세션 버스에 연결할 수 없음"));
        return;
    }
    QStringList flatActions;
    for (const Action& action : actions)
        flatActions << action.key << action.label;
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), m_desktopEntry);
    // Stays on screen until it is withdrawn: the alert goes on until the user stops it.
    hints.insert(QStringLiteral("resident"), true);
    if (emphasis.critical)
        hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(2)));
    if (emphasis.silent)
        hints.insert(QStringLiteral("suppress-sound"), true);
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    call << QStringLiteral("Purrtick") << m_id << m_iconName << summary << body << flatActions
         << hints << 0;
    ++m_pending;
    m_withdrawWhenShown = false;
    auto* watcher = new QDBusPendingCallWatcher(m_bus->asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        --m_pending;
        const QDBusPendingReply<uint> reply = *w;
        if (reply.isError()) {
            reportUnavailable(reply.error().message());
            return;
        }
        m_id = reply.value();
        if (m_withdrawWhenShown && m_pending == 0)
            withdraw();
    });
}

void FreedesktopNotifications::withdraw() {
    if (m_pending > 0) {
        m_withdrawWhenShown = true;
        return;
    }
    m_withdrawWhenShown = false;
    if (m_id == 0)
        return;
    close(m_id);
    m_id = 0;
}

void FreedesktopNotifications::close(uint id) {
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                       QStringLiteral("CloseNotification"));
    call << id;
    m_bus->asyncCall(call);
}

void FreedesktopNotifications::actionInvoked(uint id, const QString& key) {
    // The server tells every client of every action; only ours count.
    if (id == 0 || id != m_id)
        return;
    if (onAction)
        onAction(key);
}

void FreedesktopNotifications::notificationClosed(uint id, uint) {
    if (id == m_id)
        m_id = 0;
}

void FreedesktopNotifications::reportUnavailable(const QString& why) {
    if (m_reported)
        return;
    m_reported = true;
    qCInfo(lcPurrtick, "데스크톱 알림을 보낼 수 없음: %s", qPrintable(why));
}
