#pragma once

#include <QDateTime>

// Source of the current instant. Models take one in their constructor so that tests can
// drive time without sleeping.
class Clock {
public:
    virtual ~Clock() = default;
    // The current instant, in UTC.
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override;
    static const SystemClock& shared();
};
