// The hot paths of the timing and settings models: the 4 Hz tick with its text, and one
// settings assignment with its store write (drags write one per pointer event).
#include "platform/alert_sound.h"
#include "settings/layout_store.h"
#include "settings/settings.h"
#include "timing/timer_engine.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

class SteppingClock final : public Clock {
public:
    QDateTime now() const override { return m_now; }
    void step() { m_now = m_now.addMSecs(250); }

private:
    QDateTime m_now = QDateTime(QDate(2026, 6, 1), QTime(9, 0), Qt::UTC);
};

class SilentSound final : public AlertSound {
public:
    void play() override {}
};

struct Store {
    QTemporaryDir dir;
    KeyValueStore store{dir.filePath(QStringLiteral("Purrtick/Purrtick.conf"))};
    Settings settings{store};
};

void BM_TickAndDisplayText(benchmark::State& state) {
    Store s;
    SteppingClock clock;
    SilentSound sound;
    s.settings.setTimerDisplayFormat(TimerDisplayFormat(state.range(0)));
    TimerEngine engine(s.settings, clock, sound);
    engine.setMode(TimerMode::workDuration(1000, 0));
    engine.start();
    for (auto _ : state) {
        clock.step();
        engine.tick();
        benchmark::DoNotOptimize(engine.displayText());
    }
}
BENCHMARK(BM_TickAndDisplayText)->DenseRange(0, 4)->ArgName("format");

// One assignment; the file write it schedules runs once per event-loop turn, which a drag
// reaches after every pointer event, so the write is counted with each assignment here.
void BM_SettingsAssignmentWithFileWrite(benchmark::State& state) {
    Store s;
    double value = 0;
    for (auto _ : state) {
        s.settings.setCatRotation(value += 1);
        s.store.flush();
    }
}
BENCHMARK(BM_SettingsAssignmentWithFileWrite);

// A drag of the resize grip: each pointer event assigns the scale (persisted, then reported).
void BM_LayoutScaleAssignmentWithFileWrite(benchmark::State& state) {
    Store s;
    LayoutStore layout(s.settings);
    double value = 1;
    for (auto _ : state) {
        value = value > 2.9 ? 1 : value + 0.01;
        layout.setScale(value);
        s.store.flush();
    }
}
BENCHMARK(BM_LayoutScaleAssignmentWithFileWrite);

// The assignment alone, as seen by the caller: the file write is deferred to the event loop.
void BM_SettingsAssignmentDeferred(benchmark::State& state) {
    Store s;
    double value = 0;
    for (auto _ : state)
        s.settings.setCatRotation(value += 1);
}
BENCHMARK(BM_SettingsAssignmentDeferred);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
