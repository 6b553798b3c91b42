#include "platform/clock.h"

QDateTime SystemClock::now() const {
    return QDateTime::currentDateTimeUtc();
}

const SystemClock& SystemClock::shared() {
    static const SystemClock clock;
    return clock;
}
