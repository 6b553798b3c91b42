#pragma once

#include "app/command_line.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QVariantMap>

#include <functional>

class ClockEngine;
class Settings;
class TimerEngine;

// The running program on the session bus, under its application id: the standard
// org.freedesktop.Application interface (what launchers and `gapplication` call: Activate,
// ActivateAction with the command-line commands' names) and an interface of its own with the
// same commands as methods, the timer's state as properties and a signal when a countdown ends.
// Properties announce real changes only; the remaining time at most once a second, and only
// once some program has read the properties (one that follows the countdown reads them first).
class DBusControl : public QObject, protected QDBusContext {
    Q_OBJECT

public:
    static QString serviceName();
    static QString objectPath();
    static QString interfaceName();

    using Perform = std::function<void(CommandLine::Command)>;
    DBusControl(TimerEngine& timer, ClockEngine& clock, Settings& settings, Perform perform,
                QObject* parent = nullptr);
    // Gives the name back.
    ~DBusControl() override;

    // Exports the object and takes the name (never queued behind another owner). False, logged,
    // when the bus is not there or the name is taken.
    bool publish(QDBusConnection connection);

    // What the properties read; read() marks that a program on the bus reads them.
    const DBusControl* read();
    QString state() const;
    QString mode() const;
    qint64 remaining() const;
    QString displayText() const;
    bool isAlerting() const;

    // Carries out a command by its action name; an unknown name is an error for the caller.
    void activateAction(const QString& name);
    // Carries out a command once the call has been answered, so that even quitting replies.
    void perform(CommandLine::Command command);

    // Asks the instance that owns the name on this bus to carry out a command. False when no
    // instance owns it (none is started for this) or it did not answer.
    static bool askRunningInstance(QDBusConnection connection, CommandLine::Command command);

signals:
    void finished();

private:
    QVariantMap properties() const;
    void announceChanges();

    TimerEngine& m_timer;
    ClockEngine& m_clock;
    Settings& m_settings;
    Perform m_perform;
    QDBusConnection m_connection{QString()};
    QVariantMap m_announced;
    bool m_wasDone = false;
    bool m_read = false;
};
