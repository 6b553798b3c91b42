#include "platform/canberra_alert_sound.h"

#include "platform/log.h"

#include <QApplication>

#include <canberra.h>

CanberraAlertSound::CanberraAlertSound(Fallback fallback)
    : m_fallback(std::move(fallback)) {
    if (!m_fallback)
        m_fallback = [] { QApplication::beep(); };
}

CanberraAlertSound::~CanberraAlertSound() {
    dropContext();
}

CanberraAlertSound& CanberraAlertSound::shared() {
    static CanberraAlertSound sound;
    return sound;
}

void CanberraAlertSound::play() {
    if (!playThroughCanberra())
        m_fallback();
}

bool CanberraAlertSound::playThroughCanberra() {
    int result = openContext();
    if (result == CA_SUCCESS)
        result = ca_context_play(m_context, 0, CA_PROP_EVENT_ID, "bell", CA_PROP_EVENT_DESCRIPTION,
                                 "Timer finished", nullptr);
    if (result == CA_SUCCESS) {
        m_loggedFailure = false;
        return true;
    }
    if (!m_loggedFailure) {
        qCInfo(lcPurrtick) << "alert sound through canberra unavailable:" << ca_strerror(result);
        m_loggedFailure = true;
    }
    // A sound server may come up later: connect afresh next time.
    dropContext();
    return false;
}

int CanberraAlertSound::openContext() {
    if (m_context)
        return CA_SUCCESS;
    int result = ca_context_create(&m_context);
    if (result != CA_SUCCESS) {
        m_context = nullptr;
        return result;
    }
    ca_context_change_props(m_context, CA_PROP_APPLICATION_NAME, "Purrtick", CA_PROP_APPLICATION_ID,
                            "purrtick", nullptr);
    return ca_context_open(m_context);
}

void CanberraAlertSound::dropContext() {
    if (m_context)
        ca_context_destroy(m_context);
    m_context = nullptr;
}
