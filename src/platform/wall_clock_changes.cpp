#include "platform/wall_clock_changes.h"

#include "platform/log.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>

#ifdef Q_OS_LINUX
#include <sys/timerfd.h>
#include <unistd.h>
#endif

WallClockChanges::WallClockChanges(QObject* parent)
    : QObject(parent) {
#ifdef Q_OS_LINUX
    m_fd = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_fd < 0 || !arm()) {
        qCWarning(lcPurrtick, "시계가 바뀌는 것을 알 수 없음: %s", std::strerror(errno));
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
        return;
    }
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &WallClockChanges::readCancellation);
#endif
}

WallClockChanges::~WallClockChanges() {
#ifdef Q_OS_LINUX
    if (m_fd >= 0)
        ::close(m_fd);
#endif
}

bool WallClockChanges::arm() {
#ifdef Q_OS_LINUX
    // An absolute instant decades ahead: only a change of the clock ends the wait.
    itimerspec far{};
    far.it_value.tv_sec = std::time(nullptr) + 60L * 60 * 24 * 365 * 50;
    return timerfd_settime(m_fd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &far, nullptr) == 0;
#else
    return false;
#endif
}

void WallClockChanges::readCancellation() {
#ifdef Q_OS_LINUX
    std::uint64_t expirations = 0;
    const ssize_t got = ::read(m_fd, &expirations, sizeof expirations);
    if (got < 0 && errno == EAGAIN)
        return;
    // ECANCELED: the clock was changed. The timer is disarmed by that; arm it again.
    arm();
    emit changed();
#endif
}
