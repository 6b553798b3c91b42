#pragma once

// The system's alert sound, played once per call.
class AlertSound {
public:
    virtual ~AlertSound() = default;
    virtual void play() = 0;

    // The application's sound, installed once by the start-up wiring (the desktop adapter
    // lives in a library that model code does not link).
    static AlertSound& shared();
    static void installShared(AlertSound* sound);
};
