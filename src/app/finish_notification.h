#pragma once

#include <QObject>

#include <functional>

class DesktopNotifications;
class Settings;
class TimerEngine;

// A desktop notification for as long as a finished countdown alerts, when the user wants one:
// "Purrtick" with the engine's subtitle, an action that stops the alert, and a click that shows
// the widget. It is withdrawn when the alert stops, however it was stopped.
class FinishNotification : public QObject {
    Q_OBJECT

public:
    FinishNotification(TimerEngine& engine, Settings& settings, DesktopNotifications& notifications,
                       std::function<void()> showWidget, QObject* parent = nullptr);
    ~FinishNotification() override;

private:
    void alertingChanged();

    TimerEngine& m_engine;
    Settings& m_settings;
    DesktopNotifications& m_notifications;
    std::function<void()> m_showWidget;
};
