#pragma once

#include "platform/desktop_notifications.h"

#include <QDBusConnection>
#include <QObject>

#include <functional>
#include <optional>

// Notifications through the desktop's notification server (org.freedesktop.Notifications on
// the session bus). Calls never wait for the server; without a bus or a server nothing fails and
// one line is logged.
class FreedesktopNotifications final : public QObject, public DesktopNotifications {
    Q_OBJECT

public:
    // `bus` gives the connection to use; it is asked for on the first notification only, so a
    // program that never notifies never connects to the bus. `iconName` is the icon theme's
    // name of the program's icon, `desktopEntry` its desktop entry's name without ".desktop".
    FreedesktopNotifications(std::function<QDBusConnection()> bus, QString iconName,
                             QString desktopEntry, QObject* parent = nullptr);

    void show(const QString& summary, const QString& body, const QList<Action>& actions,
              Emphasis emphasis) override;
    void withdraw() override;

private slots:
    void actionInvoked(uint id, const QString& key);
    void notificationClosed(uint id, uint reason);

private:
    // Connects on first use and listens for the server's answers; false without a bus.
    bool connected();
    void close(uint id);
    void reportUnavailable(const QString& why);

    std::function<QDBusConnection()> m_connect;
    std::optional<QDBusConnection> m_bus;
    QString m_iconName;
    QString m_desktopEntry;
    // The server's id of the notification on screen, 0 when none; a show still waiting for its
    // id is counted in m_pending, and a withdraw meanwhile closes it once the id comes.
    uint m_id = 0;
    int m_pending = 0;
    bool m_withdrawWhenShown = false;
    bool m_reported = false;
};
