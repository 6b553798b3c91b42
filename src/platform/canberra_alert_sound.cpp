#include "platform/canberra_alert_sound.h"

#include "platform/log.h"

#include <QApplication>

#include <canberra.h>

CanberraAlertSound::CanberraAlertSound(Fallback fallback) : m_fallback(std::move(fallback)) {
    if (!m_fallback)
        m_fallback = [] { QApplication::beep(); };
}

CanberraAlertSound::~CanberraAlertSound() { dropContext(); }

CanberraAlertSound& CanberraAlertSound::shared() {
    static CanberraAlertSound sound;
    return sound;
}

void CanberraAlertSound::play() {
    if (!playThroughCanberra())
        m_fallback();
}

bool CanberraAlertSound::playThroughCanberra() {
    if (!ensureContext())
        return false;
    const int result = ca_context_play(m_context, 0, CA_PROP_EVENT_ID, "bell",
                                       CA_PROP_EVENT_DESCRIPTION, "Timer finished", nullptr);
    if (result == CA_SUCCESS) {
        m_loggedFailure = false;
        return true;
    }
    if (!m_loggedFailure) {
        qCInfo(lcPurrtick) << "alert sound through canberra unavailable:" << ca_strerror(result);
        m_loggedFailure = true;
    }
    // A sound server may come up later: open a fresh connection next time.
    dropContext();
    return false;
}

bool CanberraAlertSound::ensureContext() {
    if (m_context)
        return true;
    if (ca_context_create(&m_context) != CA_SUCCESS) {
        m_context = nullptr;
        return false;
    }
    ca_context_change_props(m_context, CA_PROP_APPLICATION_NAME, "Purrtick", CA_PROP_APPLICATION_ID,
                            "purrtick", nullptr);
    if (ca_context_open(m_context) != CA_SUCCESS) {
        dropContext();
        return false;
    }
    return true;
}

void CanberraAlertSound::dropContext() {
    if (m_context)
        ca_context_destroy(m_context);
    m_context = nullptr;
}
