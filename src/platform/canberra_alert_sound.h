#pragma once

#include "platform/alert_sound.h"

#include <functional>

struct ca_context;

// Plays the freedesktop sound theme's "bell" event through libcanberra. When canberra cannot
// play (no sound server, no theme), the fallback runs instead; by default that is the
// toolkit's beep.
class CanberraAlertSound final : public AlertSound {
public:
    using Fallback = std::function<void()>;

    explicit CanberraAlertSound(Fallback fallback = {});
    ~CanberraAlertSound() override;
    CanberraAlertSound(const CanberraAlertSound&) = delete;
    CanberraAlertSound& operator=(const CanberraAlertSound&) = delete;

    void play() override;

    // Plays through canberra only; returns whether canberra accepted the sound.
    bool playThroughCanberra();

    static CanberraAlertSound& shared();

private:
    // Creates and opens the context if needed; a canberra result code.
    int openContext();
    void dropContext();

    ca_context* m_context = nullptr;
    Fallback m_fallback;
    bool m_loggedFailure = false;
};
