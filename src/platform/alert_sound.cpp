#include "platform/alert_sound.h"

#include "platform/log.h"

namespace {

// Stands in until the wiring installs the real sound, so a missing installation shows in the
// log instead of failing silently.
class UninstalledSound final : public AlertSound {
public:
    void play() override { qCWarning(lcPurrtick) << "alert sound played before it was installed"; }
};

AlertSound* g_shared = nullptr;

} // namespace

AlertSound& AlertSound::shared() {
    static UninstalledSound placeholder;
    return g_shared ? *g_shared : placeholder;
}

void AlertSound::installShared(AlertSound* sound) {
    g_shared = sound;
}
