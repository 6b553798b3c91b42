#pragma once

#include <QObject>

class QSocketNotifier;

// Tells when the wall clock jumps: set by hand or by a time service, or moved on after the
// machine slept. Linux cancels a realtime timer armed with TFD_TIMER_CANCEL_ON_SET on every
// such change, so one such timer, armed for the far future, is all it takes; it never fires
// otherwise and costs no wake-up. Where it cannot be made (not Linux), nothing is told.
class WallClockChanges : public QObject {
    Q_OBJECT

public:
    explicit WallClockChanges(QObject* parent = nullptr);
    ~WallClockChanges() override;

    bool isWatching() const { return m_fd >= 0; }

signals:
    void changed();

private:
    bool arm();
    void readCancellation();

    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr;
};
