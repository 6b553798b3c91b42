#pragma once

#include <QDBusConnection>
#include <QObject>

// Whether the screen saver is active (the screen locked or blanked), from the desktop's
// org.freedesktop.ScreenSaver service: asked once at the start, then told by its ActiveChanged
// signal. Without the service (or a bus) the screen counts as shown.
class ScreenSaverWatch : public QObject {
    Q_OBJECT

public:
    explicit ScreenSaverWatch(QDBusConnection bus, QObject* parent = nullptr);

    bool isActive() const { return m_active; }

signals:
    void activeChanged(bool active);

private slots:
    void setActive(bool active);

private:
    QDBusConnection m_bus;
    bool m_active = false;
};
