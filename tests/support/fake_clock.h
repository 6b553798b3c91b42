#pragma once

#include "platform/clock.h"

// A clock that stands still until the test moves it.
class FakeClock final : public Clock {
public:
    explicit FakeClock(QDateTime start = QDateTime(QDate(2026, 6, 1), QTime(9, 0), Qt::UTC))
        : m_now(start.toUTC()) {}

    QDateTime now() const override { return m_now; }
    void set(const QDateTime& instant) { m_now = instant.toUTC(); }
    void advance(double seconds) { m_now = m_now.addMSecs(qint64(seconds * 1000.0)); }

private:
    QDateTime m_now;
};
