#pragma once

#include "platform/alert_sound.h"

// Counts the beeps instead of playing them.
class RecordingSound final : public AlertSound {
public:
    void play() override { ++plays; }
    int plays = 0;
};
