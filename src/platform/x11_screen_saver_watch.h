#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

// Whether the X server's own screen saver has blanked the screen, from its screen-saver
// extension: the state asked once, then its notify events. For sessions where no
// org.freedesktop.ScreenSaver service says so. Nothing on other platforms.
class X11ScreenSaverWatch : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT

public:
    explicit X11ScreenSaverWatch(QObject* parent = nullptr);
    ~X11ScreenSaverWatch() override;

    bool isActive() const { return m_active; }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

signals:
    void activeChanged(bool active);

private:
    void setActive(bool active);

    uint8_t m_firstEvent = 0; // the extension's first event code; 0 when it is not there
    bool m_active = false;
};
