#pragma once

#include <QList>
#include <QString>

#include <functional>

// How a notification asks for attention.
struct NotificationEmphasis {
    // Shown even while the desktop holds notifications back (do not disturb): a timer the user
    // set is what they asked to be told about.
    bool critical = false;
    // The program sounds its own alert; the notification server plays none.
    bool silent = false;
};

// The program's one desktop notification: shown, replaced, withdrawn; the user's choice of one
// of its actions is reported through onAction.
class DesktopNotifications {
public:
    struct Action {
        QString key; // "default" is the action of a click on the notification itself
        QString label;
    };

    using Emphasis = NotificationEmphasis;

    virtual ~DesktopNotifications() = default;

    // Shows the notification, replacing the one shown before; it stays until withdrawn.
    virtual void show(const QString& summary, const QString& body, const QList<Action>& actions,
                      Emphasis emphasis = {}) = 0;
    // Takes the notification off the screen, if one is shown.
    virtual void withdraw() = 0;

    std::function<void(const QString& key)> onAction;
};
